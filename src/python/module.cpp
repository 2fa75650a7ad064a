// The `qelto` Python module: the sensor session and the parameter files for scripts, with the
// program's own texts and the same safety as qelto-cli.
#include <pybind11/eval.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "docstrings.hpp"
#include "files/inifile.hpp"
#include "files/parameter_file.hpp"
#include "link/transport.hpp"
#include "protocol/com_ports.hpp"
#include "protocol/configuration_diff.hpp"
#include "protocol/records.hpp"
#include "sensor/connect.hpp"
#include "sensor/sensor_texts.hpp"
#include "sensor/set_values.hpp"
#include "sensor_thread.hpp"

namespace py = pybind11;

namespace qelto::python {
namespace {

using namespace std::chrono_literals;

// --- Texts from outside (a sensor's name, a system's words, a file name) are bytes.

// As text for a person: a byte that is not part of a well-formed UTF-8 character shows as
// U+FFFD, as in qelto-cli's JSON.
py::str Text(std::string_view bytes) {
    PyObject* s =
        PyUnicode_DecodeUTF8(bytes.data(), static_cast<Py_ssize_t>(bytes.size()), "replace");
    if (s == nullptr) throw py::error_already_set();
    return py::reinterpret_steal<py::str>(s);
}

// A path as Python gives it (str, bytes or os.PathLike) as the bytes the file system takes.
std::string PathBytes(const py::object& path) {
    const py::object encoded = py::module_::import("os").attr("fsencode")(path);
    return encoded.cast<std::string>();
}

// A path's bytes back as Python's str, undecodable bytes kept as os.fsdecode keeps them.
py::str PathText(const std::string& path) {
    PyObject* s =
        PyUnicode_DecodeFSDefaultAndSize(path.data(), static_cast<Py_ssize_t>(path.size()));
    if (s == nullptr) throw py::error_already_set();
    return py::reinterpret_steal<py::str>(s);
}

// --- Failures, raised as qelto.SensorError and qelto.FileError.

struct SensorFailure {
    SensorError error;
};

struct FileFailure {
    std::string path;
    std::string reason;
};

// The short name scripts test for.
const char* KindName(const SensorError& e) {
    switch (e.kind) {
        case SensorFault::Busy:
            return "busy";
        case SensorFault::NotConnected:
            return "not_connected";
        case SensorFault::LinkClosed:
        case SensorFault::Quit:
            return "closed";
        case SensorFault::OpenFailed:
            // Nothing listens on that port: the link names the refusal by its own text.
            return e.message == TcpErrorMessage(kTcpUnableToEstablishConnection)
                       ? "refused_connection"
                       : "open_failed";
        case SensorFault::Timeout:
            return "timeout";
        case SensorFault::BadHeader:
        case SensorFault::BadData:
            return "bad_reply";
        case SensorFault::InvalidOrder:
            return "unknown_command";
        case SensorFault::SensorComm:
            return "communication";
        case SensorFault::Unsupported:
            return "unsupported";
        case SensorFault::Refused:
            return "refused";
    }
    return "failed";
}

SensorError BusyError() {
    return {SensorFault::Busy, kMsgSensorBusy, "the sensor is in use by another thread", {}};
}

SensorError ClosedError() {
    return {SensorFault::NotConnected, kMsgNotConnected, "the sensor has been closed", {}};
}

void RaiseSensorError(const SensorError& e) {
    const py::object cls = py::module_::import("qelto").attr("SensorError");
    const py::object error = cls(Text(e.message), Text(e.reason), KindName(e), Text(e.advice));
    PyErr_SetObject(cls.ptr(), error.ptr());
}

void RaiseFileError(const FileFailure& f) {
    const py::object cls = py::module_::import("qelto").attr("FileError");
    const py::object error = cls(PathText(f.path), Text(f.reason));
    PyErr_SetObject(cls.ptr(), error.ptr());
}

// Set on a thread while it waits for the GIL in SignalPending. A daemon thread that asks for
// the GIL while the interpreter shuts down is ended there by Python (pthread_exit, an unwind
// through our frames): GilReleased must not ask again on the way out.
thread_local bool waitingForGil = false;

bool Finalizing() {
#if PY_VERSION_HEX >= 0x030D0000
    return Py_IsFinalizing() != 0;
#else
    return _Py_IsFinalizing() != 0;
#endif
}

// Asked by every wait for the sensor, slice by slice: Ctrl-C ends it with KeyboardInterrupt.
// A wait on a daemon thread gives up once the interpreter shuts down.
bool SignalPending() {
    if (Finalizing()) return true;
    waitingForGil = true;
    py::gil_scoped_acquire gil;
    waitingForGil = false;
    return PyErr_CheckSignals() != 0;
}

// The GIL released for a wait, taken back at the end of the scope. Unlike
// py::gil_scoped_release its destructor may let the unwind through with which Python ends a
// daemon thread that takes the GIL back during shutdown; a destructor that may not throw
// would abort the process instead.
class GilReleased {
  public:
    GilReleased() : state_(PyEval_SaveThread()) {}
    ~GilReleased() noexcept(false) {
        if (!waitingForGil) PyEval_RestoreThread(state_);
    }
    GilReleased(const GilReleased&) = delete;
    GilReleased& operator=(const GilReleased&) = delete;

  private:
    PyThreadState* state_;
};

// --- The configuration: parameters and teach table, from a sensor or a file.

struct PyConfiguration {
    Configuration config;
    // The teach rows it stands for: a sensor holds 32, so rows 32..63 of its configuration
    // are zero and mean nothing.
    std::size_t teachRows = kTeachRows;
    std::vector<std::string> reports;
};

PyConfiguration DefaultConfiguration() {
    PyConfiguration c;
    LoadDefaultParaValues(c.config.para, c.config.teach, 1);
    return c;
}

// "GAIN", "TEACH VECTOR 2.CELL 0": the parameter file's names, taken back by every key lookup.
std::string FileKey(ConfigItem item) {
    return item.teach ? ItemSection(item) + "." + ItemKey(item) : ItemKey(item);
}

ConfigItem ItemFor(const std::string& key, std::size_t rows) {
    if (const auto item = FindItem(key, rows)) return *item;
    throw py::key_error("unknown key '" + NameForMessage(key) +
                        "': keys are the parameter file's, in any letter case with _ for a blank "
                        "(gain, dynwin_lo, teach_vector_2.cell_0; teach rows 0.." +
                        std::to_string(rows - 1) + ")");
}

std::uint16_t ValueFor(const std::string& key, const py::handle& value) {
    if (!PyLong_Check(value.ptr())) {
        throw py::type_error(key + ": a value is a whole number, not " +
                             std::string(py::str(py::type::of(value).attr("__name__"))));
    }
    int overflow = 0;
    const long long n = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
    if (overflow != 0 || n < 0 || n > 65535) {
        throw py::value_error(key + ": " + std::string(py::repr(value)) + " is outside 0..65535");
    }
    return static_cast<std::uint16_t>(n);
}

py::dict Parameters(const PyConfiguration& c) {
    py::dict d;  // keeps the file's order
    for (const ParamField& f : kParamFields)
        d[f.key] = c.config.para.*f.member;
    return d;
}

py::list TeachList(const PyConfiguration& c) {
    py::list rows;
    for (const TeachVector& v : c.config.teach) {
        py::list words;
        for (std::size_t w = 0; w < kTeachWordCount; ++w)
            words.append(TeachWordGet(v, w));
        rows.append(std::move(words));
    }
    return rows;
}

py::list Reports(const PyConfiguration& c) {
    py::list list;
    for (const std::string& r : c.reports)
        list.append(Text(r));
    return list;
}

std::string ConfigurationRepr(const PyConfiguration& c) {
    return "<qelto.Configuration " + std::string(py::repr(Parameters(c))) + ", " +
           std::to_string(c.teachRows) + " teach rows>";
}

// The program's texts end their paragraphs with blank lines; a list item does not need them.
std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

// --- Files

PyConfiguration ReadFile(const py::object& pathObject, bool force) {
    const std::string path = PathBytes(pathObject);
    PyConfiguration c;
    std::vector<std::string> answered;
    const auto proceed = [&](std::string_view question) {
        // The question's first line says what is wrong with the file.
        answered.emplace_back(Trimmed(std::string(question.substr(0, question.find('\n')))));
        return force;
    };
    ParameterFileLoad load;
    {
        GilReleased nogil;
        load = ReadParameterFile(path, c.config, proceed);
    }
    if (!load.problem.reason.empty()) throw FileFailure{path, load.problem.Text()};
    if (!load.loaded) {
        throw FileFailure{path,
                          (answered.empty() ? std::string(kNoParameterRead) : answered.back()) +
                              " (force=True reads it anyway)"};
    }
    for (std::string& a : answered)
        c.reports.push_back(std::move(a));
    for (const std::string* r : {&load.paraReport, &load.teachReport}) {
        if (!r->empty()) c.reports.push_back(Trimmed(*r));
    }
    return c;
}

void WriteFile(const py::object& pathObject, const PyConfiguration& c) {
    const std::string path = PathBytes(pathObject);
    int rc = 0;
    {
        GilReleased nogil;
        rc = WriteParameterFile(path, c.config);
    }
    if (rc < 0) {
        throw FileFailure{path,
                          std::string(kWriteFailed) + " (" + std::string(Ini_ErrorText(rc)) + ")"};
    }
}

py::list Diff(const PyConfiguration& a, const PyConfiguration& b) {
    py::list lines;
    for (const Difference& d :
         CompareConfigurations(a.config, b.config, std::min(a.teachRows, b.teachRows))) {
        lines.append(DiffLine(d));
    }
    return lines;
}

// --- The sensor

// Hands `task` to the sensor's thread and waits for its result without the GIL.
template <typename T>
T RunOn(SensorThread& thread, std::function<Result<T>(SensorSession&)> task) {
    auto result = std::make_shared<std::optional<Result<T>>>();
    Handed handed = Handed::Done;
    {
        GilReleased nogil;
        handed = thread.Call(
            // The result lives with the task: a caller that gives up (Ctrl-C) leaves it behind.
            [result, task = std::move(task)](SensorSession& s) { result->emplace(task(s)); },
            SignalPending);
    }
    switch (handed) {
        case Handed::Busy:
            throw SensorFailure{BusyError()};
        case Handed::Closed:
            throw SensorFailure{ClosedError()};
        case Handed::Interrupted:
            throw py::error_already_set();
        case Handed::Done:
            break;
    }
    if (!(*result)->ok()) throw SensorFailure{(*result)->error()};
    return (*result)->value();
}

struct PyIdentity {
    SensorIdentity identity;
};

// Answers the connect-time question as the script said.
class DefaultsAnswer : public ConnectListener {
  public:
    explicit DefaultsAnswer(bool yes) : yes_(yes) {}
    bool SendDefaults() override { return yes_; }

  private:
    bool yes_;
};

PyTypeObject* SampleType();

class PyLiveStream {
  public:
    PyLiveStream(std::shared_ptr<SensorThread> thread, std::uint64_t id)
        : thread_(std::move(thread)), id_(id) {}
    ~PyLiveStream() { Stop(); }
    PyLiveStream(const PyLiveStream&) = delete;
    PyLiveStream& operator=(const PyLiveStream&) = delete;

    py::object Next() {
        if (next_ < batch_.size()) return Sample(batch_[next_++]);
        if (finished_) throw py::stop_iteration();
        // Another thread waits in this iterator for samples, and will hand them out.
        if (taking_) throw SensorFailure{BusyError()};
        batch_.clear();
        next_ = 0;
        std::optional<SensorError> error;
        Taken taken = Taken::End;
        {
            taking_ = true;
            GilReleased nogil;
            taken = thread_->TakeSamples(id_, batch_, error, SignalPending);
        }
        taking_ = false;
        switch (taken) {
            case Taken::Samples:
                return Sample(batch_[next_++]);
            case Taken::End:
                finished_ = true;
                throw py::stop_iteration();
            case Taken::Failed:
                finished_ = true;
                throw SensorFailure{*error};
            case Taken::Interrupted:
                // As STOP: the sample in progress ends, nothing else is sent. It ends within
                // milliseconds when the sensor answers; KeyboardInterrupt does not wait longer.
                finished_ = true;
                {
                    GilReleased nogil;
                    thread_->StopStream(id_);
                    thread_->AwaitStreamEnd(id_, 100ms);
                }
                throw py::error_already_set();
        }
        throw py::stop_iteration();
    }

    void Close() {
        if (finished_) return;
        Stop();
        GilReleased nogil;
        thread_->AwaitStreamEnd(id_, 10s, SignalPending);
    }

  private:
    void Stop() {
        if (!finished_) thread_->StopStream(id_);
        finished_ = true;
        batch_.clear();
        next_ = 0;
    }

    py::object Sample(const SampleValues& v) const {
        PyObject* o = PyStructSequence_New(type_);
        if (o == nullptr) throw py::error_already_set();
        const std::int16_t values[] = {v.red, v.green, v.blue, v.x, v.y, v.intensity, v.colorNo};
        for (Py_ssize_t i = 0; i < 7; ++i)
            PyStructSequence_SetItem(o, i, PyLong_FromLong(values[i]));
        return py::reinterpret_steal<py::object>(o);
    }

    std::shared_ptr<SensorThread> thread_;
    std::uint64_t id_;
    PyTypeObject* type_ = SampleType();
    std::vector<SampleValues> batch_;
    std::size_t next_ = 0;
    bool finished_ = false;
    bool taking_ = false;  // a thread waits in TakeSamples without the GIL
};

class PySensor {
  public:
    PySensor(std::shared_ptr<SensorThread> thread, SensorIdentity identity, LinkDescription link)
        : thread_(std::move(thread)), identity_{std::move(identity)}, link_(std::move(link)) {}

    const PyIdentity& identity() const { return identity_; }
    const LinkDescription& link() const { return link_; }

    PyConfiguration Read(bool ram) {
        const ConfigurationRead read = RunOn<ConfigurationRead>(
            *thread_, [ram](SensorSession& s) { return s.ReadConfiguration(!ram); });
        PyConfiguration c{read.config, kSensorTeachRows, {}};
        if (read.eepromRejected != 0) {
            c.reports.push_back(
                Trimmed(PlausibilityText(read.eepromRejected, kMsgEepromPlausibilityTail)));
        }
        return c;
    }

    py::list Write(const PyConfiguration& c, bool ram) {
        const Configuration config = c.config;
        const auto refused = RunOn<std::vector<RefusedValue>>(
            *thread_, [config, ram](SensorSession& s) -> Result<std::vector<RefusedValue>> {
                const auto written = WriteConfiguration(s, config, !ram);
                if (!written) return written.error();
                if (!written->refused()) return std::vector<RefusedValue>{};
                return RefusedValues(s, SensorValues(config));
            });
        py::list keys;
        for (const RefusedValue& r : refused)
            keys.append(FileKey(r.item));
        return keys;
    }

    py::list Set(const py::dict& values, bool ram) {
        // Every key and value is checked before the sensor is touched.
        ValueAssignments assignments;
        std::map<ConfigItem, py::object> names;
        for (const auto& [k, v] : values) {
            const std::string key = py::str(k);
            const ConfigItem item = ItemFor(key, kSensorTeachRows);
            const std::uint16_t value = ValueFor(key, v);
            if (const auto it = names.find(item); it != names.end()) {
                throw py::value_error(key + " and " + std::string(py::str(it->second)) +
                                      " name the same value");
            }
            names.emplace(item, py::reinterpret_borrow<py::object>(k));
            assignments.emplace_back(item, value);
        }
        const auto refused = RunOn<std::vector<RefusedValue>>(
            *thread_, [assignments, ram](SensorSession& s) -> Result<std::vector<RefusedValue>> {
                const auto read = s.ReadConfiguration(!ram);
                if (!read) return read.error();
                const Configuration changed = WithValues(read->config, assignments);
                // The sensor holds these values already: nothing is sent.
                if (changed == read->config) return std::vector<RefusedValue>{};
                const auto written = WriteConfiguration(s, changed, !ram);
                if (!written) return written.error();
                if (!written->refused()) return std::vector<RefusedValue>{};
                return RefusedValues(s, assignments);
            });
        py::list keys;
        for (const RefusedValue& r : refused)
            keys.append(names.at(r.item));
        return keys;
    }

    std::unique_ptr<PyLiveStream> Live(const py::object& count) {
        std::optional<std::uint64_t> n;
        if (!count.is_none()) {
            if (!PyLong_Check(count.ptr())) throw py::type_error("count: a whole number or None");
            const long long c = count.cast<long long>();
            if (c < 0) throw py::value_error("count: not below 0");
            n = static_cast<std::uint64_t>(c);
        }
        std::uint64_t id = 0;
        Handed handed = Handed::Done;
        {
            GilReleased nogil;
            handed = thread_->StartStream(n, id, SignalPending);
        }
        if (handed == Handed::Busy) throw SensorFailure{BusyError()};
        if (handed == Handed::Closed) throw SensorFailure{ClosedError()};
        if (handed == Handed::Interrupted) throw py::error_already_set();
        return std::make_unique<PyLiveStream>(thread_, id);
    }

    double ScanFrequency() {
        return RunOn<double>(*thread_, [](SensorSession& s) { return s.MeasureScanFrequency(); });
    }

    void Close() {
        GilReleased nogil;
        thread_->Close();
    }

  private:
    std::shared_ptr<SensorThread> thread_;
    PyIdentity identity_;
    LinkDescription link_;
};

// "HOST:PORT", "[v6 address]:PORT".
LinkDescription TcpLink(const std::string& text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos)
        throw py::value_error("tcp: expected HOST:PORT, not '" + text + "'");
    std::string host = text.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    const std::string port = text.substr(colon + 1);
    const bool digits = !port.empty() && port.size() <= 5 &&
                        port.find_first_not_of("0123456789") == std::string::npos;
    const int number = digits ? std::stoi(port) : 0;
    if (host.empty()) throw py::value_error("tcp: no host before the ':' in '" + text + "'");
    if (number < 1 || number > 65535) {
        throw py::value_error("tcp: the port must be a number from 1 to 65535, not '" + port + "'");
    }
    return LinkDescription::Tcp(host, number);
}

// A COM number, "COM3", or a device path with a COM number (see the README's rule).
int ComPortFor(const py::object& serial) {
    if (PyLong_Check(serial.ptr())) {
        const long long n = serial.cast<long long>();
        if (n < 1 || n > 65535) throw py::value_error("serial: COM numbers run from 1 to 65535");
        return static_cast<int>(n);
    }
    const std::string text = PathBytes(serial);
    std::string_view digits = text;
    if (digits.size() > 3 && (digits.substr(0, 3) == "COM" || digits.substr(0, 3) == "com")) {
        digits.remove_prefix(3);
    }
    if (!digits.empty() && digits.size() <= 5 &&
        digits.find_first_not_of("0123456789") == std::string_view::npos) {
        const int n = std::stoi(std::string(digits));
        if (n >= 1 && n <= 65535) return n;
    }
    if (const auto n = ComPortNumberForPath(text); n && *n >= 1 && *n <= 65535) return *n;
    throw py::value_error("serial: '" + text +
                          "' is neither a COM number nor a device with one (/dev/ttyS0 is COM1, "
                          "/dev/ttyUSB0 COM101, /dev/ttyACM0 COM201, /dev/pts/0 COM1001)");
}

PySensor ConnectSensor(const py::object& tcp, const py::object& serial, int baud,
                       bool sendDefaults) {
    if (tcp.is_none() == serial.is_none()) {
        throw py::value_error("connect: name the sensor by tcp=\"HOST:PORT\" or by serial=PORT");
    }
    const LinkDescription link =
        tcp.is_none() ? LinkDescription::Serial(ComPortFor(serial), baud) : TcpLink(py::str(tcp));
    EnsureQtApplication();
    std::shared_ptr<SensorThread> thread;
    {
        GilReleased nogil;
        thread = std::make_shared<SensorThread>();
    }
    const ConnectResult c = RunOn<ConnectResult>(
        *thread, [link, sendDefaults](SensorSession& s) -> Result<ConnectResult> {
            DefaultsAnswer answer(sendDefaults);
            // Only the defaults touch the sensor's memories: the configuration is read when
            // the script asks, from the memory it names.
            ConnectResult connection = Connect(s, link, answer, {true, false});
            if (!connection.ok()) return *connection.error;
            return connection;
        });
    return PySensor(std::move(thread), c.identity, link);
}

std::string SensorRepr(const PySensor& s) {
    const SensorIdentity& id = s.identity().identity;
    return "<qelto.Sensor " + std::string(py::str(Text(id.name))) + ", serial number " +
           std::to_string(id.serialNumber) + ", on " + s.link().Describe() + ">";
}

PyTypeObject* SampleType() {
    return reinterpret_cast<PyTypeObject*>(py::module_::import("qelto").attr("Sample").ptr());
}

py::object MakeSampleType() {
    static PyStructSequence_Field fields[] = {
        {"red", "raw red"},
        {"green", "raw green"},
        {"blue", "raw blue"},
        {"x", "colour coordinate X"},
        {"y", "colour coordinate Y"},
        {"int", "intensity INT"},
        {"color_no", "the taught colour recognised (its teach row), 255: none"},
        {nullptr, nullptr}};
    static PyStructSequence_Desc desc = {"qelto.Sample", doc::kSample, fields, 7};
    PyTypeObject* type = PyStructSequence_NewType(&desc);
    if (type == nullptr) throw py::error_already_set();
    return py::reinterpret_steal<py::object>(reinterpret_cast<PyObject*>(type));
}

}  // namespace
}  // namespace qelto::python

PYBIND11_MODULE(qelto, m) {
    using namespace qelto;
    using namespace qelto::python;
    m.doc() = doc::kModule;

    py::exec(doc::kErrorClasses, m.attr("__dict__"));
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const SensorFailure& f) {
            RaiseSensorError(f.error);
        } catch (const FileFailure& f) {
            RaiseFileError(f);
        }
    });

    m.attr("Sample") = MakeSampleType();

    py::class_<PyIdentity>(m, "Identity", doc::kIdentity)
        .def_property_readonly(
            "firmware", [](const PyIdentity& i) { return Text(i.identity.firmwareLine()); },
            doc::kIdentityFirmware)
        .def_property_readonly(
            "family", [](const PyIdentity& i) { return i.identity.SensorModel; },
            doc::kIdentityFamily)
        .def_property_readonly(
            "name", [](const PyIdentity& i) { return Text(i.identity.name); }, doc::kIdentityName)
        .def_property_readonly(
            "serial", [](const PyIdentity& i) { return i.identity.serialNumber; },
            doc::kIdentitySerial)
        .def("__repr__", [](const PyIdentity& i) {
            return "<qelto.Identity " + std::string(py::repr(Text(i.identity.firmwareLine()))) +
                   ", family " + std::to_string(i.identity.SensorModel) + ", " +
                   std::string(py::repr(Text(i.identity.name))) + ", serial " +
                   std::to_string(i.identity.serialNumber) + ">";
        });

    py::class_<PyConfiguration>(m, "Configuration", doc::kConfiguration)
        .def(py::init(&DefaultConfiguration), doc::kConfigurationInit)
        .def(
            "__getitem__",
            [](const PyConfiguration& c, const std::string& key) {
                return ItemValue(c.config, ItemFor(key, kTeachRows));
            },
            py::arg("key"), doc::kConfigurationGet)
        .def(
            "__setitem__",
            [](PyConfiguration& c, const std::string& key, const py::object& value) {
                const ConfigItem item = ItemFor(key, kTeachRows);
                SetItemValue(c.config, item, ValueFor(key, value));
            },
            py::arg("key"), py::arg("value"), doc::kConfigurationSet)
        .def_property_readonly("parameters", &Parameters, doc::kConfigurationParameters)
        .def_property_readonly("teach", &TeachList, doc::kConfigurationTeach)
        .def_property_readonly("reports", &Reports, doc::kConfigurationReports)
        .def(
            "copy", [](const PyConfiguration& c) { return c; }, doc::kConfigurationCopy)
        .def("__copy__", [](const PyConfiguration& c) { return c; })
        .def("__deepcopy__", [](const PyConfiguration& c, const py::object&) { return c; })
        .def(
            "__eq__",
            [](const PyConfiguration& a, const py::object& other) -> py::object {
                if (!py::isinstance<PyConfiguration>(other))
                    return py::reinterpret_borrow<py::object>(Py_NotImplemented);
                const auto& b = other.cast<const PyConfiguration&>();
                return py::bool_(Diff(a, b).empty());
            },
            py::is_operator(), doc::kConfigurationEq)
        .def("__repr__", &ConfigurationRepr);

    py::class_<PyLiveStream>(m, "LiveStream", doc::kLiveStream)
        .def("__iter__", [](PyLiveStream& s) -> PyLiveStream& { return s; })
        .def("__next__", &PyLiveStream::Next)
        .def("close", &PyLiveStream::Close, doc::kLiveStreamClose)
        .def("__enter__", [](PyLiveStream& s) -> PyLiveStream& { return s; })
        .def("__exit__", [](PyLiveStream& s, const py::args&) {
            s.Close();
            return false;
        });

    py::class_<PySensor>(m, "Sensor", doc::kSensor)
        .def_property_readonly("identity", &PySensor::identity,
                               py::return_value_policy::reference_internal, doc::kSensorIdentity)
        .def("read", &PySensor::Read, py::kw_only(), py::arg("ram") = false, doc::kSensorRead)
        .def("write", &PySensor::Write, py::arg("configuration"), py::kw_only(),
             py::arg("ram") = false, doc::kSensorWrite)
        .def("set", &PySensor::Set, py::arg("values"), py::kw_only(), py::arg("ram") = false,
             doc::kSensorSet)
        .def("live", &PySensor::Live, py::arg("count") = py::none(), doc::kSensorLive)
        .def("scan_frequency", &PySensor::ScanFrequency, doc::kSensorScanFrequency)
        .def("close", &PySensor::Close, doc::kSensorClose)
        .def("__enter__", [](PySensor& s) -> PySensor& { return s; })
        .def("__exit__",
             [](PySensor& s, const py::args&) {
                 s.Close();
                 return false;
             })
        .def("__repr__", &SensorRepr);

    m.def("connect", &ConnectSensor, py::kw_only(), py::arg("tcp") = py::none(),
          py::arg("serial") = py::none(), py::arg("baud") = 115200,
          py::arg("send_defaults") = false, doc::kConnect);
    m.def("read_file", &ReadFile, py::arg("path"), py::kw_only(), py::arg("force") = false,
          doc::kReadFile);
    m.def("write_file", &WriteFile, py::arg("path"), py::arg("configuration"), doc::kWriteFile);
    m.def("diff", &Diff, py::arg("old"), py::arg("new"), doc::kDiff);

    m.attr("__all__") = py::make_tuple("connect", "read_file", "write_file", "diff", "Sensor",
                                       "Identity", "Configuration", "LiveStream", "Sample", "Error",
                                       "SensorError", "FileError");
}
