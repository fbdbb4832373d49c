#!/bin/sh
# Builds the wheel (its CMake build kept in CMAKE_BUILD_DIR, so that a second run only relinks),
# installs it with pip --no-index into a fresh virtual environment that sees no other package,
# and runs the tests there, against CONVERTER (mibolan-convert) where one is given. Then makes the
# Debian package from the same wheel: it must pass lintian (where installed) and convert.
# Usage: run_in_venv.sh PYTHON SOURCE_DIR CMAKE_BUILD_DIR WORK_DIR COPYRIGHT [CONVERTER]
set -eu
python=$1 source=$2 cmake_build=$3 work=$4 copyright=$5 converter=${6:-}

rm -rf "$work"
mkdir -p "$work"
# The package's folder is copied, so that the build writes nothing into the source tree.
cp -r "$source/bindings/python" "$work/src"
rm -rf "$work/src/build" "$work/src"/*.egg-info
MIBOLAN_SOURCE_DIR=$source MIBOLAN_CMAKE_BUILD_DIR=$cmake_build MIBOLAN_CMAKE_ARGS=-DMIBOLAN_WERROR=ON \
  "$python" -m build --wheel --no-isolation --outdir "$work/dist" "$work/src" > "$work/build.log" 2>&1 ||
  { cat "$work/build.log" >&2; exit 1; }
wheel=$(ls "$work"/dist/mibolan-*.whl)

"$python" -m venv "$work/venv"
"$work/venv/bin/python" -m pip install --quiet --no-index "$wheel"

# pytest and what it imports, and nothing else of the system's packages: links in a folder that a
# .pth file puts after the environment's own packages.
mkdir "$work/tools"
"$python" - "$work/tools" <<'PY'
import importlib, os, sys
for name in ("pytest", "_pytest", "pluggy", "iniconfig", "packaging", "py", "attr", "attrs", "exceptiongroup", "tomli"):
    try:
        module = importlib.import_module(name)
    except ImportError:
        continue
    path = os.path.dirname(module.__file__) if module.__file__.endswith("__init__.py") else module.__file__
    os.symlink(path, os.path.join(sys.argv[1], os.path.basename(path)))
PY
site=$("$work/venv/bin/python" -c 'import sysconfig; print(sysconfig.get_path("purelib"))')
echo "$work/tools" > "$site/test-tools.pth"

cd "$work"
MIBOLAN_CONVERT=$converter MIBOLAN_EXPECT_PREFIX=$work/venv \
  "$work/venv/bin/python" -m pytest -q -p no:cacheprovider "$work/src/tests"

deb=$(sh "$source/bindings/python/make-deb.sh" "$wheel" "$copyright" "$source/packaging/changelog" "$work/deb")
dpkg-deb -x "$deb" "$work/installed"
got=$(cd / && PYTHONPATH=$work/installed/usr/lib/python3/dist-packages "$python" -c \
  'import mibolan; print(mibolan.convert("银行", words=True), end="|")')
[ "$got" = "yín háng |" ] || { echo "FAIL: the Debian package's module wrote '$got'" >&2; exit 1; }
if command -v lintian >/dev/null; then
  # Any tag fails, down to the pedantic ones.
  lintian --pedantic --display-info "$deb" > "$work/lintian.log" 2>&1 || true
  if grep -q '^[A-Z]: ' "$work/lintian.log"; then
    echo "FAIL: lintian: $(cat "$work/lintian.log")" >&2
    exit 1
  fi
fi
echo "python_package: the wheel's tests pass in a fresh environment; $(basename "$deb") converts and passes lintian"
