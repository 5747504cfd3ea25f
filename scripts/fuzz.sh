#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz) and runs each for SECONDS on a
# copy of its seed corpus in tests/fuzz/corpus/. Exit status 1 when a target
# found a crash; its input is left in build/fuzz/findings/.
# Usage: scripts/fuzz.sh [SECONDS]   (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build/fuzz/findings
failed=0 passed=0
for seeds in tests/fuzz/corpus/*/; do
  name=$(basename "$seeds")
  work=build/fuzz/corpus-$name
  mkdir -p "$work"
  cp -n "$seeds"* "$work"/ 2>/dev/null || true
  if build/fuzz/${name}_fuzz -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
       -artifact_prefix=build/fuzz/findings/$name- "$work" > build/fuzz/$name.log 2>&1; then
    runs=$(grep -m1 '^stat::number_of_executed_units' build/fuzz/$name.log | awk '{print $2}')
    echo "fuzz $name: ${runs:-?} executions in ${seconds} s, no crash"
    passed=$((passed + 1))
  else
    echo "fuzz $name: FAILED, see build/fuzz/$name.log"
    grep -E 'ERROR|SUMMARY|what\(\)' build/fuzz/$name.log | head -5 || true
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" = 0 ]
