#include "campaign/junit_writer.h"

#include <QXmlStreamWriter>

#include <set>
#include <utility>

namespace {

struct Case {
    QString classname;
    QString name;
    QString failure;  // empty for a passing case
};

struct Suite {
    QString name;
    std::vector<Case> cases;
};

// Makes every (classname, name) pair of the document unique.
class UniqueIds {
  public:
    QString take(const QString& classname, const QString& name) {
        QString unique = name;
        for (int n = 2; !taken_.insert({classname, unique}).second; ++n) {
            unique = name + QStringLiteral(" #") + QString::number(n);
        }
        return unique;
    }

  private:
    std::set<std::pair<QString, QString>> taken_;
};

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

std::vector<Suite> suites_of(const Campaign& campaign) {
    UniqueIds ids;
    std::vector<Suite> suites;
    for (std::size_t r = 0; r < campaign.reports.size(); ++r) {
        const ReportResult& report = campaign.reports[r];
        const QString key = text(campaign.report_keys[r]);
        Suite suite{key, {}};
        bool test_ko = false;
        for (std::size_t t = 0; t < report.tests.size(); ++t) {
            const TestResult& test = report.tests[t];
            const QString classname =
                key + QLatin1Char('.') + text(report.services[test.service].name);
            suite.cases.push_back({classname, ids.take(classname, text(campaign.test_keys[r][t])),
                                   test.ok ? QString() : QStringLiteral("test KO")});
            test_ko = test_ko || !test.ok;
        }
        if (!report.run_ok && !test_ko) {
            suite.cases.push_back({key, ids.take(key, QStringLiteral("run verdict")),
                                   QStringLiteral("the run is KO while none of its tests is")});
        }
        suites.push_back(std::move(suite));
    }
    Suite unverified{QStringLiteral("requirements not verified"), {}};
    for (const Requirement& requirement : campaign.requirements) {
        if (requirement.verdict == RequirementVerdict::NotVerified) {
            const QString classname = QStringLiteral("requirements");
            unverified.cases.push_back({classname, ids.take(classname, text(requirement.id)),
                                        QStringLiteral("listed but verified by no report")});
        }
    }
    if (!unverified.cases.empty()) {
        suites.push_back(std::move(unverified));
    }
    Suite problems{QStringLiteral("inputs"), {}};
    for (const QString& problem : campaign.problems) {
        const QString classname = QStringLiteral("inputs");
        problems.cases.push_back({classname, ids.take(classname, problem), problem});
    }
    if (!problems.cases.empty()) {
        suites.push_back(std::move(problems));
    }
    return suites;
}

int failures_of(const Suite& suite) {
    int failures = 0;
    for (const Case& c : suite.cases) {
        failures += c.failure.isEmpty() ? 0 : 1;
    }
    return failures;
}

}  // namespace

QByteArray campaign_junit(const Campaign& campaign) {
    const std::vector<Suite> suites = suites_of(campaign);
    int tests = 0;
    int failures = 0;
    for (const Suite& suite : suites) {
        tests += static_cast<int>(suite.cases.size());
        failures += failures_of(suite);
    }
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("testsuites"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("quillon-campaign"));
    xml.writeAttribute(QStringLiteral("tests"), QString::number(tests));
    xml.writeAttribute(QStringLiteral("failures"), QString::number(failures));
    for (const Suite& suite : suites) {
        xml.writeStartElement(QStringLiteral("testsuite"));
        xml.writeAttribute(QStringLiteral("name"), suite.name);
        xml.writeAttribute(QStringLiteral("tests"), QString::number(suite.cases.size()));
        xml.writeAttribute(QStringLiteral("failures"), QString::number(failures_of(suite)));
        for (const Case& c : suite.cases) {
            xml.writeStartElement(QStringLiteral("testcase"));
            xml.writeAttribute(QStringLiteral("classname"), c.classname);
            xml.writeAttribute(QStringLiteral("name"), c.name);
            if (!c.failure.isEmpty()) {
                xml.writeStartElement(QStringLiteral("failure"));
                xml.writeAttribute(QStringLiteral("message"), c.failure);
                xml.writeEndElement();
            }
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}
