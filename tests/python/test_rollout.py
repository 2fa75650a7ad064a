"""examples/rollout.py against 20 simulated sensors, 3 of them misbehaving as real links do."""
import os
import pathlib
import subprocess
import sys

import qelto

ROLLOUT = pathlib.Path(__file__).resolve().parents[2] / "examples" / "rollout.py"


def test_a_rollout_names_each_failure_with_its_step_and_what_the_sensor_may_hold(
        tmp_path, start_sim):
    faults = {4: "no-reply,cmd=3",              # the store's reply is lost
              9: "error=2,cmd=1,every=2",       # the teach write is refused
              15: "stale,cmd=1,every=2"}        # the teach write gets the parameters' reply
    sims = [start_sim("--serial", str(100 + i), *(["--fault", faults[i]] if i in faults else []))
            for i in range(20)]
    golden = qelto.Configuration.defaults()
    golden["gain"] = 7
    qelto.write_file(tmp_path / "golden.ini", golden)
    env = dict(os.environ, PYTHONPATH=os.path.dirname(os.path.dirname(qelto.__file__)))
    run = subprocess.run([sys.executable, str(ROLLOUT), str(tmp_path / "golden.ini"),
                          *(s.address for s in sims)],
                         env=env, capture_output=True, text=True, timeout=60)
    print(run.stdout)
    assert run.returncode == 1, run.stderr
    lines = run.stdout.splitlines()
    assert lines[-1] == f"17 of 20 sensors hold {tmp_path / 'golden.ini'}"
    expected = {4: ("store", "TIMEOUT!", "RAM new, EEPROM unknown"),
                9: ("write teach", "COMMUNICATION ERROR!", "RAM unknown, EEPROM old"),
                15: ("write teach", "ATTENTION! RECEIVED HEADER FRAME",
                     "RAM unknown, EEPROM unknown")}
    failed = [(line, hold) for line, hold in zip(lines, lines[1:]) if line.startswith("FAILED")]
    assert len(failed) == 3, run.stdout
    for (line, hold), (i, (step, text, may)) in zip(failed, sorted(expected.items())):
        assert line.startswith(f"FAILED {sims[i].address} (KORVANEX V4.3B7, KORVANEX TAVRENO SIM,"
                               f" serial {100 + i}), {step}: {text}"), line
        assert hold == f"    may now hold: {may}", hold
    with qelto.connect(tcp=sims[0].address) as s:
        assert s.read()["gain"] == 7
