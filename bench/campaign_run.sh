#!/usr/bin/env bash
# Benchmark of quillon-campaign on generated reports (kept in bench/out/campaign/):
#  1. reading: 1,000 reports totalling 500 MB, read on one core (--jobs 1)
#     and on every core, then once more writing every output, each output
#     alone, and reading with the JSON summary just written as the baseline;
#  2. the page: a campaign of 5,000 requirements and 20,000 tests, written,
#     then loaded in headless Chromium.
# Each figure is the median of RUNS runs (default 3): wall time, CPU time
# (user + system), the MB/s they give, and the peak resident memory.
#
#   bench/campaign_run.sh
#   RUNS=5 REPORTS=1000 TOTAL_MB=500 bench/campaign_run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-3}
reports=${REPORTS:-1000}
total_mb=${TOTAL_MB:-500}
bash scripts/setup.sh --tests
build=build-campaign-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLON_BUILD_TESTS=OFF \
    -DQUILLON_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target quillon-campaign >/dev/null
tool="$PWD/$build/qarvo/bin/quillon-campaign"
out=bench/out/campaign
mkdir -p "$out"
generate="$out/campaign_generate"
[[ "$generate" -nt bench/campaign_generate.cpp ]] ||
    g++ -O2 -std=c++20 -o "$generate" bench/campaign_generate.cpp

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

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

big="$out/reports_${reports}x${total_mb}MB"
if [[ ! -d "$big" ]]; then
    mkdir -p "$big"
    "$generate" "$big" "$reports" "$total_mb" 5000 0
fi
bytes=$(du -sb "$big" | cut -f1)
mb=$(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1e6 }')
cat "$big"/*.req.xml >/dev/null  # read from the page cache, as a CI job right after quillon does

echo "cores: $(nproc), median of $runs runs, $reports reports, $mb MB"
printf '%-26s %8s %8s %9s %9s %9s\n' run "wall s" "CPU s" "MB/s wall" "MB/s CPU" "peak MiB"
row() {
    read -r wall cpu peak < <(measure "${@:2}")
    awk -v n="$1" -v w="$wall" -v c="$cpu" -v p="$peak" -v mb="$mb" \
        'BEGIN { printf "%-26s %8.2f %8.2f %9.1f %9.1f %9.1f\n", n, w, c, mb / w, mb / c, p / 1024 }'
}
row "one core (--jobs 1)" --jobs 1 "$big"
row "every core" "$big"
row "every core, all outputs" "$big" --html "$out/big.html" --json "$out/big.json" \
    --csv "$out/big.csv" --junit "$out/big.junit.xml"
for output in html csv junit json; do
    row "every core, --$output only" "$big" "--$output" "$out/big.$output"
done
row "every core, --baseline" "$big" --baseline "$out/big.json"

# The page: 200 reports of 100 tests, 2 requirements per test out of 5,000.
page_set="$out/page_200x100"
if [[ ! -d "$page_set" ]]; then
    mkdir -p "$page_set"
    "$generate" "$page_set" 200 0 5000 100
fi
"$tool" "$page_set" --html "$out/page.html" --json "$out/page.json" || true
requirements=$(grep -o '"requirements": [0-9]*' "$out/page.json" | grep -o '[0-9]*$')
tests=$(grep -o '"tests": [0-9]*' "$out/page.json" | grep -o '[0-9]*$')
printf '<!DOCTYPE html><title>blank</title>\n' >"$out/blank.html"
load() {
    local profile
    profile=$(mktemp -d)
    /usr/bin/time -o "$out/time.txt" -f '%e' chromium --headless --no-sandbox --disable-gpu \
        --disable-quic --no-first-run --disable-background-networking \
        --disable-component-update --disable-sync --user-data-dir="$profile" \
        --dump-dom "file://$PWD/$1" >/dev/null 2>&1 || true
    tail -1 "$out/time.txt"
    rm -rf "$profile"
}
page_times=() blank_times=()
for ((run = 0; run < runs; run++)); do
    blank_times+=("$(load "$out/blank.html")")
    page_times+=("$(load "$out/page.html")")
done
page_s=$(printf '%s\n' "${page_times[@]}" | median)
blank_s=$(printf '%s\n' "${blank_times[@]}" | median)
echo
echo "page: $requirements requirements, $tests tests, $(du -k "$out/page.html" | cut -f1) KiB"
awk -v p="$page_s" -v b="$blank_s" 'BEGIN {
    printf "Chromium --dump-dom: page %.2f s, blank page %.2f s, the page itself %.2f s\n", p, b, p - b }'
