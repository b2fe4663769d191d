#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through ctest.
#   ./test.sh             Debug build in build-test/
#   ./test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-sanitize/
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
