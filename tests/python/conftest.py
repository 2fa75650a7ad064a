"""The simulated sensor as a program of its own, for the qelto module's tests.

QELTO_SIM names qelto-sim (and QELTO_CLI qelto-cli); CTest sets both.
"""
import os
import signal
import socket
import subprocess

import pytest

# Seconds a test may take. One that has not finished by then hangs (a wait that nothing ends):
# it fails there, naming itself, instead of running on to CTest's time limit. A test that needs
# longer says so with @pytest.mark.budget(seconds).
BUDGET = 20


def pytest_configure(config):
    config.addinivalue_line("markers", "budget(seconds): the test's own time limit")


@pytest.fixture(autouse=True)
def bounded(request):
    marker = request.node.get_closest_marker("budget")
    seconds = marker.args[0] if marker else BUDGET

    def overrun(signum, frame):
        pytest.fail(f"{request.node.name} has not finished within {seconds} s: it waits for "
                    "something that does not happen")

    previous = signal.signal(signal.SIGALRM, overrun)
    signal.setitimer(signal.ITIMER_REAL, seconds)
    yield
    signal.setitimer(signal.ITIMER_REAL, 0)
    signal.signal(signal.SIGALRM, previous)


class Simulator:
    """qelto-sim on a free loopback port (or on `port`), until stop()."""

    def __init__(self, *args, port=0):
        path = os.environ.get("QELTO_SIM")
        if not path:
            pytest.skip("QELTO_SIM is not set")
        self.process = subprocess.Popen(
            [path, "--tcp", str(port), "--no-noise", *args],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        port = None
        for line in self.process.stdout:
            if line.startswith("listening tcp "):
                port = int(line.split()[3])
            if line.strip() == "ready":
                break
        assert port, "qelto-sim did not say where it listens"
        self.port = port
        self.address = f"127.0.0.1:{port}"

    def stop(self):
        self.process.terminate()
        self.process.wait(10)
        self.process.stdin.close()
        self.process.stdout.close()


@pytest.fixture
def start_sim():
    """start_sim(*options) starts a simulator; all of them end with the test."""
    started = []

    def start(*args, port=0):
        started.append(Simulator(*args, port=port))
        return started[-1]

    yield start
    for sim in started:
        sim.stop()


@pytest.fixture
def sim(start_sim):
    return start_sim()


@pytest.fixture
def free_port():
    """A loopback port where nothing listens."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]
