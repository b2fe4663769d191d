#!/usr/bin/env bash
# Peak memory and time of importing hostile workbooks: the kept fuzz findings
# and the files the hostile-workbook test generates. Prints one line per file
# for the reading child (vorlat-sheet-reader) and for the whole command
# (vorlat-cli import-assignment, run by vorlat-cli-docs, parent and child).
#   fuzz/measure.sh [BUILD_DIR]     default: build-test
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-test}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/hostile"
VORLAT_KEEP_HOSTILE="$work/hostile" VORLAT_SOURCE_DIR="$PWD" QT_QPA_PLATFORM=offscreen \
  VORLAT_SHEET_READER="$PWD/$build/src/vorlat-sheet-reader" \
  "$build/tests/excel/test_excel_hostile_workbooks" xlsxFiles odsFiles csvFiles xlsFiles >/dev/null 2>&1 || true
"$build/src/vorlat-cli" init --db "$work/Vorlat.db" >/dev/null

printf '%-34s %10s %7s %7s %10s %7s %7s\n' file child-KB wall-s cpu-s command-KB wall-s cpu-s
for f in fuzz/regressions/* "$work"/hostile/*; do
  [ -f "$f" ] || continue
  /usr/bin/time -o "$work/child" -f '%M %e %U %S' "$build/src/vorlat-sheet-reader" "$f" >/dev/null 2>&1 || true
  /usr/bin/time -o "$work/whole" -f '%M %e %U %S' "$build/src/vorlat-cli" import-assignment "$f" \
    --db "$work/Vorlat.db" >/dev/null 2>&1 || true
  # peak KB, wall seconds, CPU seconds (user + system)
  child=$(tail -n 1 "$work/child" | awk '{ printf "%s %s %.2f", $1, $2, $3 + $4 }')
  whole=$(tail -n 1 "$work/whole" | awk '{ printf "%s %s %.2f", $1, $2, $3 + $4 }')
  printf '%-34s %10s %7s %7s %10s %7s %7s\n' "$(basename "$f")" $child $whole
done
