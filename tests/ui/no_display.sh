#!/usr/bin/env bash
# Without a display the program says so in one line on standard error and exits with 1:
# no core dump, no advice about platform plugins. Run from the build, its advice for the
# command-line converter is the source tree's script (installed, it names mibolan-convert:
# tests/packaging/check_debian_package.sh).
# Usage: no_display.sh PROGRAM
set -uo pipefail
program=$1
failed=0

expect_one_line() {
  local what=$1; shift
  local errors status
  errors=$("$@" 2>&1 >/dev/null)
  status=$?
  if [ "$status" -ne 1 ]; then
    echo "no_display: $what: exit status $status, expected 1" >&2; failed=1
  fi
  if [ "$(printf '%s\n' "$errors" | wc -l)" -ne 1 ] || ! grep -q "^mibolan: no display found.*use ./run.sh convert " <<<"$errors"; then
    printf 'no_display: %s: expected one line, got:\n%s\n' "$what" "$errors" >&2; failed=1
  fi
}

expect_one_line "no DISPLAY" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program"
# A display that is named but cannot be opened (display numbers this high are never in use).
expect_one_line "unreachable DISPLAY" env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:7919 "$program"
exit "$failed"
