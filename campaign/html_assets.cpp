#include "campaign/html_assets.h"

const char* const kCampaignPageStyle = R"css(
:root {
  --ink: #1f2933; --muted: #616e7c; --line: #e4e7eb; --paper: #ffffff; --page: #f5f7fa;
  --ok: #1a7f37; --ok-bg: #e6f4ea; --ko: #b42318; --ko-bg: #fdecea; --ko-line: #d92d20;
  --accent: #2f5d8a; --nv: #8a6d1a; --nv-bg: #fdf6e3;
}
* { box-sizing: border-box; }
html { background: var(--page); }
body { margin: 0; color: var(--ink); font: 15px/1.5 system-ui, -apple-system, "Segoe UI", Roboto, "Noto Sans", "DejaVu Sans", sans-serif; }
.wrap { max-width: 1220px; margin: 0 auto; padding: 0 24px; }
.page-head { background: var(--paper); border-bottom: 1px solid var(--line); padding: 20px 0 16px; border-top: 6px solid var(--ok); }
.page-head[data-verdict="KO"] { border-top-color: var(--ko-line); }
.kicker { margin: 0; color: var(--muted); font-size: 13px; letter-spacing: .06em; text-transform: uppercase; }
h1 { margin: 4px 0 6px; font-size: 26px; font-weight: 600; display: flex; align-items: center; gap: 12px; }
h1 .badge { font-size: 16px; padding: 3px 12px; }
h2 { font-size: 19px; font-weight: 600; margin: 0 0 12px; }
main.wrap { padding-top: 20px; padding-bottom: 40px; }
.tiles { display: grid; grid-template-columns: repeat(auto-fit, minmax(130px, 1fr)); gap: 12px; }
.tile { background: var(--paper); border: 1px solid var(--line); border-radius: 8px; padding: 12px 16px; }
.tile-value { display: block; font-size: 28px; font-weight: 600; font-variant-numeric: tabular-nums; }
.tile-label { color: var(--muted); font-size: 13px; }
.tile-ok .tile-value { color: var(--ok); }
.tile-ko { border-color: var(--ko-line); background: var(--ko-bg); }
.tile-ko .tile-value { color: var(--ko); }
.tile-nv { border-color: var(--nv); background: var(--nv-bg); }
.tile-nv .tile-value { color: var(--nv); }
.card { background: var(--paper); border: 1px solid var(--line); border-radius: 8px; padding: 18px 20px; margin-top: 20px; }
.filter { position: sticky; top: 0; z-index: 1; display: flex; gap: 16px; align-items: center; background: var(--page); padding: 12px 0; border-bottom: 1px solid var(--line); }
.filter[hidden] { display: none; }
.filter input[type="search"] { flex: 1; max-width: 420px; font: inherit; padding: 6px 10px; border: 1px solid var(--line); border-radius: 6px; }
table { width: 100%; border-collapse: collapse; font-size: 14px; }
th { text-align: left; color: var(--muted); font-weight: 600; font-size: 13px; border-bottom: 2px solid var(--line); padding: 6px 8px; }
td { border-bottom: 1px solid var(--line); padding: 6px 8px; vertical-align: top; }
.grid-head, .grid .row { display: grid; gap: 0 12px; padding: 6px 8px 6px 12px; border-bottom: 1px solid var(--line); }
.grid-head { color: var(--muted); font-weight: 600; font-size: 13px; border-bottom-width: 2px; }
.grid .row { font-size: 14px; content-visibility: auto; contain-intrinsic-size: auto 34px; }
.grid .row[hidden] { display: none; }
.grid .row > div { min-width: 0; overflow-wrap: anywhere; }
.cols-reports > div { grid-template-columns: minmax(0, 3fr) 60px 70px 70px minmax(0, 3fr); }
.cols-matrix > div { grid-template-columns: minmax(0, 2fr) 110px 40px 40px minmax(0, 6fr); }
.cols-failing > div { grid-template-columns: repeat(3, minmax(0, 1fr)); }
.num { text-align: right; font-variant-numeric: tabular-nums; }
.row[data-verdict="KO"] { box-shadow: inset 4px 0 var(--ko-line); }
.row[data-verdict="NV"] { box-shadow: inset 4px 0 var(--nv); }
.row:target { background: #fff8c5; }
.badge { display: inline-block; border-radius: 999px; padding: 1px 9px; font-size: 12px; font-weight: 700; letter-spacing: .03em; white-space: nowrap; }
.badge-OK { color: var(--ok); background: var(--ok-bg); }
.badge-KO { color: #fff; background: var(--ko-line); }
.badge-NV { color: var(--nv); background: var(--nv-bg); border: 1px solid var(--nv); }
.flag { color: var(--nv); font-size: 12px; font-weight: 600; margin-left: 6px; }
.id, .path { font-family: ui-monospace, "DejaVu Sans Mono", Menlo, Consolas, monospace; font-size: 13px; }
.places .ko { color: var(--ko); font-weight: 600; }
.jump { margin: 12px 0 0; font-size: 14px; display: flex; gap: 16px; }
a { color: var(--accent); text-decoration: none; }
a:hover { text-decoration: underline; }
.quiet { color: var(--muted); }
.cause { color: var(--muted); font-size: 13px; margin-top: 2px; }
.problems li { color: var(--ko); }
tr.change-regression td:first-child { color: var(--ko); font-weight: 600; }
tr.change-fixed td:first-child { color: var(--ok); font-weight: 600; }
.page-foot { color: var(--muted); font-size: 13px; margin-top: 28px; }
)css";

const char* const kCampaignPageScript = R"js(
(function () {
  var bar = document.getElementById('filter');
  var search = document.getElementById('search');
  var koOnly = document.getElementById('ko-only');
  var rows = document.querySelectorAll('.filterable .row');
  var texts = new Array(rows.length);
  function apply() {
    var wanted = search.value.trim().toLowerCase();
    var ko = koOnly.checked;
    for (var i = 0; i < rows.length; i++) {
      var row = rows[i];
      var hide = ko && row.getAttribute('data-verdict') === 'OK';
      if (!hide && wanted) {
        if (texts[i] === undefined) texts[i] = row.textContent.toLowerCase();
        hide = texts[i].indexOf(wanted) < 0;
      }
      if (row.hidden !== hide) row.hidden = hide;
    }
  }
  function fromFragment() {
    var fragment = location.hash.slice(1);
    if (fragment.indexOf('=') < 0) return;
    fragment.split('&').forEach(function (pair) {
      var at = pair.indexOf('=');
      var key = pair.slice(0, at);
      var value = decodeURIComponent(pair.slice(at + 1));
      if (key === 'filter') koOnly.checked = value === 'ko';
      if (key === 'search') search.value = value;
    });
  }
  bar.hidden = false;
  search.addEventListener('input', apply);
  koOnly.addEventListener('change', apply);
  window.addEventListener('hashchange', function () { fromFragment(); apply(); });
  fromFragment();
  if (koOnly.checked || search.value) apply();
})();
)js";
