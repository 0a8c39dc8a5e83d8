#pragma once
// The section writers of the requirement report: each prints one element of
// the document straight to the stream, walking the result tree in list order.
// The tree is read through its accessors and verdict functions only.
//
// Every text taken from the tree or the environment is converted from the
// local 8-bit encoding to UTF-8 and escaped for its place, so the document is
// well-formed whatever the texts hold.
//
// The writers of a Service, Test or Element, and the three list writers,
// write nothing when given no node (or a node of another kind).

#include <string_view>

class ReportStream;
struct RodNode;

// The end of the document, written after the last SERVICE; no line feed
// follows it.
inline constexpr std::string_view kRunEndTag = "</RUN>";

// The prolog and the RUN start tag.
void xrd_run_write(ReportStream& out, const RodNode* run);

// REPORT_INFO, the header section (when a header file was named), then the
// Run's comments, requirements and coverage blocks.
void xrd_run_info_write(ReportStream& out, const RodNode* run);

// The same two, for a caller that has the Run's verdict already: working it
// out walks the whole tree.
void xrd_run_write(ReportStream& out, const RodNode* run, bool ok);
void xrd_run_info_write(ReportStream& out, const RodNode* run, bool ok);

// The REPORT_INFO element: one attribute per report field that is present.
void xrd_report_info_write(ReportStream& out, const RodNode* run);

// One SERVICE element with its comments, requirements, tests and coverage.
void xrd_service_write(ReportStream& out, const RodNode* service);

// One TEST element; its Elements are folded into it or written as ELEMENT
// elements, as run_options.element_mode says.
void xrd_test_write(ReportStream& out, const RodNode* test);
// The same, for a caller that has the Test's verdict already.
void xrd_test_write(ReportStream& out, const RodNode* test, bool ok);

// One ELEMENT element with its comments and requirements.
void xrd_element_write(ReportStream& out, const RodNode* element);

// The COMMENT elements of a notes list (its 'C' Notes), each at indent.
void xrd_comment_write(ReportStream& out, const RodNode* first_note, std::string_view indent);

// The REQUIREMENTS block of a notes list (its 'R' Notes), every requirement
// with status "OK" when ok, else "KO"; nothing when the list has none. Each
// Note is cut into a name, a value and attributes; attribute values have
// their $NAME references expanded. With run_options.verbose, each
// requirement is also echoed as one line on standard output, in UTF-8.
void xrd_flush_comment(ReportStream& out, const RodNode* first_note, bool ok,
                       std::string_view indent);

// The COVERAGE_RESULT blocks of a coverage list, each at indent.
void xrd_coverage_write(ReportStream& out, const RodNode* first_note, std::string_view indent);
