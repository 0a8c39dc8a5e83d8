#!/usr/bin/env bash
# Runs the built tool under valgrind on the sample campaign, in element mode
# with the echo, a header file and a log: any memory error or definite leak
# fails. Skipped (exit 77) where valgrind is not installed.
set -euo pipefail
quillon=$1
source_dir=$2
if ! command -v valgrind >/dev/null; then
    echo "valgrind is not installed (scripts/setup.sh --extras installs it)"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$source_dir/examples/campaign.rod" "$work/"
cd "$work"
export LC_ALL=C.UTF-8 USER=tester CLIMB_LIMIT="25 ft/s"
export QARVODIR=$(dirname "$(dirname "$quillon")")
for options in "-v -e" ""; do
    # shellcheck disable=SC2086
    valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite -q \
        "$quillon" $options -h"$source_dir/examples/header.txt" -lrun.log campaign.rod missing.rod \
        >/dev/null 2>valgrind.err || { cat valgrind.err; exit 1; }
done
echo "valgrind found nothing"
