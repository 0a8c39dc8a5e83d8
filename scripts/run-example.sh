#!/usr/bin/env bash
# Builds the tool, converts the sample campaign of examples/ into its
# requirement report, and renders the report as an HTML page.
set -euo pipefail
cd "$(dirname "$0")/.."
# Only what this script runs: the tools, their catalogues and the stylesheets.
BUILD_TARGETS=${BUILD_TARGETS:-quillon quillon-campaign quillon_i18n_lrelease quillon_stylesheets} bash scripts/build.sh
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

# The small campaign of examples/campaign/: three ROD files converted in one
# run, each report rendered beside it, then the whole campaign gathered
# against its requirement list and an earlier run's summary.
campaign_in="$OLDPWD/examples/campaign"
campaign_out="$out/campaign"
rm -rf "$campaign_out"
mkdir -p "$campaign_out"
cp "$campaign_in"/*.rod "$campaign_out/"
cd "$campaign_out"
"$QARVODIR/bin/quillon" -lrun.log board_a.rod board_b.rod power.rod
if [[ -f "$QARVODIR/lib/reports/testreq_report.xsl" ]]; then
    for report in *.req.xml; do
        xsltproc "$QARVODIR/lib/reports/testreq_report.xsl" "$report" > "${report%.req.xml}.html"
    done
fi
# A KO campaign with a regression exits with status 2; that is the example's
# point. It is given the ROD files, so that one quillon could not convert is
# a problem (status 3), not a stale or missing report passed over.
status=0
"$QARVODIR/bin/quillon-campaign" board_a.rod board_b.rod power.rod \
    --requirements "$campaign_in/requirements.txt" \
    --baseline "$campaign_in/baseline.json" --html campaign.html --json campaign.json \
    --csv campaign.csv --junit campaign.junit.xml || status=$?
echo "campaign: $campaign_out/campaign.html (exit status $status)"
echo "          $campaign_out/campaign.json, campaign.csv, campaign.junit.xml"

# A small history: ten campaigns of the same boards, one a day, recorded into
# history.db. LLR_ALT_002 (board A's nominal climb) flips often enough to be
# flaky; watchdog/kick fails in the last five campaigns.
rm -rf days history.db history.db-wal history.db-shm
mkdir days
flips=(OK KO KO OK KO OK KO KO OK KO)
for i in $(seq 1 10); do
    climb=${flips[i - 1]}
    kick=OK
    ((i > 5)) && kick=KO
    sed -e "s/<TEST NAME=\"nominal_climb\" STATUS=\"OK\"/<TEST NAME=\"nominal_climb\" STATUS=\"$climb\"/" \
        -e "s/<REQUIREMENT NAME=\"LLR_ALT_002\" STATUS=\"OK\"/<REQUIREMENT NAME=\"LLR_ALT_002\" STATUS=\"$climb\"/" \
        -e "s/<TEST NAME=\"kick\" STATUS=\"OK\"/<TEST NAME=\"kick\" STATUS=\"$kick\"/" \
        -e "s/<REQUIREMENT NAME=\"LLR_WD_001\" STATUS=\"OK\"/<REQUIREMENT NAME=\"LLR_WD_001\" STATUS=\"$kick\"/" \
        board_a.req.xml > days/board_a.req.xml
    cp board_b.req.xml power.req.xml days/
    page=()
    ((i == 10)) && page=(--html history.html --json history.json)
    SOURCE_DATE_EPOCH=$((1764547200 + 86400 * i)) "$QARVODIR/bin/quillon-campaign" days \
        --requirements "$campaign_in/requirements.txt" --history history.db \
        --label "build-$((100 + i))" --quiet "${page[@]}" || true
done
echo "history: $campaign_out/history.db (quillon-campaign history history.db),"
echo "         its last campaign in $campaign_out/history.html"
