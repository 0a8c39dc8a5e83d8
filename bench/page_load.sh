#!/usr/bin/env bash
# How long the report page of a large run takes: generates a campaign of
# 200 services of 25 tests (bench/page_campaign.awk), converts it in element
# mode, renders the page with xsltproc and opens it in headless Chromium.
# Prints the median of RUNS runs (default 5) of:
#   - xsltproc: the rendering of the page;
#   - load: from the start of the navigation to the end of the page's load
#     event and a full layout, as the page itself measures it (Navigation
#     Timing), which is what the 3 s target is about;
#   - chromium: the whole headless Chromium process that opens the page and
#     takes a screenshot, browser start-up included.
#
#   bench/page_load.sh              # 200 x 25, five runs
#   RUNS=9 bench/page_load.sh 400 25
set -euo pipefail
cd "$(dirname "$0")/.."
services=${1:-200}
tests=${2:-25}
runs=${RUNS:-5}
bash scripts/setup.sh --tests
BUILD_TARGETS="quillon quillon_i18n_lrelease quillon_stylesheets" bash scripts/build.sh >/dev/null
export QARVODIR="$PWD/build/qarvo" LC_ALL=C.UTF-8 USER=bench
out="$PWD/bench/out/page"
mkdir -p "$out/profile"
cd "$out"

awk -v S="$services" -v T="$tests" -f "$OLDPWD/bench/page_campaign.awk" >campaign.rod
"$QARVODIR/bin/quillon" -e campaign.rod
sheet="$QARVODIR/lib/reports/testreq_report.xsl"

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
seconds() { date +%s.%N; }
since() { awk -v now="$(seconds)" -v start="$1" 'BEGIN { printf "%.3f", now - start }'; }

xslt=()
for ((i = 0; i < runs; i++)); do
  start=$(seconds)
  xsltproc "$sheet" campaign.req.xml >campaign.html
  xslt+=("$(since "$start")")
done

# The page measures itself once loaded, then replaces its body by the
# figures, which --dump-dom prints.
probe='<script>addEventListener("load", function () {
  var height = document.documentElement.scrollHeight;
  var nav = performance.getEntriesByType("navigation")[0];
  var laid = performance.now();
  document.body.textContent = "load " + (nav.loadEventEnd || laid).toFixed(0) + " layout " + laid.toFixed(0)
      + " height " + height + " elements " + document.getElementsByTagName("*").length;
});</script>'
awk -v probe="$probe" '{ sub(/<\/body>/, probe "</body>") } 1' campaign.html >probed.html

chromium_flags=(--headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking
  --disable-component-update --disable-sync --disable-quic --user-data-dir="$out/profile"
  --window-size=1280,900)
load=() wall=()
for ((i = 0; i < runs; i++)); do
  figures=$(timeout 300 chromium "${chromium_flags[@]}" --dump-dom "file://$out/probed.html" 2>/dev/null |
    sed -n 's/.*<body>\(.*\)<\/body>.*/\1/p')
  [[ -n $figures ]] || { echo "page_load: Chromium printed no figures" >&2; exit 1; }
  read -r _ _ _ laid _ height _ elements <<<"$figures"
  load+=("$(awk -v ms="$laid" 'BEGIN { printf "%.3f", ms / 1000 }')")
  start=$(seconds)
  timeout 300 chromium "${chromium_flags[@]}" --screenshot="$out/page.png" "file://$out/campaign.html" \
    >/dev/null 2>&1
  wall+=("$(since "$start")")
done

printf 'report      %s services x %s tests, %s bytes; page %s bytes, %s elements, %s px tall\n' \
  "$services" "$tests" "$(stat -c %s campaign.req.xml)" "$(stat -c %s campaign.html)" "$elements" "$height"
printf 'median of %s runs on %s cores (load average %s)\n' "$runs" "$(nproc)" "$(cut -d' ' -f1 /proc/loadavg)"
printf 'xsltproc    %6.2f s\n' "$(printf '%s\n' "${xslt[@]}" | median)"
printf 'load        %6.2f s   (navigation start to load event and layout; target under 3 s)\n' \
  "$(printf '%s\n' "${load[@]}" | median)"
printf 'chromium    %6.2f s   (whole headless process with a screenshot, start-up included)\n' \
  "$(printf '%s\n' "${wall[@]}" | median)"
