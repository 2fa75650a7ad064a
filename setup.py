"""The qelto package for pip: its Python files from src/python/qelto, its native module
(qelto._qelto) built by the project's own CMake, as the C++ programs are built.

    pip install --no-build-isolation .

QELTO_CMAKE_BUILD_DIR names a CMake build tree to build in (and to build in again later);
setuptools' temporary folder is the default.
"""
import os
import pathlib
import re
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = pathlib.Path(__file__).resolve().parent


def project_version():
    """The version CMakeLists.txt gives the project: one version for every part."""
    text = (ROOT / "CMakeLists.txt").read_text()
    return re.search(r"project\(qelto VERSION ([0-9.]+)", text).group(1)


class CMakeExtension(Extension):
    """A native module whose sources CMake knows."""

    def __init__(self, name, target):
        super().__init__(name, sources=[])
        self.target = target


class CMakeBuild(build_ext):
    """Configures the project for its Python module alone and builds that target into the
    folder setuptools packs the extension from."""

    def build_extension(self, ext):
        package_dir = pathlib.Path(self.get_ext_fullpath(ext.name)).resolve().parent
        build_dir = pathlib.Path(
            os.environ.get("QELTO_CMAKE_BUILD_DIR") or pathlib.Path(self.build_temp) / "cmake"
        ).resolve()
        build_dir.mkdir(parents=True, exist_ok=True)
        configure = [
            "cmake", "-S", str(ROOT), "-B", str(build_dir),
            "-DCMAKE_BUILD_TYPE=Release",
            "-DQELTO_PYTHON_MODULE_ONLY=ON",
            "-DQELTO_BUILD_TESTS=OFF",
            "-DQELTO_BUILD_BENCH=OFF",
            # The interpreter pip runs: the module is built for its version.
            f"-DPython3_EXECUTABLE={sys.executable}",
            f"-DQELTO_PYTHON_PACKAGE_DIR={package_dir}",
        ]
        if shutil.which("ninja") and not (build_dir / "CMakeCache.txt").exists():
            configure += ["-G", "Ninja"]
        subprocess.run(configure, check=True)
        subprocess.run(["cmake", "--build", str(build_dir), "--target", ext.target,
                        "--parallel", str(os.cpu_count() or 1)], check=True)


setup(
    version=project_version(),
    packages=["qelto"],
    package_dir={"": "src/python"},
    package_data={"qelto": ["__init__.pyi", "py.typed"]},
    ext_modules=[CMakeExtension("qelto._qelto", target="qelto_python")],
    cmdclass={"build_ext": CMakeBuild},
    zip_safe=False,
)
