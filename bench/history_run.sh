#!/usr/bin/env bash
# Benchmark of the campaign history (inputs kept in bench/out/campaign/):
#  1. what recording adds to a run of quillon-campaign on the 1,000-report
#     campaign of bench/campaign_run.sh, with SQLite and, where the server
#     programs are installed, with a PostgreSQL server started for the
#     purpose: the first recording, then one in which nothing changed;
#  2. history_bench: CAMPAIGNS campaigns (default 1,000) of 20,000 tests and
#     5,000 requirements with 1% of the tests flipping each time, recorded
#     into SQLite: the database's size, a recording's time and one
#     requirement's story.
# Times are the medians of RUNS runs (default 3): wall and CPU (user +
# system) seconds and peak resident memory.
#
#   bench/history_run.sh
#   BUILD_DIR=build CAMPAIGNS=200 bench/history_run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-3}
campaigns=${CAMPAIGNS:-1000}
build=${BUILD_DIR:-build-history-bench}
bash scripts/setup.sh --tests
if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLON_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j2 --target quillon-campaign history_bench >/dev/null
tool="$PWD/$build/qarvo/bin/quillon-campaign"
out="$PWD/bench/out/campaign"
mkdir -p "$out"
source bench/campaign_generator.sh
big="$out/reports_1000x500MB"
if [[ ! -d "$big" ]]; then
    mkdir -p "$big"
    "$generate" "$big" 1000 500 5000 0
fi
cat "$big"/*.req.xml >/dev/null

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# Prints the medians of RUNS runs of the tool: wall s, CPU s, peak MiB. With
# FRESH set, $FRESH is run before each (a new database each time).
measure() {
    local walls=() cpus=() peaks=() wall user sys peak
    for ((run = 0; run < runs; run++)); do
        [[ -n "${FRESH:-}" ]] && eval "$FRESH"
        /usr/bin/time -o "$out/time.txt" -f '%e %U %S %M' "$tool" "$@" >/dev/null 2>&1 || true
        # A KO campaign exits non-zero: time then writes a line before its own.
        read -r wall user sys peak < <(tail -1 "$out/time.txt")
        walls+=("$wall")
        cpus+=("$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')")
        peaks+=("$peak")
    done
    printf '%8.2f %8.2f %9.1f\n' "$(printf '%s\n' "${walls[@]}" | median)" \
        "$(printf '%s\n' "${cpus[@]}" | median)" \
        "$(awk -v p="$(printf '%s\n' "${peaks[@]}" | median)" 'BEGIN { print p / 1024 }')"
}
row() { printf '%-34s %s\n' "$1" "$(measure "${@:2}")"; }

echo "cores: $(nproc), median of $runs runs, 1,000 reports"
printf '%-34s %8s %8s %9s\n' run "wall s" "CPU s" "peak MiB"
row "no history" "$big" --quiet
db="$out/history.db"
FRESH="rm -f $db $db-wal $db-shm" row "SQLite, first recording" "$big" --quiet --history "$db"
row "SQLite, nothing changed" "$big" --quiet --history "$db"
echo "SQLite database: $(du -k "$db" | cut -f1) KiB"

# A PostgreSQL server of our own, as the tests start one.
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1 || true)
if [[ -x "$bin/pg_ctl" ]]; then
    pg=$(mktemp -d)
    as=()
    if [[ $(id -u) -eq 0 ]]; then
        chown nobody "$pg"
        as=(runuser -u nobody --)
    fi
    port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    "${as[@]}" "$bin/initdb" -D "$pg/data" -U quillon -A trust --no-sync >/dev/null
    "${as[@]}" "$bin/pg_ctl" -D "$pg/data" -l "$pg/log" -w -o "-p $port -k $pg -c listen_addresses=127.0.0.1" start >/dev/null
    trap '"${as[@]}" "$bin/pg_ctl" -D "$pg/data" -m fast -w stop >/dev/null; rm -rf "$pg"' EXIT
    url="postgresql://quillon@127.0.0.1:$port/postgres"
    drop="PGOPTIONS='-c client_min_messages=warning' psql -q -h 127.0.0.1 -p $port -U quillon postgres -c 'DROP SCHEMA IF EXISTS quillon_history CASCADE' >/dev/null"
    FRESH="$drop" row "PostgreSQL, first recording" "$big" --quiet --history "$url"
    row "PostgreSQL, nothing changed" "$big" --quiet --history "$url"
else
    echo "PostgreSQL: no server installed, not measured"
fi

echo
rm -f "$out/bench.db" "$out/bench.db-wal" "$out/bench.db-shm"
"$build/bench/history_bench" "$out/bench.db" "$campaigns" 1 100 200 5000
echo "database after $campaigns campaigns: $(du -k "$out/bench.db" | cut -f1) KiB"
