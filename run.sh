#!/usr/bin/env bash
# Installs what is missing, builds in Release and runs the main job on the
# demo school in ./Vorlat.db (created when it is not there).
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVORLAT_BUILD_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)"

cli=build/src/vorlat-cli
db=Vorlat.db
out=out
mkdir -p "$out"

step() { printf '\n== %s\n' "$*"; }

if [ ! -e "$db" ]; then
  step "创建示例学校"
  "$cli" init --demo --db "$db"
fi
step "导入教师分工"
"$cli" import-assignment examples/teacher-assignment.csv --db "$db"
step "教学计划"
"$cli" show --db "$db"
step "自动排课并保存课表"
"$cli" schedule --save --db "$db"
step "总课表"
"$cli" timetable --db "$db"
step "导出课表"
"$cli" export "$out/总课表.xlsx" --db "$db"
"$cli" export "$out/教师课表.xlsx" --teachers --db "$db"
