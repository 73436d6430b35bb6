#!/usr/bin/env bash
# Builds the fuzz targets and runs them one after the other, each for SECONDS (default 600), from
# its seed corpus fuzz/corpus/<target>/ (and the extra seed folders named in fuzz/targets). New
# inputs go to a corpus kept in the build folder, so that later runs start where earlier ones
# ended. Fails on any finding; the inputs behind them are kept in <build>/fuzz/artifacts/<target>/.
#   fuzz/run.sh [SECONDS] [TARGET...]        (default: every target)
# Long runs on a shared machine: nice -n 19 fuzz/run.sh 600 macro_import
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${Q350_BUILD_ROOT:-$root/build}/fuzz
seconds=${1:-600}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$root/fuzz/targets" | awk '{print $1}')
fi
"$root/fuzz/build.sh" "${targets[@]}" >/dev/null

status=0
for t in "${targets[@]}"; do
  read -r _ _ extra maxlen < <(sed -e 's/#.*//' "$root/fuzz/targets" | awk -v t="$t" '$1 == t')
  work="$out/corpus/$t"
  artifacts="$out/artifacts/$t"
  log="$out/$t.log"
  rm -rf "$artifacts"
  mkdir -p "$work" "$artifacts"
  seeds=("$root/fuzz/corpus/$t")
  if [ "$extra" != "-" ]; then
    IFS=, read -r -a more <<<"$extra"
    for dir in "${more[@]}"; do [ -d "$root/$dir" ] && seeds+=("$root/$dir"); done
  fi
  [ -d "${seeds[0]}" ] || seeds=("${seeds[@]:1}")
  start=$(date +%s)
  result=0
  "$out/${t}_fuzz" "$work" "${seeds[@]}" -max_total_time="$seconds" -max_len="$maxlen" \
    -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" \
    >"$log" 2>&1 || result=$?
  ran=$(( $(date +%s) - start ))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1 || true)
  cov=$( (grep -o 'cov: [0-9]*' "$log" || true) | tail -n 1 | cut -d' ' -f2)
  if [ "$result" -ne 0 ] || [ -n "$(ls -A "$artifacts")" ]; then
    echo "fuzz $t: FINDING after ${ran}s (log: $log, inputs: $artifacts)"
    grep -m 5 -E 'ERROR|finding:|runtime error|SUMMARY' "$log" || tail -n 20 "$log"
    status=1
  else
    echo "fuzz $t: no findings in ${ran}s, ${runs:-?} inputs, coverage ${cov:-?}, corpus $(ls "$work" | wc -l)"
  fi
done
exit $status
