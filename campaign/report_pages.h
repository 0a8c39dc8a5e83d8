#pragma once
// Renders a requirement report as its HTML page with the installed report
// stylesheet (testreq_report.xsl), in process through libxslt, so that every
// link of the campaign page to a report page finds a page there and the
// user runs nothing else. The page is the one xsltproc would write.
//
// The stylesheet is read and compiled once, then applied to each report; a
// compiled stylesheet is only read by a rendering, so several threads may
// render with one. A rendering may not write a file, create a folder or use
// the network, whatever the stylesheet asks; it reads the report and
// nothing else (no DTD, no external entity). The page lands whole or not at
// all (xml/replacing_file.h): a page of an earlier run stays as it was when
// anything fails.
//
// On failure *error is the whole problem line naming the file concerned
// (the stylesheet, the report or the page).

#include <QString>

#include <memory>
#include <string>

class ReportPageStylesheet {
  public:
    ReportPageStylesheet();
    ReportPageStylesheet(const ReportPageStylesheet&) = delete;
    ReportPageStylesheet& operator=(const ReportPageStylesheet&) = delete;
    ~ReportPageStylesheet();

    // Reads and compiles the stylesheet; false when it cannot be used.
    bool load(const std::string& stylesheet_path, QString* error);

    // Writes the page of one report; load() must have succeeded.
    bool render(const std::string& report_path, const std::string& page_path, QString* error) const;

  private:
    struct Compiled;
    std::unique_ptr<Compiled> compiled_;
};

// One report rendered with the stylesheet at stylesheet_path.
bool render_report_page(const std::string& report_path, const std::string& stylesheet_path,
                        const std::string& page_path, QString* error);
