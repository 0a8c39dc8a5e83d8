#!/usr/bin/env bash
# Benchmark of quillon-campaign on generated reports (kept in bench/out/campaign/),
# in two shapes:
#  - programme: 1,000 reports of about 380 tests (500 MB), services of 10
#    tests carrying two requirements each out of 5,000;
#  - units: 200 reports of 9,000 unit services of one test and one
#    requirement each (1.8 million tests, about 670 MB).
# Per shape: reading alone, each output alone, all four, and all four with
# the JSON of the run before as the baseline, each as the median of RUNS runs
# (default 5) of the wall time, the CPU time (user + system), the MB/s of
# reports they give and the peak resident memory; then the size of each
# output, and how long the page takes to load and lay out in headless
# Chromium, as the page measures it. Last,
# the page of a campaign of 5,000 requirements and 20,000 tests.
#
#   bench/campaign_run.sh
#   RUNS=3 SHAPES=units UNITS=200x2000 bench/campaign_run.sh   # smaller, quicker
#   TOOL=/path/to/quillon-campaign bench/campaign_run.sh       # time another build
#   PAGE_TIMEOUT=60 bench/campaign_run.sh   # give up on a page after 60 s (shown as nan)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-5}
shapes=${SHAPES:-"programme units"}
programme=${PROGRAMME:-1000x500}  # reports x total MB
units=${UNITS:-200x9000}          # reports x services
out=bench/out/campaign
mkdir -p "$out"
if [[ -z ${TOOL:-} ]]; then
    bash scripts/setup.sh --tests
    build=build-campaign-bench
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLON_BUILD_TESTS=OFF \
        -DQUILLON_BUILD_BENCH=OFF >/dev/null
    cmake --build "$build" -j2 --target quillon-campaign >/dev/null
    TOOL="$PWD/$build/qarvo/bin/quillon-campaign"
fi
tool=$TOOL
source bench/campaign_generator.sh

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Runs the tool RUNS times; prints the medians: wall s, CPU s, peak KiB.
measure() {
    local walls=() cpus=() peaks=() line
    for ((run = 0; run < runs; run++)); do
        # A KO campaign exits non-zero: that is no failure of the benchmark.
        /usr/bin/time -o "$out/time.txt" -f '%e %U %S %M' "$tool" "$@" >/dev/null 2>&1 || true
        line=$(tail -1 "$out/time.txt")
        read -r wall user sys peak <<<"$line"
        walls+=("$wall")
        cpus+=("$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')")
        peaks+=("$peak")
    done
    echo "$(printf '%s\n' "${walls[@]}" | median) $(printf '%s\n' "${cpus[@]}" | median)" \
        "$(printf '%s\n' "${peaks[@]}" | median)"
}

row() {
    read -r wall cpu peak < <(measure "${@:2}")
    awk -v n="$1" -v w="$wall" -v c="$cpu" -v p="$peak" -v mb="$mb" \
        'BEGIN { printf "%-24s %8.2f %8.2f %9.1f %9.1f %9.1f\n", n, w, c, mb / w, mb / c, p / 1024 }'
}

size_mb() { awk -v b="$(stat -c %s "$1")" 'BEGIN { printf "%.1f", b / 1e6 }'; }

# Seconds from the start of the navigation to the end of the page's load
# event and a full layout, as the page itself measures it (Navigation
# Timing); the median of RUNS loads in headless Chromium.
probe='<script>addEventListener("load", function () {
  var height = document.documentElement.scrollHeight;
  var laid = performance.now();
  document.body.textContent = "laid " + laid.toFixed(0) + " height " + height;
});</script>'
page_seconds() {
    local times=() profile figures
    awk -v probe="$probe" '{ sub(/<\/body>/, probe "</body>") } 1' "$1" >"$out/probed.html"
    for ((run = 0; run < runs; run++)); do
        profile=$(mktemp -d)
        figures=$(timeout "${PAGE_TIMEOUT:-300}" chromium --headless --no-sandbox --disable-gpu --disable-quic \
            --no-first-run --disable-background-networking --disable-component-update \
            --disable-sync --user-data-dir="$profile" --window-size=1280,900 \
            --dump-dom "file://$PWD/$out/probed.html" 2>/dev/null |
            sed -n 's/.*<body>laid \([0-9]*\) .*/\1/p')
        rm -rf "$profile"
        times+=("$(awk -v ms="${figures:-NaN}" 'BEGIN { printf "%.2f", ms / 1000 }')")
    done
    printf '%s\n' "${times[@]}" | median
}

for shape in $shapes; do
    if [[ $shape == programme ]]; then
        set=$out/programme_$programme
        [[ -d $set ]] || { mkdir -p "$set" && "$generate" "$set" "${programme%x*}" \
            "${programme#*x}" 5000 0; }
    else
        set=$out/units_$units
        [[ -d $set ]] || { mkdir -p "$set" && "$generate" --units "$set" "${units%x*}" \
            "${units#*x}"; }
    fi
    bytes=$(du -sb "$set" | cut -f1)
    mb=$(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1e6 }')
    cat "$set"/*.req.xml >/dev/null  # from the page cache, as a CI job right after quillon
    o=$out/$shape
    echo
    echo "$shape: $(ls "$set" | wc -l) reports, $mb MB; $(nproc) cores, median of $runs runs"
    printf '%-24s %8s %8s %9s %9s %9s\n' run "wall s" "CPU s" "MB/s wall" "MB/s CPU" "peak MiB"
    row "reading only" "$set"
    for output in json html csv junit; do
        row "--$output only" "$set" "--$output" "$o.$output"
    done
    row "all four" "$set" --html "$o.html" --json "$o.json" --csv "$o.csv" --junit "$o.junit"
    row "all four, --baseline" "$set" --baseline "$o.json" --html "$o.b.html" \
        --json "$o.b.json" --csv "$o.b.csv" --junit "$o.b.junit"
    echo "outputs (MB): json $(size_mb "$o.json"), html $(size_mb "$o.html")," \
        "csv $(size_mb "$o.csv"), junit $(size_mb "$o.junit"); reports $mb"
    echo "page: loads in $(page_seconds "$o.html") s in headless Chromium"
done

# The page of 200 reports of 100 tests, 2 requirements per test out of 5,000.
page_set="$out/page_200x100"
[[ -d $page_set ]] || { mkdir -p "$page_set" && "$generate" "$page_set" 200 0 5000 100; }
"$tool" "$page_set" --html "$out/page.html" --json "$out/page.json" >/dev/null || true
count() { grep -o "\"$1\": *[0-9][0-9]*" "$out/page.json" | head -1 | grep -o '[0-9]*$'; }
echo
echo "page of $(count requirements) requirements, $(count tests) tests:" \
    "$(size_mb "$out/page.html") MB, loads in $(page_seconds "$out/page.html") s"
