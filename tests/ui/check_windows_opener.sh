#!/usr/bin/env bash
# Compiles the Windows web page opener with the mingw-w64 cross compiler and links it into a
# small program against the Windows shell, so the Windows-only file cannot rot unseen.
# Usage: check_windows_opener.sh SOURCE_DIR WORK_DIR   (exit 77: cross compiler not installed)
set -euo pipefail
source_dir=$1
work_dir=$2
compiler=x86_64-w64-mingw32-g++
if ! command -v "$compiler" >/dev/null; then
  echo "check_windows_opener: $compiler is not installed (package g++-mingw-w64-x86-64); skipped" >&2
  exit 77
fi
mkdir -p "$work_dir"
flags=(-std=c++20 -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Werror
       -I "$source_dir/ui/shell")
"$compiler" "${flags[@]}" -c "$source_dir/ui/shell/OpenWebPage_win.cpp" -o "$work_dir/OpenWebPage_win.o"
cat >"$work_dir/open_example.cpp" <<'PROGRAM'
#include "OpenWebPage.h"
int main() {
  mibolan::OpenWebPage(u"https://www.example.com/");
}
PROGRAM
"$compiler" "${flags[@]}" "$work_dir/open_example.cpp" "$work_dir/OpenWebPage_win.o" \
  -o "$work_dir/open_example.exe" -lshell32 -luser32
# The program must import the two shell operations, not stand-ins.
imports=$(x86_64-w64-mingw32-objdump -p "$work_dir/open_example.exe")
for symbol in GetDesktopWindow ShellExecuteA; do
  grep -q "$symbol" <<<"$imports" || { echo "check_windows_opener: $symbol is not imported" >&2; exit 1; }
done
echo "check_windows_opener: OpenWebPage_win.cpp builds for Windows"
