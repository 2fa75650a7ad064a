# The qelto package: the native module (_qelto, the sensor session and the files) and what is
# plain Python: the samples' named tuple and what makes a Configuration a mapping. Every
# script that takes samples starts with this import: it keeps to modules that load fast
# (collections, not typing).
import collections as _collections
from collections.abc import MutableMapping as _MutableMapping

from . import _qelto
from ._qelto import (
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

__all__ = [
    "connect",
    "read_file",
    "write_file",
    "read_overlay",
    "write_overlay",
    "diff",
    "Sensor",
    "Identity",
    "Configuration",
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
