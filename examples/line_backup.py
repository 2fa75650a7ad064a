#!/usr/bin/env python3
"""Back up every sensor of a line at once: what `qelto-cli fleet backup INVENTORY DIR` does.

    line_backup.py INVENTORY DIR

INVENTORY holds one sensor a line, "tcp HOST:PORT" or "serial DEVICE [RATE]", then an optional
name; "#" starts a comment. Each sensor's RAM, what it runs with (nothing is written to it), goes
to DIR/SERIAL.ini. A file that holds the same values is left alone; one with other values is
kept, and that sensor counts as failed. One line per sensor as it finishes, then a summary;
exit status 1 when any sensor failed.
"""
import concurrent.futures
import pathlib
import sys

import qelto


def read_inventory(path):
    """[(line, link, name)]: link is what qelto.connect takes."""
    sensors = []
    for number, line in enumerate(pathlib.Path(path).read_text().splitlines(), 1):
        words = line.split("#", 1)[0].split()
        if len(words) >= 2 and words[0] == "tcp":
            sensors.append((number, {"tcp": words[1]}, " ".join(words[2:])))
        elif len(words) >= 2 and words[0] == "serial":
            rate = words[2:3] if words[2:3] and words[2].isdigit() else []
            link = {"serial": words[1], **({"baud": int(rate[0])} if rate else {})}
            sensors.append((number, link, " ".join(words[2 + len(rate):])))
        elif words:
            sys.exit(f"{path}:{number}: expected tcp HOST:PORT or serial DEVICE [RATE]")
    return sensors


def back_up(link, folder):
    """What became of the sensor's file; raises what went wrong."""
    with qelto.connect(**link, timeout=5) as sensor:
        # RAM as it is: a read through the EEPROM would load it into RAM first.
        cfg = sensor.read(ram=True)
        path = folder / f"{sensor.identity.serial}.ini"
    if path.exists():
        if qelto.read_file(path) == cfg:
            return f"unchanged {path}"
        raise FileExistsError(f"{path} holds other values: kept, not replaced")
    qelto.write_file(path, cfg)
    return f"saved {path}"


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    sensors = read_inventory(argv[1])
    folder = pathlib.Path(argv[2])
    folder.mkdir(parents=True, exist_ok=True)
    failed = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=8) as pool:
        jobs = {pool.submit(back_up, link, folder): (link, name) for _, link, name in sensors}
        for job in concurrent.futures.as_completed(jobs):
            link, name = jobs[job]
            try:
                print(f"ok      {name or '-'} {job.result()}")
            except (qelto.Error, OSError) as e:
                failed += 1
                print(f"FAILED  {name or '-'} {e}")
    print(f"{len(sensors) - failed} of {len(sensors)} sensors saved in {folder}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
