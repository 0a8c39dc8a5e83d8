#!/usr/bin/env bash
# Builds the tool and runs it on the sample campaign in examples/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
export QARVODIR="$PWD/build/qarvo"
"$QARVODIR/bin/quillon" || true
