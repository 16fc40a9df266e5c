#!/bin/sh
# Builds the 64-bit programs and runs the benchmarks under Wine, each in a
# private prefix on a private display. They print figures and assert
# nothing. Last, the processor time side by side with Wine's taskmgr and a
# bare polling loop (bench-cpu.sh).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
CORVANIX_SKIP_I686=1 "$root/scripts/build.sh"
"$root/scripts/wine-run.sh" "$root/build/x64/bin/refresh_bench.exe"
"$root/scripts/wine-run.sh" "$root/build/x64/bin/shortcut_bench.exe"
"$root/scripts/bench-cpu.sh"
