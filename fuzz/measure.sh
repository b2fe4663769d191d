#!/usr/bin/env bash
# Peak memory and time of importing hostile workbooks: the kept fuzz findings
# and the files the hostile-workbook test generates. Prints one line per file
# for the reading child (vorlat-sheet-reader) and for the whole command
# (vorlat-cli import-assignment, parent and child).
#   fuzz/measure.sh [BUILD_DIR]     default: build-test
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-test}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/hostile"
VORLAT_KEEP_HOSTILE="$work/hostile" VORLAT_SOURCE_DIR="$PWD" QT_QPA_PLATFORM=offscreen \
  VORLAT_SHEET_READER="$PWD/$build/src/vorlat-sheet-reader" \
  "$build/tests/excel/test_excel_hostile_workbooks" xlsxFiles odsFiles csvFiles >/dev/null 2>&1 || true
"$build/src/vorlat-cli" init --db "$work/Vorlat.db" >/dev/null

printf '%-40s %12s %8s %12s %8s\n' file child-KB child-s command-KB command-s
for f in fuzz/regressions/* "$work"/hostile/*; do
  [ -f "$f" ] || continue
  /usr/bin/time -o "$work/child" -f '%M %e' "$build/src/vorlat-sheet-reader" "$f" >/dev/null 2>&1 || true
  /usr/bin/time -o "$work/whole" -f '%M %e' "$build/src/vorlat-cli" import-assignment "$f" \
    --db "$work/Vorlat.db" >/dev/null 2>&1 || true
  child=$(tail -n 1 "$work/child")
  whole=$(tail -n 1 "$work/whole")
  printf '%-40s %12s %8s %12s %8s\n' "$(basename "$f")" $child $whole
done
