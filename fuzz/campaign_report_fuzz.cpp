// Feeds arbitrary bytes to the campaign's report reader as a requirement
// report. A report it accepts must hold together: every index it keeps points
// at an entry that exists and at the right level, and every text lies inside
// its buffer of texts, since the campaign uses them unchecked. A report it
// refuses must say why on one line, which the campaign prints behind the file
// name.

#include "campaign/report_reader.h"

#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool holds_together(const ReportResult& report) {
    const auto services = static_cast<int>(report.services.size());
    const auto tests = static_cast<int>(report.tests.size());
    const auto causes = static_cast<int>(report.causes.size());
    int ko_tests = 0;
    for (int t = 0; t < tests; ++t) {
        const TestResult& test = report.tests[static_cast<std::size_t>(t)];
        if (test.service < 0 || test.service >= services) {
            return false;
        }
        // A KO test, and only a KO test, has a cause, each its own.
        if (test.ok != (test.cause < 0) || (!test.ok && test.cause != ko_tests++)) {
            return false;
        }
        if (test.cause >= 0) {
            const TestCause& cause = report.causes[static_cast<std::size_t>(test.cause)];
            for (const int index : cause.ko_requirements) {
                if (index < 0 || index >= static_cast<int>(report.requirements.size()) ||
                    report.requirements[static_cast<std::size_t>(index)].test != t ||
                    report.requirements[static_cast<std::size_t>(index)].ok) {
                    return false;
                }
            }
            for (const std::string& comment : cause.comments) {
                if (comment.size() > kCauseCommentBytes) {
                    return false;
                }
            }
        }
    }
    if (ko_tests != causes) {
        return false;
    }
    for (const RequirementOccurrence& requirement : report.requirements) {
        if (requirement.service < -1 || requirement.service >= services || requirement.test < -1 ||
            requirement.test >= tests) {
            return false;
        }
        if (requirement.test >= 0 &&
            report.tests[static_cast<std::size_t>(requirement.test)].service !=
                requirement.service) {
            return false;
        }
        if (requirement.element.size > 0 && requirement.test < 0) {
            return false;
        }
    }
    // Every text lies inside the report's texts.
    const auto inside = [&](TextRef ref) {
        return ref.offset <= report.texts.size() && ref.size <= report.texts.size() - ref.offset;
    };
    for (const ServiceResult& service : report.services) {
        if (!inside(service.name)) {
            return false;
        }
    }
    for (const TestResult& test : report.tests) {
        if (!inside(test.name)) {
            return false;
        }
    }
    for (const RequirementOccurrence& r : report.requirements) {
        if (!inside(r.id) || !inside(r.value) || !inside(r.element)) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer device(&bytes);
    if (!device.open(QIODevice::ReadOnly)) {
        std::abort();
    }
    ReportResult report;
    QString error;
    if (read_report(device, &report, &error)) {
        if (!holds_together(report)) {
            std::abort();
        }
    } else if (error.isEmpty() || error.contains(QLatin1Char('\n')) ||
               error.contains(QLatin1Char('\r'))) {
        std::abort();
    }
    return 0;
}
