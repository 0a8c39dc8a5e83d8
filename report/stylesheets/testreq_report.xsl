<?xml version="1.0" encoding="UTF-8"?>
<!--
  Renders a test-requirement report as one self-contained HTML page: inline
  CSS, no scripts, nothing fetched from the network.

    xsltproc "$QARVODIR/lib/reports/testreq_report.xsl" suite.req.xml > suite.html

  XSLT 1.0 without extension functions, so that xsltproc and the browsers that
  still apply stylesheets can use it.

  The page is written as XHTML with an HTML5 doctype: a browser reads it as
  HTML, and a test or a tool can read it as XML. An empty non-void element
  would come out as <td/>, which an HTML parser takes for an unclosed start
  tag, so every element whose content comes from the report goes through the
  "text" template, which puts a dash in place of an empty text.

  Every text of the report is written with value-of, never with output
  escaping turned off: markup held in a requirement or a comment is shown as
  text, never interpreted.

  The header section's named entries are elements named after the header
  file's tags, so a tag may happen to read SERVICE or COMMENT. They are told
  apart from the report's own elements by their shape: a named entry always
  has NAME and exactly one other attribute, while the report's REPORT_INFO,
  COMMENT, REQUIREMENTS and COVERAGE_RESULT have no NAME and a SERVICE has six
  attributes.

  Hooks for tools (stable): ids total-tests, total-valid, total-invalid,
  total-services, total-requirements, total-requirements-ko; the table
  id="requirements" with one tr.req-row per REQUIREMENT (data-status, cells
  td.req-name, td.req-status); section.service with data-status, data-nb-valid,
  data-nb-invalid, data-nb-test; tr.test and div.element with data-status;
  table.coverage with data-module and td.ratio cells.
-->
<xsl:stylesheet version="1.0"
                xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
                xmlns="http://www.w3.org/1999/xhtml">

  <xsl:output method="xml" encoding="UTF-8" indent="no" omit-xml-declaration="yes"
              doctype-system="about:legacy-compat"/>

  <!-- The report's own elements below RUN, as opposed to header entries. -->
  <xsl:variable name="services" select="/RUN/SERVICE[count(@*) &gt; 2]"/>
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
      </div>
    </header>
    <main class="wrap">
      <xsl:call-template name="summary"/>
      <xsl:call-template name="run-details"/>
      <xsl:call-template name="services-overview"/>
      <xsl:call-template name="requirements-table"/>
      <xsl:apply-templates select="$services"/>
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
        <div class="tile">
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
          <span class="tile-value" id="total-requirements"><xsl:value-of select="count($requirements)"/></span>
          <span class="tile-label">requirements</span>
        </div>
        <div class="tile">
          <xsl:attribute name="class">
            <xsl:text>tile </xsl:text>
            <xsl:choose>
              <xsl:when test="$failed-requirements">tile-ko</xsl:when>
              <xsl:otherwise>tile-quiet</xsl:otherwise>
            </xsl:choose>
          </xsl:attribute>
          <span class="tile-value" id="total-requirements-ko"><xsl:value-of select="count($failed-requirements)"/></span>
          <span class="tile-label">requirements KO</span>
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

  <xsl:template name="run-details">
    <section class="card run" id="run">
      <h2>Run</h2>
      <div class="columns">
        <div>
          <h3>Identification</h3>
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
        <div>
          <h3>Environment</h3>
          <xsl:choose>
            <xsl:when test="$env-info/@*">
              <table class="facts" id="environment">
                <tbody>
                  <xsl:apply-templates select="$env-info/@*" mode="fact"/>
                </tbody>
              </table>
            </xsl:when>
            <xsl:otherwise>
              <p class="none">No environment attributes in this report.</p>
            </xsl:otherwise>
          </xsl:choose>
          <xsl:if test="$header-entries">
            <h3>Header entries</h3>
            <table class="grid" id="header-entries">
              <thead>
                <tr><th>Entry</th><th>Name</th><th>Field</th><th>Value</th></tr>
              </thead>
              <tbody>
                <xsl:apply-templates select="$header-entries" mode="header-entry"/>
              </tbody>
            </table>
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
        <h3>Coverage of the run</h3>
        <xsl:call-template name="coverage"><xsl:with-param name="blocks" select="$run-coverage"/></xsl:call-template>
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
          <table class="grid" id="services">
            <thead>
              <tr>
                <th>Status</th><th>Service</th><th>Type</th>
                <th class="num">Valid</th><th class="num">Invalid</th><th class="num">Tests</th>
              </tr>
            </thead>
            <tbody>
              <xsl:for-each select="$services">
                <tr>
                  <xsl:call-template name="row-status"/>
                  <td>
                    <xsl:call-template name="badge"><xsl:with-param name="status" select="@STATUS"/></xsl:call-template>
                  </td>
                  <td>
                    <a href="#{generate-id()}">
                      <xsl:call-template name="text"><xsl:with-param name="value" select="@NAME"/></xsl:call-template>
                    </a>
                  </td>
                  <td><xsl:call-template name="text"><xsl:with-param name="value" select="@TYPE"/></xsl:call-template></td>
                  <td class="num"><xsl:value-of select="@NB_VALID"/></td>
                  <td class="num"><xsl:value-of select="@NB_INVALID"/></td>
                  <td class="num"><xsl:value-of select="@NB_TEST"/></td>
                </tr>
              </xsl:for-each>
            </tbody>
          </table>
        </xsl:when>
        <xsl:otherwise>
          <p class="none">This report holds no service.</p>
        </xsl:otherwise>
      </xsl:choose>
    </section>
  </xsl:template>

  <!-- ================================================================== -->
  <!-- Requirements at a glance                                             -->
  <!-- ================================================================== -->

  <xsl:template name="requirements-table">
    <section class="card" id="requirements-overview">
      <h2>Requirements</h2>
      <xsl:choose>
        <xsl:when test="$requirements">
          <p class="lead">
            <xsl:choose>
              <xsl:when test="$failed-requirements">
                <strong class="ko-text">
                  <xsl:value-of select="count($failed-requirements)"/>
                  <xsl:text> of </xsl:text>
                  <xsl:value-of select="count($requirements)"/>
                  <xsl:text> requirements KO</xsl:text>
                </strong>
                <xsl:text>, listed first.</xsl:text>
              </xsl:when>
              <xsl:otherwise>
                <xsl:text>All </xsl:text>
                <xsl:value-of select="count($requirements)"/>
                <xsl:text> requirements OK.</xsl:text>
              </xsl:otherwise>
            </xsl:choose>
          </p>
          <table class="grid" id="requirements">
            <thead>
              <tr>
                <th>Status</th><th>Requirement</th><th>Value</th><th>Attributes</th>
                <th>Service</th><th>Test</th><th>Element</th>
              </tr>
            </thead>
            <tbody>
              <!-- KO first, each group in the report's order. -->
              <xsl:apply-templates select="$failed-requirements" mode="requirement-row"/>
              <xsl:apply-templates select="$requirements[@STATUS = 'OK']" mode="requirement-row"/>
            </tbody>
          </table>
        </xsl:when>
        <xsl:otherwise>
          <p class="none">This report holds no requirement.</p>
        </xsl:otherwise>
      </xsl:choose>
    </section>
  </xsl:template>

  <xsl:template match="REQUIREMENT" mode="requirement-row">
    <xsl:variable name="owner" select="../.."/>
    <tr>
      <xsl:attribute name="class">
        <xsl:text>req-row</xsl:text>
        <xsl:if test="not(@STATUS = 'OK')"> ko</xsl:if>
      </xsl:attribute>
      <xsl:attribute name="data-status"><xsl:value-of select="@STATUS"/></xsl:attribute>
      <xsl:attribute name="data-level">
        <xsl:value-of select="translate(name($owner), 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')"/>
      </xsl:attribute>
      <td class="req-status">
        <xsl:call-template name="badge"><xsl:with-param name="status" select="@STATUS"/></xsl:call-template>
      </td>
      <td class="req-name"><xsl:call-template name="text"><xsl:with-param name="value" select="@NAME"/></xsl:call-template></td>
      <td class="req-value value"><xsl:call-template name="text"><xsl:with-param name="value" select="@VALUE"/></xsl:call-template></td>
      <td class="req-attrs"><xsl:call-template name="attributes"/></td>
      <td class="where-service">
        <xsl:choose>
          <xsl:when test="ancestor::SERVICE">
            <a href="#{generate-id(ancestor::SERVICE)}">
              <xsl:call-template name="text"><xsl:with-param name="value" select="ancestor::SERVICE/@NAME"/></xsl:call-template>
            </a>
          </xsl:when>
          <xsl:otherwise><span class="level">run</span></xsl:otherwise>
        </xsl:choose>
      </td>
      <td class="where-test">
        <xsl:choose>
          <xsl:when test="ancestor::TEST">
            <a href="#{generate-id(ancestor::TEST)}">
              <xsl:call-template name="text"><xsl:with-param name="value" select="ancestor::TEST/@NAME"/></xsl:call-template>
            </a>
          </xsl:when>
          <xsl:otherwise><span class="empty">—</span></xsl:otherwise>
        </xsl:choose>
      </td>
      <td class="where-element">
        <xsl:choose>
          <xsl:when test="ancestor::ELEMENT">
            <xsl:call-template name="text"><xsl:with-param name="value" select="ancestor::ELEMENT/@NAME"/></xsl:call-template>
          </xsl:when>
          <xsl:otherwise><span class="empty">—</span></xsl:otherwise>
        </xsl:choose>
      </td>
    </tr>
  </xsl:template>

  <!-- ================================================================== -->
  <!-- Services, tests, elements                                            -->
  <!-- ================================================================== -->

  <xsl:template match="SERVICE">
    <section id="{generate-id()}">
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
          <table class="grid tests">
            <thead>
              <tr><th>Status</th><th>Test</th><th>Details</th></tr>
            </thead>
            <tbody>
              <xsl:apply-templates select="TEST"/>
            </tbody>
          </table>
        </xsl:when>
        <xsl:otherwise>
          <p class="none">No test in this service.</p>
        </xsl:otherwise>
      </xsl:choose>
      <xsl:if test="COVERAGE_RESULT">
        <h3>Coverage of the service</h3>
        <xsl:call-template name="coverage"><xsl:with-param name="blocks" select="COVERAGE_RESULT"/></xsl:call-template>
      </xsl:if>
    </section>
  </xsl:template>

  <xsl:template match="TEST">
    <tr id="{generate-id()}">
      <xsl:attribute name="class">
        <xsl:text>test</xsl:text>
        <xsl:if test="not(@STATUS = 'OK')"> ko</xsl:if>
      </xsl:attribute>
      <xsl:attribute name="data-status"><xsl:value-of select="@STATUS"/></xsl:attribute>
      <td class="test-status">
        <xsl:call-template name="badge"><xsl:with-param name="status" select="@STATUS"/></xsl:call-template>
      </td>
      <td class="test-name"><xsl:call-template name="text"><xsl:with-param name="value" select="@NAME"/></xsl:call-template></td>
      <td class="details">
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
              <xsl:call-template name="coverage"><xsl:with-param name="blocks" select="COVERAGE_RESULT"/></xsl:call-template>
            </xsl:if>
          </xsl:when>
          <xsl:otherwise><span class="empty">—</span></xsl:otherwise>
        </xsl:choose>
      </td>
    </tr>
  </xsl:template>

  <xsl:template match="ELEMENT">
    <div>
      <xsl:attribute name="class">
        <xsl:text>element</xsl:text>
        <xsl:if test="not(@STATUS = 'OK')"> ko</xsl:if>
      </xsl:attribute>
      <xsl:attribute name="data-status"><xsl:value-of select="@STATUS"/></xsl:attribute>
      <p class="element-head">
        <xsl:call-template name="badge"><xsl:with-param name="status" select="@STATUS"/></xsl:call-template>
        <xsl:text> </xsl:text>
        <span class="kind">Element</span>
        <xsl:text> </xsl:text>
        <span class="element-name"><xsl:call-template name="text"><xsl:with-param name="value" select="@NAME"/></xsl:call-template></span>
      </p>
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
        <li class="comment"><xsl:call-template name="text"><xsl:with-param name="value" select="."/></xsl:call-template></li>
      </xsl:for-each>
    </ul>
  </xsl:template>

  <xsl:template name="requirement-list">
    <xsl:param name="list"/>
    <ul class="reqs">
      <xsl:for-each select="$list">
        <li>
          <xsl:attribute name="class">
            <xsl:text>req</xsl:text>
            <xsl:if test="not(@STATUS = 'OK')"> ko</xsl:if>
          </xsl:attribute>
          <xsl:attribute name="data-status"><xsl:value-of select="@STATUS"/></xsl:attribute>
          <xsl:call-template name="badge"><xsl:with-param name="status" select="@STATUS"/></xsl:call-template>
          <xsl:text> </xsl:text>
          <span class="req-name"><xsl:call-template name="text"><xsl:with-param name="value" select="@NAME"/></xsl:call-template></span>
          <xsl:if test="string(@VALUE) != ''">
            <xsl:text> </xsl:text>
            <span class="req-value value"><xsl:value-of select="@VALUE"/></span>
          </xsl:if>
          <xsl:if test="ATTRIBUTE">
            <xsl:text> </xsl:text>
            <xsl:call-template name="attributes"/>
          </xsl:if>
        </li>
      </xsl:for-each>
    </ul>
  </xsl:template>

  <!-- The ATTRIBUTE children of the current REQUIREMENT as name/value chips. -->
  <xsl:template name="attributes">
    <xsl:choose>
      <xsl:when test="ATTRIBUTE">
        <span class="attrs">
          <xsl:for-each select="ATTRIBUTE">
            <span class="attr">
              <span class="attr-name"><xsl:call-template name="text"><xsl:with-param name="value" select="@NAME"/></xsl:call-template></span>
              <span class="attr-value value"><xsl:call-template name="text"><xsl:with-param name="value" select="@VALUE"/></xsl:call-template></span>
            </span>
            <xsl:text> </xsl:text>
          </xsl:for-each>
        </span>
      </xsl:when>
      <xsl:otherwise><span class="empty">—</span></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- ================================================================== -->
  <!-- Coverage                                                             -->
  <!-- ================================================================== -->

  <xsl:template name="coverage">
    <xsl:param name="blocks"/>
    <div class="coverage-blocks">
      <xsl:for-each select="$blocks">
        <table class="grid coverage">
          <xsl:attribute name="data-module"><xsl:value-of select="@MODULE"/></xsl:attribute>
          <caption>
            <span class="kind">Coverage of module</span>
            <xsl:text> </xsl:text>
            <span class="module"><xsl:call-template name="text"><xsl:with-param name="value" select="@MODULE"/></xsl:call-template></span>
          </caption>
          <thead>
            <tr>
              <th>Code</th><th class="num">Covered</th><th class="num">Branches</th><th class="ratio-head">Ratio</th>
            </tr>
          </thead>
          <tbody>
            <xsl:for-each select="COVERAGE_DETAILS">
              <tr class="cov">
                <td class="code"><xsl:call-template name="text"><xsl:with-param name="value" select="@CODE"/></xsl:call-template></td>
                <td class="num covered"><xsl:call-template name="text"><xsl:with-param name="value" select="@COVERED_BRANCH"/></xsl:call-template></td>
                <td class="num branches"><xsl:call-template name="text"><xsl:with-param name="value" select="@BRANCH_NUMBER"/></xsl:call-template></td>
                <xsl:call-template name="ratio-cell">
                  <xsl:with-param name="covered" select="number(@COVERED_BRANCH)"/>
                  <xsl:with-param name="total" select="number(@BRANCH_NUMBER)"/>
                </xsl:call-template>
              </tr>
            </xsl:for-each>
          </tbody>
          <xsl:if test="count(COVERAGE_DETAILS) &gt; 1">
            <tfoot>
              <tr class="cov-total">
                <th scope="row">Module total</th>
                <td class="num covered"><xsl:value-of select="sum(COVERAGE_DETAILS/@COVERED_BRANCH)"/></td>
                <td class="num branches"><xsl:value-of select="sum(COVERAGE_DETAILS/@BRANCH_NUMBER)"/></td>
                <xsl:call-template name="ratio-cell">
                  <xsl:with-param name="covered" select="sum(COVERAGE_DETAILS/@COVERED_BRANCH)"/>
                  <xsl:with-param name="total" select="sum(COVERAGE_DETAILS/@BRANCH_NUMBER)"/>
                </xsl:call-template>
              </tr>
            </tfoot>
          </xsl:if>
        </table>
      </xsl:for-each>
    </div>
  </xsl:template>

  <!-- A ratio needs branches to count: a total of 0, or a count that is not a
       number, gives "n/a" instead of a division by zero. -->
  <xsl:template name="ratio-cell">
    <xsl:param name="covered"/>
    <xsl:param name="total"/>
    <xsl:choose>
      <xsl:when test="$total &gt; 0 and $covered &gt;= 0">
        <xsl:variable name="percent" select="100 * $covered div $total"/>
        <td>
          <xsl:attribute name="class">
            <xsl:text>ratio</xsl:text>
            <xsl:choose>
              <xsl:when test="$percent &gt;= 100"> full</xsl:when>
              <xsl:when test="$percent &gt;= 50"> partial</xsl:when>
              <xsl:otherwise> low</xsl:otherwise>
            </xsl:choose>
          </xsl:attribute>
          <span class="bar">
            <span class="bar-fill">
              <xsl:attribute name="style">
                <xsl:text>width:</xsl:text>
                <xsl:choose>
                  <xsl:when test="$percent &gt; 100">100</xsl:when>
                  <xsl:otherwise><xsl:value-of select="format-number($percent, '0.#')"/></xsl:otherwise>
                </xsl:choose>
                <xsl:text>%</xsl:text>
              </xsl:attribute>
              <xsl:text>&#160;</xsl:text>
            </span>
          </span>
          <xsl:text> </xsl:text>
          <span class="percent"><xsl:value-of select="format-number($percent, '0.0')"/>%</span>
        </td>
      </xsl:when>
      <xsl:otherwise>
        <td class="ratio none" title="no branch to cover"><span class="percent">n/a</span></td>
      </xsl:otherwise>
    </xsl:choose>
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

  <xsl:template name="css">
:root {
  --ink: #1f2933; --muted: #616e7c; --line: #e4e7eb; --paper: #ffffff; --page: #f5f7fa;
  --ok: #1a7f37; --ok-bg: #e6f4ea; --ko: #b42318; --ko-bg: #fdecea; --ko-line: #d92d20;
  --accent: #2f5d8a; --unknown: #8a6d1a; --unknown-bg: #fdf6e3;
}
* { box-sizing: border-box; }
html { background: var(--page); }
body { margin: 0; color: var(--ink); font: 15px/1.5 system-ui, -apple-system, "Segoe UI", Roboto, "Noto Sans", "DejaVu Sans", sans-serif; }
.wrap { max-width: 1220px; margin: 0 auto; padding: 0 24px; }
.page-head { background: var(--paper); border-bottom: 1px solid var(--line); padding: 20px 0 16px; border-top: 6px solid var(--ok); }
.page-head[data-status="KO"] { border-top-color: var(--ko-line); }
.kicker { margin: 0; color: var(--muted); font-size: 13px; letter-spacing: .06em; text-transform: uppercase; }
h1 { margin: 4px 0 6px; font-size: 26px; font-weight: 600; display: flex; align-items: center; gap: 12px; }
h1 .badge { font-size: 16px; padding: 3px 12px; }
h2 { font-size: 19px; font-weight: 600; margin: 0 0 12px; }
h3 { font-size: 14px; font-weight: 600; color: var(--muted); text-transform: uppercase; letter-spacing: .04em; margin: 18px 0 8px; }
.subtitle { margin: 0; color: var(--muted); }
.label { color: var(--muted); font-size: 13px; }
.path, .author { color: var(--ink); font-family: ui-monospace, "DejaVu Sans Mono", Menlo, Consolas, monospace; font-size: 14px; }
.sr { position: absolute; width: 1px; height: 1px; overflow: hidden; clip: rect(0 0 0 0); }
main.wrap { padding-top: 20px; padding-bottom: 40px; }
.tiles { display: grid; grid-template-columns: repeat(6, 1fr); gap: 12px; }
.tile { background: var(--paper); border: 1px solid var(--line); border-radius: 8px; padding: 12px 16px; }
.tile-value { display: block; font-size: 28px; font-weight: 600; font-variant-numeric: tabular-nums; }
.tile-label { color: var(--muted); font-size: 13px; }
.tile-ok .tile-value { color: var(--ok); }
.tile-ko { border-color: var(--ko-line); background: var(--ko-bg); }
.tile-ko .tile-value { color: var(--ko); }
.tile-quiet .tile-value { color: var(--muted); }
.meter { display: flex; height: 8px; border-radius: 4px; overflow: hidden; margin: 14px 0 4px; background: var(--line); }
.meter span { display: block; font-size: 0; line-height: 0; }
.meter-ok { background: var(--ok); }
.meter-ko { background: var(--ko-line); }
.card { background: var(--paper); border: 1px solid var(--line); border-radius: 8px; padding: 18px 20px; margin-top: 20px; }
.card.service.ko { border-left: 5px solid var(--ko-line); }
.columns { display: grid; grid-template-columns: 1fr 1fr; gap: 24px; }
.columns h3:first-child { margin-top: 0; }
table { border-collapse: collapse; width: 100%; }
.facts th { text-align: left; font-weight: 500; color: var(--muted); width: 38%; padding: 4px 12px 4px 0; vertical-align: top; }
.facts .key { display: inline-block; text-transform: lowercase; }
.facts .key::first-letter { text-transform: uppercase; }
.facts td { padding: 4px 0; border-bottom: 1px solid var(--line); }
.facts tr:last-child td { border-bottom: 0; }
.grid th { text-align: left; font-size: 12px; font-weight: 600; color: var(--muted); text-transform: uppercase; letter-spacing: .04em; padding: 6px 10px; border-bottom: 2px solid var(--line); }
.grid td { padding: 7px 10px; border-bottom: 1px solid var(--line); vertical-align: top; }
.grid tr.ko td, .grid tr.req-row.ko td { background: var(--ko-bg); }
.grid tr.ko td:first-child { box-shadow: inset 4px 0 0 var(--ko-line); }
.num { text-align: right; font-variant-numeric: tabular-nums; }
th.num { text-align: right; }
.value { white-space: pre-wrap; overflow-wrap: break-word; }
.badge { display: inline-block; min-width: 2.6em; text-align: center; font-size: 12px; font-weight: 700; letter-spacing: .05em; padding: 1px 7px; border-radius: 999px; line-height: 1.6; }
.badge-ok { color: var(--ok); background: var(--ok-bg); border: 1px solid #b7dfc2; }
.badge-ko { color: #ffffff; background: var(--ko-line); border: 1px solid var(--ko); }
.badge-unknown { color: var(--unknown); background: var(--unknown-bg); border: 1px solid #ecd9a6; }
.ko-text { color: var(--ko); }
.lead { margin: 0 0 10px; }
.none { color: var(--muted); font-style: italic; margin: 0; }
.empty { color: #9aa5b1; }
.level { color: var(--muted); font-style: italic; }
.kind { color: var(--muted); font-weight: 400; }
.counts { margin: -4px 0 10px; color: var(--muted); }
.counts span:not(.label) { color: var(--ink); font-weight: 600; font-variant-numeric: tabular-nums; }
.counts .ko-text { color: var(--ko); }
.req-name, .test-name, .element-name, .service-name, .entry-tag, .code, .attr-name, .module { font-family: ui-monospace, "DejaVu Sans Mono", Menlo, Consolas, monospace; font-size: 13.5px; overflow-wrap: break-word; }
.test-name { font-weight: 600; }
.tests { margin-top: 8px; }
.tests td.test-status { width: 64px; }
.tests td.test-name { width: 24%; }
ul.comments { list-style: none; margin: 0 0 6px; padding: 0; }
li.comment { white-space: pre-wrap; overflow-wrap: break-word; color: #3e4c59; padding-left: 12px; border-left: 3px solid #cbd2d9; margin: 2px 0; }
ul.reqs { list-style: none; margin: 4px 0; padding: 0; }
li.req { margin: 3px 0; }
li.req .req-value { color: var(--muted); font-size: 13.5px; }
.attrs { display: inline; }
.attr { display: inline-block; border: 1px solid var(--line); border-radius: 4px; margin: 1px 2px; font-size: 12.5px; overflow: hidden; vertical-align: middle; }
.attr-name { background: #eef2f6; padding: 0 5px; font-size: 12px; border-right: 1px solid var(--line); }
.attr-value { padding: 0 6px; }
.elements { margin-top: 6px; display: grid; gap: 6px; }
.element { border: 1px solid var(--line); border-radius: 6px; padding: 6px 10px; background: #fafbfc; }
.element.ko { border-color: var(--ko-line); background: var(--ko-bg); box-shadow: inset 4px 0 0 var(--ko-line); }
.element-head { margin: 0 0 2px; }
.coverage-blocks { display: grid; grid-template-columns: repeat(auto-fill, minmax(400px, 1fr)); gap: 12px; margin-top: 6px; }
.coverage { border: 1px solid var(--line); border-radius: 6px; }
.coverage caption { text-align: left; padding: 0 0 4px; font-size: 13px; }
.coverage td, .coverage th { padding: 4px 8px; }
.coverage tfoot th, .coverage tfoot td { border-top: 2px solid var(--line); border-bottom: 0; font-weight: 600; color: var(--ink); text-transform: none; letter-spacing: 0; font-size: 13px; }
.ratio { white-space: nowrap; font-variant-numeric: tabular-nums; }
.ratio.none { color: var(--muted); }
.bar { display: inline-block; width: 70px; height: 8px; background: var(--line); border-radius: 4px; overflow: hidden; vertical-align: middle; }
.bar-fill { display: block; height: 8px; font-size: 0; line-height: 0; background: var(--ok); }
.ratio.partial .bar-fill { background: #d69e2e; }
.ratio.low .bar-fill { background: var(--ko-line); }
a { color: var(--accent); text-decoration: none; }
a:hover { text-decoration: underline; }
.page-foot { color: var(--muted); font-size: 12.5px; margin-top: 28px; text-align: center; }
@media (max-width: 900px) { .tiles { grid-template-columns: repeat(3, 1fr); } .columns { grid-template-columns: 1fr; } }
@media print { html { background: #fff; } .card { break-inside: avoid; } }
  </xsl:template>

</xsl:stylesheet>
