#!/usr/bin/env bash
# The side-by-side benchmark in one command: builds Release if needed, makes the corpus, installs
# the npm pinyin converters into bench/peers, then times everything (bench/compare.py: the systems
# in turn over several rounds, ratios taken round by round) and prints Markdown tables. Needs
# node and npm (Node.js 18 or newer) and the npm registry.
#
#   bench/compare.sh [compare.py options]    e.g. --rounds 3, --big-copies 0 to skip the 1 GB input
#
# Environment: MIBOLAN_BENCH_BUILD, the build folder (default build/default, the "default" preset).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
build=${MIBOLAN_BENCH_BUILD:-$root/build/default}

for tool in node npm; do
  if ! command -v "$tool" >/dev/null; then
    echo "compare: '$tool' is not installed; the npm peers need Node.js 18 or newer and npm" >&2
    exit 1
  fi
done
if ! node -e 'process.exit(Number(process.versions.node.split(".")[0]) >= 18 ? 0 : 1)'; then
  echo "compare: Node.js $(node --version) is too old; the npm peers need 18 or newer" >&2
  exit 1
fi

"$root/tools/install-deps.sh" "$root/tools/debian-packages.txt" "$root/tools/bench-packages.txt"

echo "compare: building mibolan-convert and the benchmarks (Release) in $build" >&2
if [ ! -f "$build/CMakeCache.txt" ]; then
  if [ "$build" = "$root/build/default" ]; then
    (cd "$root" && cmake --preset default >&2)
  else
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >&2
  fi
fi
if [ "$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")" != Release ]; then
  echo "compare: $build is not a Release build; set MIBOLAN_BENCH_BUILD to another folder" >&2
  exit 1
fi
targets=(mibolan-convert engine_benchmarks)
if cmake --build "$build" --target help | grep -q '^literal_pass:'; then targets+=(literal_pass); fi
cmake --build "$build" --target "${targets[@]}" >&2

corpus=$here/corpus/corpus.txt
[ -f "$corpus" ] || "$here/make_corpus.sh" "$corpus" >&2

# Not "npm ci": the registry may serve only this platform's build of @napi-rs/pinyin, which
# leaves the lock file without the other platforms' optional packages.
echo "compare: installing the npm peers into $here/peers" >&2
(cd "$here/peers" && npm install --no-save --no-audit --no-fund --loglevel=error >&2)

python3 "$here/compare.py" --build "$build" --corpus "$corpus" --peers "$here/peers" "$@"
