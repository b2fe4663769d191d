#!/usr/bin/env bash
# Times the repair of three hand moves (RepairBench) on generated schools of
# the shared bench kit, beside a search from scratch keeping the same pins,
# and checks every repaired timetable with the kit's evaluate.py.
#
#   bench/repair_families.sh [--bench PATH] [--kit DIR] [--seeds "1"] [--limit S]
#                            [--threads N] [--clashing] [FAMILY...]
#
# FAMILY is one of everyday-XL tight-M tight-L tight2-M tight2-L (default:
# all). --clashing starts from the timetable of a search stopped at once (as
# saved after a time-out) instead of a solved one. Prints one line per run:
# the repair's changed cells and seconds, the same for the search from
# scratch, and the checker's verdict.
set -u
here=$(cd "$(dirname "$0")" && pwd)
bench=${VORLAT_REPAIR_BENCH:-$here/../build-rel/bench/RepairBench}
kit=${VORLAT_BENCH_KIT:-$here/../../shared/bench}
seeds="1"
limit=10
threads=1
clashing=0
families=()
while [ $# -gt 0 ]; do
  case "$1" in
    --bench) bench=$2; shift 2 ;;
    --kit) kit=$2; shift 2 ;;
    --seeds) seeds=$2; shift 2 ;;
    --limit) limit=$2; shift 2 ;;
    --threads) threads=$2; shift 2 ;;
    --clashing) clashing=1; shift ;;
    *) families+=("$1"); shift ;;
  esac
done
[ ${#families[@]} -eq 0 ] && families=(everyday-XL tight-M tight-L tight2-M tight2-L)
work=$(mktemp -d /tmp/vorlat-repair-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

gen_args() {
  case "$1" in
    everyday-XL) echo "--size XL --zones --combined --fixed" ;;
    tight-M) echo "--size M --preset TIGHT" ;;
    tight-L) echo "--size L --preset TIGHT" ;;
    tight2-M) echo "--size M --preset TIGHT2" ;;
    tight2-L) echo "--size L --preset TIGHT2" ;;
  esac
}

for family in "${families[@]}"; do
  for seed in $seeds; do
    inst="$work/$family-$seed.json"
    # shellcheck disable=SC2046
    "$kit/gen_instance.py" --seed "$seed" $(gen_args "$family") -o "$inst" > /dev/null
    "$kit/to_vorlat_db.py" "$inst" "$work/$family-$seed.db" > /dev/null
    out="$work/$family-$seed.out.json"
    # A school that does not ask for spread is solved and repaired without it.
    no_spread=$(python3 -c "import json,sys; print(0 if json.load(open(sys.argv[1])).get('options',{}).get('spread') else 1)" "$inst")
    lines=$("$bench" --db "$work/$family-$seed.db" --seed "$seed" --threads "$threads" --time-limit "$limit" \
      --clashing "$clashing" --fresh 1 --no-spread "$no_spread" --json "$out" 2>/dev/null)
    repair=$(echo "$lines" | grep '^classes=' | sed -E 's/.*repair=([0-9.]+s).*solved=([01]).*changed=[0-9]+\/[0-9]+ \(([0-9.]+%)\).*/repair \1 solved=\2 changed \3/')
    fresh=$(echo "$lines" | grep '^fresh' | sed -E 's/fresh with the pins: ([0-9.]+s) solved=([01]) changed=[0-9]+ \(([0-9.]+%)\)/fresh \1 solved=\2 changed \3/')
    check=$( [ -s "$out" ] && "$kit/evaluate.py" "$inst" "$out" 2>&1 | tail -1 | grep -o 'ok=[01]' || echo "no timetable")
    echo "$family seed=$seed threads=$threads  $repair | $fresh | $check"
  done
done
