#include "campaign/inputs.h"

#include "campaign/messages.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <set>

namespace {

// Collects report names, dropping a report already named by another input.
class ReportList {
  public:
    explicit ReportList(ResolvedInputs& out) : out_(out) {}
    void add(const QString& path) {
        const QFileInfo info(path);
        const QString key = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
        if (seen_.insert(key).second) {
            out_.reports.append(path);
        }
    }

  private:
    ResolvedInputs& out_;
    std::set<QString> seen_;
};

void add_folder(const QString& folder, ReportList& reports, ResolvedInputs& out) {
    QStringList found;
    QDirIterator it(folder, {QStringLiteral("*.req.xml")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        found.append(it.next());
    }
    if (found.isEmpty()) {
        out.problems.append(message_empty_folder(folder));
        return;
    }
    found.sort();
    for (const QString& path : found) {
        reports.add(path);
    }
}

void add_rod(const QString& rod, ReportList& reports, ResolvedInputs& out) {
    const QString report = report_name_for_rod(rod);
    const QFileInfo report_info(report);
    if (!report_info.isFile()) {
        out.problems.append(message_no_report(rod, report));
    } else if (report_info.lastModified() < QFileInfo(rod).lastModified()) {
        out.problems.append(message_stale_report(rod, report));
    } else {
        reports.add(report);
    }
}

void add_log(const QString& log, ReportList& reports, ResolvedInputs& out) {
    QFile file(log);
    if (!file.open(QIODevice::ReadOnly)) {
        out.problems.append(message_cannot_read(log, file.errorString()));
        return;
    }
    bool any = false;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        while (line.endsWith('\n') || line.endsWith('\r')) {
            line.chop(1);
        }
        if (line.startsWith("REQ ") && line.size() > 4) {
            reports.add(QFile::decodeName(line.mid(4)));
            any = true;
        }
    }
    if (!any) {
        out.problems.append(message_empty_log(log));
    }
}

}  // namespace

QString report_name_for_rod(const QString& rod_path) {
    QString name = rod_path;
    if (name.size() > 4 &&
        (name.endsWith(QStringLiteral(".rod")) || name.endsWith(QStringLiteral(".ROD")))) {
        name.chop(4);
    }
    return name + QStringLiteral(".req.xml");
}

ResolvedInputs resolve_inputs(const QStringList& inputs, const QStringList& logs) {
    ResolvedInputs out;
    ReportList reports(out);
    for (const QString& input : inputs) {
        const QFileInfo info(input);
        if (info.isDir()) {
            add_folder(input, reports, out);
        } else if (!info.exists()) {
            out.problems.append(message_no_such_input(input));
        } else if (input.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive)) {
            reports.add(input);
        } else {
            add_rod(input, reports, out);
        }
    }
    for (const QString& log : logs) {
        add_log(log, reports, out);
    }
    return out;
}
