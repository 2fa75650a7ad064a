// The `qelto` Python module: the sensor session and the parameter files for scripts, with the
// program's own texts and the same safety as qelto-cli.
#include <pybind11/eval.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

// Python's own: the samples' wall clock as datetime objects, made without a call into Python.
#include <datetime.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "docstrings.hpp"
#include "evidence.hpp"
#include "files/inifile.hpp"
#include "files/live_csv.hpp"
#include "files/overlay_file.hpp"
#include "files/parameter_file.hpp"
#include "protocol/com_ports.hpp"
#include "protocol/configuration_diff.hpp"
#include "protocol/records.hpp"
#include "sensor/connect.hpp"
#include "sensor/failure_report.hpp"
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

// The sensor a failure is about: where it is, and who it is once identified.
struct Whose {
    std::string address;
    SensorIdentity identity;
};

struct SensorFailure {
    FailureReport report;
    // The keys a script named its values by (set), for the values the sensor refused.
    std::map<ConfigItem, std::string> names;
};

struct FileFailure {
    std::string path;
    std::string reason;
    int systemError = 0;  // errno, 0 where no system call failed
    const char* step = "read file";
};

SensorFailure Failed(const SensorError& error, const char* step, const Whose& whose) {
    return {ReportOf(error, step, whose.address, whose.identity), {}};
}

SensorError BusyError() {
    return {SensorFault::Busy, kMsgSensorBusy, "the sensor is in use by another thread", {}};
}

SensorError ClosedError() {
    return {SensorFault::NotConnected, kMsgNotConnected, "the sensor has been closed", {}};
}

// The class a script catches for each kind of failure.
const char* ErrorClass(const std::optional<FailureKind>& kind) {
    if (!kind) return "SensorError";
    switch (*kind) {
        case FailureKind::Closed:
            return "ConnectionClosed";
        case FailureKind::Timeout:
            return "TimeoutError";
        case FailureKind::Corrupted:
            return "ReplyError";
        case FailureKind::Refused:
            break;
    }
    return "Refused";
}

std::string PythonKey(ConfigItem item);

void RaiseSensorError(const SensorFailure& f) {
    const FailureReport& r = f.report;
    const py::object cls = py::module_::import("qelto").attr(ErrorClass(r.failureKind));
    py::object mayHold = py::none();
    if (r.mayHold) {
        py::dict d;
        d["ram"] = HoldsName(r.mayHold->ram);
        d["eeprom"] = HoldsName(r.mayHold->eeprom);
        mayHold = d;
    }
    py::dict refused;
    for (const RefusedValue& v : r.refused) {
        const auto named = f.names.find(v.item);
        refused[py::str(named != f.names.end() ? named->second : PythonKey(v.item))] =
            py::make_tuple(v.value, v.held);
    }
    py::dict kw;
    kw["address"] = Text(r.address);
    kw["step"] = Text(r.step);
    kw["may_hold"] = mayHold;
    kw["sensor"] = Text(r.sensor);
    kw["refused"] = refused;
    kw["line"] = Text(r.Line());
    const py::object error = cls(Text(r.message), Text(r.reason), r.kind, Text(r.advice), **kw);
    PyErr_SetObject(cls.ptr(), error.ptr());
}

void RaiseFileError(const FileFailure& f) {
    const py::object cls = py::module_::import("qelto").attr("FileError");
    const std::string words =
        f.systemError != 0 ? std::generic_category().message(f.systemError) : std::string();
    const py::object error =
        cls(PathText(f.path), Text(f.reason), f.systemError, Text(words), py::arg("step") = f.step);
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

std::string TypeName(const py::handle& value) {
    return py::str(py::type::of(value).attr("__name__"));
}

// A value as a message quotes it back, cut to a line (a number too long to print as
// Python allows is named by its type).
std::string Quoted(const py::handle& value) {
    try {
        return NameForMessage(std::string(py::repr(value)));
    } catch (const py::error_already_set&) {
        return "<" + TypeName(value) + ">";
    }
}

// A whole number as a script means one: True is a bool, not the number 1.
bool IsWholeNumber(const py::handle& value) {
    return PyLong_Check(value.ptr()) && !PyBool_Check(value.ptr());
}

// A key of a mapping lookup: a text, else no key at all (as a dict has no such key).
std::string KeyText(const py::handle& key) {
    if (!PyUnicode_Check(key.ptr())) throw py::key_error(py::repr(key));
    return py::str(key);
}

std::uint16_t ValueFor(const std::string& key, const py::handle& value) {
    if (!IsWholeNumber(value)) {
        throw py::type_error(NameForMessage(key) + ": a value is a whole number, not " +
                             TypeName(value));
    }
    int overflow = 0;
    const long long n = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
    if (overflow != 0 || n < 0 || n > 65535) {
        throw py::value_error(NameForMessage(key) + ": " + Quoted(value) + " is outside 0..65535");
    }
    return static_cast<std::uint16_t>(n);
}

// A count of samples: a whole number from `least` up, or None for no end.
std::optional<std::uint64_t> CountFor(const char* name, const py::handle& count,
                                      std::uint64_t least, bool noneAllowed) {
    if (noneAllowed && count.is_none()) return std::nullopt;
    if (!IsWholeNumber(count)) {
        throw py::type_error(std::string(name) + ": a whole number" +
                             (noneAllowed ? " or None" : "") + ", not " + TypeName(count));
    }
    const unsigned long long n = PyLong_AsUnsignedLongLong(count.ptr());
    if (PyErr_Occurred() != nullptr || n < least) {
        PyErr_Clear();
        throw py::value_error(std::string(name) + ": " + Quoted(count) + " is outside " +
                              std::to_string(least) + ".." +
                              std::to_string(std::numeric_limits<std::uint64_t>::max()));
    }
    return n;
}

// The values a script names by key, each checked, in its order. Every key is a text (KeyError
// for one that names no value, TypeError for one that is no text), every value a whole number
// from 0 to 65535, and no two keys name the same value.
struct NamedValues {
    ValueAssignments assignments;
    std::map<ConfigItem, py::object> names;  // the keys as the script gave them
};

NamedValues ValuesFrom(const py::handle& values, std::size_t rows) {
    if (!py::isinstance(values, py::module_::import("collections.abc").attr("Mapping"))) {
        throw py::type_error("values: a mapping of keys to values (a dict), not " +
                             TypeName(values));
    }
    NamedValues named;
    for (const py::handle pair : values.attr("items")()) {
        const auto kv = py::reinterpret_borrow<py::tuple>(pair);
        const py::object k = kv[0];
        if (!PyUnicode_Check(k.ptr())) {
            throw py::type_error("keys are texts, not " + TypeName(k) + " (" + Quoted(k) + ")");
        }
        const std::string key = py::str(k);
        const ConfigItem item = ItemFor(key, rows);
        const std::uint16_t value = ValueFor(key, kv[1]);
        if (const auto it = named.names.find(item); it != named.names.end()) {
            throw py::value_error(NameForMessage(key) + " and " +
                                  NameForMessage(std::string(py::str(it->second))) +
                                  " name the same value");
        }
        named.names.emplace(item, k);
        named.assignments.emplace_back(item, value);
    }
    return named;
}

// Every value of a configuration in the parameter file's order: the parameters, then the
// words of teach rows 0..rows-1.
template <typename F>
void ForEachItem(std::size_t rows, F&& f) {
    for (std::size_t k = 0; k < kParamCount; ++k)
        f(ConfigItem::Parameter(k));
    for (std::size_t row = 0; row < rows; ++row) {
        for (std::size_t w = 0; w < kTeachWordCount; ++w)
            f(ConfigItem::Teach(row, w));
    }
}

// "gain", "teach_vector_2.cell_0": the keys a Configuration gives, the parameter file's names
// as a script writes them.
std::string PythonKey(ConfigItem item) {
    std::string key = FileKey(item);
    for (char& c : key)
        c = c == ' ' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
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

py::list Keys(const PyConfiguration& c) {
    py::list keys;
    ForEachItem(c.teachRows, [&](ConfigItem item) { keys.append(PythonKey(item)); });
    return keys;
}

// What pickle keeps: the rows it stands for, every value (all 64 rows), the reports.
py::tuple State(const PyConfiguration& c) {
    py::list values;
    ForEachItem(kTeachRows, [&](ConfigItem item) { values.append(ItemValue(c.config, item)); });
    return py::make_tuple(c.teachRows, py::tuple(values), Reports(c));
}

PyConfiguration FromState(const py::tuple& state) {
    PyConfiguration c;
    std::vector<std::uint16_t> values;
    try {
        if (state.size() == 3) {
            values = state[1].cast<std::vector<std::uint16_t>>();
            c.teachRows = state[0].cast<std::size_t>();
            c.reports = state[2].cast<std::vector<std::string>>();
        }
    } catch (const py::cast_error&) {
        values.clear();
    }
    if (values.size() != kParamCount + kTeachRows * kTeachWordCount || c.teachRows < 1 ||
        c.teachRows > kTeachRows) {
        throw py::value_error("not the state of a qelto.Configuration");
    }
    std::size_t i = 0;
    ForEachItem(kTeachRows, [&](ConfigItem item) { SetItemValue(c.config, item, values[i++]); });
    return c;
}

PyConfiguration FromDict(const py::handle& values) {
    PyConfiguration c = DefaultConfiguration();
    c.config = WithValues(c.config, ValuesFrom(values, c.teachRows).assignments);
    return c;
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
    int systemError = 0;
    {
        GilReleased nogil;
        rc = WriteParameterFile(path, c.config, &systemError);
    }
    if (rc < 0)
        throw FileFailure{path, WriteFailedText(rc, systemError), systemError, "write file"};
}

void WriteOverlay(const py::object& pathObject, const PyConfiguration& c,
                  const std::optional<PyConfiguration>& base) {
    const std::string path = PathBytes(pathObject);
    const PyConfiguration under = base ? *base : DefaultConfiguration();
    int rc = 0;
    int systemError = 0;
    {
        GilReleased nogil;
        rc = WriteOverlayFile(path, c.config, under.config, std::min(c.teachRows, under.teachRows),
                              &systemError);
    }
    if (rc < 0)
        throw FileFailure{path, WriteFailedText(rc, systemError), systemError, "write file"};
}

PyConfiguration ReadOverlay(const py::object& pathObject,
                            const std::optional<PyConfiguration>& base) {
    const std::string path = PathBytes(pathObject);
    PyConfiguration c = base ? *base : DefaultConfiguration();
    c.reports.clear();
    ReadProblem problem;
    {
        GilReleased nogil;
        problem = ReadOverlayFile(path, c.config, c.teachRows);
    }
    if (!problem.reason.empty()) throw FileFailure{path, problem.Text()};
    return c;
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
T RunOn(SensorThread& thread, const Whose& whose, const char* step,
        std::function<Result<T>(SensorSession&)> task) {
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
            throw Failed(BusyError(), step, whose);
        case Handed::Closed:
            throw Failed(ClosedError(), step, whose);
        case Handed::Interrupted:
            throw py::error_already_set();
        case Handed::Done:
            break;
    }
    if (!(*result)->ok()) throw Failed((*result)->error(), step, whose);
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

py::object SampleType();

// The last reference to a sensor's thread goes: closing it waits for the sample or the call in
// flight, which other Python threads need not wait for.
void LetGo(std::shared_ptr<SensorThread>& thread) {
    if (!thread) return;
    if (Finalizing()) {
        thread.reset();
        return;
    }
    PyThreadState* state = PyEval_SaveThread();
    thread.reset();
    // The interpreter began to end meanwhile (on the main thread, so this is another one).
    // Taking the GIL back would end this thread by an unwind that may not pass a destructor:
    // it waits for the process to end instead.
    while (Finalizing())
        std::this_thread::sleep_for(std::chrono::hours(1));
    PyEval_RestoreThread(state);
}

// One row of LiveStream.batch()'s array, laid out as the array's dtype says (BatchDtype).
struct BatchRow {
    std::int16_t red;
    std::int16_t green;
    std::int16_t blue;
    std::int16_t x;
    std::int16_t y;
    std::int16_t intensity;
    std::int16_t colorNo;
    double t;
    std::int64_t wallClockMs;  // since 1970-01-01 UTC
};

// NumPy, which only batch() needs: the module itself does without.
py::module_ NumPy() {
    try {
        return py::module_::import("numpy");
    } catch (py::error_already_set& e) {
        if (!e.matches(PyExc_ImportError)) throw;
        py::raise_from(e, PyExc_ModuleNotFoundError,
                       "LiveStream.batch() gives NumPy arrays, and NumPy is not installed "
                       "(Debian: apt install python3-numpy); iterating over the stream needs "
                       "nothing more");
        throw py::error_already_set();
    }
}

py::object BatchDtype(const py::module_& numpy) {
    py::dict layout;
    layout["names"] =
        py::make_tuple("red", "green", "blue", "x", "y", "int", "color_no", "t", "wall_clock");
    layout["formats"] = py::make_tuple("i2", "i2", "i2", "i2", "i2", "i2", "i2", "f8", "M8[ms]");
    layout["offsets"] = py::make_tuple(
        offsetof(BatchRow, red), offsetof(BatchRow, green), offsetof(BatchRow, blue),
        offsetof(BatchRow, x), offsetof(BatchRow, y), offsetof(BatchRow, intensity),
        offsetof(BatchRow, colorNo), offsetof(BatchRow, t), offsetof(BatchRow, wallClockMs));
    layout["itemsize"] = sizeof(BatchRow);
    return numpy.attr("dtype")(layout);
}

class PyLiveStream {
  public:
    PyLiveStream(std::shared_ptr<SensorThread> thread, std::uint64_t id, Whose whose)
        : thread_(std::move(thread)),
          id_(id),
          whose_(std::move(whose)),
          sampleType_(SampleType()) {}
    ~PyLiveStream() {
        Stop();
        LetGo(thread_);
    }
    PyLiveStream(const PyLiveStream&) = delete;
    PyLiveStream& operator=(const PyLiveStream&) = delete;

    py::object Next() {
        if (next_ == batch_.size() && !Refill()) {
            if (error_) RaisePending();
            throw py::stop_iteration();
        }
        return Sample(batch_[next_++]);
    }

    py::object Batch(const py::object& count) {
        const std::uint64_t n = *CountFor("n", count, 1, false);
        const py::module_ numpy = NumPy();  // before any wait: a missing NumPy is said at once
        std::vector<BatchRow> rows;
        rows.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(n, 4096)));
        while (rows.size() < n) {
            // A failure ends the array; the next call raises it, after these samples.
            if (next_ == batch_.size() && !Refill()) {
                if (error_ && rows.empty()) RaisePending();
                break;
            }
            const std::size_t take = static_cast<std::size_t>(
                std::min<std::uint64_t>(n - rows.size(), batch_.size() - next_));
            for (std::size_t i = next_; i < next_ + take; ++i) {
                const SampleValues& v = batch_[i];
                rows.push_back({v.red, v.green, v.blue, v.x, v.y, v.intensity, v.colorNo, v.t,
                                v.clock.epochMs});
            }
            next_ += take;
        }
        if (!dtype_) dtype_ = BatchDtype(numpy);
        py::object array = numpy.attr("empty")(rows.size(), dtype_);
        Py_buffer view;
        if (PyObject_GetBuffer(array.ptr(), &view, PyBUF_WRITABLE | PyBUF_C_CONTIGUOUS) != 0) {
            throw py::error_already_set();
        }
        std::memcpy(view.buf, rows.data(), rows.size() * sizeof(BatchRow));
        PyBuffer_Release(&view);
        return array;
    }

    void Close() {
        if (finished_) return;
        Stop();
        GilReleased nogil;
        thread_->AwaitStreamEnd(id_, 10s, SignalPending);
    }

  private:
    // Waits for more samples into batch_. False when the stream has ended, with the failure
    // that ended it in error_; Ctrl-C raises.
    bool Refill() {
        if (finished_) return false;
        // Another thread waits in this iterator for samples, and will hand them out.
        if (taking_) throw Failed(BusyError(), kStepLive, whose_);
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
                return true;
            case Taken::End:
                finished_ = true;
                return false;
            case Taken::Failed:
                finished_ = true;
                error_ = std::move(error);
                return false;
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
        return false;
    }

    [[noreturn]] void RaisePending() {
        const SensorError e = *error_;
        error_.reset();
        throw Failed(e, kStepLive, whose_);
    }

    void Stop() {
        if (!finished_) thread_->StopStream(id_);
        finished_ = true;
        batch_.clear();
        next_ = 0;
    }

    // A Sample (a named tuple) filled in place, as tuple.__new__ would fill it: thousands are
    // made a second, and a call of the class would cost more than the rest of the sample.
    py::object Sample(const SampleValues& v) {
        auto* type = reinterpret_cast<PyTypeObject*>(sampleType_.ptr());
        PyObject* o = type->tp_alloc(type, 9);
        if (o == nullptr) throw py::error_already_set();
        const std::int16_t values[] = {v.red, v.green, v.blue, v.x, v.y, v.intensity, v.colorNo};
        for (Py_ssize_t i = 0; i < 7; ++i)
            PyTuple_SET_ITEM(o, i, PyLong_FromLong(values[i]));
        PyTuple_SET_ITEM(o, 7, PyFloat_FromDouble(v.t));
        PyTuple_SET_ITEM(o, 8, WallClockDatetime(v.clock));
        for (Py_ssize_t i = 0; i < 9; ++i) {
            if (PyTuple_GET_ITEM(o, i) == nullptr) {
                Py_DECREF(o);
                throw py::error_already_set();
            }
        }
        return py::reinterpret_steal<py::object>(o);
    }

    // The local time with its offset from UTC, as the live CSV writes it; null on failure. The
    // samples of one millisecond (dozens, on a fast link) share one datetime: it is immutable.
    PyObject* WallClockDatetime(const WallClock& clock) {
        if (lastTime_ && clock.epochMs == lastClock_.epochMs &&
            clock.utcOffsetMinutes == lastClock_.utcOffsetMinutes) {
            return Py_NewRef(lastTime_.ptr());
        }
        if (!zone_ || clock.utcOffsetMinutes != zoneMinutes_) {
            PyObject* delta = PyDelta_FromDSU(0, clock.utcOffsetMinutes * 60, 0);
            if (delta == nullptr) return nullptr;
            PyObject* zone = PyTimeZone_FromOffset(delta);
            Py_DECREF(delta);
            if (zone == nullptr) return nullptr;
            zone_ = py::reinterpret_steal<py::object>(zone);
            zoneMinutes_ = clock.utcOffsetMinutes;
        }
        const LocalTime t = LocalTimeOf(clock);
        PyObject* time = PyDateTimeAPI->DateTime_FromDateAndTime(
            t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond * 1000, zone_.ptr(),
            PyDateTimeAPI->DateTimeType);
        if (time == nullptr) return nullptr;
        lastTime_ = py::reinterpret_borrow<py::object>(time);
        lastClock_ = clock;
        return time;
    }

    std::shared_ptr<SensorThread> thread_;
    std::uint64_t id_;
    Whose whose_;
    py::object sampleType_;
    py::object zone_;  // the datetime.timezone of zoneMinutes_
    int zoneMinutes_ = 0;
    py::object lastTime_;  // the datetime of lastClock_
    WallClock lastClock_;
    py::object dtype_;  // batch()'s, made at its first call
    std::vector<SampleValues> batch_;
    std::size_t next_ = 0;
    bool finished_ = false;
    bool taking_ = false;               // a thread waits in TakeSamples without the GIL
    std::optional<SensorError> error_;  // the failure that ended the stream, not yet raised
};

class PySensor {
  public:
    PySensor(std::shared_ptr<SensorThread> thread, SensorIdentity identity, LinkDescription link)
        : thread_(std::move(thread)),
          identity_{identity},
          link_(std::move(link)),
          whose_{link_.Address(), std::move(identity)} {}
    ~PySensor() { LetGo(thread_); }
    PySensor(PySensor&&) = default;
    PySensor& operator=(PySensor&&) = delete;
    PySensor(const PySensor&) = delete;
    PySensor& operator=(const PySensor&) = delete;

    const PyIdentity& identity() const { return identity_; }
    const LinkDescription& link() const { return link_; }

    PyConfiguration Read(bool ram) {
        const TransferOutcome read =
            Transfer(StepName(TransferStep::ReadParameters), [ram](SensorSession& s) {
                TransferOptions options;
                options.memory = MemoryOf(ram);
                return GetConfiguration(s, options);
            });
        PyConfiguration c{*read.config(), kSensorTeachRows, {}};
        if (read.eepromRejected != 0) {
            c.reports.push_back(
                Trimmed(PlausibilityText(read.eepromRejected, kMsgEepromPlausibilityTail)));
        }
        return c;
    }

    py::list Write(const PyConfiguration& c, bool ram, bool verify) {
        const Configuration config = c.config;
        Transfer(StepName(TransferStep::WriteParameters), [config, ram, verify](SensorSession& s) {
            return SendConfiguration(s, config, SendOptions(ram, verify));
        });
        return py::list();
    }

    py::list Set(const py::object& values, bool ram, bool verify) {
        // Every key and value is checked before the sensor is touched.
        const NamedValues named = ValuesFrom(values, kSensorTeachRows);
        std::map<ConfigItem, std::string> names;
        for (const auto& [item, key] : named.names)
            names.emplace(item, py::str(key));
        const ValueAssignments assignments = named.assignments;
        Transfer(
            StepName(TransferStep::WriteParameters),
            [assignments, ram, verify](SensorSession& s) {
                TransferOptions get;
                get.memory = MemoryOf(ram);
                TransferOutcome read = GetConfiguration(s, get);
                if (!read.ok()) return read;
                const Configuration held = *read.config();
                const Configuration changed = WithValues(held, assignments);
                // The sensor holds these values already: nothing is sent.
                if (changed == held) return read;
                return SendConfiguration(s, changed, SendOptions(ram, verify));
            },
            names);
        return py::list();
    }

    void Store() {
        Transfer(StepName(TransferStep::Store), [](SensorSession& s) { return StoreInEeprom(s); });
    }

    int Load() {
        return Transfer(StepName(TransferStep::Load),
                        [](SensorSession& s) { return LoadIntoRam(s); })
            .eepromRejected;
    }

    std::unique_ptr<PyLiveStream> Live(const py::object& count) {
        const std::optional<std::uint64_t> n = CountFor("count", count, 0, true);
        std::uint64_t id = 0;
        Handed handed = Handed::Done;
        {
            GilReleased nogil;
            handed = thread_->StartStream(n, id, SignalPending);
        }
        if (handed == Handed::Busy) throw Failed(BusyError(), kStepLive, whose_);
        if (handed == Handed::Closed) throw Failed(ClosedError(), kStepLive, whose_);
        if (handed == Handed::Interrupted) throw py::error_already_set();
        return std::make_unique<PyLiveStream>(thread_, id, whose_);
    }

    double ScanFrequency() {
        return RunOn<double>(*thread_, whose_, kStepScanFrequency,
                             [](SensorSession& s) { return s.MeasureScanFrequency(); });
    }

    void Close() {
        GilReleased nogil;
        thread_->Close();
    }

  private:
    static Memory MemoryOf(bool ram) { return ram ? Memory::Ram : Memory::Eeprom; }
    static TransferOptions SendOptions(bool ram, bool verify) {
        TransferOptions options;
        options.memory = MemoryOf(ram);
        options.verify = verify;
        return options;
    }

    // A transfer on the sensor's thread; what it did not do raises, with what the sensor may
    // hold now. `step` names a call that never reached the sensor (busy, closed).
    TransferOutcome Transfer(const char* step,
                             std::function<TransferOutcome(SensorSession&)> transfer,
                             std::map<ConfigItem, std::string> names = {}) {
        TransferOutcome outcome = RunOn<TransferOutcome>(
            *thread_, whose_, step,
            [transfer = std::move(transfer)](SensorSession& s) -> Result<TransferOutcome> {
                return transfer(s);
            });
        if (auto report = ReportOf(outcome, whose_.address, whose_.identity)) {
            throw SensorFailure{std::move(*report), std::move(names)};
        }
        return outcome;
    }

    std::shared_ptr<SensorThread> thread_;
    PyIdentity identity_;
    LinkDescription link_;
    Whose whose_;
};

// "HOST:PORT", "[v6 address]:PORT".
LinkDescription TcpLink(const py::object& tcp) {
    if (!PyUnicode_Check(tcp.ptr())) {
        throw py::type_error("tcp: a text \"HOST:PORT\", not " + TypeName(tcp));
    }
    const std::string text = py::str(tcp);
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) {
        throw py::value_error("tcp: expected HOST:PORT, not '" + NameForMessage(text) + "'");
    }
    std::string host = text.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    const std::string port = text.substr(colon + 1);
    const bool digits = !port.empty() && port.size() <= 5 &&
                        port.find_first_not_of("0123456789") == std::string::npos;
    const int number = digits ? std::stoi(port) : 0;
    if (host.empty()) {
        throw py::value_error("tcp: no host before the ':' in '" + NameForMessage(text) + "'");
    }
    if (number < 1 || number > 65535) {
        throw py::value_error("tcp: the port must be a number from 1 to 65535, not '" +
                              NameForMessage(port) + "'");
    }
    return LinkDescription::Tcp(host, number);
}

// A COM number, "COM3", or a device path with a COM number (see the README's rule).
int ComPortFor(const py::object& serial) {
    if (PyBool_Check(serial.ptr()))
        throw py::type_error("serial: a COM number or a device, not bool");
    if (PyLong_Check(serial.ptr())) {
        int overflow = 0;
        const long long n = PyLong_AsLongLongAndOverflow(serial.ptr(), &overflow);
        if (overflow != 0 || n < 1 || n > 65535) {
            throw py::value_error("serial: COM numbers run from 1 to 65535");
        }
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
    throw py::value_error("serial: '" + NameForMessage(text) +
                          "' is neither a COM number nor a device with one (/dev/ttyS0 is COM1, "
                          "/dev/ttyUSB0 COM101, /dev/ttyACM0 COM201, /dev/pts/0 COM1001)");
}

int BaudFor(const py::object& baud) {
    if (!IsWholeNumber(baud)) throw py::type_error("baud: a whole number, not " + TypeName(baud));
    int overflow = 0;
    const long long n = PyLong_AsLongLongAndOverflow(baud.ptr(), &overflow);
    // Which rates a sensor takes is for the connection to say; this only keeps it a number.
    if (overflow != 0 || n < 1 || n > std::numeric_limits<int>::max()) {
        throw py::value_error("baud: " + Quoted(baud) + " is no baud rate");
    }
    return static_cast<int>(n);
}

// The time to wait for a TCP connection, in milliseconds; the link's own when None.
int ConnectTimeoutMs(const py::object& timeout) {
    if (timeout.is_none()) return LinkLimits{}.tcpConnectMs;
    if (PyBool_Check(timeout.ptr()) ||
        !(PyLong_Check(timeout.ptr()) || PyFloat_Check(timeout.ptr()))) {
        throw py::type_error("timeout: seconds as a number, not " + TypeName(timeout));
    }
    constexpr double kDay = 86400;
    const double seconds = PyFloat_AsDouble(timeout.ptr());
    if (PyErr_Occurred() != nullptr || !(seconds > 0 && seconds <= kDay)) {
        PyErr_Clear();
        throw py::value_error("timeout: " + Quoted(timeout) +
                              " is outside 0..86400 seconds (more than 0)");
    }
    return std::max(1, static_cast<int>(std::ceil(seconds * 1000)));
}

PySensor ConnectSensor(const py::object& tcp, const py::object& serial, const py::object& baud,
                       bool sendDefaults, const py::object& timeout, bool reconnect) {
    if (tcp.is_none() == serial.is_none()) {
        throw py::value_error("connect: name the sensor by tcp=\"HOST:PORT\" or by serial=PORT");
    }
    const LinkDescription link =
        tcp.is_none() ? LinkDescription::Serial(ComPortFor(serial), BaudFor(baud)) : TcpLink(tcp);
    const int connectMs = ConnectTimeoutMs(timeout);
    EnsureQtApplication();
    std::shared_ptr<SensorThread> thread;
    {
        GilReleased nogil;
        thread = std::make_shared<SensorThread>(reconnect);
    }
    const Whose whose{link.Address(), {}};
    const ConnectResult c = RunOn<ConnectResult>(
        *thread, whose, kStepConnect,
        [link, sendDefaults, connectMs](SensorSession& s) -> Result<ConnectResult> {
            DefaultsAnswer answer(sendDefaults);
            // Only the wait for the connection: the replies keep their own limits.
            s.link().limits.tcpConnectMs = connectMs;
            // Only the defaults touch the sensor's memories: the configuration is read when
            // the script asks, from the memory it names.
            return Connect(s, link, answer, {true, false});
        });
    if (auto failure = ReportOf(c, whose.address)) throw SensorFailure{std::move(*failure), {}};
    return PySensor(std::move(thread), c.identity, link);
}

std::string SensorRepr(const PySensor& s) {
    const SensorIdentity& id = s.identity().identity;
    return "<qelto.Sensor " + std::string(py::str(Text(id.name))) + ", serial number " +
           std::to_string(id.serialNumber) + ", on " + s.link().Describe() + ">";
}

// The package's Sample, a named tuple class of its own (qelto/__init__.py), which the samples
// are filled into.
py::object SampleType() {
    py::object type = py::module_::import("qelto").attr("Sample");
    if (!PyType_Check(type.ptr()) ||
        !PyType_IsSubtype(reinterpret_cast<PyTypeObject*>(type.ptr()), &PyTuple_Type)) {
        throw py::type_error("qelto.Sample is not the module's named tuple");
    }
    return type;
}

}  // namespace
}  // namespace qelto::python

// The native part of the `qelto` package (qelto/__init__.py), which gives it to scripts.
PYBIND11_MODULE(_qelto, m) {
    using namespace qelto;
    using namespace qelto::python;
    m.doc() = doc::kModule;
    m.attr("__version__") = QELTO_VERSION;
    PyDateTime_IMPORT;
    if (PyDateTimeAPI == nullptr) throw py::error_already_set();

    py::exec(doc::kErrorClasses, m.attr("__dict__"));
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const SensorFailure& f) {
            RaiseSensorError(f);
        } catch (const FileFailure& f) {
            RaiseFileError(f);
        }
    });

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

    // A mapping of key to value; the package adds the methods every mapping has (keys, items,
    // get, update, ...) from collections.abc.MutableMapping.
    py::class_<PyConfiguration>(m, "Configuration", doc::kConfiguration)
        .def(py::init(&DefaultConfiguration), doc::kConfigurationInit)
        .def_static("defaults", &DefaultConfiguration, doc::kConfigurationDefaults)
        .def_static("from_dict", &FromDict, py::arg("values"), doc::kConfigurationFromDict)
        .def(
            "__getitem__",
            [](const PyConfiguration& c, const py::object& key) {
                return ItemValue(c.config, ItemFor(KeyText(key), c.teachRows));
            },
            py::arg("key"), doc::kConfigurationGet)
        .def(
            "__setitem__",
            [](PyConfiguration& c, const py::object& key, const py::object& value) {
                const std::string text = KeyText(key);
                const ConfigItem item = ItemFor(text, c.teachRows);
                SetItemValue(c.config, item, ValueFor(text, value));
            },
            py::arg("key"), py::arg("value"), doc::kConfigurationSet)
        .def(
            "__delitem__",
            [](PyConfiguration&, const py::object&) {
                throw py::type_error(
                    "a configuration holds a value for every key: set it, there is nothing to "
                    "delete");
            },
            py::arg("key"))
        .def(
            "__contains__",
            [](const PyConfiguration& c, const py::object& key) {
                return PyUnicode_Check(key.ptr()) &&
                       FindItem(std::string(py::str(key)), c.teachRows).has_value();
            },
            py::arg("key"))
        .def("__iter__", [](const PyConfiguration& c) { return py::iter(Keys(c)); })
        .def("__len__",
             [](const PyConfiguration& c) { return kParamCount + c.teachRows * kTeachWordCount; })
        .def_property_readonly("parameters", &Parameters, doc::kConfigurationParameters)
        .def_property_readonly("teach", &TeachList, doc::kConfigurationTeach)
        .def_property_readonly("reports", &Reports, doc::kConfigurationReports)
        .def(
            "copy", [](const PyConfiguration& c) { return c; }, doc::kConfigurationCopy)
        .def("__copy__", [](const PyConfiguration& c) { return c; })
        .def("__deepcopy__", [](const PyConfiguration& c, const py::object&) { return c; })
        .def(py::pickle(&State, &FromState))
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
        .def("batch", &PyLiveStream::Batch, py::arg("n"), doc::kLiveStreamBatch)
        .def("close", &PyLiveStream::Close, doc::kLiveStreamClose)
        .def("__enter__", [](PyLiveStream& s) -> PyLiveStream& { return s; })
        .def("__exit__", [](PyLiveStream& s, const py::args&) {
            s.Close();
            return false;
        });

    py::class_<PySensor>(m, "Sensor", doc::kSensor)
        .def_property_readonly("identity", &PySensor::identity,
                               py::return_value_policy::reference_internal, doc::kSensorIdentity)
        .def("read", &PySensor::Read, py::kw_only(), py::arg("ram").noconvert() = false,
             doc::kSensorRead)
        .def("write", &PySensor::Write, py::arg("configuration"), py::kw_only(),
             py::arg("ram").noconvert() = false, py::arg("verify").noconvert() = false,
             doc::kSensorWrite)
        .def("set", &PySensor::Set, py::arg("values"), py::kw_only(),
             py::arg("ram").noconvert() = false, py::arg("verify").noconvert() = false,
             doc::kSensorSet)
        .def("store", &PySensor::Store, doc::kSensorStore)
        .def("load", &PySensor::Load, doc::kSensorLoad)
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

    // The functions' texts begin with their signatures in the form Python reads them back
    // (inspect.signature): pybind11's own form of them is for people only.
    py::options options;
    options.disable_function_signatures();
    m.def("connect", &ConnectSensor, py::kw_only(), py::arg("tcp") = py::none(),
          py::arg("serial") = py::none(), py::arg("baud") = 115200,
          py::arg("send_defaults").noconvert() = false, py::arg("timeout") = py::none(),
          py::arg("reconnect").noconvert() = false, doc::kConnect);
    m.def("read_file", &ReadFile, py::arg("path"), py::kw_only(),
          py::arg("force").noconvert() = false, doc::kReadFile);
    m.def("write_file", &WriteFile, py::arg("path"), py::arg("configuration"), doc::kWriteFile);
    m.def("read_overlay", &ReadOverlay, py::arg("path"), py::arg("base") = py::none(),
          doc::kReadOverlay);
    m.def("write_overlay", &WriteOverlay, py::arg("path"), py::arg("configuration"),
          py::arg("base") = py::none(), doc::kWriteOverlay);
    m.def("diff", &Diff, py::arg("old"), py::arg("new"), doc::kDiff);
    RegisterEvidence(m);
}
