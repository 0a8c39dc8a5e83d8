#!/usr/bin/env bash
# Generates the benchmark inputs, runs the release build of quillon on each,
# and prints per input: size, the median and spread of the wall time when
# each run replaces the report the run before it left (a rerun, the everyday
# case) and when each run writes a new report, throughput, the CPU time of
# the reruns (steadier than the wall time on a shared machine), peak resident
# memory, and the time of `cat FILE > /dev/null` as the floor.
#
#   bench/run.sh                      # every input, 100 MB per campaign profile
#   bench/run.sh 20                   # campaign profiles of 20 MB
#   bench/run.sh 100 unit_variables services   # only these inputs
#   RUNS=9 bench/run.sh               # nine runs per input and case (default 5)
#   PAUSE=5 bench/run.sh              # sleep 5 s before each timed run
#   QUILLON=build-base/qarvo/bin/quillon bench/run.sh   # time another build
set -euo pipefail
cd "$(dirname "$0")/.."
profile_mb=${1:-100}
shift || true
runs=${RUNS:-5}
# Back to back, a run reuses the memory and disk state the run before it
# left warm; a real run usually comes after a pause. On a virtual machine
# that hands free memory back to its host, that difference can reverse a
# result, so changes touching memory or the disk are worth a PAUSE run too.
pause=${PAUSE:-0}
bash scripts/setup.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLON_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench >/dev/null
bin=build-bench/bench
quillon=${QUILLON:-build-bench/qarvo/bin/quillon}
# The installation directory is the one the binary was staged in.
export QARVODIR
QARVODIR=$(cd "$(dirname "$quillon")/.." && pwd)
# $NAME references of the generated requirements find values, as on a bench.
export LC_ALL=C.UTF-8 USER=bench TARGET=ppc-eabi BASELINE=B4.2
out=bench/out
mkdir -p "$out"

# Campaign profiles first: the adversarial shapes are compared with them.
profiles=(mixed unit_variables requirements coverage_heavy)
inputs=(
  "mixed $profile_mb"
  "unit_variables $profile_mb"
  "requirements $profile_mb"
  "coverage_heavy $profile_mb"
  "services 200000"
  "variables 1000000"
  "long_requirement 10"
  "coverage 1000000"
  "duplicates 100000"
)
if (($# > 0)); then
  wanted=" $* "
  kept=()
  for entry in "${inputs[@]}"; do
    [[ "$wanted" == *" ${entry%% *} "* ]] && kept+=("$entry")
  done
  inputs=("${kept[@]}")
fi

is_profile() {
  [[ " ${profiles[*]} " == *" $1 "* ]]
}

for entry in "${inputs[@]}"; do
  read -r shape amount <<<"$entry"
  file="$out/$shape-$amount.rod"
  [[ -f "$file" && "$file" -nt "$bin/generate_rod" ]] || "$bin/generate_rod" "$shape" "$amount" "$file"
done

# Prints "median min max" of the numbers on standard input.
median_spread() {
  sort -g | awk '{ v[NR] = $1 } END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%.3f %.3f %.3f\n", m, v[1], v[NR] }'
}

echo "cores: $(nproc), load: $(cut -d' ' -f1-3 /proc/loadavg), $runs runs per case," \
  "pause ${pause} s, $quillon"
printf '%-16s %6s | %7s %13s %6s %6s | %7s %13s %6s | %8s %5s | %6s %6s\n' input MB \
  "rerun s" "min-max" "MB/s" "cpu s" "new s" "min-max" "MB/s" "peak MiB" "xsize" "cat s" "xprof"
fastest_s_per_mb=''  # the fastest campaign profile's rerun time per MB
for entry in "${inputs[@]}"; do
  read -r shape amount <<<"$entry"
  path="$out/$shape-$amount.rod"
  report="${path%.rod}.req.xml"
  bytes=$(stat -c %s "$path")
  cat "$path" >/dev/null  # warm the page cache
  read -r cat_s _ _ < <("$bin/measure" cat "$path")
  kib=0
  # Reruns: each run replaces the report the one before it left, which makes
  # the file system drop the old file (and ext4 write the new one back at the
  # rename). The first run only lays down a report to replace.
  "$bin/measure" "$quillon" "$path" >/dev/null
  rerun_times=() rerun_cpu=()
  for ((run = 0; run < runs; run++)); do
    sleep "$pause"
    read -r wall run_kib status cpu < <("$bin/measure" "$quillon" "$path")
    [[ "$status" == 0 ]] || echo "warning: quillon exited with $status on $path" >&2
    rerun_times+=("$wall")
    rerun_cpu+=("$cpu")
    ((run_kib > kib)) && kib=$run_kib
  done
  # New reports: the previous report is removed and the disks synced first.
  new_times=()
  for ((run = 0; run < runs; run++)); do
    rm -f "$report"
    sync
    sleep "$pause"
    read -r wall run_kib status _ < <("$bin/measure" "$quillon" "$path")
    [[ "$status" == 0 ]] || echo "warning: quillon exited with $status on $path" >&2
    new_times+=("$wall")
    ((run_kib > kib)) && kib=$run_kib
  done
  read -r rerun rerun_min rerun_max < <(printf '%s\n' "${rerun_times[@]}" | median_spread)
  read -r new new_min new_max < <(printf '%s\n' "${new_times[@]}" | median_spread)
  read -r cpu _ _ < <(printf '%s\n' "${rerun_cpu[@]}" | median_spread)
  s_per_mb=$(awk -v b="$bytes" -v w="$rerun" 'BEGIN { printf "%.6f", w / (b / 1048576) }')
  if is_profile "$shape"; then
    if [[ -z "$fastest_s_per_mb" ]] ||
      awk -v a="$s_per_mb" -v b="$fastest_s_per_mb" 'BEGIN { exit !(a < b) }'; then
      fastest_s_per_mb=$s_per_mb
    fi
    ratio=-
  elif [[ -n "$fastest_s_per_mb" ]]; then
    ratio=$(awk -v s="$s_per_mb" -v f="$fastest_s_per_mb" 'BEGIN { printf "%.2f", s / f }')
  else
    ratio=?
  fi
  awk -v n="$shape" -v b="$bytes" -v r="$rerun" -v r0="$rerun_min" -v r1="$rerun_max" -v u="$cpu" \
    -v w="$new" -v w0="$new_min" -v w1="$new_max" -v k="$kib" -v c="$cat_s" -v x="$ratio" 'BEGIN {
    mb = b / 1048576
    printf "%-16s %6.1f | %7.3f %6.3f-%-6.3f %6.0f %6.3f | %7.3f %6.3f-%-6.3f %6.0f | %8.1f %5.2f | %6.3f %6s\n",
      n, mb, r, r0, r1, mb / r, u, w, w0, w1, mb / w, k / 1024, (k * 1024) / b, c, x }'
done
