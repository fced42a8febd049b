#!/bin/bash
# Four seeds of eight years through scripts/ensemble with seed 3 killed once:
# the resume runs seed 3 alone, every seed's folder and file equal a run of
# the seed alone, the summary equals a hand calculation and leaves out a
# missing file by name. Then two conditions of seed 1, each equal to a run
# alone under its settings, and the Slurm script's command for seed 1.
#   ensemble_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
run=$1/tools/ombrivale-run summary=$1/tools/ombrivale-summary src=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The first run of seed 3 is killed once its statistics file lost its end.
cat >"$tmp/runner" <<EOF
#!/bin/bash
echo "\$*" >>"$tmp/calls"
[[ "\$*" == *"--seed 3 "* && ! -e "$tmp/killed" ]] || exec "$run" "\$@"
touch "$tmp/killed"
"$run" "\$@" && truncate -s -9 "$tmp/e/seed-3.csv" && kill -9 \$\$
EOF
chmod +x "$tmp/runner"
ensemble() { OMBRIVALE_RUN=$tmp/runner "$src/scripts/ensemble" --seeds 1-4 --years 8 --out "$tmp/e" --jobs 2 >/dev/null; }
status=0 && ensemble || status=$?
[ $status = 1 ] || fail "a killed seed should fail the ensemble, not exit $status"
status=0 && "$summary" "$tmp/e" >/dev/null 2>"$tmp/err" || status=$?
[ $status = 1 ] && grep -q "left out seed-3.csv: line .* is cut short" "$tmp/err" || fail "cut file"
ensemble || fail "the resume failed"
[ "$(grep -c -- '--seed 3 ' "$tmp/calls")" = 2 ] && [ "$(wc -l <"$tmp/calls")" = 5 ] ||
  fail "the resume should run seed 3 alone: $(cat "$tmp/calls")"

for n in 1 2 3 4; do
  "$run" --world "$tmp/alone-$n" --new --seed $n --years 8 --stats "$tmp/alone-$n.csv" --save >/dev/null
  diff -r "$tmp/alone-$n" "$tmp/e/seed-$n" && cmp "$tmp/alone-$n.csv" "$tmp/e/seed-$n.csv" ||
    fail "seed $n differs from a run alone"
done

# By hand: the mean and the percentiles (linear between closest ranks) of two
# columns at the last row every seed has.
field() { awk -F, -v name="$2" -v row="$3" 'NR == 1 { for (i = 1; i <= NF; ++i) if ($i == name) c = i }
                                            NR == row + 2 { print $c }' "$1"; }
"$summary" "$tmp/e" >/dev/null
row=$(($(for n in 1 2 3 4; do wc -l <"$tmp/e/seed-$n.csv"; done | sort -n | head -1) - 2))
for column in population lowest_primordial_score; do
  for n in 1 2 3 4; do field "$tmp/e/seed-$n.csv" $column $row; done | grep . | sort -g | awk '
    { x[NR - 1] = $1; sum += $1 }
    END { printf "%.10g", sum / NR
          split("0.1 0.5 0.9", p, " ")
          for (q = 1; q <= 3; ++q) { h = (NR - 1) * p[q]; k = int(h); printf " %.10g", x[k] + (h - k) * (x[k + 1] - x[k]) } }' >"$tmp/want"
  for s in mean p10 p50 p90; do field "$tmp/e/summary-months.csv" ${column}_$s $row; done | paste -sd' ' >"$tmp/got"
  paste "$tmp/want" "$tmp/got" | awk '{ for (i = 1; i <= 4; ++i) if (($i - $(i + 4)) ^ 2 > 1e-12 || $(i + 4) == "") exit 1 }' ||
    fail "row $row of $column: summary $(cat "$tmp/got"), by hand $(cat "$tmp/want")"
done

rm "$tmp/e/seed-2.csv"
status=0 && "$summary" "$tmp/e" >"$tmp/out" 2>"$tmp/err" || status=$?
[ $status = 1 ] && grep -q "left out seed-2.csv: missing" "$tmp/err" &&
  [ "$(cut -d, -f1 "$tmp/e/summary-seeds.csv" | tr '\n' ' ')" = "seed 1 3 4 " ] ||
  fail "a missing file should be reported and left out"

SLURM_ARRAY_TASK_ID=1 OUT=$tmp/s YEARS=8 OMBRIVALE_RUN=$run bash "$src/scripts/ensemble.slurm" >/dev/null
diff -r "$tmp/alone-1" "$tmp/s/seed-1" && cmp "$tmp/alone-1.csv" "$tmp/s/seed-1.csv" ||
  fail "the Slurm script's seed 1 differs from a run alone"

# Conditions: each in a folder of its own, resumed without running again,
# equal to a run alone under its settings; a bad one refused at once.
cond() { OMBRIVALE_RUN=$tmp/runner "$src/scripts/ensemble" --seeds 1 --years 8 --out "$tmp/c" \
  --condition control: --condition still:mutation_passes=0,sea_level_drift=0 "$@" >/dev/null 2>&1; }
cond && runs=$(grep -c -- '--seed ' "$tmp/calls") && cond || fail "the ensemble of conditions failed"
[ "$(grep -c -- '--seed ' "$tmp/calls")" = "$runs" ] || fail "its resume ran finished seeds again"
"$run" --world "$tmp/still" --new --seed 1 --years 8 --stats "$tmp/still.csv" --save \
  --set mutation_passes=0 --set sea_level_drift=0 >/dev/null
for pair in "alone-1 c/control/seed-1" "still c/still/seed-1"; do
  set -- $pair
  diff -r "$tmp/$1" "$tmp/$2" && cmp "$tmp/$1.csv" "$tmp/$2.csv" || fail "$2 differs from $1"
done
grep -qx "condition still:mutation_passes=0,sea_level_drift=0" "$tmp/c/still/ensemble.txt" ||
  fail "the condition's folder does not record it"
status=0 && OMBRIVALE_RUN=$run "$src/scripts/ensemble" --seeds 1 --years 8 --out "$tmp/d" --condition bad:mutation_passes=60 \
  2>"$tmp/err" >/dev/null || status=$?
[ $status = 2 ] && grep -q "bad: --set: mutation_passes must be a whole number from 0 to 50" "$tmp/err" ||
  fail "a condition out of range should be refused: $(cat "$tmp/err")"
SLURM_ARRAY_TASK_ID=1 OUT=$tmp/s YEARS=8 OMBRIVALE_RUN=$run CONDITION=still:mutation_passes=0,sea_level_drift=0 \
  bash "$src/scripts/ensemble.slurm" >/dev/null
diff -r "$tmp/still" "$tmp/s/still/seed-1" || fail "the Slurm script's condition differs from a run alone"
