"""examples/line_backup.py beside `qelto-cli fleet backup`: one inventory, the same files."""
import os
import pathlib
import subprocess
import sys

import qelto

EXAMPLE = pathlib.Path(__file__).resolve().parents[2] / "examples" / "line_backup.py"


def test_the_python_backup_of_a_line_saves_what_the_fleet_command_saves(
        tmp_path, start_sim, free_port):
    sims = [start_sim("--serial", str(300 + i)) for i in range(3)]
    with qelto.connect(tcp=sims[1].address) as sensor:
        sensor.set({"gain": 8}, ram=True)  # held only in RAM: the backups must keep it
    inventory = tmp_path / "line.txt"
    inventory.write_text("# line 3\n" + "".join(f"tcp {s.address} bay-{i}  # inlet\n"
                                               for i, s in enumerate(sims))
                         + f"tcp 127.0.0.1:{free_port} gone\n")
    cli = subprocess.run([os.environ["QELTO_CLI"], "fleet", "backup", str(inventory),
                          str(tmp_path / "cli")], capture_output=True, text=True, timeout=30)
    env = dict(os.environ, PYTHONPATH=os.path.dirname(os.path.dirname(qelto.__file__)))
    py = subprocess.run([sys.executable, str(EXAMPLE), str(inventory), str(tmp_path / "py")],
                        env=env, capture_output=True, text=True, timeout=30)
    assert (cli.returncode, py.returncode) == (8, 1), cli.stdout + py.stdout + py.stderr
    for out in cli.stdout, py.stdout:
        assert "gone" in next(line for line in out.splitlines() if line.startswith("FAILED"))
    names = sorted(p.name for p in (tmp_path / "cli").iterdir())
    assert names == ["300.ini", "301.ini", "302.ini"]
    assert sorted(p.name for p in (tmp_path / "py").iterdir()) == names
    for name in names:
        assert qelto.read_file(tmp_path / "py" / name) == qelto.read_file(tmp_path / "cli" / name)
    assert qelto.read_file(tmp_path / "py" / "301.ini")["gain"] == 8

    with qelto.connect(tcp=sims[0].address) as sensor:
        sensor.set({"gain": 7}, ram=True)
    again = subprocess.run([sys.executable, str(EXAMPLE), str(inventory), str(tmp_path / "py")],
                           env=env, capture_output=True, text=True, timeout=30)
    assert f"unchanged {tmp_path / 'py' / '302.ini'}" in again.stdout
    assert f"300.ini holds other values: kept, not replaced" in again.stdout
    assert qelto.read_file(tmp_path / "py" / "300.ini")["gain"] == 6
