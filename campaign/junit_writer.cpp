#include "campaign/junit_writer.h"

#include <QIODevice>
#include <QXmlStreamWriter>

#include <unordered_map>
#include <unordered_set>

namespace {

// QXmlStreamWriter writes to a QIODevice: this one hands the bytes on to the
// output stream, which checks the writes into the file.
class StreamDevice : public QIODevice {
  public:
    explicit StreamDevice(XmlStream& out) : out_(out) {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        out_.put(std::string_view(data, static_cast<std::size_t>(size)));
        return size;
    }

  private:
    XmlStream& out_;
};

// Makes every (classname, name) pair of the document unique.
class UniqueIds {
  public:
    std::string take(const std::string& classname, const std::string& name) {
        std::unordered_set<std::string>& taken = taken_[classname];
        std::string unique = name;
        for (int n = 2; !taken.insert(unique).second; ++n) {
            unique = name + " #" + std::to_string(n);
        }
        return unique;
    }

  private:
    std::unordered_map<std::string, std::unordered_set<std::string>> taken_;
};

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// Tests and failures of a suite, which its element states before its cases.
struct SuiteCounts {
    int tests = 0;
    int failures = 0;
};

// A KO run without a KO test is reported by a case of its own.
bool needs_run_case(const ReportResult& report) {
    if (report.run_ok) {
        return false;
    }
    for (const TestResult& test : report.tests) {
        if (!test.ok) {
            return false;
        }
    }
    return true;
}

SuiteCounts report_counts(const ReportResult& report) {
    SuiteCounts counts{static_cast<int>(report.tests.size()), 0};
    for (const TestResult& test : report.tests) {
        counts.failures += test.ok ? 0 : 1;
    }
    if (needs_run_case(report)) {
        ++counts.tests;
        ++counts.failures;
    }
    return counts;
}

struct JunitDocument {
    explicit JunitDocument(QIODevice* device) : xml(device) {}
    QXmlStreamWriter xml;
    UniqueIds ids;
};

void counts_attributes(QXmlStreamWriter& xml, SuiteCounts counts) {
    xml.writeAttribute(QStringLiteral("tests"), QString::number(counts.tests));
    xml.writeAttribute(QStringLiteral("failures"), QString::number(counts.failures));
}

void suite_start(JunitDocument& document, const QString& name, SuiteCounts counts) {
    document.xml.writeStartElement(QStringLiteral("testsuite"));
    document.xml.writeAttribute(QStringLiteral("name"), name);
    counts_attributes(document.xml, counts);
}

// failure is empty for a passing case.
void test_case(JunitDocument& document, const std::string& classname, const std::string& name,
               const QString& failure) {
    QXmlStreamWriter& xml = document.xml;
    xml.writeStartElement(QStringLiteral("testcase"));
    xml.writeAttribute(QStringLiteral("classname"), text(classname));
    xml.writeAttribute(QStringLiteral("name"), text(document.ids.take(classname, name)));
    if (!failure.isEmpty()) {
        xml.writeStartElement(QStringLiteral("failure"));
        xml.writeAttribute(QStringLiteral("message"), failure);
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

}  // namespace

void write_campaign_junit(XmlStream& out, const Campaign& campaign) {
    // The root element states the totals, so they are counted first; the
    // suites are then written one at a time, never held whole.
    SuiteCounts total;
    for (const ReportResult& report : campaign.reports) {
        const SuiteCounts counts = report_counts(report);
        total.tests += counts.tests;
        total.failures += counts.failures;
    }
    SuiteCounts unverified;
    for (const Requirement& requirement : campaign.requirements) {
        if (requirement.verdict == RequirementVerdict::NotVerified) {
            ++unverified.tests;
            ++unverified.failures;
        }
    }
    const int problems = static_cast<int>(campaign.problems.size());
    total.tests += unverified.tests + problems;
    total.failures += unverified.failures + problems;

    StreamDevice device(out);
    JunitDocument document(&device);
    QXmlStreamWriter& xml = document.xml;
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("testsuites"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("quillon-campaign"));
    counts_attributes(xml, total);
    for (std::size_t r = 0; r < campaign.reports.size(); ++r) {
        const ReportResult& report = campaign.reports[r];
        const std::string& key = campaign.report_keys[r];
        suite_start(document, text(key), report_counts(report));
        for (std::size_t t = 0; t < report.tests.size(); ++t) {
            const TestResult& test = report.tests[t];
            test_case(document, key + '.' + report.services[test.service].name,
                      campaign.test_keys[r][t], test.ok ? QString() : QStringLiteral("test KO"));
        }
        if (needs_run_case(report)) {
            test_case(document, key, "run verdict",
                      QStringLiteral("the run is KO while none of its tests is"));
        }
        xml.writeEndElement();
    }
    if (unverified.tests > 0) {
        suite_start(document, QStringLiteral("requirements not verified"), unverified);
        for (const Requirement& requirement : campaign.requirements) {
            if (requirement.verdict == RequirementVerdict::NotVerified) {
                test_case(document, "requirements", requirement.id,
                          QStringLiteral("listed but verified by no report"));
            }
        }
        xml.writeEndElement();
    }
    if (problems > 0) {
        suite_start(document, QStringLiteral("inputs"), {problems, problems});
        for (const QString& problem : campaign.problems) {
            test_case(document, "inputs", problem.toStdString(), problem);
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
}
