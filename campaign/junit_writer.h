#pragma once
// The whole campaign as one JUnit document for a CI server's test view.
//
// One test suite per report (named by its unique report name), one test case
// per test with classname "<report>.<service>", a failure for each KO test.
// So that CI never shows green for a campaign that is not:
// - a report whose run is KO while none of its tests is gets one failing
//   case "run verdict";
// - inputs that could not be used, and listed requirements that no report
//   verifies, get a failing case each in a suite of their own.
// Test IDs (classname and name) are unique across the document: a repeat
// gets " #2", " #3"... after its name.

#include "campaign/campaign.h"
#include "xml/xml_stream.h"

void write_campaign_junit(XmlStream& out, const Campaign& campaign);
