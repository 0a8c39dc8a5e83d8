#!/usr/bin/env bash
# Installs what is missing, then configures and builds into build/ (or $BUILD_DIR).
# BUILD_TARGETS, a blank-separated list of targets, builds only those (and what
# they need) instead of everything; arguments are passed on to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja "$@" >/dev/null
read -r -a targets <<<"${BUILD_TARGETS:-}"
cmake --build "$build_dir" ${targets[@]+--target "${targets[@]}"}
