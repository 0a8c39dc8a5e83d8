#!/usr/bin/env bash
# How long the campaign page with history takes to load: 200 reports of 100
# tests, 2 requirements per test out of 5,000 (the page set of
# bench/campaign_run.sh), recorded CAMPAIGNS times (default 100) into an
# SQLite history, each time with two services of two reports all KO (their
# tests and requirements), so that strips, ages and the trend move. The last
# campaign writes the page; it is opened RUNS times (default 5) in headless
# Chromium, and the median time from the start of the navigation to the end
# of the load event and a full layout is printed (the target is under 3 s).
#
#   bench/history_page.sh
#   CAMPAIGNS=20 RUNS=3 BUILD_DIR=build bench/history_page.sh
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-5}
campaigns=${CAMPAIGNS:-100}
build=${BUILD_DIR:-build}
bash scripts/setup.sh --tests
cmake --build "$build" -j2 --target quillon-campaign >/dev/null
tool="$PWD/$build/qarvo/bin/quillon-campaign"
out="$PWD/bench/out/campaign"
mkdir -p "$out"
source bench/campaign_generator.sh
set="$out/page_200x100"
[[ -d $set ]] || { mkdir -p "$set" && "$generate" "$set" 200 0 5000 100; }

work="$out/history_page"
rm -rf "$work"
mkdir -p "$work"
RANDOM=7
for ((i = 1; i <= campaigns; i++)); do
    rm -rf "$work/day"
    cp -al "$set" "$work/day"
    for _ in 1 2; do
        report="report_$((RANDOM % 200)).req.xml" service="service_$((RANDOM % 10))"
        sed "/<SERVICE NAME=\"$service\"/,/<\/SERVICE>/ s/STATUS=\"OK\"/STATUS=\"KO\"/g" \
            "$set/$report" >"$work/$report"
        rm "$work/day/$report"
        mv "$work/$report" "$work/day/$report"
    done
    page=()
    ((i == campaigns)) && page=(--html "$work/page.html" --pages "$work/pages")
    SOURCE_DATE_EPOCH=$((1764547200 + 86400 * i)) "$tool" "$work/day" --history "$work/history.db" \
        --label "build-$i" --quiet "${page[@]}" || true
done

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
probe='<script>addEventListener("load", function () {
  var height = document.documentElement.scrollHeight;
  var laid = performance.now();
  var elements = document.getElementsByTagName("*").length;
  document.body.textContent = "laid " + laid.toFixed(0) + " height " + height + " elements " + elements;
});</script>'
awk -v probe="$probe" '{ sub(/<\/body>/, probe "</body>") } 1' "$work/page.html" >"$work/probed.html"
times=()
for ((run = 0; run < runs; run++)); do
    profile=$(mktemp -d)
    figures=$(timeout 300 chromium --headless --no-sandbox --disable-gpu --disable-quic \
        --no-first-run --disable-background-networking --disable-component-update \
        --disable-sync --user-data-dir="$profile" --window-size=1280,900 \
        --dump-dom "file://$work/probed.html" 2>/dev/null | sed -n 's/.*<body>\(laid [^<]*\)<.*/\1/p')
    rm -rf "$profile"
    read -r _ laid _ height _ elements <<<"$figures"
    times+=("$(awk -v ms="${laid:-NaN}" 'BEGIN { printf "%.2f", ms / 1000 }')")
done
printf 'page with history: %s campaigns, %s requirements; %s bytes, %s elements, %s px tall\n' \
    "$campaigns" "$(grep -c 'id="req-' "$work/page.html")" "$(stat -c %s "$work/page.html")" \
    "$elements" "$height"
printf 'load: %s s (median of %s runs: %s; target under 3 s) on %s cores, load average %s\n' \
    "$(printf '%s\n' "${times[@]}" | median)" "$runs" "${times[*]}" "$(nproc)" \
    "$(cut -d' ' -f1 /proc/loadavg)"
echo "database: $(du -k "$work/history.db" | cut -f1) KiB"
