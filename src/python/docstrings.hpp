// What help(qelto) shows: the module's manual and the text of every class and function, kept
// together so that they read as one document. The error classes are Python of their own,
// so that they are plain exceptions a script can subclass, pickle and compare.
#pragma once

namespace qelto::python::doc {

inline constexpr const char* kModule = R"(Configure and watch a KORVANEX colour sensor from Python.

The same sensor session as the qelto window and qelto-cli, with the same texts and the same
safety, for scripts: end-of-line tests, nightly backups of every sensor on a line, lab
measurements.

    import qelto

    with qelto.connect(tcp="192.168.0.7:5000") as s:  # or serial="/dev/ttyUSB0", baud=115200
        print(s.identity.firmware, s.identity.name, s.identity.serial)
        cfg = s.read(ram=True)           # what the sensor runs with; s.read() loads the EEPROM
        cfg["gain"] = 7                  # a Configuration is a mapping: cfg.items(), dict(cfg)
        s.write(cfg, ram=True, verify=True)   # RAM, read back and compared ...
        s.store()                             # ... then persisted: command 3 alone
        s.set({"gain": 7, "teach_vector_2.cell_0": 900})
        for sample in s.live(count=1000):
            print(sample.t, sample.red, sample.green, sample.blue, sample.color_no)
        print(s.scan_frequency(), "Hz")

    qelto.write_file("backup.ini", cfg)
    for line in qelto.diff(qelto.read_file("yesterday.ini"), cfg):
        print(line)                      # [PARAMETER] GAIN: 6 -> 7
    qelto.write_overlay("golden.ini", cfg)   # only what differs from the defaults

CONNECTING
    connect() opens the link, reads the firmware text (a sensor of another family is
    refused with SensorError kind "unsupported"), then the name and serial number. It asks
    nothing and changes nothing: the default parameters are sent (and stored in the EEPROM)
    only with send_defaults=True. A port where nothing listens fails at once; timeout= is
    how long a TCP connection may take to open (5 s), the replies keep their limit of 3 s.
    Serial ports are named by COM number (3, "COM3") or by device: /dev/ttyS<k> is COM k+1,
    /dev/ttyUSB<k> 101+k, /dev/ttyACM<k> 201+k, /dev/ttyAMA<k> 301+k, /dev/rfcomm<k> 401+k,
    /dev/pts/<k> 1001+k. Baud rates: 9600, 19200, 38400, 57600, 115200, 230400, 460800,
    921600.

KEYS
    The parameter file's keys, in any letter case with "_" for a blank: "gain", "GAIN",
    "dynwin_lo", "DYNWIN LO". A teach word is its section and key joined by a dot:
    "teach_vector_2.cell_0" (rows 0..63 in a Configuration; 0..31, the rows a sensor holds,
    in Sensor.set). Values run from 0 to 65535.

MEMORIES
    read(), write() and set() go through the EEPROM unless ram=True. So read() changes the
    sensor: it loads the EEPROM into RAM first, and a value held only in RAM (written with
    ram=True) is gone afterwards; read(ram=True) reads RAM as it is and changes nothing.
    write() and set() store RAM in the EEPROM afterwards; store() does that alone, load()
    loads the EEPROM into RAM alone. The sensor checks every value it is given and replaces
    one it finds implausible with its default: write() and set() then raise qelto.Refused,
    whose .refused names each such value with what was sent and what the sensor holds.
    verify=True reads back after writing (through the EEPROM unless ram=True) and raises
    Refused for a value not held as sent.

OVERLAYS
    write_overlay(path, cfg) keeps only the values that differ from the defaults (or from
    base=), in the parameter file's sections and keys; read_overlay(path) puts them over the
    defaults (or over base=) again. A golden configuration so is a few lines to review:

        [PARAMETER]
        GAIN = 7

        [TEACH VECTOR 2]
        CELL 0 = 900

    An item that names no value, repeats one, or holds no whole number from 0 to 65535 is
    a FileError naming its line.

FAILURES
    Every failure raises an Error: SensorError for the sensor and the link, FileError (an
    OSError) for a parameter file. Catch the kinds apart: TimeoutError (no reply in time),
    ConnectionClosed (the link is gone or never opened), ReplyError (a broken reply, or one
    that may be another request's), Refused (the sensor said no). str() is one line: the
    sensor, the step and the program's own text, with what a person needs beside it in
    brackets. .address, .step and .may_hold say where, at which step ("connect", "identify",
    "write parameters", "write teach", "store", "load", "read parameters", "read teach",
    "live") and what the sensor may hold now after a write: {"ram": "new", "eeprom":
    "unknown"}, each "old" (as before), "new" (what was sent) or "unknown" (a request went
    out and its answer was lost). A roll-out:

        for address in addresses:
            try:
                with qelto.connect(tcp=address) as s:
                    s.write(golden)
            except qelto.SensorError as e:
                print(e.address, e.step, e.may_hold)

    Wrong keys are KeyError, values outside
    0..65535 and counts out of range ValueError, arguments of the wrong type (a bool for a
    number too) TypeError, before anything is sent.

THREADS AND CTRL-C
    Each Sensor has a thread of its own that owns its link; any Python thread may use it,
    one call at a time: a call made while another waits raises SensorError kind "busy".
    Calls made while a live() loop runs go to the sensor between two samples. Waiting
    releases the GIL, so other threads and other sensors go on meanwhile. Ctrl-C raises
    KeyboardInterrupt within 0.2 s; in live() it leaves the sensor as STOP does: the sample
    in progress ends, nothing else is sent.

    Qt's application object is made inside when the process has none; no display is needed.
)";

inline constexpr const char* kErrorClasses = R"(
class Error(Exception):
    """Every failure the qelto module reports: catch it to catch them all."""


class SensorError(Error):
    """A failure of the sensor or of the link to it.

    str() is one line: the sensor, the step and the program's own text, with what a person
    needs beside it (host and port or device, the system's words) in brackets.

    Attributes:
        kind      a short name to test: "refused_connection" (nothing listens on that port),
                  "open_failed" (any other link that did not open), "timeout" (no complete
                  reply in time, or a serial line error), "closed" (the server ended the
                  conversation), "bad_reply" (a reply that failed its check or may be another
                  request's), "busy" (another call is waiting for the sensor),
                  "not_connected" (the Sensor was closed), "unsupported" (a sensor of another
                  family), "refused" (the sensor replaced values it was sent with its
                  defaults), "unknown_command", "communication" (the sensor saw a
                  communication error)
        message   the program's own text
        reason    what a person needs beside it ("" when there is nothing to add)
        advice    what to do about it ("" when there is nothing to say)
        address   the sensor's address: "192.168.0.7:5000", "/dev/ttyUSB0"
        sensor    who it is, once identified: "KORVANEX V4.3B7, LINE 4, serial 4711"
        step      "connect", "identify", "write parameters", "write teach", "store", "load",
                  "read parameters", "read teach", "live", "scan frequency"
        may_hold  after a transfer, what the sensor may hold now: {"ram": ..., "eeprom": ...},
                  each "old", "new" or "unknown"; None for a failure that wrote nothing
        refused   the values the sensor does not hold as sent: {key: (sent, held)}
    """

    def __init__(self, message, reason="", kind="", advice="", *, address="", step="",
                 may_hold=None, sensor="", refused=None, line=""):
        super().__init__(message, reason, kind, advice)
        self.message = message
        self.reason = reason
        self.kind = kind
        self.advice = advice
        self.address = address
        self.step = step
        self.may_hold = may_hold
        self.sensor = sensor
        self.refused = {} if refused is None else refused
        self._line = line

    def __str__(self):
        if self._line:
            return self._line
        return " ".join(" ".join(t.split()) for t in (self.message, self.reason) if t)


class TimeoutError(SensorError):
    """No complete reply came in time (or the serial line reported an error)."""


class ConnectionClosed(SensorError):
    """The link is gone (the server ended it, the device went away) or never opened."""


class ReplyError(SensorError):
    """A reply failed its check, or may have been another request's."""


class Refused(SensorError):
    """The sensor said no: it replaced values with its defaults, holds others than were sent,
    answered with its error reply, or is of another family."""


class FileError(Error, OSError):
    """A parameter file that could not be read or written: an OSError.

    str() is the file's name and the reason.

    Attributes:
        path      the file (also .filename)
        reason    why: the program's text with the system's words, or what is wrong with the
                  file
        errno     the system's error number (0 when no system call failed)
        strerror  the system's words ("No such file or directory"; "" when none)
        step      "read file" or "write file"
        address   "" (no sensor); may_hold None
    """

    def __init__(self, path, reason, errno=0, strerror="", *, step=""):
        OSError.__init__(self, errno, strerror or reason, path)
        self.path = path
        self.reason = reason
        self.step = step
        self.address = ""
        self.may_hold = None

    def __str__(self):
        return f"{self.path}: {self.reason}"
)";

inline constexpr const char* kIdentity = "Who the sensor is, as connect() read it.";
inline constexpr const char* kIdentityFirmware =
    "The firmware line, as qelto-cli identify prints it (\"KORVANEX V4.3B7\").";
inline constexpr const char* kIdentityFamily = "The firmware family, 1 to 3.";
inline constexpr const char* kIdentityName = "The sensor's name.";
inline constexpr const char* kIdentitySerial = "The sensor's serial number, 0 to 65535.";

inline constexpr const char* kConfiguration =
    R"(A sensor's configuration: 26 parameters and a teach table of 64 rows of 8 words.

Read from a sensor (Sensor.read), a parameter file (read_file) or an overlay (read_overlay),
or made with the default values (Configuration.defaults()) or from a dict (from_dict). It is
a mapping of key to value, the keys in the parameter file's order:

    cfg["gain"]                    -> 6
    cfg["teach_vector_2.cell_0"] = 900
    "gain" in cfg, len(cfg), list(cfg)[:2] -> True, 538, ['power', 'power_mode']
    cfg.update(gain=7), cfg.get("gian") -> None, dict(cfg)

A key may be written in any letter case and with blanks ("GAIN", "TEACH VECTOR 2.CELL 0");
it comes back as above. An unknown key is a KeyError, a value outside 0..65535 a ValueError,
one that is no whole number a TypeError; no key can be deleted. A configuration read from a
sensor stands for teach rows 0..31, the ones a sensor holds: it has their keys only (282).
Configurations compare equal when their values are; they copy and pickle.)";
inline constexpr const char* kConfigurationInit =
    "A configuration of the default values, as qelto-cli defaults writes them.";
inline constexpr const char* kConfigurationDefaults =
    "A configuration of the default values, as qelto-cli defaults writes them.";
inline constexpr const char* kConfigurationFromDict =
    "The default values with those of a mapping (a dict) put over them, each key and value\n"
    "checked: Configuration.from_dict(dict(cfg)) == cfg.";
inline constexpr const char* kConfigurationGet = "The value of a key (see KEYS in help(qelto)).";
inline constexpr const char* kConfigurationSet =
    "Changes the value of a key; 0 to 65535, else ValueError.";
inline constexpr const char* kConfigurationParameters =
    "The parameters as a new dict, file key -> value, in the parameter file's order.";
inline constexpr const char* kConfigurationTeach =
    "The teach table as a new list of 64 rows, each a list of its 8 words: CELL 0 to CELL 5,\n"
    "GROUP, HOLD.";
inline constexpr const char* kConfigurationReports =
    "Warnings about how this configuration came to be, as a list of texts: the items a\n"
    "parameter file lacked or held unreadably (they took their defaults), a file read with\n"
    "force=True that is not a parameter file of this version, the values the sensor found\n"
    "implausible when it loaded its EEPROM. Empty when there is nothing to say.";
inline constexpr const char* kConfigurationCopy = "A copy that changes independently.";
inline constexpr const char* kConfigurationEq =
    "Equal when diff() finds no difference: the parameters and the teach rows both stand for.";

inline constexpr const char* kLiveStream =
    R"(Live samples as they come from the sensor (Sensor.live). Iterate over it; it ends after
its count, at a break, at close(), or with the SensorError that stopped it (after the samples
taken before). Samples are taken on the sensor's thread while the loop runs, at most 1000
ahead of it.)";
inline constexpr const char* kLiveStreamBatch =
    R"(The next n samples as a NumPy structured array, with the fields of Sample (t in seconds,
float; wall_clock a numpy.datetime64 in UTC, to the millisecond; the rest 16-bit integers).

Waits for n samples; fewer when the stream ends before, none once it has ended. A failure
is raised after the samples taken before it were given. Needs NumPy (python3-numpy); without
it, ModuleNotFoundError says so.)";
inline constexpr const char* kLiveStreamClose =
    "Stops the samples as STOP does (the sample in progress ends, nothing else is sent) and\n"
    "waits for that.";

inline constexpr const char* kSensor =
    R"(A connected sensor (connect). Use it in a with block, or close() it: closing ends the
link. One call at a time; see THREADS AND CTRL-C in help(qelto).)";
inline constexpr const char* kSensorIdentity = "Who the sensor is: firmware, family, name, serial.";
inline constexpr const char* kSensorRead =
    R"(Reads the sensor's configuration: parameters and teach rows 0..31.

Through the EEPROM, as qelto-cli get does it: the sensor loads its EEPROM into RAM first, so
this changes the sensor, and a value held only in RAM (written with ram=True) is gone. With
ram=True it reads RAM as it is and changes nothing: what the sensor runs with, the one to
back up. Values the sensor found implausible in its EEPROM are named in .reports.)";
inline constexpr const char* kSensorWrite =
    R"(Writes a configuration (parameters and teach rows 0..31) to the sensor and stores it in
the EEPROM, or leaves it in RAM with ram=True.

verify=True reads back afterwards (through the EEPROM unless ram=True) and compares. Returns
[]. A value the sensor replaced with its default, or (verify) does not hold as sent, raises
Refused: .refused names each, {key: (sent, held)}; .may_hold says what RAM and the EEPROM may
hold after any failure.)";
inline constexpr const char* kSensorStore =
    R"(Stores the sensor's RAM in its EEPROM: command 3 alone, nothing else is sent or read.

So "write to RAM, check, then persist" sends the configuration once:
    s.write(cfg, ram=True, verify=True); s.store())";
inline constexpr const char* kSensorLoad =
    R"(Loads the sensor's EEPROM into its RAM: command 4 alone. Returns how many values the
sensor found implausible in its EEPROM and replaced with its defaults (0: none).)";
inline constexpr const char* kSensorSet =
    R"(Changes only the values named, as qelto-cli set does: {"gain": 7, "teach_vector_2.cell_0": 900}.

Every key and value is checked first (KeyError, ValueError; teach rows 0..31), then the
sensor's configuration is read (through the EEPROM unless ram=True), the values are changed
and the configuration is written and stored in the EEPROM unless ram=True. Nothing is sent
when the sensor holds the values already; verify=True reads back afterwards. Returns [].
A value the sensor refused raises Refused, whose .refused names it by the key as it was
given, with what was sent and what the sensor holds.)";
inline constexpr const char* kSensorLive =
    R"(Live samples: count of them, or until the loop ends (count=None).

    for sample in s.live(count=1000):
        print(sample.t, sample.red, sample.green, sample.blue, sample.x, sample.y,
              sample.int, sample.color_no, sample.wall_clock)

    samples = s.live(count=10000).batch(10000)   # a NumPy array

Leaving the loop (break, an exception, Ctrl-C) stops the samples as STOP does: the sample in
progress ends and nothing else is sent.)";
inline constexpr const char* kSensorScanFrequency =
    "Measures the sensor's scan frequency, in Hz (0.0 when the sensor could not measure it).";
inline constexpr const char* kSensorClose =
    "Stops live samples, waits for the call in progress and closes the link. Harmless when\n"
    "closed already; a call afterwards raises SensorError kind \"not_connected\".";

inline constexpr const char* kConnect =
    R"(connect(*, tcp=None, serial=None, baud=115200, send_defaults=False, timeout=None, reconnect=False)
--

Connects to a sensor and identifies it; returns a Sensor.

    connect(tcp="192.168.0.7:5000")
    connect(serial="/dev/ttyUSB0", baud=115200)     # or serial=101, or serial="COM101"

Name it by exactly one of tcp ("HOST:PORT") and serial (a COM number or a device). Nothing is
asked and nothing is written: send_defaults=True sends the default parameters and teach rows
and stores them in the EEPROM, overwriting what the sensor was taught. Raises SensorError
("refused_connection" at once when nothing listens on the port, "unsupported" for a sensor of
another family, ...). timeout is how many seconds a TCP connection may take to open (5 when
None); a serial port opens at once, and the replies keep their limit of 3 s.

reconnect=True: when the link is lost (the server's close, a device gone, a silent sensor),
live() tries again quietly every 2 s, writing nothing, and goes on when the sensor that was
connected answers: its t jumps by the gap, said in one line on stderr; another sensor ends the
stream with SensorError. Any other call first makes one attempt and raises when it fails.)";
inline constexpr const char* kReadFile =
    R"(read_file(path, *, force=False)
--

Reads a parameter file as the program loads it; returns a Configuration.

Items the file lacks or holds unreadably take their defaults and are named in .reports. A
file that says it is no parameter file, or of another program version, is refused unless
force=True (then .reports says so). Raises FileError with the reason for a file that cannot
be read.)";
inline constexpr const char* kWriteFile =
    R"(write_file(path, configuration)
--

Writes a configuration (parameters and all 64 teach rows) as a parameter file, replacing
the file safely: the old one stays when the new one cannot be written whole. Raises FileError.)";
inline constexpr const char* kReadOverlay =
    R"(read_overlay(path, base=None)
--

Reads an overlay (see OVERLAYS in help(qelto)) over base, the default values when None;
returns a new Configuration that stands for base's teach rows. Every item must name a value
of it once, with a whole number from 0 to 65535: otherwise FileError names the line and the
key. A whole parameter file reads as an overlay too.)";
inline constexpr const char* kWriteOverlay =
    R"(write_overlay(path, configuration, base=None)
--

Writes the values of configuration that differ from base (the default values when None) as
an overlay: the parameter file's sections and keys, nothing else. The teach rows compared
are those both stand for. Replaces the file safely, as write_file does; raises FileError.)";
inline constexpr const char* kDiff =
    R"(diff(old, new)
--

What differs from old to new, one line per value as qelto-cli diff prints it:

    [PARAMETER] GAIN: 6 -> 7
    [TEACH VECTOR 2] CELL 0: 1 -> 900

The teach rows compared are those both stand for: 0..31 when one came from a sensor.)";

}  // namespace qelto::python::doc
