#!/usr/bin/env bash
# Builds the tool, converts the sample campaign of examples/ into its
# requirement report, and renders the report as an HTML page.
set -euo pipefail
cd "$(dirname "$0")/.."
# Only what this script runs: the tool, its catalogues and the stylesheets.
BUILD_TARGETS=${BUILD_TARGETS:-quillon quillon_i18n_lrelease quillon_stylesheets} bash scripts/build.sh
export QARVODIR="$PWD/build/qarvo"
out="$PWD/build/example"
mkdir -p "$out"
cp examples/campaign.rod "$out/"
rm -f "$out/run.log"
cd "$out"
# The sample requirements refer to $CLIMB_LIMIT.
CLIMB_LIMIT=${CLIMB_LIMIT:-25 ft/s} "$QARVODIR/bin/quillon" \
    -h"$OLDPWD/examples/header.txt" -lrun.log campaign.rod
echo "report:  $out/campaign.req.xml"
echo "log:     $out/run.log"
if [[ -f "$QARVODIR/lib/reports/testreq_report.xsl" ]]; then
    xsltproc "$QARVODIR/lib/reports/testreq_report.xsl" campaign.req.xml > campaign.html
    echo "page:    $out/campaign.html"
fi
