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
.tile { display: block; color: inherit; background: var(--paper); border: 1px solid var(--line); border-radius: 8px; padding: 12px 16px; }
a.tile:hover { text-decoration: none; border-color: var(--accent); }
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
.grid-head > div, .grid .row > div { min-width: 0; overflow-wrap: anywhere; }
.cols-reports > div { grid-template-columns: minmax(0, 3fr) 60px 70px 70px minmax(0, 3fr); }
.cols-matrix > div { grid-template-columns: minmax(0, 2fr) 110px 40px 40px minmax(0, 6fr); }
.cols-failing > div, .cols-failing .row { grid-template-columns: minmax(0, 1fr) minmax(0, 2fr); }
.num { text-align: right; font-variant-numeric: tabular-nums; }
.row[data-verdict="KO"] { box-shadow: inset 4px 0 var(--ko-line); }
.row[data-verdict="NV"] { box-shadow: inset 4px 0 var(--nv); }
.row:target { background: #fff8c5; }
.badge { display: inline-block; border-radius: 999px; padding: 1px 9px; font-size: 12px; font-weight: 700; letter-spacing: .03em; white-space: nowrap; }
.badge-OK { color: var(--ok); background: var(--ok-bg); }
.badge-KO { color: #fff; background: var(--ko-line); }
.badge-NV { color: var(--nv); background: var(--nv-bg); border: 1px solid var(--nv); }
.flag { color: var(--nv); font-size: 12px; font-weight: 600; margin-left: 6px; }
.title { color: var(--muted); font-size: 13px; }
.more summary { cursor: pointer; color: var(--accent); }
.facts { display: grid; grid-template-columns: max-content minmax(0, 1fr); gap: 4px 16px; margin: 0 0 12px; font-size: 14px; }
.facts dt { color: var(--muted); }
.facts dd { margin: 0; overflow-wrap: anywhere; }
.scroll { overflow-x: auto; }
.inputs td { font-size: 13px; }
.sha { word-break: break-all; min-width: 16ch; }
summary { cursor: pointer; }
.id, .path { font-family: ui-monospace, "DejaVu Sans Mono", Menlo, Consolas, monospace; font-size: 13px; }
.places a { display: block; }
.places .ko { color: var(--ko); font-weight: 600; }
.group > summary { padding: 6px 8px; font-weight: 600; border-bottom: 1px solid var(--line); }
.jump { margin: 12px 0 0; font-size: 14px; display: flex; flex-wrap: wrap; gap: 4px 16px; }
.jump a { white-space: nowrap; }
a { color: var(--accent); text-decoration: none; }
a:hover { text-decoration: underline; }
.quiet { color: var(--muted); }
.cause { color: var(--muted); font-size: 13px; margin-top: 2px; white-space: pre-line; }
.problems li { color: var(--ko); }
tr.change-regression td:first-child { color: var(--ko); font-weight: 600; }
tr.change-fixed td:first-child { color: var(--ok); font-weight: 600; }
.page-foot { color: var(--muted); font-size: 13px; margin-top: 28px; }
/* A narrow screen: each row of the matrix and of the reports on two lines,
   the places (or the file) under the rest, so that no column is squeezed
   to a character a line. */
@media (max-width: 640px) {
  .wrap { padding: 0 12px; }
  .card { padding: 14px 12px; }
  .cols-reports > div { grid-template-columns: minmax(0, 1fr) auto 44px 44px; }
  .cols-matrix > div { grid-template-columns: minmax(0, 1fr) auto 36px 36px; }
  .cols-reports > div > :nth-child(5), .cols-matrix > div > :nth-child(5) { grid-column: 1 / -1; }
  .grid-head, .grid .row { gap: 0 8px; padding-left: 8px; padding-right: 4px; }
  .filter { flex-wrap: wrap; gap: 8px 16px; }
  .tiles { grid-template-columns: repeat(2, minmax(0, 1fr)); gap: 8px; }
}
/* Printed whole: every fold open (the script opens them too), rows hidden
   by a filter shown, no filter bar, every row laid out, a page per section. */
@media print {
  html { background: #fff; }
  .filter, .jump { display: none !important; }
  details::details-content { content-visibility: visible !important; display: block !important; }
  .grid .row { content-visibility: visible; }
  .grid .row[hidden] { display: grid !important; }
  main .card { break-before: page; }
  .grid .row, tr { break-inside: avoid; }
}
)css";

const char* const kCampaignPageScript = R"js(
(function () {
  var bar = document.getElementById('filter');
  var search = document.getElementById('search');
  var koOnly = document.getElementById('ko-only');
  var nvOnly = document.getElementById('nv-only');
  var rows = null;
  var texts = null;
  // A row's text, with its fold's title (the report of a failing test).
  function textOf(row) {
    var fold = row.parentElement;
    var text = fold.tagName === 'DETAILS' ? fold.firstElementChild.textContent + ' ' : '';
    return (text + row.textContent).toLowerCase();
  }
  function apply() {
    var wanted = search.value.trim().toLowerCase();
    var ko = koOnly.checked;
    var nv = nvOnly.checked;
    // Nothing to hide and nothing hidden yet: the rows are not even gathered.
    if (!rows && !wanted && !ko && !nv) return;
    if (!rows) {
      rows = document.querySelectorAll('.filterable .row');
      texts = new Array(rows.length);
    }
    for (var i = 0; i < rows.length; i++) {
      var row = rows[i];
      var verdict = row.getAttribute('data-verdict');
      var hide = (ko && verdict === 'OK') || (nv && verdict !== 'NV');
      if (!hide && wanted) {
        if (texts[i] === undefined) texts[i] = textOf(row);
        hide = texts[i].indexOf(wanted) < 0;
        // A row found in a closed fold is shown: its fold opens.
        var fold = row.parentElement;
        if (!hide && fold.tagName === 'DETAILS' && !fold.open) fold.open = true;
      }
      if (row.hidden !== hide) row.hidden = hide;
    }
  }
  function decode(text) {
    try {
      return decodeURIComponent(text);
    } catch (e) {
      return text;
    }
  }
  // The filter an address fragment names, or null when it is an anchor.
  function parse(fragment) {
    if (fragment.indexOf('=') < 0) return null;
    var wanted = { search: '', ko: false, nv: false };
    fragment.split('&').forEach(function (pair) {
      var at = pair.indexOf('=');
      var key = at < 0 ? pair : pair.slice(0, at);
      var value = at < 0 ? '' : decode(pair.slice(at + 1));
      if (key === 'search') {
        wanted.search = value;
      } else if (key === 'filter') {
        var names = value.split(',');
        wanted.ko = names.indexOf('ko') >= 0;
        wanted.nv = names.indexOf('nv') >= 0;
      }
    });
    return wanted;
  }
  function set(wanted) {
    search.value = wanted.search;
    koOnly.checked = wanted.ko;
    nvOnly.checked = wanted.nv;
  }
  // The filter written back into the address, so that a filtered view can
  // be pasted into a ticket.
  function remember() {
    var parts = [];
    if (search.value !== '') parts.push('search=' + encodeURIComponent(search.value));
    var names = [];
    if (koOnly.checked) names.push('ko');
    if (nvOnly.checked) names.push('nv');
    if (names.length) parts.push('filter=' + names.join(','));
    var fragment = parts.length ? '#' + parts.join('&') : '';
    try {
      history.replaceState(null, '', location.pathname + location.search + fragment);
    } catch (e) {
      location.replace(fragment || '#');
    }
  }
  function changed() {
    apply();
    remember();
  }
  // The target of an anchor, its folds opened.
  function reveal() {
    var id = decode(location.hash.slice(1));
    var target = id ? document.getElementById(id) : null;
    for (var el = target; el; el = el.parentElement) {
      if (el.tagName === 'DETAILS') el.open = true;
    }
    if (target) target.scrollIntoView();
  }
  // A tile applies its filter, then shows the section that lists what it counts.
  document.querySelectorAll('a.tile[data-filter]').forEach(function (tile) {
    tile.addEventListener('click', function (event) {
      event.preventDefault();
      set(parse(tile.getAttribute('data-filter')));
      changed();
      var section = document.getElementById(tile.getAttribute('href').slice(1));
      if (section) section.scrollIntoView();
    });
  });
  // Printed whole: every fold open and every row shown (the print rules
  // show hidden rows); the folds are closed again after.
  var closedForPrint = [];
  window.addEventListener('beforeprint', function () {
    closedForPrint = Array.prototype.filter.call(document.querySelectorAll('details'),
        function (d) { return !d.open; });
    closedForPrint.forEach(function (d) { d.open = true; });
  });
  window.addEventListener('afterprint', function () {
    closedForPrint.forEach(function (d) { d.open = false; });
    closedForPrint = [];
  });
  var first = parse(location.hash.slice(1));
  if (first) {
    set(first);
  } else {
    reveal();
  }
  bar.hidden = false;
  search.addEventListener('input', changed);
  koOnly.addEventListener('change', changed);
  nvOnly.addEventListener('change', changed);
  window.addEventListener('hashchange', function () {
    var wanted = parse(location.hash.slice(1));
    if (wanted) {
      set(wanted);
      apply();
    } else {
      reveal();
    }
  });
  apply();
})();
)js";
