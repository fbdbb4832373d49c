#!/usr/bin/env bash
# Builds what is missing and runs the program.
#   ./run.sh                   the desktop program
#   ./run.sh convert [ARGS]    the command-line converter (see ./run.sh convert --help)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$root"

# Runs a build step quietly; shows its output (on standard error) only when it fails,
# so that the converter's own output stays clean.
quietly() {
  local log
  log=$(mktemp)
  if ! "$@" >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    exit 1
  fi
  rm -f "$log"
}

tools/install-deps.sh
quietly cmake --preset default
# Only the program asked for is built; ./test.sh builds the rest.
if [ "${1-}" = convert ]; then
  shift
  quietly cmake --build --preset default --target mibolan-convert
  exec "$root/build/default/cli/mibolan-convert" "$@"
fi
quietly cmake --build --preset default --target mibolan
exec "$root/build/default/ui/mibolan" "$@"
