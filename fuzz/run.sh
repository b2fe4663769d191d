#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/build.sh) in build-fuzz/ and runs each for a while.
#   fuzz/run.sh [SECONDS] [FORMAT...]    default: 60 seconds, every format
# Seeds come from fuzz/corpus/FORMAT; what the run learns goes to
# build-fuzz/corpus/FORMAT. A crash, a leak of time or memory is written to
# fuzz/findings/; keep each one as a regression input in fuzz/regressions/
# (named FORMAT-what.FORMAT) once the reader handles it: ./test.sh reads them all.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
formats=("$@")
[ ${#formats[@]} -eq 0 ] && formats=(xlsx ods xls csv)

fuzz/build.sh "${formats[@]}"

mkdir -p fuzz/findings
export ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for f in "${formats[@]}"; do
  mkdir -p "build-fuzz/corpus/$f"
  echo "== $f: $seconds s"
  # -rss_limit_mb and -timeout turn runaway memory and time into findings;
  # the run goes on after one (fork mode), so that a run collects them all.
  if ! "build-fuzz/fuzz/fuzz_$f" "build-fuzz/corpus/$f" "fuzz/corpus/$f" \
      -max_total_time="$seconds" -timeout=2 -rss_limit_mb=400 -max_len=65536 \
      -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
      -artifact_prefix="fuzz/findings/$f-" -print_final_stats=1 2>"build-fuzz/fuzz-$f.log"; then
    status=1
    tail -n 40 "build-fuzz/fuzz-$f.log"
  fi
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb|^#[0-9]+: .*DONE' "build-fuzz/fuzz-$f.log" | tail -n 3 || true
done
exit $status
