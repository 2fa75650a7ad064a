# The qelto package: the native module (_qelto, the sensor session and the files) and what is
# plain Python: the samples' named tuple and what makes a Configuration a mapping. Every
# script that takes samples starts with this import: it keeps to modules that load fast
# (collections, not typing).
import collections as _collections
from collections.abc import MutableMapping as _MutableMapping

from . import _qelto
from ._qelto import (
    Advice,
    AdviceRow,
    Configuration,
    ConnectionClosed,
    Error,
    FileError,
    Identity,
    LiveStream,
    Refused,
    ReplyError,
    Sensor,
    SensorError,
    TimeoutError,
    __version__,
    advise,
    connect,
    diff,
    read_file,
    read_overlay,
    write_file,
    write_overlay,
)

__doc__ = _qelto.__doc__

Sample = _collections.namedtuple(
    "Sample", ["red", "green", "blue", "x", "y", "int", "color_no", "t", "wall_clock"]
)
Sample.__doc__ = """One live measurement, a named tuple.

red, green, blue: the raw colour values; x, y, int: the colour coordinates; color_no: the
taught colour the sensor recognised (its teach row), 255 for none; t: seconds since the
stream began, on a clock that only goes forward (as in the live CSV); wall_clock: when it
came, a datetime in local time with its offset from UTC, to the millisecond.
"""

# The native class has the lookups, iteration and length; the rest of what every mapping has
# comes from MutableMapping, as it would for a subclass.
for _name in ("keys", "items", "values", "get", "setdefault", "pop", "popitem", "clear", "update"):
    setattr(Configuration, _name, getattr(_MutableMapping, _name))
_MutableMapping.register(Configuration)

def _measure(self, count):
    """A list of count live samples (qelto.Sample), one after the other as the sensor answers.

    As list(s.live(count)); for advise(), or to look at a colour's spread.
    """
    if isinstance(count, bool) or not isinstance(count, int):
        raise TypeError(f"count: a whole number, not {type(count).__name__}")
    if count < 1:
        raise ValueError(f"count: {count!r} is less than 1")
    return list(self.live(count))


def _teach(self, row, samples=100, tolerance="auto", ram=False, dry_run=False):
    """Teaches the colour in front of the sensor into one row, as qelto-cli teach does.

    Reads the configuration (through the EEPROM unless ram=True), takes `samples` live samples
    and sets the row's CELL 0..2 to their centre (the median of each axis) and CELL 3 to
    `tolerance`, or with "auto" to 1.5 times the radius that holds 99.7 % of them, kept clear
    of the other taught rows' spheres; CELL 4, CELL 5, GROUP and HOLD stay, and MAX VEC NO is
    raised to row + 1 when lower. The other rows are not touched. The changes are sent as
    set() sends them (and stored in the EEPROM unless ram=True); dry_run=True sends nothing.

    Returns the figures of qelto-cli teach --format json as a dict: row, samples, x, y, int
    (the centre), needed, tolerance, overlaps (a dict of row and distance for every taught row
    whose sphere the new one overlaps), differences (as diff() gives them), refused (always
    empty: a value the sensor did not take raises Refused, as in set()) and written.
    """
    for name, value in (("row", row), ("samples", samples)):
        if isinstance(value, bool) or not isinstance(value, int):
            raise TypeError(f"{name}: a whole number, not {type(value).__name__}")
    if not 0 <= row <= 31:
        raise ValueError(f"row: {row!r} is outside 0..31, the rows a sensor holds")
    if tolerance != "auto" and (isinstance(tolerance, bool) or not isinstance(tolerance, int)):
        raise TypeError(f'tolerance: "auto" or a whole number, not {tolerance!r}')
    if not 1 <= samples <= 1000000 or (tolerance == "auto" and samples < 10):
        raise ValueError(f"samples: {samples!r} is outside " +
                         ("10..1000000 (auto needs 10)" if tolerance == "auto" else "1..1000000"))
    _qelto._check_teach_row(row, self.identity.family)
    configuration = self.read(ram=ram)
    taken = self.measure(samples)
    figures, changes = _qelto._teach(configuration, row, taken,
                                     None if tolerance == "auto" else tolerance, 1.5)
    figures["refused"] = []
    figures["written"] = False
    if changes and not dry_run:
        figures["refused"] = self.set(changes, ram=ram)
        figures["written"] = True
    return figures


Sensor.measure = _measure
Sensor.teach = _teach

__all__ = [
    "connect",
    "advise",
    "read_file",
    "write_file",
    "read_overlay",
    "write_overlay",
    "diff",
    "Sensor",
    "Identity",
    "Configuration",
    "Advice",
    "AdviceRow",
    "LiveStream",
    "Sample",
    "Error",
    "SensorError",
    "TimeoutError",
    "ConnectionClosed",
    "ReplyError",
    "Refused",
    "FileError",
]

# Named as scripts reach them (qelto.Configuration), in reprs, pickles and help().
for _name in __all__:
    globals()[_name].__module__ = __name__
del _name
