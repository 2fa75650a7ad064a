"""The README's Python example, as printed there, against simulated sensors."""
import datetime
import os
import pathlib
import re
import subprocess
import sys

import pytest

import qelto


def readme_example():
    path = os.environ.get("QELTO_README")
    if not path:
        pytest.skip("QELTO_README is not set")
    section = pathlib.Path(path).read_text().split("\n## From Python\n", 1)[1]
    return re.search(r"```python\n(.*?)```", section, re.S).group(1)


def test_the_nightly_backup_saves_every_sensor_it_reaches(tmp_path, start_sim, free_port):
    inlet, outlet = start_sim("--serial", "1"), start_sim("--serial", "2")
    with qelto.connect(tcp=outlet.address) as s:
        s.set({"gain": 3})
    sensors = {"inlet": inlet.address, "outlet": outlet.address,
               "gone": f"127.0.0.1:{free_port}"}
    script, n = re.subn(r"^SENSORS = .*$", f"SENSORS = {sensors!r}", readme_example(),
                        flags=re.M)
    assert n == 1
    # The module this test imported, wherever the script runs.
    env = dict(os.environ, PYTHONPATH=os.path.dirname(os.path.dirname(qelto.__file__)))
    run = subprocess.run([sys.executable, "-c", script], cwd=tmp_path, env=env,
                         capture_output=True, text=True, timeout=60)
    assert run.returncode == 1, run.stderr
    assert run.stderr.startswith(
        f"gone: not saved: 127.0.0.1:{free_port}, connect: UnableToEstablishConnection ("), run.stderr
    folder = tmp_path / "backups" / datetime.date.today().isoformat()
    assert sorted(p.name for p in folder.iterdir()) == ["inlet.ini", "outlet.ini"]
    assert qelto.read_file(folder / "outlet.ini")["gain"] == 3
    assert qelto.read_file(folder / "inlet.ini")["gain"] == 6
