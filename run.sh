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

if [ ! -e "$db" ]; then
  "$cli" init --demo --db "$db"
fi
"$cli" show --db "$db"
"$cli" schedule --db "$db"
