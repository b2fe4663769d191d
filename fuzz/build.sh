#!/usr/bin/env bash
# Builds the fuzz targets (one per workbook format) with clang 14, libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer in build-fuzz/. Needs the
# Debian packages clang-14 and libclang-rt-14-dev (scripts/install-deps.sh
# installs them); uses ccache when it is there.
#   fuzz/build.sh [FORMAT...]    default: every format
set -euo pipefail
cd "$(dirname "$0")/.."

formats=("$@")
[ ${#formats[@]} -eq 0 ] && formats=(xlsx ods xls csv)

launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 "${launcher[@]}" \
  -DVORLAT_FUZZ=ON -DVORLAT_BUILD_TESTS=OFF -DVORLAT_BUILD_DESKTOP=OFF >/dev/null
targets=()
for f in "${formats[@]}"; do targets+=("fuzz_$f"); done
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"
