#!/usr/bin/env bash
# The Windows test suites, run under Wine in a prefix made for this run, on a private X server.
# Usage: suites.sh <Windows build folder>
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../e2e/lib.sh"
source "$here/wine.sh"
trap 'stop_wine; stop_display' EXIT
trap 'exit 130' INT TERM

start_display
start_wine
# A suite that fails is run once more: now and then Wine ends a program before it starts, with no
# output, within a few hundredths of a second; a suite that fails twice fails.
ctest --test-dir "$1" -j2 --output-on-failure --timeout 300 --repeat until-pass:2
