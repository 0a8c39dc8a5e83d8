#pragma once
// The section writers of the requirement report: each prints one element of
// the document straight to the stream, walking the result tree in list order.
// The tree is read through its accessors and verdict functions only.
//
// Every text taken from the tree or the environment goes through the
// stream's put_text, converted to UTF-8 and escaped for its place, so the
// document is well-formed whatever the texts hold.
//
// The writers of a Service, Test or Element, and the three list writers,
// write nothing when given no node (or a node of another kind). Writers that
// write requirements echo each one as a line on `echo` when it is not null
// (the -v option), and look the $NAME references of their attribute values
// up through `environment`, which keeps each lookup for the lists after.

#include "report/run_options.h"

#include <string_view>

class ConsoleEcho;
class EnvironmentCache;
class XmlStream;
struct RodNode;

// The end of the document, written after the last SERVICE; no line feed
// follows it.
inline constexpr std::string_view kRunEndTag = "</RUN>";

// The prolog and the RUN start tag; ok is the Run's verdict, which takes a
// walk of the whole tree to work out.
void xrd_run_write(XmlStream& out, const RodNode* run, bool ok);

// REPORT_INFO, the header section (when options name a header file), then
// the Run's comments, requirements (under the Run's verdict ok) and
// coverage blocks.
void xrd_run_info_write(XmlStream& out, const RodNode* run, bool ok, const RunOptions& options,
                        ConsoleEcho* echo);

// The REPORT_INFO element: one attribute per report field that is present.
void xrd_report_info_write(XmlStream& out, const RodNode* run);

// One SERVICE element with its comments, requirements, tests and coverage;
// its lists share one lookup of each $NAME.
void xrd_service_write(XmlStream& out, const RodNode* service, const RunOptions& options,
                       ConsoleEcho* echo);

// One TEST element under the Test's verdict ok; its Elements are folded into
// it or written as ELEMENT elements, as options.element_mode says.
void xrd_test_write(XmlStream& out, const RodNode* test, bool ok, const RunOptions& options,
                    EnvironmentCache& environment, ConsoleEcho* echo);

// One ELEMENT element with its comments and requirements.
void xrd_element_write(XmlStream& out, const RodNode* element, EnvironmentCache& environment,
                       ConsoleEcho* echo);

// The COMMENT elements of a notes list (its 'C' Notes), each at indent.
void xrd_comment_write(XmlStream& out, const RodNode* first_note, std::string_view indent);

// The REQUIREMENTS block of a notes list (its 'R' Notes), every requirement
// with status "OK" when ok, else "KO"; nothing when the list has none. Each
// Note is cut into a name, a value and attributes; attribute values have
// their $NAME references expanded. Each requirement is also echoed as one
// UTF-8 line on echo, when there is one.
void xrd_flush_comment(XmlStream& out, const RodNode* first_note, bool ok, std::string_view indent,
                       EnvironmentCache& environment, ConsoleEcho* echo);

// The COVERAGE_RESULT blocks of a coverage list, each at indent.
void xrd_coverage_write(XmlStream& out, const RodNode* first_note, std::string_view indent);
