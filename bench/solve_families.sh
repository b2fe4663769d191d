#!/usr/bin/env bash
# Times `vorlat-cli solve` on generated schools of the shared bench kit and,
# with --fet, the free FET program on the same schools. Every timetable is
# checked by the kit's evaluate.py (ok, and no spread shortfall where the
# school asks for spread); a run that fails the check counts as unsolved.
#
#   bench/solve_families.sh [--cli PATH] [--kit DIR] [--seeds "1 2 3"] [--limit S]
#                           [--fet] [--fet-limit S] [--threads N] [FAMILY...]
#
# --kit defaults to shared/bench beside the repository (or $VORLAT_BENCH_KIT).
# FAMILY is one of everyday-XL everyday-XXL tight-M tight-L tight2-M tight2-L
# impossible (default: all). A school whose options do not ask for spread is
# solved with --no-spread. Prints one line per run and a table per family:
# solved/total, median and max seconds, peak memory (MB).
set -u
here=$(cd "$(dirname "$0")" && pwd)
cli=${VORLAT_CLI:-$here/../build-rel/src/vorlat-cli}
kit=${VORLAT_BENCH_KIT:-$here/../../shared/bench}
seeds="1 2 3"
limit=120
fet=0
fet_limit=120
threads=1
families=()
while [ $# -gt 0 ]; do
  case "$1" in
    --cli) cli=$2; shift 2 ;;
    --kit) kit=$2; shift 2 ;;
    --seeds) seeds=$2; shift 2 ;;
    --limit) limit=$2; shift 2 ;;
    --fet) fet=1; shift ;;
    --fet-limit) fet_limit=$2; shift 2 ;;
    --threads) threads=$2; shift 2 ;;
    *) families+=("$1"); shift ;;
  esac
done
[ ${#families[@]} -eq 0 ] && families=(everyday-XL everyday-XXL tight-M tight-L tight2-M tight2-L impossible)
work=$(mktemp -d /tmp/vorlat-solve-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

gen_args() {
  case "$1" in
    everyday-XL) echo "--size XL --zones --combined --fixed" ;;
    everyday-XXL) echo "--size XXL --zones --combined --fixed" ;;
    tight-M) echo "--size M --preset TIGHT" ;;
    tight-L) echo "--size L --preset TIGHT" ;;
    tight2-M) echo "--size M --preset TIGHT2" ;;
    tight2-L) echo "--size L --preset TIGHT2" ;;
    impossible) echo "--size M --zones --combined --fixed" ;;
  esac
}

# An everyday school made impossible: the busiest teacher may only teach in
# the first period of each day, fewer slots than lessons.
make_impossible() {
  python3 - "$1" <<'EOF'
import json, sys
path = sys.argv[1]
d = json.load(open(path, encoding="utf-8"))
load = {}
for c in d["classes"]:
    counts = next(g["counts"] for g in d["grades"] if g["name"] == c["grade"])
    for s, n in counts.items():
        t = c["teachers"].get(s)
        if t and n:
            load[t] = load.get(t, 0) + n
busiest = max(load, key=load.get)
d["teacher_zones"] = [z for z in d.get("teacher_zones", []) if z["teacher"] != busiest]
d["teacher_zones"].append({"teacher": busiest, "days": [[0]] * d["days"]})
json.dump(d, open(path, "w", encoding="utf-8"), ensure_ascii=False)
EOF
}

median() { sort -n | awk '{a[NR]=$1} END {if (NR == 0) print "-"; else if (NR % 2) print a[(NR+1)/2]; else printf "%.2f\n", (a[NR/2]+a[NR/2+1])/2}'; }
maximum() { sort -n | tail -1; }

summary=()
for family in "${families[@]}"; do
  times="$work/$family.times"; : > "$times"
  fet_times="$work/$family.fet"; : > "$fet_times"
  mem="$work/$family.mem"; : > "$mem"
  solved=0; total=0; fet_solved=0
  for seed in $seeds; do
    inst="$work/$family-$seed.json"
    # shellcheck disable=SC2046
    "$kit/gen_instance.py" --seed "$seed" $(gen_args "$family") -o "$inst" > /dev/null
    [ "$family" = impossible ] && make_impossible "$inst"
    "$kit/to_vorlat_db.py" "$inst" "$work/$family-$seed.db" > /dev/null
    out="$work/$family-$seed.out.json"
    # A school that does not ask for spread is solved without it, just as
    # FET's input for it has no spread constraint.
    spread_flag=$(python3 -c "import json,sys; print('' if json.load(open(sys.argv[1])).get('options',{}).get('spread') else '--no-spread')" "$inst")
    start=$(date +%s.%N)
    # shellcheck disable=SC2086
    /usr/bin/time -f "%M" -o "$work/rss" "$cli" solve --db "$work/$family-$seed.db" --seed "$seed" \
      --time-limit "$limit" --threads "$threads" $spread_flag --json > "$out" 2> "$work/err"
    code=$?
    seconds=$(echo "$(date +%s.%N) - $start" | bc -l | awk '{printf "%.2f", $1}')
    rss=$(tail -1 "$work/rss"); echo "$rss" >> "$mem"
    total=$((total + 1))
    if [ "$family" = impossible ]; then
      items=$(python3 -c "import json,sys; e=json.load(open(sys.argv[1])).get('explanation',['']); print(e[0].count('；'))" "$out" 2>/dev/null)
      verdict="exit=$code core_items=${items:-?}"
      [ "$code" = 3 ] && { solved=$((solved + 1)); echo "$seconds" >> "$times"; }
      echo "$family seed=$seed $verdict seconds=$seconds rss_kb=$rss"
      python3 -c "import json,sys; print('  ', json.load(open(sys.argv[1])).get('explanation'))" "$out" 2>/dev/null
      continue
    fi
    check=$("$kit/evaluate.py" "$inst" "$out" 2>&1 | tail -1)
    spread=$(python3 -c "import json,sys; print(int(json.load(open(sys.argv[1])).get('options',{}).get('spread',False)))" "$inst")
    ok=0
    if [ "$code" = 0 ] && echo "$check" | grep -q "ok=1"; then
      ok=1
      [ "$spread" = 1 ] && ! echo "$check" | grep -q "spread_violations=0 " && ok=0
    fi
    [ $ok = 1 ] && { solved=$((solved + 1)); echo "$seconds" >> "$times"; }
    echo "$family seed=$seed exit=$code ok=$ok seconds=$seconds rss_kb=$rss  $check"
    if [ $fet = 1 ]; then
      "$kit/to_fet.py" "$inst" "$work/$family-$seed.fet" > /dev/null
      line=$("$kit/run_fet.sh" "$work/$family-$seed.fet" "$fet_limit" 2> "$work/fetdir")
      echo "   $line"
      if echo "$line" | grep -q "solved=1"; then
        fet_solved=$((fet_solved + 1))
        echo "$line" | sed 's/.*seconds=//' >> "$fet_times"
      fi
      rm -rf "$(tail -1 "$work/fetdir")"
    fi
  done
  row=$(printf "%-13s solved %d/%d  median %ss  max %ss  peak %d MB" "$family" "$solved" "$total" \
    "$(median < "$times")" "$(maximum < "$times")" "$(( $(maximum < "$mem") / 1024 ))")
  [ $fet = 1 ] && row="$row  | FET solved $fet_solved/$total median $(median < "$fet_times")s max $(maximum < "$fet_times")s"
  summary+=("$row")
done
echo
printf '%s\n' "${summary[@]}"
