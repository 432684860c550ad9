#!/usr/bin/env bash
# Runs one libFuzzer target of the linux-fuzz preset for a while, starting
# from its committed corpus, then merges the new inputs it found, minimised,
# back into that corpus. Runs at the lowest priority with one job, so it can
# go on in the background of other work.
# Usage: tools/fuzz-campaign.sh TARGET SECONDS [libFuzzer options...]
# Prints the executions, coverage and findings of the run; crash inputs are
# kept in build/linux-fuzz/campaigns/TARGET/findings/. The exit status is
# non-zero when the target crashed, leaked or timed out.
set -euo pipefail
# The whole script is read before it runs: a campaign lasts hours, and bash
# would otherwise read an edited script from the middle when the run ends.
{
cd "$(dirname "$0")/.."
if [ $# -lt 2 ]; then
  echo "usage: $0 TARGET SECONDS [libFuzzer options...]" >&2
  exit 2
fi
target=$1
seconds=$2
shift 2
build=build/linux-fuzz
[ -f "$build/CMakeCache.txt" ] || cmake --preset linux-fuzz >/dev/null
nice -n 19 cmake --build --preset linux-fuzz --target "$target"
if [ ! -f "$build/fuzz-targets/$target" ]; then
  echo "$target is no fuzz target of this tree (see $build/fuzz-targets/)" >&2
  exit 2
fi
binary=$(sed -n 1p "$build/fuzz-targets/$target")
corpus=$(sed -n 2p "$build/fuzz-targets/$target")

# Shorter allocation stacks and a smaller free-memory quarantine than
# AddressSanitizer's defaults: targets that build a plug-in per input spend
# much of their time there. A finding is replayed with the full defaults.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=8:quarantine_size_mb=64}

work=$build/campaigns/$target
mkdir -p "$work/findings"
# Each campaign has a scratch folder of its own, so several campaigns of one
# target can run side by side (one per free core).
run=$(mktemp -d "$work/run.XXXXXX")
mkdir -p "$run/new"
log=$run/fuzz.log
status=0
# New inputs go to the scratch folder first; the committed corpus is only read.
nice -n 19 "$binary" -max_total_time="$seconds" -max_len=65536 -timeout=25 -print_final_stats=1 \
  -artifact_prefix="$work/findings/" "$@" "$run/new" "$corpus" >"$log" 2>&1 || status=$?

runs=$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$' || echo 0)
coverage=$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -n 1 || true)
# Merging into the corpus and counting executions: one campaign at a time.
exec 9>"$work/lock"
flock 9
# Only inputs that add coverage to the committed corpus join it, minimised.
before=$(find "$corpus" -type f | wc -l)
nice -n 19 "$binary" -merge=1 -max_len=65536 -timeout=25 "$corpus" "$run/new" >"$run/merge.log" 2>&1 || true
after=$(find "$corpus" -type f | wc -l)
total=$(( $(cat "$work/executions" 2>/dev/null || echo 0) + runs ))
echo "$total" >"$work/executions"
cp "$log" "$work/last.log"
flock -u 9
log=$work/last.log
rm -rf "$run"
findings=$(find "$work/findings" -type f | wc -l)
echo "$target: $runs executions in ${seconds} s ($total in all campaigns), ${coverage:-no coverage line}," \
  "corpus $before -> $after files, $findings finding(s) kept in $work/findings"
if [ "$status" != 0 ]; then
  echo "$target stopped with status $status; see $log" >&2
  grep -E '^==[0-9]+==ERROR|SUMMARY|Test unit written' "$log" >&2 || true
fi
exit "$status"
}
