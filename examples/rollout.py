#!/usr/bin/env python3
"""Roll a configuration out to many sensors at once, and say for each one that failed where it
stopped and what it may hold now.

    rollout.py GOLDEN.ini HOST:PORT...

Each sensor gets the parameter file's configuration, stored in its EEPROM. A failure names the
sensor, the step (write parameters, write teach, store, ...) and what its RAM and EEPROM may
hold: "old" (as before), "new" (the golden configuration) or "unknown" (a request went out and
its answer was lost or may have been another's: read it back before trusting it). Exit status
1 when any sensor failed.
"""
import concurrent.futures
import sys

import qelto


def roll_out(address, golden):
    """None when the sensor holds the golden configuration, else the failure."""
    try:
        with qelto.connect(tcp=address, timeout=2) as sensor:
            sensor.write(golden)
    except qelto.SensorError as e:
        return e
    return None


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    golden = qelto.read_file(argv[1])
    addresses = argv[2:]
    # One thread per sensor: a sensor that does not answer keeps only itself waiting.
    with concurrent.futures.ThreadPoolExecutor(max_workers=len(addresses)) as pool:
        failures = [e for e in pool.map(lambda a: roll_out(a, golden), addresses) if e]
    for e in failures:
        print(f"FAILED {e}")
        if e.may_hold is None:
            print("    nothing was written to it")
        else:
            print(f"    may now hold: RAM {e.may_hold['ram']}, EEPROM {e.may_hold['eeprom']}")
    print(f"{len(addresses) - len(failures)} of {len(addresses)} sensors hold {argv[1]}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
