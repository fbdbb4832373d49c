"""Builds the extension module with the project's own CMake build (the engine compiled
position-independent and linked in statically), so that the wheel needs nothing else.

Environment: MIBOLAN_CMAKE_BUILD_DIR keeps the CMake build there (rebuilt incrementally),
MIBOLAN_CMAKE_ARGS adds arguments to its configuration (-DMIBOLAN_WERROR=ON, say), and
MIBOLAN_SOURCE_DIR names the project when this folder has been copied elsewhere.
"""

import os
import re
import shlex
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

HERE = Path(__file__).resolve().parent
PROJECT = Path(os.environ.get("MIBOLAN_SOURCE_DIR") or HERE.parent.parent).resolve()


def project_version() -> str:
    text = (PROJECT / "CMakeLists.txt").read_text(encoding="utf-8")
    return re.search(r"project\(Mibolan VERSION ([0-9.]+)", text).group(1)


class CMakeBuild(build_ext):
    def build_extension(self, ext: Extension) -> None:
        build_dir = Path(os.environ.get("MIBOLAN_CMAKE_BUILD_DIR") or Path(self.build_temp).resolve() / "cmake")
        configure = [
            "cmake", "-S", str(PROJECT), "-B", str(build_dir), "-G", "Ninja",
            "-DCMAKE_BUILD_TYPE=Release",
            "-DMIBOLAN_BUILD_PYTHON=ON",
            "-DMIBOLAN_BUILD_TESTS=OFF",
            "-DMIBOLAN_BUILD_BENCHMARKS=OFF",
            # Where the project offers a build of the engine alone, the module needs no more.
            "-DMIBOLAN_ENGINE_ONLY=ON",
            "--no-warn-unused-cli",
            f"-DPython_EXECUTABLE={sys.executable}",
        ] + shlex.split(os.environ.get("MIBOLAN_CMAKE_ARGS", ""))
        subprocess.run(configure, check=True)
        subprocess.run(["cmake", "--build", str(build_dir), "--target", "mibolan_python"], check=True)
        built = next((build_dir / "bindings" / "python").glob("_mibolan*.so"))
        target = Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)


setup(
    version=project_version(),
    ext_modules=[Extension("mibolan._mibolan", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
)
