#pragma once
// Every text quillon-campaign says on the console, translated through the
// catalogues under the context "Message for the quillon-campaign tool", with
// its placeholders filled.
//
// Problem lines (an input or an output that could not be used) name the file
// and have no line end: the printer adds it, and the JSON summary and the
// page list them as they are.

#include <QString>

#include <cstdio>
#include <string_view>

struct CampaignCounts;

// Writes text in the local 8-bit encoding to stream, byte for byte.
void print_text(const QString& text, FILE* stream);

// A file name's bytes as a text, decoded from the local 8-bit encoding:
// what the messages, the page and the JSON show of a file.
QString shown_file_name(std::string_view bytes);

// Details placed inside message_bad_report and message_bad_baseline.
QString message_not_a_report(const QString& root_element);
QString message_malformed_report(const QString& why, qint64 line, qint64 column);
QString message_baseline_not_json(const QString& why);
QString message_baseline_wrong_format();
QString message_doctype();

// Problem lines.
QString message_cannot_read(const QString& path, const QString& why);
QString message_bad_report(const QString& path, const QString& why);
QString message_no_such_input(const QString& path);
QString message_no_report(const QString& rod_path, const QString& report_path);
QString message_stale_report(const QString& rod_path, const QString& report_path);
QString message_empty_folder(const QString& path);
QString message_empty_log(const QString& path);
QString message_cannot_list(const QString& folder, const QString& why);
QString message_unfinished_rod(const QString& rod_path, const QString& test, qint64 line);
QString message_empty_requirement_list(const QString& path);
QString message_bad_baseline(const QString& path, const QString& why);
QString message_cannot_write(const QString& path, const QString& why);

// Command-line mistakes, each a finished line.
QString message_usage_error(const QString& why);
QString message_bad_fail_on(const QString& value);
QString message_bad_jobs(const QString& value);
QString message_no_input();
QString message_output_is_input(const QString& output, const QString& input);
QString message_same_output(const QString& output, const QString& other);

QString help_text(const QString& program);
QString version_text(const QString& version);

// The summary's lines: verdict and counts, then what is KO.
QString message_summary(const CampaignCounts& counts, bool ok);
QString message_ko_requirement(const QString& id, const QString& place);
QString message_not_verified(const QString& id);
QString message_ko_test(const QString& report, const QString& service, const QString& test);
QString message_because(const QString& cause);
QString message_ko_run_by_service(const QString& report, const QString& service);
QString message_ko_run(const QString& report);
QString message_and_more(int count);

// The changes against a baseline, counted, then one line per regression.
QString message_changes(int test_regressions, int test_fixed, int test_appeared,
                        int test_disappeared, int requirement_regressions, int requirement_fixed,
                        int requirement_appeared, int requirement_disappeared);
QString message_test_regression(const QString& report, const QString& service, const QString& test);
QString message_requirement_regression(const QString& id);
QString message_run_regression(const QString& report);
