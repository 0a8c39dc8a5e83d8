<?xml version="1.0" encoding="UTF-8"?>
<!--
  Renders a test-requirement report as one self-contained HTML page: inline
  CSS, one small inline script, nothing fetched from the network.

    xsltproc "$QARVODIR/lib/reports/testreq_report.xsl" suite.req.xml > suite.html

  XSLT 1.0 without extension functions, so that xsltproc and the browsers that
  still apply stylesheets can use it.

  The page is written as XHTML with an HTML5 doctype: a browser reads it as
  HTML, and a test or a tool can read it as XML. An empty non-void element
  would come out as <td/>, which an HTML parser takes for an unclosed start
  tag, so every element whose content comes from the report goes through the
  "text" template, which puts a dash in place of an empty text. For the same
  reason the script and the CSS hold no '<', '>' or '&': written as XML they
  would be escaped, and an HTML parser does not unescape a script.

  Every text of the report is written with value-of, never with output
  escaping turned off: markup held in a requirement or a comment is shown as
  text, never interpreted.

  The header section's named entries are elements named after the header
  file's tags, so a tag may happen to read SERVICE or COMMENT. They are told
  apart from the report's own elements by their shape: a named entry always
  has NAME and exactly one other attribute, while the report's REPORT_INFO,
  COMMENT, REQUIREMENTS and COVERAGE_RESULT have no NAME and a SERVICE has six
  attributes.

  What the page shows first: why the run failed (the failing tests; a notice
  when the run is KO although no test is), the totals, where every
  requirement stands (one verdict per requirement name, KO when any of its
  occurrences is KO), then the services, KO first. Long parts (the tests of a
  service that passed, coverage tables, the per-name and per-occurrence
  requirement lists past 40 rows) are folded in <details>; a report of 200
  services of 25 tests, or of 16,000 requirement occurrences, stays quick to
  open because a folded part is parsed but not laid out, and each service
  card is laid out only when it scrolls into view (content-visibility).
  Printed, every fold opens and the filter is lifted.

  Rendering builds the whole page in memory, beside the report itself, and
  every node costs about a hundred bytes, an attribute twice that. So what
  there is one of per requirement occurrence is lean: plain elements that
  the CSS styles by where they stand, a class only on what is KO, and the
  table of every occurrence gathered by the script from the lists where the
  page already shows them, when its fold opens.

  The script adds a search box and a "KO only" switch; without it every row
  is shown and nothing is lost. The address holds both, as on the campaign
  page: page.html#search=text&filter=ko (page.html?q=text&ko=1 is still
  read).

  Anchors are made from names, so a link to a test still points at it after
  the next run: svc-SERVICE, test-SERVICE/TEST, elem-SERVICE/TEST/ELEMENT and
  req-REQUIREMENT. In each name, ASCII letters, digits, '-', '_' and every
  character beyond ASCII stand as they are; any other character is written
  as '.' and its two hex digits (a blank is .20, a '/' .2F), so '/' only
  separates the levels and the encoding loses nothing. The second and later
  siblings of one name take "~2", "~3"... in report order.

  Hooks for tools (stable): ids total-tests, total-valid, total-invalid,
  total-services, total-requirements (distinct names),
  total-requirements-ko (distinct names with a KO occurrence),
  total-requirement-occurrences, ko-run-notice, failing-tests; the table
  id="requirement-summary" with one row per requirement name, its id the
  name's anchor, class "ko" when KO, and cells status, name, occurrences,
  KO occurrences; section.service with data-status, data-nb-valid,
  data-nb-invalid, data-nb-test; tr.test (td.test-status, td.test-name) and
  div.element (its name the code element) with the class "ko" when not OK;
  ul.reqs with one li per requirement (the class "ko" and a b element
  holding the verdict when not OK, the name in code, the value in small,
  each attribute the value does not show as a span holding name=value);
  table.coverage with data-module and td.ratio cells. Once the script has
  run, the table id="requirements" has one tr.req-row per REQUIREMENT
  (data-status, data-level, td.req-status, td.req-name, td.where-service,
  td.where-test, td.where-element).
-->
<xsl:stylesheet version="1.0"
                xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
                xmlns="http://www.w3.org/1999/xhtml">

  <xsl:output method="xml" encoding="UTF-8" indent="no" omit-xml-declaration="yes"
              doctype-system="about:legacy-compat"/>

  <!-- The report's indentation is not content: dropped when the report is
       read, it no longer takes a third of the tree's nodes. COMMENT keeps
       its text whatever it is. -->
  <xsl:strip-space elements="RUN SERVICE TEST ELEMENT REQUIREMENTS REQUIREMENT ATTRIBUTE
                             COVERAGE_RESULT COVERAGE_DETAILS REPORT_INFO ENV_INFO"/>

  <!-- The report's own elements below RUN, as opposed to header entries. -->
  <xsl:variable name="services" select="/RUN/SERVICE[count(@*) &gt; 2]"/>
  <xsl:variable name="ko-services" select="$services[not(@STATUS = 'OK')]"/>
  <xsl:variable name="ok-services" select="$services[@STATUS = 'OK']"/>
  <xsl:variable name="run-comments" select="/RUN/COMMENT[not(@*)]"/>
  <xsl:variable name="run-coverage" select="/RUN/COVERAGE_RESULT[not(@NAME)]"/>
  <xsl:variable name="report-info" select="/RUN/REPORT_INFO[not(@NAME)]"/>
  <xsl:variable name="env-info" select="/RUN/ENV_INFO"/>
  <xsl:variable name="header-entries"
                select="/RUN/*[not(self::ENV_INFO)]
                              [not(self::REPORT_INFO and not(@NAME))]
                              [not(self::COMMENT and not(@*))]
                              [not(self::REQUIREMENTS and not(@*))]
                              [not(self::COVERAGE_RESULT and not(@NAME))]
                              [not(self::SERVICE and count(@*) &gt; 2)]"/>
  <xsl:variable name="requirements"
                select="/RUN/REQUIREMENTS[not(@*)]/REQUIREMENT | $services//REQUIREMENTS/REQUIREMENT"/>
  <xsl:variable name="failed-requirements" select="$requirements[not(@STATUS = 'OK')]"/>
  <xsl:variable name="tests" select="$services/TEST"/>
  <xsl:variable name="failed-tests" select="$tests[not(@STATUS = 'OK')]"/>

  <!-- Requirements by name, for one verdict per name; services and tests by
       name, to number the siblings that share one. Header entries have no
       children and a SERVICE entry has two attributes, so none is matched. -->
  <xsl:key name="requirement" match="REQUIREMENTS[not(@*)]/REQUIREMENT" use="@NAME"/>
  <xsl:key name="failed-requirement" match="REQUIREMENTS[not(@*)]/REQUIREMENT[not(@STATUS = 'OK')]" use="@NAME"/>
  <xsl:key name="service" match="/RUN/SERVICE[count(@*) &gt; 2]" use="@NAME"/>
  <xsl:key name="test" match="SERVICE/TEST" use="concat(generate-id(..), '/', @NAME)"/>
  <xsl:variable name="distinct-requirements"
                select="$requirements[generate-id() = generate-id(key('requirement', @NAME)[1])]"/>
  <xsl:variable name="distinct-failed" select="$distinct-requirements[key('failed-requirement', @NAME)]"/>

  <!-- Anchor encoding: the ASCII characters written as '.' and two hex
       digits, and their codes at the same positions. -->
  <xsl:variable name="id-specials-text"> !"#$%&amp;'()*+,./:;&lt;=&gt;?@[\]^`{|}~&#9;&#10;&#13;</xsl:variable>
  <xsl:variable name="id-specials" select="string($id-specials-text)"/>
  <xsl:variable name="id-hex" select="'202122232425262728292A2B2C2E2F3A3B3C3D3E3F405B5C5D5E607B7C7D7E090A0D'"/>

  <!-- The notice for a run whose verdict no test explains. -->
  <xsl:variable name="ko-run-notice">The run's verdict is KO although no test is: a service or run verdict recorded in the result file says so</xsl:variable>

  <xsl:template match="/">
    <html lang="en">
      <head>
        <meta charset="utf-8"/>
        <meta name="viewport" content="width=device-width, initial-scale=1"/>
        <meta name="generator" content="testreq_report.xsl"/>
        <title>
          <xsl:text>Requirement report: </xsl:text>
          <xsl:call-template name="report-title"/>
          <xsl:text> (</xsl:text>
          <xsl:value-of select="/RUN/@STATUS"/>
          <xsl:text>)</xsl:text>
        </title>
        <style>
          <xsl:call-template name="css"/>
        </style>
      </head>
      <body>
        <xsl:apply-templates select="/RUN"/>
        <script>
          <xsl:call-template name="script"/>
        </script>
      </body>
    </html>
  </xsl:template>

  <xsl:template name="report-title">
    <xsl:choose>
      <xsl:when test="string($report-info/@REPORT_NAME) != ''">
        <xsl:value-of select="$report-info/@REPORT_NAME"/>
      </xsl:when>
      <xsl:when test="string(/RUN/@TESTSUITE_PATH) != ''">
        <xsl:value-of select="/RUN/@TESTSUITE_PATH"/>
      </xsl:when>
      <xsl:otherwise>untitled run</xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- ================================================================== -->
  <!-- Page                                                                 -->
  <!-- ================================================================== -->

  <xsl:template match="RUN">
    <header class="page-head">
      <xsl:attribute name="data-status"><xsl:value-of select="@STATUS"/></xsl:attribute>
      <div class="wrap">
        <p class="kicker">Test requirement report</p>
        <h1>
          <xsl:call-template name="badge">
            <xsl:with-param name="status" select="@STATUS"/>
            <xsl:with-param name="id" select="'run-status'"/>
          </xsl:call-template>
          <xsl:text> </xsl:text>
          <span class="title"><xsl:call-template name="report-title"/></span>
        </h1>
        <p class="subtitle">
          <span class="label">Test suite</span>
          <xsl:text> </xsl:text>
          <span class="path"><xsl:call-template name="text"><xsl:with-param name="value" select="@TESTSUITE_PATH"/></xsl:call-template></span>
          <xsl:text> · </xsl:text>
          <span class="label">Author</span>
          <xsl:text> </xsl:text>
          <span class="author"><xsl:call-template name="text"><xsl:with-param name="value" select="@AUTHOR"/></xsl:call-template></span>
        </p>
        <xsl:if test="@STATUS = 'KO' and not($failed-tests)">
          <p class="notice" id="ko-run-notice" role="alert"><xsl:value-of select="$ko-run-notice"/></p>
        </xsl:if>
      </div>
    </header>
    <main class="wrap">
      <xsl:call-template name="contents"/>
      <xsl:call-template name="summary"/>
      <xsl:call-template name="failing-tests"/>
      <div class="filters" id="filters" hidden="hidden">
        <label class="search">
          <span class="label">Search</span>
          <xsl:text> </xsl:text>
          <input type="search" id="filter-text" placeholder="service, test, requirement" autocomplete="off"/>
        </label>
        <label class="switch">
          <input type="checkbox" id="filter-ko"/>
          <xsl:text> KO only</xsl:text>
        </label>
      </div>
      <xsl:call-template name="run-details"/>
      <xsl:call-template name="services-overview"/>
      <xsl:call-template name="requirement-summary"/>
      <xsl:call-template name="requirement-occurrences"/>
      <xsl:apply-templates select="$ko-services"/>
      <xsl:apply-templates select="$ok-services"/>
      <footer class="page-foot">
        <xsl:text>Rendered by testreq_report.xsl from the requirement report</xsl:text>
        <xsl:if test="string($report-info/@RUN_DATE) != ''">
          <xsl:text> of the run of </xsl:text>
          <xsl:value-of select="$report-info/@RUN_DATE"/>
        </xsl:if>
        <xsl:text>.</xsl:text>
      </footer>
    </main>
  </xsl:template>

  <xsl:template name="contents">
    <nav class="card contents" id="contents" aria-label="Contents">
      <h2>Contents</h2>
      <ol>
        <li><a href="#summary">Summary</a></li>
        <li><a href="#failing-tests">Failing tests</a><xsl:text> </xsl:text><span class="n"><xsl:value-of select="count($failed-tests)"/></span></li>
        <li><a href="#run">Run</a></li>
        <li><a href="#services-overview">Services</a><xsl:text> </xsl:text><span class="n"><xsl:value-of select="count($services)"/></span></li>
        <li><a href="#requirement-summary-card">Requirements</a><xsl:text> </xsl:text><span class="n"><xsl:value-of select="count($distinct-requirements)"/></span></li>
        <li><a href="#requirement-occurrences">Every requirement occurrence</a><xsl:text> </xsl:text><span class="n"><xsl:value-of select="count($requirements)"/></span></li>
        <xsl:if test="$services">
          <li>
            <a>
              <xsl:attribute name="href">
                <xsl:text>#</xsl:text>
                <xsl:for-each select="($ko-services | $ok-services[not($ko-services)])[1]"><xsl:call-template name="service-id"/></xsl:for-each>
              </xsl:attribute>
              <xsl:text>Services in detail</xsl:text>
            </a>
            <xsl:text>, KO first</xsl:text>
          </li>
        </xsl:if>
      </ol>
    </nav>
  </xsl:template>

  <xsl:template name="summary">
    <section class="summary" id="summary">
      <h2 class="sr">Summary</h2>
      <div class="tiles">
        <div class="tile">
          <span class="tile-value" id="total-tests"><xsl:value-of select="sum($services/@NB_TEST)"/></span>
          <span class="tile-label">tests</span>
        </div>
        <div class="tile tile-ok">
          <span class="tile-value" id="total-valid"><xsl:value-of select="sum($services/@NB_VALID)"/></span>
          <span class="tile-label">valid</span>
        </div>
        <div>
          <xsl:attribute name="class">
            <xsl:text>tile </xsl:text>
            <xsl:choose>
              <xsl:when test="sum($services/@NB_INVALID) != 0">tile-ko</xsl:when>
              <xsl:otherwise>tile-quiet</xsl:otherwise>
            </xsl:choose>
          </xsl:attribute>
          <span class="tile-value" id="total-invalid"><xsl:value-of select="sum($services/@NB_INVALID)"/></span>
          <span class="tile-label">invalid</span>
        </div>
        <div class="tile">
          <span class="tile-value" id="total-services"><xsl:value-of select="count($services)"/></span>
          <span class="tile-label">services</span>
        </div>
        <div class="tile">
          <span class="tile-value" id="total-requirements"><xsl:value-of select="count($distinct-requirements)"/></span>
          <span class="tile-label">requirements</span>
          <span class="tile-note">
            <xsl:text>in </xsl:text>
            <span id="total-requirement-occurrences"><xsl:value-of select="count($requirements)"/></span>
            <xsl:text> occurrences</xsl:text>
          </span>
        </div>
        <div>
          <xsl:attribute name="class">
            <xsl:text>tile </xsl:text>
            <xsl:choose>
              <xsl:when test="$failed-requirements">tile-ko</xsl:when>
              <xsl:otherwise>tile-quiet</xsl:otherwise>
            </xsl:choose>
          </xsl:attribute>
          <span class="tile-value" id="total-requirements-ko"><xsl:value-of select="count($distinct-failed)"/></span>
          <span class="tile-label">requirements KO</span>
          <span class="tile-note">
            <xsl:text>in </xsl:text>
            <xsl:value-of select="count($failed-requirements)"/>
            <xsl:text> KO occurrences</xsl:text>
          </span>
        </div>
      </div>
      <xsl:if test="sum($services/@NB_TEST) &gt; 0">
        <div class="meter" title="valid / invalid tests">
          <span class="meter-ok">
            <xsl:attribute name="style">width:<xsl:value-of select="format-number(100 * sum($services/@NB_VALID) div sum($services/@NB_TEST), '0.##')"/>%</xsl:attribute>
            <xsl:text>&#160;</xsl:text>
          </span>
          <span class="meter-ko">
            <xsl:attribute name="style">width:<xsl:value-of select="format-number(100 * sum($services/@NB_INVALID) div sum($services/@NB_TEST), '0.##')"/>%</xsl:attribute>
            <xsl:text>&#160;</xsl:text>
          </span>
        </div>
      </xsl:if>
    </section>
  </xsl:template>

  <!-- Every KO test, in the order of the services below, each a link to its
       row: a KO test with no requirement is found here without scrolling. -->
  <xsl:template name="failing-tests">
    <section class="card" id="failing-tests">
      <h2>Failing tests</h2>
      <xsl:choose>
        <xsl:when test="$failed-tests">
          <ol class="failing">
            <xsl:for-each select="$failed-tests">
              <li class="ko">
                <a>
                  <xsl:attribute name="href">#<xsl:call-template name="test-id"/></xsl:attribute>
                  <span class="service-name"><xsl:call-template name="text"><xsl:with-param name="value" select="../@NAME"/></xsl:call-template></span>
                  <xsl:text> / </xsl:text>
                  <span class="test-name"><xsl:call-template name="text"><xsl:with-param name="value" select="@NAME"/></xsl:call-template></span>
                </a>
                <xsl:variable name="why" select="ELEMENT[not(@STATUS = 'OK')]"/>
                <xsl:if test="$why">
                  <span class="why">
                    <xsl:text> elements KO: </xsl:text>
                    <xsl:for-each select="$why">
                      <xsl:if test="position() &gt; 1">, </xsl:if>
                      <xsl:call-template name="text"><xsl:with-param name="value" select="@NAME"/></xsl:call-template>
                    </xsl:for-each>
                  </span>
                </xsl:if>
              </li>
            </xsl:for-each>
          </ol>
        </xsl:when>
        <xsl:otherwise>
          <p class="none">No test is KO.</p>
        </xsl:otherwise>
      </xsl:choose>
    </section>
  </xsl:template>

  <xsl:template name="run-details">
    <section class="card run" id="run">
      <h2>Run</h2>
      <div class="columns">
        <div>
          <h3>Identification</h3>
          <div class="scroll">
            <table class="facts" id="run-info">
              <tbody>
                <tr>
                  <th scope="row">Status</th>
                  <td>
                    <xsl:call-template name="badge"><xsl:with-param name="status" select="@STATUS"/></xsl:call-template>
                  </td>
                </tr>
                <xsl:apply-templates select="@AUTHOR | @TESTSUITE_PATH" mode="fact"/>
                <xsl:apply-templates select="$report-info/@*" mode="fact"/>
              </tbody>
            </table>
          </div>
        </div>
        <div>
          <h3>Environment</h3>
          <xsl:choose>
            <xsl:when test="$env-info/@*">
              <div class="scroll">
                <table class="facts" id="environment">
                  <tbody>
                    <xsl:apply-templates select="$env-info/@*" mode="fact"/>
                  </tbody>
                </table>
              </div>
            </xsl:when>
            <xsl:otherwise>
              <p class="none">No environment attributes in this report.</p>
            </xsl:otherwise>
          </xsl:choose>
          <xsl:if test="$header-entries">
            <h3>Header entries</h3>
            <div class="scroll">
              <table class="grid" id="header-entries">
                <thead>
                  <tr><th>Entry</th><th>Name</th><th>Field</th><th>Value</th></tr>
                </thead>
                <tbody>
                  <xsl:apply-templates select="$header-entries" mode="header-entry"/>
                </tbody>
              </table>
            </div>
          </xsl:if>
        </div>
      </div>
      <xsl:if test="$run-comments">
        <h3>Comments</h3>
        <xsl:call-template name="comments"><xsl:with-param name="list" select="$run-comments"/></xsl:call-template>
      </xsl:if>
      <xsl:if test="REQUIREMENTS[not(@*)]/REQUIREMENT">
        <h3>Requirements of the run</h3>
        <xsl:call-template name="requirement-list">
          <xsl:with-param name="list" select="REQUIREMENTS[not(@*)]/REQUIREMENT"/>
        </xsl:call-template>
      </xsl:if>
      <xsl:if test="$run-coverage">
        <xsl:call-template name="coverage">
          <xsl:with-param name="blocks" select="$run-coverage"/>
          <xsl:with-param name="title" select="'Coverage of the run'"/>
        </xsl:call-template>
      </xsl:if>
    </section>
  </xsl:template>

  <!-- One attribute as a row: its name made readable, its value as text. -->
  <xsl:template match="@*" mode="fact">
    <tr>
      <th scope="row">
        <xsl:attribute name="title"><xsl:value-of select="name()"/></xsl:attribute>
        <xsl:call-template name="field-label"/>
      </th>
      <td class="value">
        <xsl:call-template name="text"><xsl:with-param name="value" select="."/></xsl:call-template>
      </td>
    </tr>
  </xsl:template>

  <!-- The run's identification fields under readable names; any other
       attribute (an environment key) under its own name, underscores read as
       blanks. -->
  <xsl:template name="field-label">
    <xsl:choose>
      <xsl:when test="parent::RUN and name() = 'TESTSUITE_PATH'">Test suite path</xsl:when>
      <xsl:when test="parent::RUN and name() = 'AUTHOR'">Author</xsl:when>
      <xsl:when test="parent::REPORT_INFO and name() = 'REPORT_NAME'">Report name</xsl:when>
      <xsl:when test="parent::REPORT_INFO and name() = 'VERSION'">Version</xsl:when>
      <xsl:when test="parent::REPORT_INFO and name() = 'TOOL_VERSION'">Tool version</xsl:when>
      <xsl:when test="parent::REPORT_INFO and name() = 'TARGET'">Target</xsl:when>
      <xsl:when test="parent::REPORT_INFO and name() = 'PTU_FILE_NAME'">PTU file</xsl:when>
      <xsl:when test="parent::REPORT_INFO and name() = 'PTU_VERSION'">PTU version</xsl:when>
      <xsl:when test="parent::REPORT_INFO and name() = 'SRC_FILE_NAME'">Source file</xsl:when>
      <xsl:when test="parent::REPORT_INFO and name() = 'SRC_VERSION'">Source version</xsl:when>
      <xsl:when test="parent::REPORT_INFO and name() = 'PREPRO_DATE'">Preprocessing date</xsl:when>
      <xsl:when test="parent::REPORT_INFO and name() = 'RUN_DATE'">Run date</xsl:when>
      <xsl:when test="parent::REPORT_INFO and name() = 'POSTPRO_DATE'">Postprocessing date</xsl:when>
      <xsl:otherwise><span class="key"><xsl:value-of select="translate(name(), '_', ' ')"/></span></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template match="*" mode="header-entry">
    <xsl:variable name="field" select="@*[name() != 'NAME'][1]"/>
    <tr class="header-entry">
      <td class="entry-tag"><xsl:value-of select="name()"/></td>
      <td class="entry-name"><xsl:call-template name="text"><xsl:with-param name="value" select="@NAME"/></xsl:call-template></td>
      <td class="entry-field">
        <xsl:call-template name="text"><xsl:with-param name="value" select="name($field)"/></xsl:call-template>
      </td>
      <td class="entry-value value">
        <xsl:call-template name="text"><xsl:with-param name="value" select="$field"/></xsl:call-template>
        <!-- Anything beyond one field is not a shape the tool writes; show it all the same. -->
        <xsl:for-each select="@*[name() != 'NAME'][position() &gt; 1]">
          <xsl:text>; </xsl:text>
          <xsl:value-of select="name()"/>
          <xsl:text>=</xsl:text>
          <xsl:value-of select="."/>
        </xsl:for-each>
      </td>
    </tr>
  </xsl:template>

  <xsl:template name="services-overview">
    <section class="card" id="services-overview">
      <h2>Services</h2>
      <xsl:choose>
        <xsl:when test="$services">
          <div class="scroll">
            <table class="grid" id="services">
              <thead>
                <tr>
                  <th>Status</th><th>Service</th><th>Type</th>
                  <th class="num">Valid</th><th class="num">Invalid</th><th class="num">Tests</th>
                </tr>
              </thead>
              <tbody>
                <xsl:apply-templates select="$ko-services" mode="overview"/>
                <xsl:apply-templates select="$ok-services" mode="overview"/>
              </tbody>
            </table>
          </div>
        </xsl:when>
        <xsl:otherwise>
          <p class="none">This report holds no service.</p>
        </xsl:otherwise>
      </xsl:choose>
    </section>
  </xsl:template>

  <xsl:template match="SERVICE" mode="overview">
    <tr>
      <xsl:call-template name="row-status"/>
      <td>
        <xsl:call-template name="badge"><xsl:with-param name="status" select="@STATUS"/></xsl:call-template>
      </td>
      <td class="service-name">
        <a>
          <xsl:attribute name="href">#<xsl:call-template name="service-id"/></xsl:attribute>
          <xsl:call-template name="text"><xsl:with-param name="value" select="@NAME"/></xsl:call-template>
        </a>
      </td>
      <td><xsl:call-template name="text"><xsl:with-param name="value" select="@TYPE"/></xsl:call-template></td>
      <td class="num"><xsl:value-of select="@NB_VALID"/></td>
      <td class="num"><xsl:value-of select="@NB_INVALID"/></td>
      <td class="num"><xsl:value-of select="@NB_TEST"/></td>
    </tr>
  </xsl:template>

  <!-- ================================================================== -->
  <!-- Requirements                                                         -->
  <!-- ================================================================== -->

  <!-- One row per requirement name: KO when any of its occurrences is. -->
  <xsl:template name="requirement-summary">
    <section class="card" id="requirement-summary-card">
      <h2>Requirements</h2>
      <xsl:choose>
        <xsl:when test="$requirements">
          <p class="lead">
            <xsl:choose>
              <xsl:when test="$distinct-failed">
                <strong class="ko-text">
                  <xsl:value-of select="count($distinct-failed)"/>
                  <xsl:text> of </xsl:text>
                  <xsl:value-of select="count($distinct-requirements)"/>
                  <xsl:text> requirements KO</xsl:text>
                </strong>
                <xsl:text>, listed first; a requirement is KO when any of its occurrences is.</xsl:text>
              </xsl:when>
              <xsl:otherwise>
                <xsl:text>All </xsl:text>
                <xsl:value-of select="count($distinct-requirements)"/>
                <xsl:text> requirements OK.</xsl:text>
              </xsl:otherwise>
            </xsl:choose>
          </p>
          <details class="fold">
            <xsl:if test="count($distinct-requirements) &lt;= 40">
              <xsl:attribute name="open">open</xsl:attribute>
            </xsl:if>
            <summary>
              <xsl:value-of select="count($distinct-requirements)"/>
              <xsl:text> requirements, </xsl:text>
              <xsl:value-of select="count($distinct-failed)"/>
              <xsl:text> KO</xsl:text>
              <span class="matches"><xsl:text> </xsl:text></span>
            </summary>
            <div class="scroll">
              <table class="grid" id="requirement-summary">
                <thead>
                  <tr>
                    <th>Status</th><th>Requirement</th>
                    <th class="num">Occurrences</th><th class="num">KO</th>
                  </tr>
                </thead>
                <tbody>
                  <xsl:apply-templates select="$distinct-failed" mode="requirement-summary">
                    <xsl:sort select="@NAME"/>
                  </xsl:apply-templates>
                  <xsl:apply-templates select="$distinct-requirements[not(key('failed-requirement', @NAME))]" mode="requirement-summary">
                    <xsl:sort select="@NAME"/>
                  </xsl:apply-templates>
                </tbody>
              </table>
            </div>
          </details>
        </xsl:when>
        <xsl:otherwise>
          <p class="none">This report holds no requirement.</p>
        </xsl:otherwise>
      </xsl:choose>
    </section>
  </xsl:template>

  <!-- A row per name on a report of tens of thousands: its cells carry no
       class (the table's columns style them) and its verdict is the row's
       class, so that rendering the page stays small. -->
  <xsl:template match="REQUIREMENT" mode="requirement-summary">
    <xsl:variable name="failed" select="count(key('failed-requirement', @NAME))"/>
    <tr>
      <xsl:attribute name="id">req-<xsl:call-template name="id-part"><xsl:with-param name="name" select="@NAME"/></xsl:call-template></xsl:attribute>
      <xsl:if test="$failed &gt; 0">
        <xsl:attribute name="class">ko</xsl:attribute>
      </xsl:if>
      <td>
        <xsl:choose>
          <xsl:when test="$failed &gt; 0">KO</xsl:when>
          <xsl:otherwise>OK</xsl:otherwise>
        </xsl:choose>
      </td>
      <td><xsl:call-template name="text"><xsl:with-param name="value" select="@NAME"/></xsl:call-template></td>
      <td><xsl:value-of select="count(key('requirement', @NAME))"/></td>
      <td><xsl:value-of select="$failed"/></td>
    </tr>
  </xsl:template>

  <!-- Every REQUIREMENT where it stands, KO first. The page already shows
       each one, with its verdict and value, where the run, service, test or
       element that holds it lists its requirements; the script gathers them
       into this table when the fold opens, so that a report of tens of
       thousands of occurrences does not render them twice. Without the
       script the fold says where they are. -->
  <xsl:template name="requirement-occurrences">
    <section class="card" id="requirement-occurrences">
      <h2>Every requirement occurrence</h2>
      <xsl:choose>
        <xsl:when test="$requirements">
          <details class="fold" id="occurrences">
            <xsl:if test="count($requirements) &lt;= 40">
              <xsl:attribute name="open">open</xsl:attribute>
            </xsl:if>
            <summary>
              <xsl:value-of select="count($requirements)"/>
              <xsl:text> occurrences, </xsl:text>
              <xsl:value-of select="count($failed-requirements)"/>
              <xsl:text> KO</xsl:text>
              <span class="matches"><xsl:text> </xsl:text></span>
            </summary>
            <div class="scroll">
              <p class="none" id="occurrences-unlisted">Each occurrence is shown with its verdict in the requirements of its run, service, test or element, below.</p>
            </div>
          </details>
        </xsl:when>
        <xsl:otherwise>
          <p class="none">This report holds no requirement.</p>
        </xsl:otherwise>
      </xsl:choose>
    </section>
  </xsl:template>

  <!-- ================================================================== -->
  <!-- Services, tests, elements                                            -->
  <!-- ================================================================== -->

  <xsl:template match="SERVICE">
    <section>
      <xsl:attribute name="id"><xsl:call-template name="service-id"/></xsl:attribute>
      <xsl:attribute name="class">
        <xsl:text>card service</xsl:text>
        <xsl:if test="not(@STATUS = 'OK')"> ko</xsl:if>
      </xsl:attribute>
      <xsl:attribute name="data-status"><xsl:value-of select="@STATUS"/></xsl:attribute>
      <xsl:attribute name="data-nb-valid"><xsl:value-of select="@NB_VALID"/></xsl:attribute>
      <xsl:attribute name="data-nb-invalid"><xsl:value-of select="@NB_INVALID"/></xsl:attribute>
      <xsl:attribute name="data-nb-test"><xsl:value-of select="@NB_TEST"/></xsl:attribute>
      <h2>
        <xsl:call-template name="badge"><xsl:with-param name="status" select="@STATUS"/></xsl:call-template>
        <xsl:text> </xsl:text>
        <span class="kind">Service</span>
        <xsl:text> </xsl:text>
        <span class="service-name"><xsl:call-template name="text"><xsl:with-param name="value" select="@NAME"/></xsl:call-template></span>
      </h2>
      <p class="counts">
        <span class="label">Type</span>
        <xsl:text> </xsl:text>
        <span class="service-type"><xsl:call-template name="text"><xsl:with-param name="value" select="@TYPE"/></xsl:call-template></span>
        <xsl:text> · </xsl:text>
        <span class="count-valid"><xsl:value-of select="@NB_VALID"/></span>
        <xsl:text> valid · </xsl:text>
        <span>
          <xsl:attribute name="class">
            <xsl:text>count-invalid</xsl:text>
            <xsl:if test="@NB_INVALID != 0"> ko-text</xsl:if>
          </xsl:attribute>
          <xsl:value-of select="@NB_INVALID"/>
        </span>
        <xsl:text> invalid · </xsl:text>
        <span class="count-tests"><xsl:value-of select="@NB_TEST"/></span>
        <xsl:text> tests</xsl:text>
      </p>
      <xsl:if test="COMMENT">
        <xsl:call-template name="comments"><xsl:with-param name="list" select="COMMENT"/></xsl:call-template>
      </xsl:if>
      <xsl:if test="REQUIREMENTS/REQUIREMENT">
        <h3>Requirements of the service</h3>
        <xsl:call-template name="requirement-list">
          <xsl:with-param name="list" select="REQUIREMENTS/REQUIREMENT"/>
        </xsl:call-template>
      </xsl:if>
      <xsl:choose>
        <xsl:when test="TEST">
          <!-- A KO service shows its tests; a service that passed folds them. -->
          <details class="fold tests-box">
            <xsl:if test="not(@STATUS = 'OK')">
              <xsl:attribute name="open">open</xsl:attribute>
            </xsl:if>
            <summary>
              <xsl:text>Tests: </xsl:text>
              <xsl:value-of select="count(TEST)"/>
              <xsl:text>, </xsl:text>
              <xsl:value-of select="count(TEST[not(@STATUS = 'OK')])"/>
              <xsl:text> KO</xsl:text>
            </summary>
            <div class="scroll">
              <table class="grid tests">
                <thead>
                  <tr><th>Status</th><th>Test</th><th>Details</th></tr>
                </thead>
                <tbody>
                  <xsl:apply-templates select="TEST"/>
                </tbody>
              </table>
            </div>
          </details>
        </xsl:when>
        <xsl:otherwise>
          <p class="none">No test in this service.</p>
        </xsl:otherwise>
      </xsl:choose>
      <xsl:if test="COVERAGE_RESULT">
        <xsl:call-template name="coverage">
          <xsl:with-param name="blocks" select="COVERAGE_RESULT"/>
          <xsl:with-param name="title" select="'Coverage of the service'"/>
        </xsl:call-template>
      </xsl:if>
    </section>
  </xsl:template>

  <!-- A test row: its verdict is its first cell, and the class "ko" when it
       is not OK. Thousands of rows, so no attribute that the row's class
       or the table's columns can stand for. -->
  <xsl:template match="TEST">
    <tr>
      <xsl:attribute name="id"><xsl:call-template name="test-id"/></xsl:attribute>
      <xsl:attribute name="class">
        <xsl:text>test</xsl:text>
        <xsl:if test="not(@STATUS = 'OK')"> ko</xsl:if>
      </xsl:attribute>
      <td class="test-status"><b><xsl:call-template name="text"><xsl:with-param name="value" select="@STATUS"/></xsl:call-template></b></td>
      <td class="test-name"><xsl:call-template name="text"><xsl:with-param name="value" select="@NAME"/></xsl:call-template></td>
      <td>
        <xsl:choose>
          <xsl:when test="COMMENT | REQUIREMENTS/REQUIREMENT | ELEMENT | COVERAGE_RESULT">
            <xsl:if test="COMMENT">
              <xsl:call-template name="comments"><xsl:with-param name="list" select="COMMENT"/></xsl:call-template>
            </xsl:if>
            <xsl:if test="REQUIREMENTS/REQUIREMENT">
              <xsl:call-template name="requirement-list">
                <xsl:with-param name="list" select="REQUIREMENTS/REQUIREMENT"/>
              </xsl:call-template>
            </xsl:if>
            <xsl:if test="ELEMENT">
              <div class="elements">
                <xsl:apply-templates select="ELEMENT"/>
              </div>
            </xsl:if>
            <xsl:if test="COVERAGE_RESULT">
              <xsl:call-template name="coverage">
                <xsl:with-param name="blocks" select="COVERAGE_RESULT"/>
                <xsl:with-param name="title" select="'Coverage'"/>
              </xsl:call-template>
            </xsl:if>
          </xsl:when>
          <xsl:otherwise><span class="empty">—</span></xsl:otherwise>
        </xsl:choose>
      </td>
    </tr>
  </xsl:template>

  <!-- An element, as a requirement is listed: its verdict written when it
       is not OK (with the class "ko"), the OK badge shown by the
       stylesheet. -->
  <xsl:template match="ELEMENT">
    <div>
      <xsl:attribute name="id"><xsl:call-template name="element-id"/></xsl:attribute>
      <xsl:attribute name="class">
        <xsl:text>element</xsl:text>
        <xsl:if test="not(@STATUS = 'OK')"> ko</xsl:if>
      </xsl:attribute>
      <xsl:if test="not(@STATUS = 'OK')">
        <b><xsl:call-template name="text"><xsl:with-param name="value" select="@STATUS"/></xsl:call-template></b>
        <xsl:text> </xsl:text>
      </xsl:if>
      <code><xsl:call-template name="text"><xsl:with-param name="value" select="@NAME"/></xsl:call-template></code>
      <xsl:if test="COMMENT">
        <xsl:call-template name="comments"><xsl:with-param name="list" select="COMMENT"/></xsl:call-template>
      </xsl:if>
      <xsl:if test="REQUIREMENTS/REQUIREMENT">
        <xsl:call-template name="requirement-list">
          <xsl:with-param name="list" select="REQUIREMENTS/REQUIREMENT"/>
        </xsl:call-template>
      </xsl:if>
    </div>
  </xsl:template>

  <!-- ================================================================== -->
  <!-- Comments, requirements, attributes                                   -->
  <!-- ================================================================== -->

  <xsl:template name="comments">
    <xsl:param name="list"/>
    <ul class="comments">
      <xsl:for-each select="$list">
        <li><xsl:call-template name="text"><xsl:with-param name="value" select="."/></xsl:call-template></li>
      </xsl:for-each>
    </ul>
  </xsl:template>

  <!-- A requirement as its verdict, name, value and the attributes the
       value does not show. There is one per occurrence, tens of thousands on
       some reports, and rendering the page costs by the node, an attribute
       most: so plain code, small and span elements styled by the list's
       class, and a verdict written only when it is not OK (with the class
       "ko"). The stylesheet shows the OK badge of the others. -->
  <xsl:template name="requirement-list">
    <xsl:param name="list"/>
    <ul class="reqs">
      <xsl:for-each select="$list">
        <li>
          <xsl:if test="not(@STATUS = 'OK')">
            <xsl:attribute name="class">ko</xsl:attribute>
            <b><xsl:call-template name="text"><xsl:with-param name="value" select="@STATUS"/></xsl:call-template></b>
            <xsl:text> </xsl:text>
          </xsl:if>
          <code><xsl:call-template name="text"><xsl:with-param name="value" select="@NAME"/></xsl:call-template></code>
          <xsl:if test="string(@VALUE) != ''">
            <xsl:text> </xsl:text>
            <small><xsl:value-of select="@VALUE"/></small>
          </xsl:if>
          <!-- An attribute that the value shows as it is (name=value or
               name:value) is not shown a second time: on a requirement-heavy
               report the repeated chips were most of the page. The others
               (a $NAME resolved, a value spelt otherwise) are, as
               name=value. -->
          <xsl:variable name="value" select="string(@VALUE)"/>
          <xsl:for-each select="ATTRIBUTE[not(contains($value, concat(@NAME, '=', @VALUE)))
                                          and not(contains($value, concat(@NAME, ':', @VALUE)))]">
            <xsl:text> </xsl:text>
            <span><xsl:value-of select="concat(@NAME, '=', @VALUE)"/></span>
          </xsl:for-each>
        </li>
      </xsl:for-each>
    </ul>
  </xsl:template>

  <!-- ================================================================== -->
  <!-- Coverage                                                             -->
  <!-- ================================================================== -->

  <xsl:template name="coverage">
    <xsl:param name="blocks"/>
    <xsl:param name="title"/>
    <details class="fold coverage-box">
      <summary>
        <xsl:value-of select="$title"/>
        <xsl:text>: </xsl:text>
        <xsl:value-of select="count($blocks)"/>
        <xsl:choose>
          <xsl:when test="count($blocks) = 1"> module</xsl:when>
          <xsl:otherwise> modules</xsl:otherwise>
        </xsl:choose>
      </summary>
      <div class="coverage-blocks">
        <xsl:for-each select="$blocks">
          <table class="grid coverage">
            <xsl:attribute name="data-module"><xsl:value-of select="@MODULE"/></xsl:attribute>
            <caption>
              <span class="module"><xsl:call-template name="text"><xsl:with-param name="value" select="@MODULE"/></xsl:call-template></span>
              <xsl:if test="count(COVERAGE_DETAILS) &gt; 1">
                <!-- The module's total, here rather than in a footer row: a
                     test's coverage table is one of thousands on a large page. -->
                <xsl:text>: </xsl:text>
                <xsl:value-of select="sum(COVERAGE_DETAILS/@COVERED_BRANCH)"/>
                <xsl:text> of </xsl:text>
                <xsl:value-of select="sum(COVERAGE_DETAILS/@BRANCH_NUMBER)"/>
                <xsl:text> branches, </xsl:text>
                <xsl:call-template name="ratio">
                  <xsl:with-param name="covered" select="sum(COVERAGE_DETAILS/@COVERED_BRANCH)"/>
                  <xsl:with-param name="total" select="sum(COVERAGE_DETAILS/@BRANCH_NUMBER)"/>
                  <xsl:with-param name="element" select="'span'"/>
                </xsl:call-template>
              </xsl:if>
            </caption>
            <thead>
              <tr>
                <th>Code</th><th class="num">Covered</th><th class="num">Branches</th><th class="num">Ratio</th>
              </tr>
            </thead>
            <tbody>
              <xsl:for-each select="COVERAGE_DETAILS">
                <tr>
                  <td class="code"><xsl:call-template name="text"><xsl:with-param name="value" select="@CODE"/></xsl:call-template></td>
                  <td class="num covered"><xsl:call-template name="text"><xsl:with-param name="value" select="@COVERED_BRANCH"/></xsl:call-template></td>
                  <td class="num branches"><xsl:call-template name="text"><xsl:with-param name="value" select="@BRANCH_NUMBER"/></xsl:call-template></td>
                  <xsl:call-template name="ratio">
                    <xsl:with-param name="covered" select="number(@COVERED_BRANCH)"/>
                    <xsl:with-param name="total" select="number(@BRANCH_NUMBER)"/>
                    <xsl:with-param name="element" select="'td'"/>
                  </xsl:call-template>
                </tr>
              </xsl:for-each>
            </tbody>
          </table>
        </xsl:for-each>
      </div>
    </details>
  </xsl:template>

  <!-- A ratio as a td or span of class ratio. It needs branches to count: a
       total of 0, or a count that is not a number, gives "n/a" instead of a
       division by zero. The ratio is text (coloured when below 100%), not a
       drawn bar: thousands of bars would weigh on a large page. -->
  <xsl:template name="ratio">
    <xsl:param name="covered"/>
    <xsl:param name="total"/>
    <xsl:param name="element"/>
    <xsl:element name="{$element}">
      <xsl:choose>
        <xsl:when test="$total &gt; 0 and $covered &gt;= 0">
          <xsl:variable name="percent" select="100 * $covered div $total"/>
          <xsl:attribute name="class">
            <xsl:text>num ratio</xsl:text>
            <xsl:choose>
              <xsl:when test="$percent &gt;= 100"> full</xsl:when>
              <xsl:when test="$percent &gt;= 50"> partial</xsl:when>
              <xsl:otherwise> low</xsl:otherwise>
            </xsl:choose>
          </xsl:attribute>
          <xsl:value-of select="format-number($percent, '0.0')"/>
          <xsl:text>%</xsl:text>
        </xsl:when>
        <xsl:otherwise>
          <xsl:attribute name="class">num ratio none</xsl:attribute>
          <xsl:attribute name="title">no branch to cover</xsl:attribute>
          <xsl:text>n/a</xsl:text>
        </xsl:otherwise>
      </xsl:choose>
    </xsl:element>
  </xsl:template>

  <!-- ================================================================== -->
  <!-- Anchors                                                              -->
  <!-- ================================================================== -->

  <!-- A name as id characters (see the head of this file). The characters
       to encode are found all at once, and the text between them is copied
       in one piece, so a plain name costs one test. -->
  <xsl:template name="id-part">
    <xsl:param name="name"/>
    <xsl:variable name="special" select="translate($name, translate($name, $id-specials, ''), '')"/>
    <xsl:choose>
      <xsl:when test="$special = ''"><xsl:value-of select="$name"/></xsl:when>
      <xsl:otherwise>
        <xsl:variable name="c" select="substring($special, 1, 1)"/>
        <xsl:value-of select="substring-before($name, $c)"/>
        <xsl:text>.</xsl:text>
        <xsl:value-of select="substring($id-hex, 2 * string-length(substring-before($id-specials, $c)) + 1, 2)"/>
        <xsl:call-template name="id-part">
          <xsl:with-param name="name" select="substring-after($name, $c)"/>
        </xsl:call-template>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- "~N" for the Nth sibling of the current node's name, nothing for the
       first: the first keeps its anchor when a namesake is added after it. -->
  <xsl:template name="namesake-suffix">
    <xsl:param name="namesakes"/>
    <xsl:if test="count($namesakes) &gt; 1">
      <xsl:variable name="me" select="generate-id()"/>
      <xsl:for-each select="$namesakes">
        <xsl:if test="generate-id() = $me and position() &gt; 1">
          <xsl:text>~</xsl:text>
          <xsl:value-of select="position()"/>
        </xsl:if>
      </xsl:for-each>
    </xsl:if>
  </xsl:template>

  <!-- The service's own part of an anchor; the current node is a SERVICE. -->
  <xsl:template name="service-part">
    <xsl:call-template name="id-part"><xsl:with-param name="name" select="@NAME"/></xsl:call-template>
    <xsl:call-template name="namesake-suffix">
      <xsl:with-param name="namesakes" select="key('service', @NAME)"/>
    </xsl:call-template>
  </xsl:template>

  <xsl:template name="test-part">
    <xsl:call-template name="id-part"><xsl:with-param name="name" select="@NAME"/></xsl:call-template>
    <xsl:call-template name="namesake-suffix">
      <xsl:with-param name="namesakes" select="key('test', concat(generate-id(..), '/', @NAME))"/>
    </xsl:call-template>
  </xsl:template>

  <xsl:template name="service-id">
    <xsl:text>svc-</xsl:text>
    <xsl:call-template name="service-part"/>
  </xsl:template>

  <xsl:template name="test-id">
    <xsl:text>test-</xsl:text>
    <xsl:for-each select=".."><xsl:call-template name="service-part"/></xsl:for-each>
    <xsl:text>/</xsl:text>
    <xsl:call-template name="test-part"/>
  </xsl:template>

  <xsl:template name="element-id">
    <xsl:text>elem-</xsl:text>
    <xsl:for-each select="../.."><xsl:call-template name="service-part"/></xsl:for-each>
    <xsl:text>/</xsl:text>
    <xsl:for-each select=".."><xsl:call-template name="test-part"/></xsl:for-each>
    <xsl:text>/</xsl:text>
    <xsl:call-template name="id-part"><xsl:with-param name="name" select="@NAME"/></xsl:call-template>
    <xsl:call-template name="namesake-suffix">
      <xsl:with-param name="namesakes" select="../ELEMENT[@NAME = current()/@NAME]"/>
    </xsl:call-template>
  </xsl:template>

  <!-- ================================================================== -->
  <!-- Small pieces                                                         -->
  <!-- ================================================================== -->

  <!-- A data text, or a dash standing for an empty one. -->
  <xsl:template name="text">
    <xsl:param name="value"/>
    <xsl:choose>
      <xsl:when test="string($value) != ''"><xsl:value-of select="$value"/></xsl:when>
      <xsl:otherwise><span class="empty" title="empty">—</span></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- A status word in a badge: the word itself is shown, so KO does not
       rely on colour alone. -->
  <xsl:template name="badge">
    <xsl:param name="status"/>
    <xsl:param name="id"/>
    <span>
      <xsl:if test="$id">
        <xsl:attribute name="id"><xsl:value-of select="$id"/></xsl:attribute>
      </xsl:if>
      <xsl:attribute name="class">
        <xsl:text>badge </xsl:text>
        <xsl:choose>
          <xsl:when test="$status = 'OK'">badge-ok</xsl:when>
          <xsl:when test="$status = 'KO'">badge-ko</xsl:when>
          <xsl:otherwise>badge-unknown</xsl:otherwise>
        </xsl:choose>
      </xsl:attribute>
      <xsl:call-template name="text"><xsl:with-param name="value" select="$status"/></xsl:call-template>
    </span>
  </xsl:template>

  <xsl:template name="row-status">
    <xsl:attribute name="class">
      <xsl:choose>
        <xsl:when test="@STATUS = 'OK'">ok</xsl:when>
        <xsl:otherwise>ko</xsl:otherwise>
      </xsl:choose>
    </xsl:attribute>
    <xsl:attribute name="data-status"><xsl:value-of select="@STATUS"/></xsl:attribute>
  </xsl:template>

  <!-- The search box and the "KO only" switch. A row stays when it is not
       OK (under "KO only") and its text holds the search text; a service
       stays when it is not OK (under "KO only") and its name or one of its
       remaining tests holds the search text. The services table follows
       the service cards, and each long fold says how many of its rows the
       filter keeps; the rows of a closed fold are filtered when it opens.
       Also opens the folded parts around the target of a link, and opens
       every fold and lifts the filter while the page is printed.

       The filter lives in the fragment, as on the campaign page:
       #search=TEXT&filter=ko (filter holds names separated by commas; this
       page knows "ko"). It is written back as it changes, so a filtered view
       can be pasted into a ticket; the older ?q=TEXT&ko=1 still opens the
       page filtered. A fragment without '=' is an anchor (ids never hold
       one). Each part is decoded on its own: a bad escape keeps its text as
       typed and loses nothing else.

       Kept fast on a page of tens of thousands of rows: the rows and their
       texts are gathered once (the texts while the page is idle), and a
       row's hidden flag is written only when it changes.

       Holds no '<', '>' or '&' (see the head of this file). -->
  <xsl:template name="script">
(function () {
  "use strict";
  var bar = document.getElementById("filters");
  var box = document.getElementById("filter-text");
  var koOnly = document.getElementById("filter-ko");
  var amp = String.fromCharCode(38);
  var groups = null;
  var services = null;
  var overview = null;
  function list(selector, root) {
    return Array.prototype.slice.call((root || document).querySelectorAll(selector));
  }
  function entry(el) {
    return { el: el, text: null, ok: !el.classList.contains("ko") };
  }
  function textOf(item) {
    if (item.text === null) {
      item.text = item.el.textContent.toLowerCase();
    }
    return item.text;
  }
  function gather() {
    if (groups) {
      return;
    }
    groups = [{ fold: null, label: null, items: list("#failing-tests li").map(entry) }];
    list("details.fold").forEach(function (fold) {
      var label = fold.querySelector("summary .matches");
      if (label) {
        var group = { fold: fold, label: label, items: list("#requirement-summary tbody tr, tr.req-row", fold).map(entry) };
        groups.push(group);
        fold.addEventListener("toggle", function () { filterGroup(group); });
      }
    });
    services = list("section.service").map(function (section) {
      var item = entry(section);
      item.name = entry(section.querySelector(".service-name"));
      item.tests = list("tr.test", section).map(entry);
      item.box = section.querySelector("details.tests-box");
      return item;
    });
    overview = list("#services tbody tr").map(function (row) {
      return { el: row, id: row.querySelector("a").getAttribute("href").slice(1) };
    });
  }
  // The occurrence table, gathered from the requirement lists of the page
  // the first time its fold opens or the page is printed: KO first, then
  // in the order of the page.
  var occurrenceFold = document.getElementById("occurrences");
  var occurrencesBuilt = false;
  // A cell: a link when href is given, a muted dash when text is null, a
  // muted word when muted is given. Rows and cells are made with
  // createElement: insertRow and insertCell take seconds for thousands.
  function add(parent, tag) {
    return parent.appendChild(document.createElement(tag));
  }
  function cell(row, name, text, href, muted) {
    var td = add(row, "td");
    td.className = name;
    var inner = td;
    if (href) {
      inner = add(td, "a");
      inner.href = href;
    } else if (text === null || muted) {
      inner = add(td, "span");
      inner.className = text === null ? "empty" : muted;
    }
    inner.textContent = text === null ? "\u2014" : text;
  }
  function buildOccurrences() {
    if (occurrencesBuilt || !occurrenceFold) {
      return;
    }
    occurrencesBuilt = true;
    var ids = new Map();
    list("#requirement-summary tbody tr").forEach(function (row) {
      ids.set(row.cells[1].textContent, row.id);
    });
    var table = document.createElement("table");
    table.className = "grid";
    table.id = "requirements";
    var head = add(add(table, "thead"), "tr");
    ["Status", "Requirement", "Service", "Test", "Element"].forEach(function (title) {
      add(head, "th").textContent = title;
    });
    var body = add(table, "tbody");
    var rows = list("ul.reqs li.ko").concat(list("ul.reqs li:not(.ko)"));
    rows.forEach(function (li) {
      var ko = li.classList.contains("ko");
      var status = ko ? li.querySelector("b").textContent : "OK";
      var name = li.querySelector("code").textContent;
      var element = li.closest("div.element");
      var test = li.closest("tr.test");
      var service = li.closest("section.service");
      var row = add(body, "tr");
      row.className = ko ? "req-row ko" : "req-row";
      row.setAttribute("data-status", status);
      row.setAttribute("data-level", element ? "element" : test ? "test" : service ? "service" : "run");
      cell(row, "req-status", status);
      cell(row, "req-name", name, "#" + ids.get(name));
      if (service) {
        cell(row, "where-service", service.querySelector(".service-name").textContent, "#" + service.id);
      } else {
        cell(row, "where-service", "run", null, "level");
      }
      cell(row, "where-test", test ? test.querySelector(".test-name").textContent : null,
           test ? "#" + test.id : null);
      cell(row, "where-element", element ? element.querySelector("code").textContent : null);
    });
    var place = document.getElementById("occurrences-unlisted");
    place.parentNode.replaceChild(table, place);
    (groups || []).forEach(function (group) {
      if (group.fold === occurrenceFold) {
        group.items = list("tr.req-row", occurrenceFold).map(entry);
      }
    });
  }
  if (occurrenceFold) {
    if (occurrenceFold.open) {
      buildOccurrences();
    }
    occurrenceFold.addEventListener("toggle", buildOccurrences);
  }
  function show(el, keep) {
    if (el.hidden === keep) {
      el.hidden = !keep;
    }
  }
  var needle = "";
  var ko = false;
  function passes(item) {
    return (!ko || !item.ok) ? (needle === "" || textOf(item).indexOf(needle) !== -1) : false;
  }
  // The rows of a closed fold are filtered when it opens: a keystroke does
  // not pay for thousands of rows no one sees.
  function filterGroup(group) {
    var filtered = needle !== "" || ko;
    if (group.fold !== null ? !group.fold.open : false) {
      group.label.textContent = filtered ? " (filtered when opened)" : "";
      return;
    }
    var shown = 0;
    group.items.forEach(function (item) {
      var keep = passes(item);
      show(item.el, keep);
      shown += keep ? 1 : 0;
    });
    if (group.label) {
      group.label.textContent = filtered ? " (" + shown + " kept by the filter)" : "";
    }
  }
  function apply() {
    gather();
    needle = box.value.trim().toLowerCase();
    ko = koOnly.checked;
    groups.forEach(filterGroup);
    var kept = new Set();
    services.forEach(function (service) {
      var byName = needle === "" || textOf(service.name).indexOf(needle) !== -1;
      var anyTest = false;
      service.tests.forEach(function (test) {
        var keep = (!ko || !test.ok) ? (byName || passes(test)) : false;
        show(test.el, keep);
        anyTest = anyTest || keep;
      });
      var keepService = (!ko || !service.ok) ? (byName || anyTest) : false;
      show(service.el, keepService);
      if (keepService) {
        kept.add(service.el.id);
        if (service.box) {
          service.box.open = service.box.open || (anyTest ? needle !== "" || ko : false);
        }
      }
    });
    overview.forEach(function (row) { show(row.el, kept.has(row.id)); });
  }
  // Texts gathered a slice at a time while the page is idle, so that the
  // first keystroke does not pay for all of them.
  function warm() {
    gather();
    var items = [];
    groups.forEach(function (group) { Array.prototype.push.apply(items, group.items); });
    services.forEach(function (service) {
      items.push(service.name);
      Array.prototype.push.apply(items, service.tests);
    });
    var next = 0;
    function slice() {
      var stop = Math.min(items.length, next + 2000);
      while (next !== stop) {
        textOf(items[next]);
        next += 1;
      }
      if (next !== items.length) {
        schedule(slice);
      }
    }
    schedule(slice);
  }
  function schedule(fn) {
    if (window.requestIdleCallback) {
      window.requestIdleCallback(fn);
    } else {
      setTimeout(fn, 50);
    }
  }
  function decode(text) {
    try {
      return decodeURIComponent(text);
    } catch (e) {
      return text;
    }
  }
  // The filter named by the fragment, or null when the fragment is an anchor.
  function fromFragment() {
    var fragment = location.hash.slice(1);
    if (fragment.indexOf("=") === -1) {
      return null;
    }
    var wanted = { search: "", ko: false };
    fragment.split(amp).forEach(function (pair) {
      var at = pair.indexOf("=");
      var key = at === -1 ? pair : pair.slice(0, at);
      var value = at === -1 ? "" : decode(pair.slice(at + 1));
      if (key === "search") {
        wanted.search = value;
      } else if (key === "filter") {
        wanted.ko = value.split(",").indexOf("ko") !== -1;
      }
    });
    return wanted;
  }
  function fromQuery() {
    var query = new URLSearchParams(location.search);
    return { search: query.get("q") || "", ko: query.get("ko") === "1" };
  }
  function set(wanted) {
    box.value = wanted.search;
    koOnly.checked = wanted.ko;
  }
  // The filter written back into the fragment; the old query is dropped so
  // that the address names one filter only.
  function remember() {
    var parts = [];
    if (box.value !== "") {
      parts.push("search=" + encodeURIComponent(box.value));
    }
    if (koOnly.checked) {
      parts.push("filter=ko");
    }
    var url = location.pathname + (parts.length ? "#" + parts.join(amp) : "");
    try {
      history.replaceState(null, "", url);
    } catch (e) {
      location.replace("#" + parts.join(amp));
    }
  }
  function changed() {
    apply();
    remember();
  }
  function reveal() {
    var target = location.hash ? document.getElementById(decode(location.hash.slice(1))) : null;
    for (var el = target; el; el = el.parentElement) {
      if (el.tagName === "DETAILS") {
        el.open = true;
      }
    }
    if (target) {
      target.scrollIntoView();
    }
  }
  // Printed whole: every fold open and every row shown (the print rules of
  // the stylesheet show hidden rows); the folds are closed again after.
  var closedForPrint = [];
  window.addEventListener("beforeprint", function () {
    buildOccurrences();
    closedForPrint = list("details:not([open])");
    closedForPrint.forEach(function (d) { d.open = true; });
  });
  window.addEventListener("afterprint", function () {
    closedForPrint.forEach(function (d) { d.open = false; });
    closedForPrint = [];
  });
  set(fromFragment() || fromQuery());
  bar.hidden = false;
  box.addEventListener("input", changed);
  koOnly.addEventListener("change", changed);
  window.addEventListener("hashchange", function () {
    var wanted = fromFragment();
    if (wanted) {
      set(wanted);
      apply();
    } else {
      reveal();
    }
  });
  if (box.value !== "" || koOnly.checked) {
    apply();
  }
  reveal();
  if (document.readyState === "complete") {
    warm();
  } else {
    window.addEventListener("load", warm);
  }
})();
  </xsl:template>

  <!-- Colours: every text meets WCAG AA (4.5:1) on the backgrounds it is
       shown on; the ratios are in the test that checks them. The CSS holds
       no '>' (see the head of this file). -->
  <xsl:template name="css">
:root {
  --ink: #1f2933; --muted: #52606d; --line: #d9dee3; --paper: #ffffff; --page: #f5f7fa;
  --ok: #146c2e; --ok-bg: #e6f4ea; --ko: #b42318; --ko-bg: #fdecea; --ko-line: #d92d20;
  --accent: #2a5580; --unknown: #6f560f; --unknown-bg: #fdf6e3; --partial: #7a4d00;
}
* { box-sizing: border-box; }
[hidden] { display: none !important; }
html { background: var(--page); }
body { margin: 0; color: var(--ink); font: 15px/1.5 system-ui, -apple-system, "Segoe UI", Roboto, "Noto Sans", "DejaVu Sans", sans-serif; overflow-wrap: break-word; }
.wrap { max-width: 1220px; margin: 0 auto; padding: 0 24px; }
.page-head { background: var(--paper); border-bottom: 1px solid var(--line); padding: 20px 0 16px; border-top: 6px solid var(--ok); }
.page-head[data-status="KO"] { border-top-color: var(--ko-line); }
.kicker { margin: 0; color: var(--muted); font-size: 13px; letter-spacing: .06em; text-transform: uppercase; }
h1 { margin: 4px 0 6px; font-size: 26px; font-weight: 600; display: flex; flex-wrap: wrap; align-items: center; gap: 12px; }
h1 .title { min-width: 0; }
h1 .badge { font-size: 16px; padding: 3px 12px; }
h2 { font-size: 19px; font-weight: 600; margin: 0 0 12px; }
h3 { font-size: 14px; font-weight: 600; color: var(--muted); text-transform: uppercase; letter-spacing: .04em; margin: 18px 0 8px; }
.subtitle { margin: 0; color: var(--muted); }
.notice { margin: 12px 0 0; padding: 10px 14px; border: 1px solid var(--ko-line); border-left-width: 5px; border-radius: 6px; background: var(--ko-bg); color: var(--ko); font-weight: 600; }
.label { color: var(--muted); font-size: 13px; }
.path, .author { color: var(--ink); font-family: ui-monospace, "DejaVu Sans Mono", Menlo, Consolas, monospace; font-size: 14px; }
.sr { position: absolute; width: 1px; height: 1px; overflow: hidden; clip: rect(0 0 0 0); }
main.wrap { padding-top: 20px; padding-bottom: 40px; }
.contents ol { margin: 0; padding-left: 20px; columns: 2 240px; }
.contents .n { color: var(--muted); font-variant-numeric: tabular-nums; }
.tiles { display: grid; grid-template-columns: repeat(6, minmax(0, 1fr)); gap: 12px; margin-top: 20px; }
.tile { background: var(--paper); border: 1px solid var(--line); border-radius: 8px; padding: 12px 16px; }
.tile-value { display: block; font-size: 28px; font-weight: 600; font-variant-numeric: tabular-nums; }
.tile-label { color: var(--muted); font-size: 13px; }
.tile-note { display: block; color: var(--muted); font-size: 12px; }
.tile-ok .tile-value { color: var(--ok); }
.tile-ko { border-color: var(--ko-line); background: var(--ko-bg); }
.tile-ko .tile-value { color: var(--ko); }
.tile-quiet .tile-value { color: var(--muted); }
.meter { display: flex; height: 8px; border-radius: 4px; overflow: hidden; margin: 14px 0 4px; background: var(--line); }
.meter span { display: block; font-size: 0; line-height: 0; }
.meter-ok { background: var(--ok); }
.meter-ko { background: var(--ko-line); }
.filters { position: sticky; top: 0; z-index: 2; display: flex; flex-wrap: wrap; gap: 8px 20px; align-items: center; margin-top: 20px; padding: 10px 14px; background: var(--paper); border: 1px solid var(--line); border-radius: 8px; }
.filters input[type="search"] { font: inherit; color: var(--ink); background: var(--paper); width: 18em; max-width: 100%; padding: 4px 8px; border: 1px solid #7b8794; border-radius: 4px; }
.filters .search { display: flex; flex-wrap: wrap; align-items: center; gap: 6px; max-width: 100%; }
.card { background: var(--paper); border: 1px solid var(--line); border-radius: 8px; padding: 18px 20px; margin-top: 20px; }
.card.service { content-visibility: auto; contain-intrinsic-size: auto 320px; }
.card.service.ko { border-left: 5px solid var(--ko-line); }
.columns { display: grid; grid-template-columns: minmax(0, 1fr) minmax(0, 1fr); gap: 24px; }
.columns h3:first-child { margin-top: 0; }
.scroll { overflow-x: auto; max-width: 100%; }
table { border-collapse: collapse; width: 100%; }
.facts th { text-align: left; font-weight: 500; color: var(--muted); width: 38%; padding: 4px 12px 4px 0; vertical-align: top; }
.facts .key { display: inline-block; text-transform: lowercase; }
.facts .key::first-letter { text-transform: uppercase; }
.facts td { padding: 4px 0; border-bottom: 1px solid var(--line); }
.facts tr:last-child td { border-bottom: 0; }
.grid th { white-space: nowrap; text-align: left; font-size: 12px; font-weight: 600; color: var(--muted); text-transform: uppercase; letter-spacing: .04em; padding: 6px 10px; border-bottom: 2px solid var(--line); }
.grid td { padding: 7px 10px; border-bottom: 1px solid var(--line); vertical-align: top; }
.grid tr.ko td { background: var(--ko-bg); }
.grid tr.ko td:first-child { box-shadow: inset 4px 0 0 var(--ko-line); }
.num { text-align: right; font-variant-numeric: tabular-nums; }
.grid th.num { text-align: right; }
.value { white-space: pre-wrap; }
/* A badge is a span.badge, or in the long lists a plain b (written only
   when not OK, or in a test's status cell) and the OK that the stylesheet
   writes before a requirement or an element that is OK. */
.badge, td.test-status b, ul.reqs b, ul.reqs li:not(.ko)::before, .element b, .element:not(.ko)::before { display: inline-block; min-width: 2.6em; text-align: center; font-size: 12px; font-weight: 700; letter-spacing: .05em; padding: 1px 7px; border-radius: 999px; line-height: 1.6; }
.badge-ok, td.test-status b, ul.reqs li:not(.ko)::before, .element:not(.ko)::before { color: var(--ok); background: var(--ok-bg); border: 1px solid #9fd3ad; }
.badge-ko, tr.ko td.test-status b, ul.reqs b, .element b { color: #ffffff; background: var(--ko-line); border: 1px solid var(--ko); }
ul.reqs li:not(.ko)::before, .element:not(.ko)::before { content: "OK"; margin-right: .3em; }
.badge-unknown { color: var(--unknown); background: var(--unknown-bg); border: 1px solid #ecd9a6; }
.ko-text { color: var(--ko); }
td.req-status, #requirement-summary td:first-child { width: 64px; font-size: 12px; font-weight: 700; letter-spacing: .05em; color: var(--ok); }
tr.ko td.req-status, #requirement-summary tr.ko td:first-child { color: var(--ko); }
#requirement-summary td:nth-child(n+3) { text-align: right; font-variant-numeric: tabular-nums; }
.matches { color: var(--muted); font-weight: 400; }
.lead { margin: 0 0 10px; }
.none { color: var(--muted); font-style: italic; margin: 0; }
.empty { color: var(--muted); }
.level { color: var(--muted); font-style: italic; }
.kind { color: var(--muted); font-weight: 400; }
.counts { margin: -4px 0 10px; color: var(--muted); }
.counts span:not(.label) { color: var(--ink); font-weight: 600; font-variant-numeric: tabular-nums; }
.counts .ko-text { color: var(--ko); }
.req-name, .test-name, .service-name, .entry-tag, .code, .module, ul.reqs code, .element code, #requirement-summary td:nth-child(2) { font-family: ui-monospace, "DejaVu Sans Mono", Menlo, Consolas, monospace; font-size: 13.5px; }
.test-name { font-weight: 600; }
.tests td.test-status { width: 64px; }
.tests td.test-name { width: 24%; }
ol.failing { margin: 0; padding-left: 24px; columns: 2 320px; }
ol.failing li { margin: 2px 0; break-inside: avoid; }
.why { color: var(--muted); font-size: 13px; }
details.fold { margin-top: 8px; }
details.fold summary { cursor: pointer; font-weight: 600; color: var(--ink); padding: 2px 0; }
ul.comments { list-style: none; margin: 0 0 6px; padding: 0; }
ul.comments li { white-space: pre-wrap; color: #3e4c59; padding-left: 12px; border-left: 3px solid #cbd2d9; margin: 2px 0; }
ul.reqs { list-style: none; margin: 4px 0; padding: 0; }
ul.reqs li { margin: 3px 0; }
ul.reqs small { color: var(--muted); font-size: 13.5px; white-space: pre-wrap; }
ul.reqs span:not(.empty) { display: inline-block; max-width: 100%; background: #eef2f6; border: 1px solid var(--line); border-radius: 4px; margin: 1px 2px; padding: 0 6px; font-size: 12.5px; white-space: pre-wrap; vertical-align: middle; }
.elements { margin-top: 6px; display: grid; gap: 6px; }
.element { border: 1px solid var(--line); border-radius: 6px; padding: 6px 10px; background: #fafbfc; }
.element.ko { border-color: var(--ko-line); background: var(--ko-bg); box-shadow: inset 4px 0 0 var(--ko-line); }
.coverage-blocks { display: grid; grid-template-columns: repeat(auto-fill, minmax(min(100%, 400px), 1fr)); gap: 12px; margin-top: 6px; overflow-x: auto; }
.coverage { border: 1px solid var(--line); border-radius: 6px; }
.coverage caption { text-align: left; padding: 0 0 4px; font-size: 13px; }
.coverage td, .coverage th { padding: 4px 8px; }
.coverage caption .ratio { font-weight: 600; }
.ratio { white-space: nowrap; }
.ratio.partial { color: var(--partial); }
.ratio.low { color: var(--ko); }
.ratio.none { color: var(--muted); }
a { color: var(--accent); text-decoration: none; }
a:hover, a:focus { text-decoration: underline; }
:target { outline: 3px solid var(--accent); outline-offset: 2px; }
.page-foot { color: var(--muted); font-size: 12.5px; margin-top: 28px; text-align: center; }
@media (max-width: 900px) { .tiles { grid-template-columns: repeat(3, minmax(0, 1fr)); } .columns { grid-template-columns: minmax(0, 1fr); } }
@media (max-width: 600px) {
  .wrap { padding: 0 10px; }
  .card { padding: 14px 12px; }
  .tiles { grid-template-columns: repeat(2, minmax(0, 1fr)); gap: 8px; }
  .tile { padding: 10px 12px; }
  h1 { font-size: 21px; }
  .tests td.test-name { width: auto; }
}
/* Printed whole: folds open (the script opens them too), rows hidden by a
   filter shown, no sticky bar, every card laid out, a page per section. */
@media print {
  html { background: #fff; }
  .filters, .matches { display: none !important; }
  details::details-content { content-visibility: visible !important; display: block !important; }
  tr[hidden] { display: table-row !important; }
  li[hidden] { display: list-item !important; }
  section[hidden] { display: block !important; }
  .card.service { content-visibility: visible; }
  main .card { break-before: page; }
  main .card.contents { break-before: auto; }
  tr, li, .element { break-inside: avoid; }
}
  </xsl:template>

</xsl:stylesheet>
