#!/usr/bin/env bash
# Runs every libFuzzer target (*_fuzz) of a fuzzing build for a chosen time.
#
#   fuzz/run.sh SECONDS [BUILD_DIR]
#
# BUILD_DIR defaults to build-fuzz, configured as fuzz/CMakeLists.txt says.
# Each target NAME_fuzz starts from its seed corpus fuzz/corpus/NAME and the
# dictionary fuzz/NAME.dict when there is one; new inputs and findings go to
# fuzz/out/NAME, so the seed corpus in the repository stays small. The targets
# run one after the other, one job each. Exits non-zero when a target fails.
set -uo pipefail
# Undefined behaviour must stop a target, like a memory error does.
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

if [[ $# -lt 1 || ! "$1" =~ ^[0-9]+$ ]]; then
    echo "usage: $0 SECONDS [BUILD_DIR]" >&2
    exit 2
fi
seconds=$1
here=$(cd "$(dirname "$0")" && pwd)
build=${2:-$here/../build-fuzz}

mapfile -t targets < <(find "$build" -type f -perm -u+x -name '*_fuzz' | sort)
if ((${#targets[@]} == 0)); then
    echo "$0: no *_fuzz targets under $build; build them first" >&2
    exit 2
fi

status=0
for target in "${targets[@]}"; do
    name=$(basename "$target" _fuzz)
    out=$here/out/$name
    mkdir -p "$out/corpus" "$out/artifacts" "$here/corpus/$name"
    options=(-max_total_time="$seconds" -artifact_prefix="$out/artifacts/" -print_final_stats=1
             -close_fd_mask=2)
    [[ -f $here/$name.dict ]] && options+=(-dict="$here/$name.dict")
    echo "== $name: $seconds s" >&2
    if ! "$target" "${options[@]}" "$out/corpus" "$here/corpus/$name"; then
        echo "== $name: FAILED, see $out/artifacts" >&2
        status=1
    fi
done
exit $status
