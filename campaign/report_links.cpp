#include "campaign/report_links.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString page_beside(const QString& report_path) {
    QString page = report_path;
    if (page.endsWith(QStringLiteral(".req.xml"))) {
        page.chop(8);
    } else if (page.endsWith(QStringLiteral(".xml"))) {
        page.chop(4);
    }
    return page + QStringLiteral(".html");
}

}  // namespace

std::vector<std::string> report_links(const Campaign& campaign, const QString& page_directory) {
    const QDir from(page_directory);
    std::vector<std::string> links;
    links.reserve(campaign.reports.size());
    for (const ReportResult& report : campaign.reports) {
        const QString page = page_beside(report.path);
        const QString target = QFileInfo(page).isFile() ? page : report.path;
        const QString relative = from.relativeFilePath(QFileInfo(target).absoluteFilePath());
        links.push_back(relative.toUtf8().toPercentEncoding("/").toStdString());
    }
    return links;
}
