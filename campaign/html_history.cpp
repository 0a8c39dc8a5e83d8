#include "campaign/html_history.h"

#include "campaign/html_text.h"

#include <algorithm>
#include <string_view>

const char* const kHistoryPageStyle = R"css(
.hist { display: flex; flex-wrap: wrap; align-items: center; gap: 2px 8px; margin-top: 3px; color: var(--muted); font-size: 12px; }
.strip { font: 700 11px/1.6 ui-monospace, "DejaVu Sans Mono", Menlo, Consolas, monospace; letter-spacing: 3px; white-space: nowrap; }
.strip span { padding: 1px 0 1px 3px; }
.v-O { color: var(--ok); background: var(--ok-bg); }
.v-K { color: #fff; background: var(--ko-line); }
.v-N { color: var(--nv); background: var(--nv-bg); }
.v-- { color: var(--muted); background: var(--line); }
.flaky { color: var(--nv); border: 1px solid var(--nv); border-radius: 999px; padding: 0 6px; font-weight: 700; }
.since { color: var(--ko); }
.trend { margin: 0; }
.trend svg { display: block; width: 100%; height: auto; max-height: 280px; }
.trend .axis { stroke: var(--line); stroke-width: 1; }
.trend text { fill: var(--muted); font-size: 14px; }
.trend polyline { fill: none; stroke-width: 3; stroke-linejoin: round; }
.trend circle { stroke: none; }
.trend .hit { fill: transparent; }
.trend .hit:hover { fill: rgba(47, 93, 138, .08); }
.t-ok { stroke: var(--ok); fill: var(--ok); }
.t-ko { stroke: var(--ko-line); fill: var(--ko-line); }
.t-nv { stroke: var(--nv); fill: var(--nv); }
polyline.t-nv { stroke-dasharray: 8 5; }
.trend-key { display: flex; flex-wrap: wrap; gap: 4px 18px; margin: 6px 0 0; font-size: 13px; color: var(--muted); }
.trend-key [class^="k-"]::before { content: ""; display: inline-block; width: 18px; height: 0; border-top: 3px solid; vertical-align: middle; margin-right: 6px; }
.trend-key .k-ok::before { border-color: var(--ok); }
.trend-key .k-ko::before { border-color: var(--ko-line); }
.trend-key .k-nv::before { border-top-style: dashed; border-color: var(--nv); }
.hist-lists { display: grid; grid-template-columns: repeat(auto-fit, minmax(260px, 1fr)); gap: 8px 24px; margin-top: 14px; }
.hist-lists h3 { font-size: 15px; font-weight: 600; margin: 8px 0 4px; }
.hist-lists ul { margin: 0; padding-left: 18px; font-size: 14px; }
.hist-lists li .hist { display: inline-flex; margin-left: 6px; }
@media print {
  .strip span, .badge, .trend { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
  .trend .hit { display: none; }
}
)css";

namespace {

constexpr std::string_view kStep = " \xE2\x80\xBA ";  // as between the parts of a place

// The chart's frame, in the units of its viewBox; integers throughout, so
// that no locale can change a decimal point.
constexpr int kWidth = 1000;
constexpr int kHeight = 220;
constexpr int kLeft = 52;
constexpr int kRight = 16;
constexpr int kTop = 14;
constexpr int kBottom = 34;
constexpr int kPlotWidth = kWidth - kLeft - kRight;
constexpr int kPlotHeight = kHeight - kTop - kBottom;

std::string_view date_of(const std::string& time) {
    return std::string_view(time).substr(0, std::min<std::size_t>(10, time.size()));
}

// "#3, 2026-01-03, r3", the full time as its title.
void campaign_ref(XmlStream& out, const HistoryCampaignRef& ref) {
    out.put("<span title=\"");
    append_html(out, ref.time);
    out.put("\">#");
    out.put_int(ref.seq);
    out.put(", ");
    append_html(out, date_of(ref.time));
    if (!ref.label.empty()) {
        out.put(", ");
        append_html(out, ref.label);
    }
    out.put("</span>");
}

// One span per run of equal verdicts: most items never change, and their
// strip is then one element.
void strip(XmlStream& out, const std::string& letters) {
    out.put("<span class=\"strip\" title=\"The last ");
    out.put_int(static_cast<long long>(letters.size()));
    out.put(" verdicts, oldest first: O OK, K KO, N not verified, - absent\">");
    for (std::size_t i = 0; i < letters.size();) {
        std::size_t end = i;
        while (end < letters.size() && letters[end] == letters[i]) {
            ++end;
        }
        out.put("<span class=\"v-");
        out.put(letters[i]);
        out.put("\">");
        out.put(std::string_view(letters).substr(i, end - i));
        out.put("</span>");
        i = end;
    }
    out.put("</span>");
}

void flips(XmlStream& out, const HistoryItem& item) {
    out.put("<span>");
    out.put_int(item.flips);
    out.put(item.flips == 1 ? " flip</span>" : " flips</span>");
    if (item.flaky) {
        out.put("<span class=\"flaky\">flaky</span>");
    }
}

void ko_since(XmlStream& out, const HistoryItem& item) {
    if (!item.ko_since) {
        return;
    }
    out.put("<span class=\"since\">KO since ");
    campaign_ref(out, *item.ko_since);
    out.put(" (");
    out.put_int(item.ko_campaigns);
    out.put(item.ko_campaigns == 1 ? " campaign)</span>" : " campaigns)</span>");
}

// The item's name, linked to its row when the page has one: every
// requirement has, a test only when KO.
void item_name(XmlStream& out, const HistoryItem& item) {
    if (item.kind == kItemRequirement) {
        out.put("<a class=\"id\" href=\"#");
        out.put(anchor_id("req-", {item.name}));
        out.put("\">");
        append_html(out, item.name);
        out.put("</a>");
        return;
    }
    const bool linked = item.verdict == kVerdictKo;
    if (linked) {
        out.put("<a href=\"#");
        out.put(anchor_id("test-", {item.report, item.service, item.name}));
        out.put("\">");
    }
    append_html(out, item.report);
    out.put(kStep);
    append_html(out, item.service);
    out.put(kStep);
    append_html(out, item.name);
    out.put(linked ? "</a>" : "");
}

enum class Detail { None, Age, Strip };

void item_list(XmlStream& out, const char* id, const char* title,
               const std::vector<HistoryItem>& items, Detail detail) {
    out.put("<div id=\"");
    out.put(id);
    out.put("\"><h3>");
    out.put(title);
    out.put(" (");
    out.put_int(static_cast<long long>(items.size()));
    out.put(")</h3>");
    if (items.empty()) {
        out.put("<p class=\"quiet\">None.</p></div>");
        return;
    }
    out.put("<ul>");
    const std::size_t shown = std::min(items.size(), kHistoryListShown);
    for (std::size_t i = 0; i < shown; ++i) {
        const HistoryItem& item = items[i];
        out.put("<li>");
        item_name(out, item);
        if (detail == Detail::Age && item.ko_since) {
            out.put("<span class=\"hist\">");
            ko_since(out, item);
            out.put("</span>");
        } else if (detail == Detail::Strip) {
            out.put("<span class=\"hist\">");
            strip(out, item.strip);
            flips(out, item);
            out.put("</span>");
        }
        out.put("</li>");
    }
    if (items.size() > shown) {
        out.put("<li class=\"quiet\">and ");
        out.put_int(static_cast<long long>(items.size() - shown));
        out.put(" more</li>");
    }
    out.put("</ul></div>");
}

int point_x(std::size_t i, std::size_t n) {
    return n < 2 ? kLeft + kPlotWidth / 2 : kLeft + static_cast<int>(i * kPlotWidth / (n - 1));
}

int point_y(int value, int top) {
    return kTop + kPlotHeight - static_cast<int>(static_cast<long long>(value) * kPlotHeight / top);
}

void text_at(XmlStream& out, int x, int y, const char* anchor) {
    out.put("<text x=\"");
    out.put_int(x);
    out.put("\" y=\"");
    out.put_int(y);
    out.put("\" text-anchor=\"");
    out.put(anchor);
    out.put("\">");
}

// OK, KO and not verified requirements per campaign: a line each, a dot per
// campaign, and per campaign a band whose title gives its figures.
void trend_chart(XmlStream& out, const std::vector<HistoryTrendPoint>& trend) {
    if (trend.empty()) {
        return;
    }
    const std::size_t n = trend.size();
    int top = 1;
    for (const HistoryTrendPoint& p : trend) {
        top = std::max({top, p.requirements_ok, p.requirements_ko, p.requirements_not_verified});
    }
    const HistoryTrendPoint& first = trend.front();
    const HistoryTrendPoint& last = trend.back();
    out.put("<figure class=\"trend\"><svg id=\"trend\" viewBox=\"0 0 ");
    out.put_int(kWidth);
    out.put(" ");
    out.put_int(kHeight);
    out.put(
        "\" role=\"img\" aria-labelledby=\"trend-title\"><title id=\"trend-title\">Requirements "
        "OK, KO and not verified in the last ");
    out.put_int(static_cast<long long>(n));
    out.put(n == 1 ? " campaign" : " campaigns");
    out.put("</title>\n");
    for (const int value : {top, 0}) {
        const int y = point_y(value, top);
        out.put("<line class=\"axis\" x1=\"");
        out.put_int(kLeft);
        out.put("\" x2=\"");
        out.put_int(kWidth - kRight);
        out.put("\" y1=\"");
        out.put_int(y);
        out.put("\" y2=\"");
        out.put_int(y);
        out.put("\"/>");
        text_at(out, kLeft - 8, y + 5, "end");
        out.put_int(value);
        out.put("</text>");
    }
    // The first and the last campaign under the axis.
    const auto campaign_label = [&](const HistoryTrendPoint& p, int x, const char* anchor) {
        text_at(out, x, kHeight - 10, anchor);
        out.put("#");
        out.put_int(p.campaign.seq);
        out.put(" ");
        append_html(out, date_of(p.campaign.time));
        out.put("</text>");
    };
    if (n < 2) {
        campaign_label(last, point_x(0, n), "middle");
    } else {
        campaign_label(first, kLeft, "start");
        campaign_label(last, kWidth - kRight, "end");
    }
    out.put("\n");
    const int step = n < 2 ? kPlotWidth : kPlotWidth / static_cast<int>(n - 1);
    for (std::size_t i = 0; i < n; ++i) {
        const HistoryTrendPoint& p = trend[i];
        out.put("<rect class=\"hit\" x=\"");
        out.put_int(point_x(i, n) - step / 2);
        out.put("\" y=\"0\" width=\"");
        out.put_int(step);
        out.put("\" height=\"");
        out.put_int(kHeight);
        out.put("\"><title>#");
        out.put_int(p.campaign.seq);
        out.put(" ");
        append_html(out, date_of(p.campaign.time));
        if (!p.campaign.label.empty()) {
            out.put(" ");
            append_html(out, p.campaign.label);
        }
        out.put(": ");
        out.put_int(p.requirements_ok);
        out.put(" OK, ");
        out.put_int(p.requirements_ko);
        out.put(" KO, ");
        out.put_int(p.requirements_not_verified);
        out.put(" not verified</title></rect>\n");
    }
    const std::pair<const char*, int HistoryTrendPoint::*> lines[] = {
        {"t-ok", &HistoryTrendPoint::requirements_ok},
        {"t-ko", &HistoryTrendPoint::requirements_ko},
        {"t-nv", &HistoryTrendPoint::requirements_not_verified},
    };
    for (const auto& [cls, member] : lines) {
        out.put("<polyline class=\"");
        out.put(cls);
        out.put("\" points=\"");
        for (std::size_t i = 0; i < n; ++i) {
            out.put(i == 0 ? "" : " ");
            out.put_int(point_x(i, n));
            out.put(",");
            out.put_int(point_y(trend[i].*member, top));
        }
        out.put("\"/><g class=\"");
        out.put(cls);
        out.put("\">");
        for (std::size_t i = 0; i < n; ++i) {
            out.put("<circle cx=\"");
            out.put_int(point_x(i, n));
            out.put("\" cy=\"");
            out.put_int(point_y(trend[i].*member, top));
            out.put("\" r=\"4\"/>");
        }
        out.put("</g>\n");
    }
    out.put("</svg><figcaption class=\"trend-key\"><span class=\"k-ok\">OK: ");
    out.put_int(last.requirements_ok);
    out.put("</span><span class=\"k-ko\">KO: ");
    out.put_int(last.requirements_ko);
    out.put("</span><span class=\"k-nv\">not verified: ");
    out.put_int(last.requirements_not_verified);
    out.put(
        "</span><span class=\"quiet\">requirements per campaign, now</span></figcaption>"
        "</figure>\n");
}

}  // namespace

void write_history_section(XmlStream& out, const CampaignHistory& history) {
    out.put("<section class=\"card\" id=\"history\"><h2>History</h2><p class=\"quiet\">Campaign ");
    campaign_ref(out, history.campaign);
    out.put(" of stream \"");
    append_html(out, history.stream);
    out.put("\"");
    if (history.previous) {
        out.put(", compared with ");
        campaign_ref(out, *history.previous);
    } else {
        out.put(", the first of its stream");
    }
    out.put(".</p>\n");
    trend_chart(out, history.trend);
    out.put("<div class=\"hist-lists\">");
    item_list(out, "newly-failing", "Newly failing", history.newly_failing, Detail::None);
    item_list(out, "still-failing", "Still failing", history.still_failing, Detail::Age);
    item_list(out, "flaky", "Flaky", history.flaky, Detail::Strip);
    item_list(out, "fixed", "Fixed", history.fixed, Detail::None);
    out.put("</div></section>\n");
}

void write_history_line(XmlStream& out, const HistoryItem& item) {
    out.put("<div class=\"hist\">");
    strip(out, item.strip);
    flips(out, item);
    ko_since(out, item);
    out.put("</div>");
}
