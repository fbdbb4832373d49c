#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz": clang, libFuzzer, AddressSanitizer, UBSan) and runs
# each for SECONDS (default 30), starting from its seed corpus in tests/fuzz/corpus/. The seed
# corpus is only read; the inputs a run finds stay in a scratch folder. Logs, and the input of
# any failure, go to build/fuzz/findings/.
# Usage: tools/run_fuzzers.sh [SECONDS]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${1:-30}
tools/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

findings=build/fuzz/findings
mkdir -p "$findings"
failed=0
for fuzzer in engine utf8_decoder legacy_decoder sheet_layout; do
  scratch=$(mktemp -d)
  log="$findings/$fuzzer.log"
  if build/fuzz/tests/fuzz/${fuzzer}_fuzzer -max_total_time="$seconds" -max_len=4096 -timeout=10 \
       -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/$fuzzer-" \
       "$scratch" "tests/fuzz/corpus/$fuzzer" 2>"$log"; then
    echo "run_fuzzers: ${fuzzer}_fuzzer: $(grep -m1 -E '^stat::number_of_executed_units' "$log" | awk '{print $2}') inputs in ${seconds} s, nothing found"
  else
    echo "run_fuzzers: ${fuzzer}_fuzzer FAILED; the end of $log:" >&2
    tail -n 60 "$log" >&2
    failed=1
  fi
  rm -rf "$scratch"
done
exit "$failed"
