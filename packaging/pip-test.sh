#!/usr/bin/env bash
# `pip install .` as a user meets it: the source tree's own files (what a clone holds, no build
# output) in a scratch folder, installed into a virtual environment that sees Debian's
# setuptools and wheel (no Python package index is reachable: --no-build-isolation, --no-index),
# then imported there, away from the sources.
# Usage: packaging/pip-test.sh
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
# Always the same folder: ccache finds the objects of the last run by their paths.
work=$source_dir/build/pip-test
rm -rf "$work"
mkdir -p "$work/src"
if git -C "$source_dir" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    (cd "$source_dir" && git ls-files -z --cached --others --exclude-standard |
        tar --null -T - --ignore-failed-read -cf - 2>/dev/null) | tar -xf - -C "$work/src"
else
    tar -C "$source_dir" --exclude='./build*' -cf - . | tar -xf - -C "$work/src"
fi

/usr/bin/python3 -m venv --system-site-packages "$work/venv"
start=$(date +%s)
"$work/venv/bin/python" -m pip install --no-build-isolation --no-index --quiet "$work/src"
echo "pip-test: pip install . took $(($(date +%s) - start)) s"

cd "$work"
"$work/venv/bin/python" - "$work/venv" <<'PYTHON'
import importlib.metadata
import pathlib
import sys

import qelto

here = pathlib.Path(qelto.__file__).parent
assert here.is_relative_to(sys.argv[1]), f"qelto imported from {here}, not the venv"
assert importlib.metadata.version("qelto") == qelto.__version__, (
    importlib.metadata.version("qelto"), qelto.__version__)
assert (here / "py.typed").is_file() and (here / "__init__.pyi").is_file(), "no stubs"
cfg = qelto.Configuration.defaults()
cfg["gain"] = 7
assert qelto.Configuration.from_dict(dict(cfg)) == cfg
print(f"pip-test: qelto {qelto.__version__} imports from {here}")
PYTHON
