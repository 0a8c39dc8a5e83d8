#!/usr/bin/env bash
# Builds everything and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --tests
BUILD_TARGETS="" bash scripts/build.sh "$@"  # everything: tests and benchmarks too
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j "$(nproc)"
