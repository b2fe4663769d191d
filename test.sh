#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through ctest.
#   ./test.sh             Debug build in build-test/
#   ./test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-sanitize/
# Either then builds the fuzz targets in build-fuzz/ (fuzz/build.sh).
set -euo pipefail
cd "$(dirname "$0")"

sanitize=OFF
build=build-test
for arg in "$@"; do
  case "$arg" in
    --sanitize) sanitize=ON; build=build-sanitize ;;
    *) echo "unknown option: $arg" >&2; exit 2 ;;
  esac
done

./scripts/install-deps.sh

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DVORLAT_SANITIZE="$sanitize" >/dev/null
cmake --build "$build" -j"$(nproc)"

export QT_QPA_PLATFORM=offscreen
if [ "$sanitize" = ON ]; then
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"

# The fuzz targets are built (not run: fuzz/run.sh does that) so that they
# cannot rot unseen; they need clang and libFuzzer.
if command -v clang++-14 >/dev/null 2>&1 \
    && compgen -G "$(clang++-14 -print-runtime-dir)/libclang_rt.fuzzer-*.a" >/dev/null; then
  fuzz/build.sh >/dev/null
  echo "Fuzz targets built in build-fuzz/."
else
  echo "clang-14 or libFuzzer (libclang-rt-14-dev) missing: fuzz targets not built." >&2
fi
