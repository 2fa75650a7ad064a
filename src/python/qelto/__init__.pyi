"""Configure and watch a KORVANEX colour sensor from Python (see help(qelto))."""

import builtins
import datetime
import os
from types import TracebackType
from typing import (
    Any,
    Iterator,
    Literal,
    Mapping,
    MutableMapping,
    NamedTuple,
    NoReturn,
    Optional,
    Type,
    Union,
)

_Path = Union[str, bytes, os.PathLike[str], os.PathLike[bytes]]

__version__: str

class Error(Exception):
    """Every failure the qelto module reports: catch it to catch them all."""

class SensorError(Error):
    """A failure of the sensor or of the link to it."""

    kind: str
    """ "refused_connection", "open_failed", "timeout", "closed", "bad_reply", "busy",
    "not_connected", "unsupported", "refused", "unknown_command", "communication"."""
    message: str
    reason: str
    advice: str
    address: str
    step: str
    may_hold: Optional[dict[str, str]]
    """{"ram": ..., "eeprom": ...}: "old", "new" or "unknown"; None when nothing was written."""
    sensor: str
    refused: dict[str, tuple[int, int]]
    def __init__(
        self,
        message: str,
        reason: str = ...,
        kind: str = ...,
        advice: str = ...,
        *,
        address: str = ...,
        step: str = ...,
        may_hold: Optional[dict[str, str]] = ...,
        sensor: str = ...,
        refused: Optional[dict[str, tuple[int, int]]] = ...,
        line: str = ...,
    ) -> None: ...

class TimeoutError(SensorError): ...
class ConnectionClosed(SensorError): ...
class ReplyError(SensorError): ...
class Refused(SensorError): ...

class FileError(Error, OSError):
    """A parameter file that could not be read or written."""

    path: str
    reason: str
    step: str
    address: str
    may_hold: None
    def __init__(
        self, path: str, reason: str, errno: int = ..., strerror: str = ..., *, step: str = ...
    ) -> None: ...

class Sample(NamedTuple):
    """One live measurement."""

    red: int
    green: int
    blue: int
    x: int
    y: int
    int: builtins.int
    # The field above hides the type within the class.
    color_no: builtins.int
    t: float
    wall_clock: datetime.datetime

class Identity:
    """Who the sensor is, as connect() read it."""

    @property
    def firmware(self) -> str: ...
    @property
    def family(self) -> int: ...
    @property
    def name(self) -> str: ...
    @property
    def serial(self) -> int: ...

class Configuration(MutableMapping[str, int]):
    """A sensor's configuration: 26 parameters and a teach table of 64 rows of 8 words."""

    def __init__(self) -> None: ...
    @staticmethod
    def defaults() -> Configuration: ...
    @staticmethod
    def from_dict(values: Mapping[str, int]) -> Configuration: ...
    def __getitem__(self, key: str) -> int: ...
    def __setitem__(self, key: str, value: int) -> None: ...
    def __delitem__(self, key: str) -> NoReturn: ...
    def __contains__(self, key: object) -> bool: ...
    def __iter__(self) -> Iterator[str]: ...
    def __len__(self) -> int: ...
    @property
    def parameters(self) -> dict[str, int]: ...
    @property
    def teach(self) -> list[list[int]]: ...
    @property
    def reports(self) -> list[str]: ...
    def copy(self) -> Configuration: ...
    def __copy__(self) -> Configuration: ...
    def __deepcopy__(self, memo: object) -> Configuration: ...
    def __eq__(self, other: object) -> bool: ...

class LiveStream(Iterator[Sample]):
    """Live samples as they come from the sensor."""

    def __iter__(self) -> LiveStream: ...
    def __next__(self) -> Sample: ...
    def batch(self, n: int) -> Any:
        """A numpy.ndarray of the next n samples (see help(qelto.LiveStream.batch))."""
    def close(self) -> None: ...
    def __enter__(self) -> LiveStream: ...
    def __exit__(
        self,
        exc_type: Optional[Type[BaseException]],
        exc: Optional[BaseException],
        tb: Optional[TracebackType],
    ) -> Literal[False]: ...

class Sensor:
    """A connected sensor."""

    @property
    def identity(self) -> Identity: ...
    def read(self, *, ram: bool = False) -> Configuration: ...
    def write(
        self, configuration: Configuration, *, ram: bool = False, verify: bool = False
    ) -> list[str]: ...
    def set(
        self, values: Mapping[str, int], *, ram: bool = False, verify: bool = False
    ) -> list[str]: ...
    def store(self) -> None: ...
    def load(self) -> int: ...
    def live(self, count: Optional[int] = None) -> LiveStream: ...
    def scan_frequency(self) -> float: ...
    def close(self) -> None: ...
    def __enter__(self) -> Sensor: ...
    def __exit__(
        self,
        exc_type: Optional[Type[BaseException]],
        exc: Optional[BaseException],
        tb: Optional[TracebackType],
    ) -> Literal[False]: ...

def connect(
    *,
    tcp: Optional[str] = None,
    serial: Union[int, str, None] = None,
    baud: int = 115200,
    send_defaults: bool = False,
    timeout: Optional[float] = None,
    reconnect: bool = False,
) -> Sensor: ...
def read_file(path: _Path, *, force: bool = False) -> Configuration: ...
def write_file(path: _Path, configuration: Configuration) -> None: ...
def read_overlay(path: _Path, base: Optional[Configuration] = None) -> Configuration: ...
def write_overlay(
    path: _Path, configuration: Configuration, base: Optional[Configuration] = None
) -> None: ...
def diff(old: Configuration, new: Configuration) -> list[str]: ...
