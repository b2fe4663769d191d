#!/usr/bin/env bash
# Times `vorlat-cli solve` on generated schools shaped like real ones and
# checks every timetable with the kit's evaluate.py.
#
#   bench/real_like.sh [--cli PATH] [--kit DIR] [--seeds "1 2 3 4 5"] [--repeat N] [--fet] [--compare-spread] [FAMILY...]
#
# FAMILY: S M L (6/18/36 classes, --zones --combined --fixed), S-spread
# M-spread L-spread (the same asking for spread), XL XXL (72/144 classes).
# A school that does not ask for spread is solved with --no-spread, as FET's
# input for it has none; with --fet, FET solves the same school in the same
# run. --compare-spread instead solves each school twice, with spread (the
# default) and with --no-spread, and prints the ratio of the times and the
# spread violations of each answer. --repeat N times each of our solves N
# times and keeps the median (small schools take a few tens of milliseconds,
# where one run is mostly noise). One line per run, then a table per family.
set -u
here=$(cd "$(dirname "$0")" && pwd)
cli=${VORLAT_CLI:-$here/../build-rel/src/vorlat-cli}
kit=${VORLAT_BENCH_KIT:-$here/../../shared/bench}
seeds="1 2 3 4 5"
fet=0
compare=0
limit=60
repeat=1
families=()
while [ $# -gt 0 ]; do
  case "$1" in
    --cli) cli=$2; shift 2 ;;
    --kit) kit=$2; shift 2 ;;
    --seeds) seeds=$2; shift 2 ;;
    --limit) limit=$2; shift 2 ;;
    --repeat) repeat=$2; shift 2 ;;
    --fet) fet=1; shift ;;
    --compare-spread) compare=1; shift ;;
    *) families+=("$1"); shift ;;
  esac
done
[ ${#families[@]} -eq 0 ] && families=(S M L S-spread M-spread L-spread)
work=$(mktemp -d /tmp/vorlat-real-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

median() { sort -n | awk '{a[NR]=$1} END {if (NR == 0) print "-"; else if (NR % 2) print a[(NR+1)/2]; else printf "%.3f\n", (a[NR/2]+a[NR/2+1])/2}'; }
maximum() { sort -n | tail -1; }
field() { echo "$2" | grep -o "$1=[0-9]*" | cut -d= -f2; }

# solve DB SEED FLAGS OUT: prints the wall seconds (the median of --repeat runs)
solve() {
  local start end i
  for i in $(seq "$repeat"); do
    start=$(date +%s.%N)
    # shellcheck disable=SC2086
    "$cli" solve --db "$1" --seed "$2" --time-limit "$limit" $3 --json > "$4" 2> /dev/null
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l | awk '{printf "%.3f\n", $1}'
  done | median | awk '{printf "%.3f", $1}'
}

summary=()
for family in "${families[@]}"; do
  size=${family%-spread}
  args="--size $size --zones --combined --fixed"
  [ "$family" != "$size" ] && args="$args --spread"
  : > "$work/ours"; : > "$work/theirs"; : > "$work/ratio"
  solved=0; fet_solved=0; total=0
  for seed in $seeds; do
    inst="$work/$family-$seed.json"
    # shellcheck disable=SC2086
    "$kit/gen_instance.py" --seed "$seed" $args -o "$inst" > /dev/null
    "$kit/to_vorlat_db.py" "$inst" "$work/$family-$seed.db" > /dev/null
    total=$((total + 1))
    asks=$(python3 -c "import json,sys; print(int(bool(json.load(open(sys.argv[1])).get('options',{}).get('spread'))))" "$inst")
    if [ $compare = 1 ]; then
      with=$(solve "$work/$family-$seed.db" "$seed" "" "$work/with.json")
      without=$(solve "$work/$family-$seed.db" "$seed" "--no-spread" "$work/without.json")
      cw=$("$kit/evaluate.py" "$inst" "$work/with.json" 2>&1 | tail -1)
      co=$("$kit/evaluate.py" "$inst" "$work/without.json" 2>&1 | tail -1)
      ratio=$(echo "$with / $without" | bc -l | awk '{printf "%.2f", $1}')
      echo "$ratio" >> "$work/ratio"; echo "$with" >> "$work/ours"; echo "$without" >> "$work/theirs"
      echo "$family seed=$seed spread ${with}s ok=$(field ok "$cw") spread_violations=$(field spread_violations "$cw") | no-spread ${without}s ok=$(field ok "$co") spread_violations=$(field spread_violations "$co") | ratio $ratio"
      continue
    fi
    flag=""; [ "$asks" = 0 ] && flag="--no-spread"
    seconds=$(solve "$work/$family-$seed.db" "$seed" "$flag" "$work/out.json")
    check=$("$kit/evaluate.py" "$inst" "$work/out.json" 2>&1 | tail -1)
    ok=$(field ok "$check")
    [ "$asks" = 1 ] && [ "$(field spread_violations "$check")" != 0 ] && ok=0
    [ "$ok" = 1 ] && { solved=$((solved + 1)); echo "$seconds" >> "$work/ours"; }
    line="$family seed=$seed ours ${seconds}s ok=$ok"
    if [ $fet = 1 ]; then
      "$kit/to_fet.py" "$inst" "$work/$family-$seed.fet" > /dev/null
      fl=$("$kit/run_fet.sh" "$work/$family-$seed.fet" "$limit" 2> "$work/fetdir")
      fs=$(echo "$fl" | sed 's/.*seconds=//')
      if echo "$fl" | grep -q "solved=1"; then
        fet_solved=$((fet_solved + 1)); echo "$fs" >> "$work/theirs"
        [ "$ok" = 1 ] && echo "$seconds / $fs" | bc -l | awk '{printf "%.2f\n", $1}' >> "$work/ratio"
      fi
      line="$line | FET ${fs}s $(echo "$fl" | grep -o 'solved=[0-9]')"
      rm -rf "$(tail -1 "$work/fetdir")"
    fi
    echo "$line"
  done
  if [ $compare = 1 ]; then
    row=$(printf "%-9s spread median %ss max %ss | no-spread median %ss max %ss | ratio median %s max %s" "$family" \
      "$(median < "$work/ours")" "$(maximum < "$work/ours")" "$(median < "$work/theirs")" "$(maximum < "$work/theirs")" \
      "$(median < "$work/ratio")" "$(maximum < "$work/ratio")")
  else
    row=$(printf "%-9s ours solved %d/%d median %ss max %ss" "$family" "$solved" "$total" \
      "$(median < "$work/ours")" "$(maximum < "$work/ours")")
    [ $fet = 1 ] && row="$row | FET solved $fet_solved/$total median $(median < "$work/theirs")s max $(maximum < "$work/theirs")s | ours/FET median $(median < "$work/ratio") max $(maximum < "$work/ratio")"
  fi
  summary+=("$row")
done
echo
printf '%s\n' "${summary[@]}"
