#!/usr/bin/env bash
# The export's processor time over the plain fwrite of as many bytes, run
# after run: text (100,000 rows) and BIFF (65,535 rows) taking turns, each run
# of BM_ExportOverFwrite alternating the two writes inside every iteration.
# A shared host's load moves single runs by a third, so a target is judged by
# the spread of many: each run's figures, then per format the least, median
# and largest ratio and how many runs stay within the target, over all runs
# and over the runs on a quiet processor: those whose reference work (a fixed
# amount of computing the load slows along with the formatting) took at most
# a tenth more than its quiet time, the time a tenth of the series' runs beat
# (the least alone is one lucky run).
#   bash bench/tabular/export_ratio.sh [RUNS, default 12] [TARGET, default 3]
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-12}
target=${2:-3}
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
bench=build/bench/tabular/bench_tabular_export
results=$(mktemp)
trap 'rm -f "$results"' EXIT

run_once() { # format rows -> "format user kernel plain ratio reference"
  "$bench" --benchmark_filter="BM_ExportOverFwrite/format:$1/rows:$2/plain_KiB:1024/plain_reserved:0" \
    2>/dev/null |
    awk -v f="$1" '/BM_ExportOverFwrite/ {
      for (i = 1; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] }
      printf "%s %.2f %.2f %.2f %.3f %.2f\n", f, v["export_user_ms"], v["export_kernel_ms"], v["fwrite_ms"], v["ratio"], v["reference_ms"]
    }'
}

printf "%-5s %-4s %9s %11s %10s %6s %8s\n" time kind "user ms" "kernel ms" "plain ms" ratio "ref ms"
for _ in $(seq "$runs"); do
  for format in "0 100000" "1 65535"; do
    line=$(run_once $format)
    echo "$line" >>"$results"
    read -r f user kernel plain ratio ref <<<"$line"
    kind=$([ "$f" = 0 ] && echo text || echo BIFF)
    printf "%-5s %-4s %9s %11s %10s %6s %8s\n" "$(date +%H:%M)" "$kind" "$user" "$kernel" "$plain" "$ratio" "$ref"
  done
done

echo
quiet_ref=$(awk '{print $6}' "$results" | sort -n | awk '{r[NR] = $1} END {print r[int((NR - 1) / 10) + 1]}')
summary() { # kind label: the ratios on stdin
  sort -n | awk -v kind="$1" -v label="$2" -v target="$target" '
    { r[NR] = $1; if ($1 <= target) within++ }
    END {
      if (NR == 0) { printf "%s, %s: no runs\n", kind, label; exit }
      median = NR % 2 ? r[(NR + 1) / 2] : (r[NR / 2] + r[NR / 2 + 1]) / 2
      printf "%s, %s: ratio least %.2f, median %.2f, largest %.2f; %d of %d runs within %s\n",
             kind, label, r[1], median, r[NR], within, NR, target
    }'
}
for f in 0 1; do
  kind=$([ "$f" = 0 ] && echo text || echo BIFF)
  awk -v f="$f" '$1 == f {print $5}' "$results" | summary "$kind" "all runs"
  awk -v f="$f" -v quiet="$quiet_ref" '$1 == f && $6 <= 1.1 * quiet {print $5}' "$results" |
    summary "$kind" "quiet processor (reference ms <= $(awk -v q="$quiet_ref" 'BEGIN {printf "%.2f", 1.1 * q}'))"
done
