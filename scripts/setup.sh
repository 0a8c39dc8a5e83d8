#!/usr/bin/env bash
# Installs the Debian packages quillon needs to build, test and render reports.
# Cheap when everything is already there: apt-get runs only for what is missing.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-l10n-tools qt6-tools-dev
  libgtest-dev
  locales
  libxml2-utils xsltproc
  libexpat1-dev libssl-dev libxslt1-dev
  libsqlite3-dev libpq-dev
)
# The test suite also opens a rendered report in a headless browser and
# reads the text of its printed PDF, reads the JUnit views with a JUnit
# reader, checks the manual pages with groff, injects read errors with
# strace and measures with GNU time (--tests);
# hardening work adds clang's fuzzer and sanitizer runtime and valgrind
# (--extras, which implies --tests).
# The history tests start a PostgreSQL server of their own (postgresql).
test_packages=(chromium poppler-utils python3-junitparser groff-base strace time postgresql)
extras=(clang libclang-rt-14-dev valgrind)
case "${1:-}" in
  --tests) packages+=("${test_packages[@]}") ;;
  --extras) packages+=("${test_packages[@]}" "${extras[@]}") ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  sudo=""
  [[ $(id -u) -ne 0 ]] && sudo="sudo"
  echo "setup: installing ${missing[*]}" >&2
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The tests switch between a UTF-8 and a Latin-1 locale; generate both once.
if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.iso88591$'; then
  sudo=""
  [[ $(id -u) -ne 0 ]] && sudo="sudo"
  for l in "fr_FR.ISO-8859-1 ISO-8859-1" "fr_FR.UTF-8 UTF-8" "en_US.UTF-8 UTF-8"; do
    grep -qx "$l" /etc/locale.gen 2>/dev/null || echo "$l" | $sudo tee -a /etc/locale.gen >/dev/null
  done
  $sudo locale-gen >/dev/null 2>&1 || echo "setup: locale-gen failed; Latin-1 tests will be skipped" >&2
fi
