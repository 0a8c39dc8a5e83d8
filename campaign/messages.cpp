#include "campaign/messages.h"

#include "campaign/campaign.h"
#include "i18n/local8bit.h"
#include "i18n/placeholders.h"

#include <QCoreApplication>

namespace {

constexpr const char* kContext = "Message for the quillon-campaign tool";

QString translate(const char* source, const char* comment = nullptr) {
    return QCoreApplication::translate(kContext, source, comment);
}

QString number(qint64 n) {
    return QString::number(n);
}

}  // namespace

void print_text(const QString& text, FILE* stream) {
    const std::string bytes = local8bit_encode(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

QString shown_file_name(std::string_view bytes) {
    return local8bit_decode(bytes);
}

QString message_not_a_report(const QString& root_element) {
    return fill_placeholders(
        translate("the document element is <%1>, not <RUN>", "%1 is the name of an XML element"),
        {root_element});
}

QString message_malformed_report(const QString& why, qint64 line, qint64 column) {
    return fill_placeholders(
        translate("%1 (line %2, column %3)",
                  "%1 is the XML parser's own message, %2 and %3 where it stopped"),
        {why, number(line), number(column)});
}

QString message_baseline_not_json(const QString& why) {
    return fill_placeholders(translate("not JSON: %1", "%1 is the JSON parser's own message"),
                             {why});
}

QString message_baseline_wrong_format() {
    return translate("not the JSON summary of quillon-campaign, version 1 or 2");
}

QString message_doctype() {
    return translate("the report has a document type declaration, which quillon never writes");
}

QString message_cannot_read(const QString& path, const QString& why) {
    return fill_placeholders(
        translate("%1: cannot read: %2", "%1 is a file name, %2 the system's reason"), {path, why});
}

QString message_bad_report(const QString& path, const QString& why) {
    return fill_placeholders(
        translate("%1: not a requirement report: %2", "%1 is a file name, %2 the reason"),
        {path, why});
}

QString message_no_such_input(const QString& path) {
    return fill_placeholders(translate("%1: no such file or folder", "%1 is a file name"), {path});
}

QString message_no_report(const QString& rod_path, const QString& report_path) {
    return fill_placeholders(translate("%1: no report: %2 does not exist",
                                       "%1 is the name of a ROD file, %2 the name of its report"),
                             {rod_path, report_path});
}

QString message_stale_report(const QString& rod_path, const QString& report_path) {
    return fill_placeholders(translate("%1: no report: %2 is older than the ROD file",
                                       "%1 is the name of a ROD file, %2 the name of its report"),
                             {rod_path, report_path});
}

QString message_empty_folder(const QString& path) {
    return fill_placeholders(
        translate("%1: no report (*.req.xml) in this folder", "%1 is a folder name"), {path});
}

QString message_empty_log(const QString& path) {
    return fill_placeholders(
        translate("%1: the log lists no report", "%1 is the name of a log file"), {path});
}

QString message_cannot_list(const QString& folder, const QString& why) {
    return fill_placeholders(
        translate("%1: cannot list this folder: %2", "%1 is a folder name, %2 the system's reason"),
        {folder, why});
}

QString message_unfinished_rod(const QString& rod_path, const QString& test, qint64 line) {
    return fill_placeholders(
        translate("%1: the file ends inside test %2 (line %3), which has no verdict: the run was "
                  "cut short",
                  "%1 is the name of a ROD file, %2 a test name, %3 a line number"),
        {rod_path, test, number(line)});
}

QString message_empty_requirement_list(const QString& path) {
    return fill_placeholders(
        translate("%1: the requirement list names no requirement", "%1 is a file name"), {path});
}

QString message_bad_baseline(const QString& path, const QString& why) {
    return fill_placeholders(
        translate("%1: not a usable baseline: %2", "%1 is a file name, %2 the reason"),
        {path, why});
}

QString message_cannot_write(const QString& path, const QString& why) {
    return fill_placeholders(
        translate("%1: cannot write: %2", "%1 is a file name, %2 the system's reason"),
        {path, why});
}

QString message_usage_error(const QString& why) {
    return fill_placeholders(
        translate("quillon-campaign: %1 (see --help)\n", "%1 says what is wrong"), {why});
}

QString message_bad_fail_on(const QString& value) {
    return fill_placeholders(
        translate("quillon-campaign: --fail-on takes none, ko or regression, not \"%1\"\n",
                  "%1 is the value given; none, ko and regression are not translated"),
        {value});
}

QString message_bad_jobs(const QString& value) {
    return fill_placeholders(
        translate("quillon-campaign: --jobs takes a number from 1 to 256, not \"%1\"\n",
                  "%1 is the value given"),
        {value});
}

QString message_no_input() {
    return translate("quillon-campaign: no input given (see --help)\n");
}

QString message_output_is_input(const QString& output, const QString& input) {
    return fill_placeholders(
        translate("quillon-campaign: the output %1 would replace the input %2\n",
                  "%1 and %2 are file names"),
        {output, input});
}

QString message_same_output(const QString& output, const QString& other) {
    return fill_placeholders(
        translate("quillon-campaign: the outputs %1 and %2 are the same file\n",
                  "%1 and %2 are file names"),
        {output, other});
}

QString help_text(const QString& program) {
    return fill_placeholders(
        translate("Usage: %1 [OPTION]... INPUT...\n"
                  "Gathers requirement reports into one campaign: one verdict per requirement\n"
                  "with the places that verify it, the failing tests, and the changes since an\n"
                  "earlier run.\n"
                  "\n"
                  "Inputs: report files (*.xml), folders (every *.req.xml below them), and ROD\n"
                  "files (each stands for the report quillon writes for it).\n"
                  "\n"
                  "  --log FILE           the reports written, as a quillon -l log lists them\n"
                  "  --requirements FILE  the requirement IDs to verify, one per line or the\n"
                  "                       first column of a CSV file\n"
                  "  --baseline FILE      an earlier --json output to compare with\n"
                  "  --history DB         record the campaign in DB (an SQLite file or a\n"
                  "                       postgresql:// URL), its previous one the baseline\n"
                  "  --label TEXT         the campaign's label in the history (a revision)\n"
                  "  --stream NAME        the history's stream (branch, board); default\n"
                  "                       \"default\"\n"
                  "  --html FILE          write the campaign page\n"
                  "  --pages DIR          render each report's page into DIR (by default\n"
                  "                       beside the campaign page)\n"
                  "  --csv FILE           write the requirement matrix as CSV\n"
                  "  --junit FILE         write one JUnit file for the whole campaign\n"
                  "  --json FILE          write the campaign as JSON (the next baseline)\n"
                  "  --fail-on WHAT       what fails the exit status: none, ko (the default)\n"
                  "                       or regression\n"
                  "  --jobs N             read reports with N threads (default: one per core)\n"
                  "  --quiet              print nothing on standard output (by default the\n"
                  "                       verdict, counts and what is KO)\n"
                  "  --help               show this help and exit\n"
                  "  --version            show the version and exit\n"
                  "\n"
                  "%1 history DB --help tells how to query the history.\n"
                  "\n"
                  "Exit status: 0 all OK; 1 campaign KO or a listed requirement not verified;\n"
                  "2 a regression against the baseline; 3 an input could not be used;\n"
                  "4 a wrong command line; 5 an output could not be written, or the history\n"
                  "database could not be reached or written.\n",
                  "%1 is the program name; option names and values are not translated"),
        {program});
}

QString version_text(const QString& version) {
    return fill_placeholders(translate("quillon-campaign %1\n", "%1 is the version number"),
                             {version});
}

QString message_summary(const CampaignCounts& c, bool ok) {
    return fill_placeholders(
        translate("Campaign %1: %2 reports, %3 tests (%4 OK, %5 KO), %6 requirements (%7 OK, "
                  "%8 KO, %9 not verified)\n",
                  "%1 is OK or KO, the others are counts"),
        {ok ? QStringLiteral("OK") : QStringLiteral("KO"), number(c.reports), number(c.tests),
         number(c.tests_ok), number(c.tests_ko), number(c.requirements), number(c.requirements_ok),
         number(c.requirements_ko), number(c.requirements_not_verified)});
}

QString message_ko_requirement(const QString& id, const QString& place) {
    return fill_placeholders(translate("KO requirement %1: %2\n",
                                       "%1 is a requirement ID, %2 the first place where it is KO"),
                             {id, place});
}

QString message_not_verified(const QString& id) {
    return fill_placeholders(translate("Not verified: %1\n", "%1 is a requirement ID"), {id});
}

QString message_ko_test(const QString& report, const QString& service, const QString& test) {
    return fill_placeholders(translate("KO test: %1 / %2 / %3\n",
                                       "%1 is a report name, %2 a service name, %3 a test name"),
                             {report, service, test});
}

QString message_because(const QString& cause) {
    return fill_placeholders(
        translate("  because: %1\n",
                  "%1 is why a test failed, as its report says (its KO element and requirement)"),
        {cause});
}

QString message_ko_run_by_service(const QString& report, const QString& service) {
    return fill_placeholders(translate("KO run: %1 (service %2 is KO while none of its tests is)\n",
                                       "%1 is a report name, %2 a service name"),
                             {report, service});
}

QString message_ko_run(const QString& report) {
    return fill_placeholders(
        translate("KO run: %1 (the result file's own verdict; no test or service is KO)\n",
                  "%1 is a report name"),
        {report});
}

QString message_and_more(int count) {
    return fill_placeholders(translate("... and %1 more\n", "%1 is a count"), {number(count)});
}

QString message_changes(int test_regressions, int test_fixed, int test_appeared,
                        int test_disappeared, int requirement_regressions, int requirement_fixed,
                        int requirement_appeared, int requirement_disappeared) {
    return fill_placeholders(
        translate("Since the baseline: tests %1 regressed, %2 fixed, %3 appeared, %4 "
                  "disappeared; requirements %5 regressed, %6 fixed, %7 appeared, %8 "
                  "disappeared\n",
                  "all placeholders are counts"),
        {number(test_regressions), number(test_fixed), number(test_appeared),
         number(test_disappeared), number(requirement_regressions), number(requirement_fixed),
         number(requirement_appeared), number(requirement_disappeared)});
}

QString message_test_regression(const QString& report, const QString& service,
                                const QString& test) {
    return fill_placeholders(translate("Regression: test %1 / %2 / %3\n",
                                       "%1 is a report name, %2 a service name, %3 a test name"),
                             {report, service, test});
}

QString message_requirement_regression(const QString& id) {
    return fill_placeholders(translate("Regression: requirement %1\n", "%1 is a requirement ID"),
                             {id});
}

QString message_run_regression(const QString& report) {
    return fill_placeholders(translate("Regression: run %1\n", "%1 is a report name"), {report});
}
