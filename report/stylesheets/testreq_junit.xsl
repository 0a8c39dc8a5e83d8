<?xml version="1.0" encoding="UTF-8"?>
<!--
  Turns a test-requirement report into JUnit XML, the form CI servers read
  into their test views:

    xsltproc "$QARVODIR/lib/reports/testreq_junit.xsl" suite.req.xml > suite.junit.xml

  XSLT 1.0 without extension functions.

  The mapping:
  - testsuites: the run; tests and failures summed over the services.
  - testsuite: one per SERVICE, named after it; tests is its number of TEST
    elements, failures the number of those whose STATUS is KO. Its properties
    are the service's own requirements.
  - testcase: one per TEST, name the test's. The classname is the report's
    name (REPORT_NAME, else TESTSUITE_PATH, else "report"), a dot and the
    service's name, so that the test cases of two reports whose services and
    tests share names stay apart when a CI server merges the files.
  - failure: one in each testcase whose TEST is KO. The message names the
    test; the text lists, one per line, the KO elements (element mode), the
    KO requirements, and the comments, so the CI's failure view says why.
  - A run whose STATUS is KO although no TEST is (a service or run verdict
    of the result file made it KO) gets one more testsuite, named after the
    report, with one failing testcase "run verdict" whose classname is the
    report's name: otherwise the CI would show the KO run as green.
  - system-out: the test's comments, and in element mode its elements' comments.
  - properties of a testcase: one property per requirement of the test (in
    element mode also those of its elements). The name is the requirement's
    NAME. The value is its STATUS, followed by a blank and its VALUE when that
    is not empty, and, for an element's requirement, by " [element NAME]".
    One property per requirement, rather than one per attribute, keeps the
    verdict and the requirement's own text together, which is what a reader
    of a CI test view looks for; the attributes are all in the VALUE.
  - time: the report holds no durations; "0" stands wherever the common JUnit
    schema has a time (testsuites, testsuite, testcase).

  The requirements of the run itself belong to no test and no service, so
  they are left out; the HTML page shows them.

  Services are told apart from header entries that happen to be named
  SERVICE by their attributes: a header entry has only two.
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">

  <xsl:output method="xml" encoding="UTF-8" indent="yes"/>

  <xsl:variable name="services" select="/RUN/SERVICE[count(@*) &gt; 2]"/>
  <xsl:variable name="newline" select="'&#10;'"/>
  <xsl:variable name="report-name">
    <xsl:choose>
      <xsl:when test="string(/RUN/REPORT_INFO[not(@NAME)]/@REPORT_NAME) != ''">
        <xsl:value-of select="/RUN/REPORT_INFO[not(@NAME)]/@REPORT_NAME"/>
      </xsl:when>
      <xsl:when test="string(/RUN/@TESTSUITE_PATH) != ''">
        <xsl:value-of select="/RUN/@TESTSUITE_PATH"/>
      </xsl:when>
      <xsl:otherwise>report</xsl:otherwise>
    </xsl:choose>
  </xsl:variable>
  <!-- 1 when the run's KO needs a test case of its own, else 0. -->
  <xsl:variable name="run-case" select="number(/RUN/@STATUS = 'KO' and not($services/TEST[@STATUS = 'KO']))"/>

  <xsl:template match="/">
    <testsuites name="{$report-name}" tests="{count($services/TEST) + $run-case}"
                failures="{count($services/TEST[@STATUS = 'KO']) + $run-case}" errors="0" time="0">
      <xsl:apply-templates select="$services"/>
      <xsl:if test="$run-case = 1">
        <testsuite name="{$report-name}" tests="1" failures="1" errors="0" skipped="0" time="0">
          <testcase classname="{$report-name}" name="run verdict" time="0">
            <failure type="KO" message="The run's verdict is KO although no test is: a service or run verdict recorded in the result file says so"/>
          </testcase>
        </testsuite>
      </xsl:if>
    </testsuites>
  </xsl:template>

  <xsl:template match="SERVICE">
    <testsuite name="{@NAME}" tests="{count(TEST)}" failures="{count(TEST[@STATUS = 'KO'])}"
               errors="0" skipped="0" time="0">
      <xsl:if test="REQUIREMENTS/REQUIREMENT">
        <properties>
          <xsl:apply-templates select="REQUIREMENTS/REQUIREMENT"/>
        </properties>
      </xsl:if>
      <xsl:apply-templates select="TEST"/>
    </testsuite>
  </xsl:template>

  <xsl:template match="TEST">
    <testcase classname="{$report-name}.{../@NAME}" name="{@NAME}" time="0">
      <xsl:if test="REQUIREMENTS/REQUIREMENT | ELEMENT/REQUIREMENTS/REQUIREMENT">
        <properties>
          <xsl:apply-templates select="REQUIREMENTS/REQUIREMENT | ELEMENT/REQUIREMENTS/REQUIREMENT"/>
        </properties>
      </xsl:if>
      <xsl:if test="@STATUS = 'KO'">
        <failure type="KO">
          <xsl:attribute name="message">
            <xsl:text>test </xsl:text>
            <xsl:value-of select="@NAME"/>
            <xsl:text> is KO</xsl:text>
            <xsl:if test="ELEMENT[@STATUS = 'KO']">
              <xsl:text> (elements KO: </xsl:text>
              <xsl:value-of select="count(ELEMENT[@STATUS = 'KO'])"/>
              <xsl:text>)</xsl:text>
            </xsl:if>
          </xsl:attribute>
          <xsl:for-each select="ELEMENT[@STATUS = 'KO']">
            <xsl:text>element </xsl:text>
            <xsl:value-of select="@NAME"/>
            <xsl:text>: KO</xsl:text>
            <xsl:value-of select="$newline"/>
          </xsl:for-each>
          <xsl:for-each select="(REQUIREMENTS/REQUIREMENT | ELEMENT/REQUIREMENTS/REQUIREMENT)[@STATUS = 'KO']">
            <xsl:text>requirement </xsl:text>
            <xsl:call-template name="requirement-text"/>
            <xsl:value-of select="$newline"/>
          </xsl:for-each>
          <xsl:for-each select="COMMENT | ELEMENT/COMMENT">
            <xsl:text>comment: </xsl:text>
            <xsl:value-of select="."/>
            <xsl:value-of select="$newline"/>
          </xsl:for-each>
        </failure>
      </xsl:if>
      <xsl:if test="COMMENT | ELEMENT/COMMENT">
        <system-out>
          <xsl:for-each select="COMMENT | ELEMENT/COMMENT">
            <xsl:value-of select="."/>
            <xsl:value-of select="$newline"/>
          </xsl:for-each>
        </system-out>
      </xsl:if>
    </testcase>
  </xsl:template>

  <xsl:template match="REQUIREMENT">
    <property name="{@NAME}">
      <xsl:attribute name="value">
        <xsl:call-template name="requirement-value"/>
      </xsl:attribute>
    </property>
  </xsl:template>

  <!-- STATUS, then the VALUE, then the element the requirement belongs to. -->
  <xsl:template name="requirement-value">
    <xsl:value-of select="@STATUS"/>
    <xsl:if test="string(@VALUE) != ''">
      <xsl:text> </xsl:text>
      <xsl:value-of select="@VALUE"/>
    </xsl:if>
    <xsl:if test="../parent::ELEMENT">
      <xsl:text> [element </xsl:text>
      <xsl:value-of select="../../@NAME"/>
      <xsl:text>]</xsl:text>
    </xsl:if>
  </xsl:template>

  <xsl:template name="requirement-text">
    <xsl:value-of select="@NAME"/>
    <xsl:text>: </xsl:text>
    <xsl:call-template name="requirement-value"/>
  </xsl:template>

</xsl:stylesheet>
