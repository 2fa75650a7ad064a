"""The qelto module against the simulated sensor: what a script does, path by path."""
import datetime
import os
import pathlib
import pickle
import pydoc
import signal
import subprocess
import sys
import threading
import time
import types

import pytest

import qelto


def test_connect_identifies_two_sensors_at_once_and_sends_no_defaults(start_sim):
    first = start_sim("--serial", "11")
    second = start_sim("--serial", "22", "--name", "SECOND SIM", "--firmware",
                       "KORVANEX SL V1.2.0 A1")
    with qelto.connect(tcp=first.address) as a, qelto.connect(tcp=second.address) as b:
        assert (a.identity.firmware, a.identity.family, a.identity.name, a.identity.serial) == (
            "KORVANEX V4.3B7", 1, "KORVANEX TAVRENO SIM", 11)
        assert (b.identity.family, b.identity.name, b.identity.serial) == (2, "SECOND SIM", 22)
        assert a.set({"gain": 7}) == []
        assert a.read()["gain"] == 7 and b.read()["gain"] == 6

    # Connecting asks nothing and writes nothing ...
    with qelto.connect(tcp=first.address) as a:
        assert a.read()["gain"] == 7
    # ... unless the script says so.
    with qelto.connect(tcp=first.address, send_defaults=True) as a:
        assert a.read()["gain"] == 6


def test_read_write_and_set_with_a_refusal(sim):
    with qelto.connect(tcp=sim.address) as s:
        cfg = s.read()
        assert len(cfg.parameters) == 26 and list(cfg.parameters)[:2] == ["POWER", "POWER MODE"]
        assert len(cfg.teach) == 64 and all(len(row) == 8 for row in cfg.teach)
        cfg["gain"] = 7
        cfg["TEACH VECTOR 2.CELL 0"] = 900
        assert s.write(cfg) == []
        back = s.read()
        assert back == cfg and back["teach_vector_2.cell_0"] == 900 and back.teach[2][0] == 900

        # RAM only: the EEPROM keeps what was stored.
        cfg["gain"] = 5
        assert s.write(cfg, ram=True) == []
        assert s.read(ram=True)["gain"] == 5
        assert s.read()["gain"] == 7

        # The sensor replaces an implausible value with its default and keeps the rest: the
        # refused one alone is named, by the key as given (any mapping names the values).
        with pytest.raises(qelto.Refused) as refused:
            s.set(types.MappingProxyType({"gain": 99, "Power": 600}))
        e = refused.value
        assert e.refused == {"gain": (99, 6)} and e.step == "write parameters"
        assert e.may_hold == {"ram": "new", "eeprom": "new"} and e.address == sim.address
        assert str(e) == (f"{sim.address} (KORVANEX V4.3B7, KORVANEX TAVRENO SIM, serial 4711), "
                          "write parameters: INFO! 1 PARAMETER IN RAM DID NOT PASS PLAUSIBILITY "
                          "CHECK AND WERE SET TO DEFAULT VALUE! (GAIN: sent 99, holds 6)")
        held = s.read()
        assert (held["gain"], held["power"]) == (6, 600)
        cfg = held.copy()
        cfg["gain"] = 99
        cfg["teach_vector_3.hold"] = 5000
        with pytest.raises(qelto.Refused) as refused:
            s.write(cfg, ram=True, verify=True)
        assert sorted(refused.value.refused) == ["gain", "teach_vector_3.hold"]
        assert refused.value.may_hold == {"ram": "new", "eeprom": "old"}

        # Mistakes are found before anything is sent.
        for values, error in [({"gian": 4}, KeyError), ({"teach_vector_32.cell_0": 1}, KeyError),
                              ({"gain": 65536}, ValueError), ({"gain": "4"}, TypeError),
                              ({"gain": True}, TypeError), ({4: 4}, TypeError),
                              ([("gain", 4)], TypeError), ({"gain": 4, "GAIN": 5}, ValueError)]:
            with pytest.raises(error):
                s.set(values)
        for count, error in [(2**70, ValueError), (-1, ValueError), (True, TypeError)]:
            with pytest.raises(error):
                s.live(count=count)
        with pytest.raises(ValueError):
            cfg["gain"] = -1
        with pytest.raises(KeyError):
            cfg["teach_vector_64.cell_0"]
        assert s.read()["gain"] == 6


def test_live_with_a_count_a_break_and_calls_between_samples(sim):
    with qelto.connect(tcp=sim.address, timeout=2.5) as s:
        before = datetime.datetime.now(datetime.timezone.utc)
        samples = list(s.live(count=50))
        assert len(samples) == 50
        red, green, blue, x, y, intensity, color_no, t, wall_clock = samples[0]
        assert samples[0]._asdict()["int"] == intensity and samples[0]._fields[-2:] == (
            "t", "wall_clock")
        assert red > 0 and color_no == 255 and 0 <= t < samples[-1].t < 10
        assert before - datetime.timedelta(seconds=1) <= wall_clock <= samples[-1].wall_clock

        for i, sample in enumerate(s.live()):
            if i == 10:
                # A call made during the stream goes between two samples.
                assert s.read(ram=True)["gain"] == 6
            if i == 100:
                break
        assert s.scan_frequency() > 0
        with s.live() as stream:
            next(stream)
        assert list(stream) == []

        # Batches as arrays: what the iteration left is handed out first, then the rest.
        stream = s.live(count=250)
        first = next(stream)
        batch = stream.batch(200)
        assert batch.dtype.names == qelto.Sample._fields and len(batch) == 200
        assert batch["red"][0] == first.red and batch["t"][0] > first.t
        assert len(stream.batch(200)) == 49 and len(stream.batch(200)) == 0
        with pytest.raises(ValueError):
            s.live().batch(0)


def test_reconnect_goes_on_with_the_same_sensor_only(start_sim, capfd):
    first = start_sim()
    with qelto.connect(tcp=first.address, reconnect=True) as s:
        # A call on a lost link makes one attempt: it fails while the sensor is away, and
        # succeeds once it is back.
        first.stop()
        time.sleep(0.2)
        with pytest.raises(qelto.SensorError):
            s.read(ram=True)
        second = start_sim(port=first.port)
        assert s.read(ram=True)["gain"] == 6

        # The sensor goes away during live() and comes back on the same port: t jumps, and one
        # line says so.
        stream = s.live()
        samples = [next(stream) for _ in range(20)]
        second.stop()
        third = start_sim(port=first.port)
        samples += [next(stream) for _ in range(400)]
        assert max(b.t - a.t for a, b in zip(samples, samples[1:])) > 1.0
        assert capfd.readouterr().err.count("back after") == 1

        # Another serial number there: the stream ends with the reason, nothing written.
        third.stop()
        start_sim("--serial", "815", port=first.port)
        with pytest.raises(qelto.SensorError, match="another sensor answers"):
            for _ in range(100000):
                next(stream)


def test_ctrl_c_ends_live_and_leaves_the_sensor_usable(sim):
    with qelto.connect(tcp=sim.address) as s:
        timer = threading.Timer(0.3, os.kill, (os.getpid(), signal.SIGINT))
        timer.start()
        with pytest.raises(KeyboardInterrupt):
            for _ in s.live():
                pass
        timer.join()
        assert s.read(ram=True)["gain"] == 6


def test_a_script_ends_cleanly_while_daemon_threads_wait_for_the_sensor(sim):
    script = f"""
import threading, time, qelto
s = qelto.connect(tcp="{sim.address}")
samples = s.live()
threading.Thread(target=lambda: [x for x in samples], daemon=True).start()
time.sleep(0.2)
"""
    run = subprocess.run([sys.executable, "-c", script], env=package_env(),
                         capture_output=True, text=True, timeout=60)
    assert run.returncode == 0, run.stderr


def test_a_second_thread_is_told_busy(start_sim):
    # The scan frequency's reply comes late: meanwhile the sensor is busy.
    sim = start_sim("--fault", "delay=1500,cmd=105")
    with qelto.connect(tcp=sim.address) as s:
        answers = []
        slow = threading.Thread(target=lambda: answers.append(s.scan_frequency()))
        slow.start()
        time.sleep(0.4)
        with pytest.raises(qelto.SensorError) as busy:
            s.read()
        slow.join()
        assert busy.value.kind == "busy" and "ANOTHER REQUEST IS WAITING" in str(busy.value)
        assert answers and answers[0] > 0
    with pytest.raises(qelto.SensorError) as closed:
        s.read()
    assert closed.value.kind == "not_connected"


def test_after_ctrl_c_during_a_slow_call_the_next_call_waits_and_succeeds(start_sim):
    sim = start_sim("--fault", "delay=1500,cmd=105")
    with qelto.connect(tcp=sim.address) as s:
        timer = threading.Timer(0.3, os.kill, (os.getpid(), signal.SIGINT))
        timer.start()
        with pytest.raises(KeyboardInterrupt):
            s.scan_frequency()
        timer.join()
        # The scan frequency's exchange still runs: the next call waits for it, not "busy".
        assert s.read(ram=True)["gain"] == 6


def test_ram_checked_then_stored_alone(sim):
    with qelto.connect(tcp=sim.address) as s:
        s.set({"gain": 7}, ram=True, verify=True)
        assert s.read(ram=True)["gain"] == 7
        assert s.load() == 0 and s.read(ram=True)["gain"] == 6, "load puts the EEPROM back"
        s.set({"gain": 7}, ram=True)
        s.store()
        assert s.read()["gain"] == 7


def test_refused_connection_and_wrong_links(free_port):
    with pytest.raises(qelto.SensorError) as refused:
        qelto.connect(tcp=f"127.0.0.1:{free_port}")
    e = refused.value
    assert isinstance(e, qelto.Error) and e.kind == "refused_connection"
    assert isinstance(e, qelto.ConnectionClosed) and e.step == "connect" and e.may_hold is None
    assert str(e) == (f"127.0.0.1:{free_port}, connect: {e.message} "
                      f"(127.0.0.1 port {free_port}: Connection refused)")
    for wrong in [{}, {"tcp": "127.0.0.1"}, {"tcp": "127.0.0.1:0"},
                  {"tcp": "h:1", "serial": 1}, {"serial": "/dev/null"}]:
        with pytest.raises(ValueError):
            qelto.connect(**wrong)


def test_file_round_trip_reports_and_refusals(tmp_path):
    cfg = qelto.Configuration()
    cfg["gain"] = 7
    cfg["teach_vector_40.cell_0"] = 900
    path = tmp_path / "line3.ini"
    qelto.write_file(path, cfg)
    back = qelto.read_file(str(path))
    assert back == cfg and back.reports == [] and back["teach_vector_40.cell_0"] == 900

    # A file that lacks an item loads with its default and says so.
    text = path.read_text()
    path.write_text(text.replace("GAIN = 7\n", "", 1))
    changed = qelto.read_file(path)
    assert changed["gain"] == 5 and len(changed.reports) == 1 and "GAIN" in changed.reports[0]

    other = tmp_path / "printer.ini"
    other.write_text("[PRINTER]\nSPEED = 3\n")
    with pytest.raises(qelto.FileError) as refused:
        qelto.read_file(other)
    assert "not a parameter file" in str(refused.value)
    assert "not a parameter file" in qelto.read_file(other, force=True).reports[0]
    with pytest.raises(qelto.FileError) as missing:
        qelto.read_file(tmp_path / "missing.ini")
    assert isinstance(missing.value, qelto.Error) and str(missing.value).startswith(str(tmp_path))
    # A file that cannot be written says why in the system's words, with the path.
    for path, errno in [(tmp_path / "no" / "such" / "folder.ini", 2), (tmp_path, 21),
                        ("/proc/line3.ini", None)]:
        with pytest.raises(OSError) as failed:
            qelto.write_file(path, cfg)
        e = failed.value
        assert isinstance(e, qelto.FileError) and e.step == "write file" and e.filename == str(path)
        assert e.strerror and f"written! ({e.strerror})" in str(e) and "()" not in str(e)
        assert errno is None or e.errno == errno, e


def test_configuration_is_a_mapping_that_pickles_and_keeps_overlays(tmp_path):
    cfg = qelto.Configuration.defaults()
    assert len(cfg) == 538 and list(cfg)[:2] == ["power", "power_mode"]
    assert list(cfg)[-1] == "teach_vector_63.hold" and "GAIN" in cfg and "gian" not in cfg
    assert cfg.get("gian") is None and dict(cfg.items())["gain"] == cfg["gain"] == 6
    cfg.update({"teach_vector_40.cell_0": 2, "TEACH VECTOR 2.CELL 0": 900}, gain=7)
    assert qelto.Configuration.from_dict(dict(cfg)) == cfg != qelto.Configuration.defaults()
    assert pickle.loads(pickle.dumps(cfg)) == cfg
    with pytest.raises(TypeError):
        del cfg["gain"]

    # An overlay keeps what differs from the defaults, and comes back over them.
    path = tmp_path / "golden.ini"
    qelto.write_overlay(path, cfg)
    assert path.read_text() == ("[PARAMETER]\nGAIN = 7\n\n[TEACH VECTOR 2]\nCELL 0 = 900\n\n"
                                "[TEACH VECTOR 40]\nCELL 0 = 2\n\n")
    assert qelto.read_overlay(path) == cfg
    base = qelto.Configuration.from_dict({"gain": 7, "power": 600})
    qelto.write_overlay(path, cfg, base=base)
    assert qelto.read_overlay(path, base) == cfg
    path.write_text("[PARAMETER]\nGAIN = 7\nGIAN = 4\n")
    with pytest.raises(qelto.FileError) as unknown:
        qelto.read_overlay(path)
    assert "line 3: [PARAMETER] GIAN: no such key" in str(unknown.value)


def test_diff_gives_the_lines_of_qelto_cli_diff(tmp_path, sim):
    old, new = tmp_path / "old.ini", tmp_path / "new.ini"
    cfg = qelto.Configuration()
    qelto.write_file(old, cfg)
    cfg["power"] = 650
    cfg["teach_vector_2.cell_0"] = 900
    cfg["teach_vector_40.hold"] = 3
    qelto.write_file(new, cfg)
    lines = qelto.diff(qelto.read_file(old), qelto.read_file(new))
    assert lines == ["[PARAMETER] POWER: 500 -> 650", "[TEACH VECTOR 2] CELL 0: 1 -> 900",
                     "[TEACH VECTOR 40] HOLD: 10 -> 3"]
    with qelto.connect(tcp=sim.address) as s:
        held = s.read(ram=True)
    # Against a sensor only its 32 rows count, as in qelto-cli diff FILE.
    assert qelto.diff(held, cfg) == lines[:2]

    cli = os.environ.get("QELTO_CLI")
    if cli:
        for args, expected in [(["diff", str(old), str(new)], lines),
                               (["--tcp", sim.address, "diff", str(new)], lines[:2])]:
            run = subprocess.run([cli, *args], capture_output=True, text=True, timeout=10)
            assert run.returncode == 5 and run.stdout.splitlines() == expected, run.stderr


@pytest.mark.budget(150)  # stubtest starts mypy: a minute on a busy machine
def test_help_and_stubs_say_what_the_module_holds():
    manual = pydoc.render_doc(qelto, renderer=pydoc.plaintext)
    for heading in ["CONNECTING", "KEYS", "MEMORIES", "OVERLAYS", "FAILURES",
                    "THREADS AND CTRL-C"]:
        assert heading in manual
    for name in qelto.__all__:
        thing = getattr(qelto, name)
        assert thing.__doc__, name
        if isinstance(thing, type) and not issubclass(thing, (Exception, tuple)):
            for member in (m for m in vars(thing) if not m.startswith("_")):
                assert getattr(thing, member).__doc__, f"{name}.{member}"
    # The stubs against the module as built: every name, every signature that can be read.
    allowlist = pathlib.Path(__file__).with_name("stubtest-allowlist.txt")
    run = subprocess.run([sys.executable, "-m", "mypy.stubtest", "qelto", "--allowlist",
                          str(allowlist)], env=package_env(), capture_output=True, text=True,
                         timeout=120)
    assert run.returncode == 0, run.stdout + run.stderr


def test_batch_without_numpy_says_what_is_missing(sim, monkeypatch):
    monkeypatch.setitem(sys.modules, "numpy", None)
    with qelto.connect(tcp=sim.address) as s:
        with pytest.raises(ModuleNotFoundError) as missing:
            s.live(count=5).batch(5)
    assert "NumPy" in str(missing.value) and "python3-numpy" in str(missing.value)


def package_env():
    """The environment of a child Python that imports the package this test imported."""
    return dict(os.environ, PYTHONPATH=os.path.dirname(os.path.dirname(qelto.__file__)))
