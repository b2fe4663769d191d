#!/usr/bin/env bash
# Times `vorlat-cli solve` on generated everyday schools with and without the
# scheduling rules that the shared kit's add_rules.py derives from the
# school's hidden timetable (days off, daily limits, a 体育 venue cap, double
# lessons). Every timetable is checked by the kit's evaluate.py, and the one
# solved with rules by `add_rules.py check` as well.
#
#   bench/rules_bench.sh [--cli PATH] [--kit DIR] [--seeds "1 2 3"] [--limit S]
#                        [--repair PATH-TO-RepairBench] [SIZE...]
#
# SIZE is L, XL or XXL (36, 72, 144 classes; default all three). Then, on the
# L school, one impossible rule of each kind is added in turn and the time to
# the explanation and its first words printed. With --repair, RepairBench
# repairs three hand moves on each school with rules.
set -u
here=$(cd "$(dirname "$0")" && pwd)
cli=${VORLAT_CLI:-$here/../build-rel/src/vorlat-cli}
kit=${VORLAT_BENCH_KIT:-$here/../../shared/bench}
seeds="1 2 3"
limit=120
repair=""
sizes=()
while [ $# -gt 0 ]; do
  case "$1" in
    --cli) cli=$2; shift 2 ;;
    --kit) kit=$2; shift 2 ;;
    --seeds) seeds=$2; shift 2 ;;
    --limit) limit=$2; shift 2 ;;
    --repair) repair=$2; shift 2 ;;
    *) sizes+=("$1"); shift ;;
  esac
done
[ ${#sizes[@]} -eq 0 ] && sizes=(L XL XXL)
work=$(mktemp -d /tmp/vorlat-rules-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Seconds of one solve; the JSON goes to $2.
timed_solve() {
  local db=$1 out=$2 start end
  start=$(date +%s.%N)
  "$cli" solve --db "$db" --seed 1 --json --time-limit "$limit" > "$out" 2> "$out.err"
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}

for size in "${sizes[@]}"; do
  for seed in $seeds; do
    base=$work/$size-$seed
    python3 "$kit/gen_instance.py" --seed "$seed" --size "$size" --zones --combined --fixed \
      -o "$base.json" --witness "$base.w.json" > /dev/null
    python3 "$kit/to_vorlat_db.py" "$base.json" "$base.db" > /dev/null
    cp "$base.db" "$base.rules.db"
    added=$(python3 "$kit/add_rules.py" add "$base.w.json" "$base.rules.db" --rules "$base.rules.json" \
      --instance "$base.json")
    plain=$(timed_solve "$base.db" "$base.out")
    plainOk=$(python3 "$kit/evaluate.py" "$base.json" "$base.out" > /dev/null 2>&1 && echo ok || echo FAIL)
    ruled=$(timed_solve "$base.rules.db" "$base.rules.out")
    ruledOk=$(python3 "$kit/evaluate.py" "$base.json" "$base.rules.out" > /dev/null 2>&1 && echo ok || echo FAIL)
    rulesOk=$(python3 "$kit/add_rules.py" check "$base.rules.out" "$base.rules.json" 2>&1 | tail -1)
    printf '%s seed %s (%s): without rules %.2f s %s, with rules %.2f s %s, %s\n' \
      "$size" "$seed" "$added" "$plain" "$plainOk" "$ruled" "$ruledOk" "$rulesOk"
    if [ -n "$repair" ]; then
      printf '  repair: %s\n' "$("$repair" --db "$base.rules.db" --seed "$seed" --moves 3 | head -1)"
    fi
  done
done

# One impossible rule of each kind, on the first school of the first size.
first=$work/${sizes[0]}-$(echo $seeds | cut -d' ' -f1)
impossible() {
  local kind=$1 sql=$2 db=$work/impossible-$1.db
  cp "$first.rules.db" "$db"
  python3 - "$db" "$sql" <<'EOF'
import sqlite3, sys
con = sqlite3.connect(sys.argv[1])
for statement in sys.argv[2].split(";"):
    if statement.strip():
        con.execute(statement)
con.commit()
EOF
  local seconds
  seconds=$(timed_solve "$db" "$db.out")
  printf 'impossible %s: %.2f s, %s\n' "$kind" "$seconds" \
    "$(python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); print("solved" if d.get("solved") else (d.get("explanation") or ["?"])[0][:160])' "$db.out" 2>/dev/null || head -c 160 "$db.out.err")"
}
# The teacher with most lessons, and a class's subject of three lessons.
busiest=$(python3 -c '
import json, sys, collections
d = json.load(open(sys.argv[1])); load = collections.Counter()
for c in d["classes"]:
    for s, t in zip(d["subjects"], c["teachers"]):
        if t and t != "H": load[t] += 1
print(load.most_common(1)[0][0])' "$first.json" 2>/dev/null)
impossible "days off" "INSERT INTO 教师不排课 (教师, 星期, 节次) VALUES ('$busiest','1','0'),('$busiest','2','0'),('$busiest','3','0'),('$busiest','4','0')"
impossible "daily limit" "DELETE FROM 教师课时限制 WHERE 教师='$busiest'; INSERT INTO 教师课时限制 (教师, 每天最多) VALUES ('$busiest','1')"
impossible "venue cap" "INSERT INTO 场地限制 (场地, 科目, 年级, 同时最多班数) VALUES ('操场二','体育','全校','1')"
doubled=$(python3 -c '
import json, sys
d = json.load(open(sys.argv[1])); c = d["classes"][0]
grade = next(g for g in d["grades"] if g["name"] == c["grade"])
s = max(range(len(d["subjects"])), key=lambda i: grade["counts"][i])
print(c["grade"], c["name"], d["subjects"][s], grade["counts"][s])' "$first.json" 2>/dev/null)
set -- $doubled
impossible "double lessons" "DELETE FROM 连堂设置; INSERT INTO 连堂设置 (年级, 班级, 科目, 每周连堂数) VALUES ('$1','$2','$3','$4')"
