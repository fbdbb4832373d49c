# Sourced by the screenshot scripts. `screenshot_setup TARGET [FOLDER]` makes the folder that the
# pictures go to (default: build/screenshots) and sets `folder` to its absolute path, sets `root`
# to the tree, builds TARGET with the default preset, and leaves the shell in the tree.
screenshot_setup() {
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  folder=${2:-$root/build/screenshots}
  mkdir -p "$folder"
  folder=$(cd "$folder" && pwd)

  cd "$root"
  tools/install-deps.sh
  cmake --preset default >/dev/null
  cmake --build --preset default --target "$1" >/dev/null
}
