#!/usr/bin/env bash
# How long the report page of a large run takes, in one of two shapes:
#   - a campaign of SERVICES services of TESTS tests (bench/page_campaign.awk,
#     200 x 25 by default), converted in element mode;
#   - "requirements": the requirement-heavy report of generate_rod's
#     requirements shape, MEGABYTES of ROD (3 by default: 16,512 requirement
#     occurrences, 4,065 tests in 271 services).
# Renders the page with xsltproc and opens it in headless Chromium. Prints
# the median of RUNS runs (default 5) of:
#   - xsltproc: the rendering of the page, its processor time (what a
#     loaded machine changes least) and its peak memory (GNU time);
#   - load: from the start of the navigation to the end of the page's load
#     event and a full layout, as the page itself measures it (Navigation
#     Timing), which is what the 3 s target is about;
#   - keystroke: the search text typed one character at a time right after
#     the load (so the first keystroke finds nothing gathered yet), each
#     timed from the input event to the end of the layout it causes; the
#     median and the slowest of each run;
#   - occurrences: then opening the fold of every requirement occurrence,
#     whose table the page's script gathers when it first opens, to the end
#     of the layout;
#   - chromium: the whole headless Chromium process that opens the page and
#     takes a screenshot, browser start-up included.
# STYLESHEET names another page stylesheet to measure (an older one, say).
#
#   bench/page_load.sh                  # 200 x 25, five runs
#   RUNS=9 bench/page_load.sh 400 25
#   bench/page_load.sh requirements     # the requirement-heavy report
#   STYLESHEET=/tmp/old.xsl bench/page_load.sh requirements
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-5}
targets="quillon quillon_i18n_lrelease quillon_stylesheets"
if [[ ${1:-} == requirements ]]; then
  shape=requirements megabytes=${2:-3} needle=hlr_12_3 targets+=" generate_rod"
else
  shape=campaign services=${1:-200} tests=${2:-25} needle=test_12_3
fi
bash scripts/setup.sh --tests
BUILD_TARGETS=$targets bash scripts/build.sh >/dev/null
export QARVODIR="$PWD/build/qarvo" LC_ALL=C.UTF-8 USER=bench
sheet=${STYLESHEET:-$QARVODIR/lib/reports/testreq_report.xsl}
sheet=$(realpath "$sheet")
out="$PWD/bench/out/page"
mkdir -p "$out/profile"
cd "$out"

if [[ $shape == requirements ]]; then
  "$OLDPWD/build/bench/generate_rod" requirements "$megabytes" campaign.rod
  "$QARVODIR/bin/quillon" -e campaign.rod
  what="requirement-heavy report, $(stat -c %s campaign.rod) bytes of ROD"
else
  awk -v S="$services" -v T="$tests" -f "$OLDPWD/bench/page_campaign.awk" >campaign.rod
  "$QARVODIR/bin/quillon" -e campaign.rod
  what="$services services x $tests tests"
fi

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
seconds() { date +%s.%N; }
since() { awk -v now="$(seconds)" -v start="$1" 'BEGIN { printf "%.3f", now - start }'; }

xslt=() cpu=() memory=()
for ((i = 0; i < runs; i++)); do
  start=$(seconds)
  /usr/bin/time -f '%M %U %S' -o xsltproc.time xsltproc --nonet "$sheet" campaign.req.xml >campaign.html
  xslt+=("$(since "$start")")
  read -r kb user system <xsltproc.time
  memory+=("$kb") cpu+=("$(awk -v u="$user" -v s="$system" 'BEGIN { print u + s }')")
done

# The page measures itself once loaded, types the search text, then
# replaces its body by the figures, which --dump-dom prints.
probe='<script>addEventListener("load", function () {
  var height = document.documentElement.scrollHeight;
  var nav = performance.getEntriesByType("navigation")[0];
  var laid = performance.now();
  var box = document.getElementById("filter-text");
  var keys = [];
  var typed = "";
  "'"$needle"'".split("").forEach(function (c) {
    typed += c;
    box.value = typed;
    var start = performance.now();
    box.dispatchEvent(new Event("input"));
    void document.documentElement.scrollHeight;
    keys.push(performance.now() - start);
  });
  keys.sort(function (a, b) { return a - b; });
  var elements = document.getElementsByTagName("*").length;
  var fold = document.querySelector("#requirement-occurrences details");
  var opened = performance.now();
  if (fold) {
    fold.open = true;
    fold.dispatchEvent(new Event("toggle"));
    void document.documentElement.scrollHeight;
  }
  opened = performance.now() - opened;
  document.body.textContent = "load " + (nav.loadEventEnd || laid).toFixed(0) + " layout " + laid.toFixed(0)
      + " height " + height + " elements " + elements
      + " keys " + keys[keys.length >> 1].toFixed(0) + " " + keys[keys.length - 1].toFixed(0)
      + " occurrences " + opened.toFixed(0);
});</script>'
awk -v probe="$probe" '{ sub(/<\/body>/, probe "</body>") } 1' campaign.html >probed.html

chromium_flags=(--headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking
  --disable-component-update --disable-sync --disable-quic --user-data-dir="$out/profile"
  --window-size=1280,900)
load=() wall=() key_median=() key_max=() occurrences=()
for ((i = 0; i < runs; i++)); do
  figures=$(timeout 300 chromium "${chromium_flags[@]}" --dump-dom "file://$out/probed.html" 2>/dev/null |
    sed -n 's/.*<body>\(.*\)<\/body>.*/\1/p')
  [[ -n $figures ]] || { echo "page_load: Chromium printed no figures" >&2; exit 1; }
  read -r _ _ _ laid _ height _ elements _ typical slowest _ opened <<<"$figures"
  load+=("$(awk -v ms="$laid" 'BEGIN { printf "%.3f", ms / 1000 }')")
  key_median+=("$typical") key_max+=("$slowest") occurrences+=("$opened")
  start=$(seconds)
  timeout 300 chromium "${chromium_flags[@]}" --screenshot="$out/page.png" "file://$out/campaign.html" \
    >/dev/null 2>&1
  wall+=("$(since "$start")")
done

printf 'report      %s; %s bytes, %s requirement occurrences\n' "$what" \
  "$(stat -c %s campaign.req.xml)" "$(grep -c '<REQUIREMENT ' campaign.req.xml)"
printf 'page        %s bytes, %s elements, %s px tall (%s)\n' "$(stat -c %s campaign.html)" \
  "$elements" "$height" "$sheet"
printf 'median of %s runs on %s cores (load average %s)\n' "$runs" "$(nproc)" "$(cut -d' ' -f1 /proc/loadavg)"
printf 'xsltproc    %6.2f s   (%.2f s of processor), %d MB peak   (target under 2 s and 200 MB)\n' \
  "$(printf '%s\n' "${xslt[@]}" | median)" "$(printf '%s\n' "${cpu[@]}" | median)" \
  "$(($(printf '%s\n' "${memory[@]}" | median) / 1024))"
printf 'load        %6.2f s   (navigation start to load event and layout; target under 3 s)\n' \
  "$(printf '%s\n' "${load[@]}" | median)"
printf 'keystroke   %6d ms  median, %d ms slowest (typing "%s" at load; target under 200 ms)\n' \
  "$(printf '%s\n' "${key_median[@]}" | median)" "$(printf '%s\n' "${key_max[@]}" | median)" "$needle"
printf 'occurrences %6d ms  (opening the fold of every requirement occurrence after that)\n' \
  "$(printf '%s\n' "${occurrences[@]}" | median)"
printf 'chromium    %6.2f s   (whole headless process with a screenshot, start-up included)\n' \
  "$(printf '%s\n' "${wall[@]}" | median)"
