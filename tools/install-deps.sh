#!/usr/bin/env bash
# Installs whatever Debian packages of the given lists are missing; with no list,
# tools/debian-packages.txt (what building and testing need).
# Usage: tools/install-deps.sh [LIST ...]
# Idempotent: when everything is in place it only checks and returns.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
[ $# -gt 0 ] || set -- "$here/debian-packages.txt"

mapfile -t wanted < <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$@" | awk '{print $1}')
missing=()
for package in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  as_root=(sudo)
fi
echo "install-deps: installing ${missing[*]}" >&2
"${as_root[@]}" apt-get update -q >&2
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
