#include "evidence.hpp"

#include <pybind11/stl.h>

#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "protocol/configuration_diff.hpp"
#include "protocol/records.hpp"
#include "sensor/evidence.hpp"
#include "sensor/identity.hpp"

namespace py = pybind11;

namespace qelto::python {
namespace {

// --- What a script hands over: Configurations and samples as the module gives them.

// A qelto.Configuration's values, read through its Python face: the parameters by file key
// and the 64 teach rows.
Configuration ConfigurationOf(const py::handle& configuration) {
    if (!py::isinstance(configuration, py::module_::import("qelto").attr("Configuration"))) {
        throw py::type_error("configuration: a qelto.Configuration, not " +
                             std::string(py::str(py::type::of(configuration).attr("__name__"))));
    }
    Configuration c;
    const py::dict parameters = configuration.attr("parameters");
    for (const ParamField& f : kParamFields)
        c.para.*f.member = parameters[f.key].cast<std::uint16_t>();
    const py::list rows = configuration.attr("teach");
    for (std::size_t r = 0; r < kTeachRows && r < rows.size(); ++r) {
        const py::list words = rows[r];
        for (std::size_t w = 0; w < kTeachWordCount && w < words.size(); ++w)
            TeachWordRef(c.teach[r], w) = words[w].cast<std::uint16_t>();
    }
    return c;
}

// One sample: a qelto.Sample, or any sequence in its order (red, green, blue, x, y, int,
// color_no, ...) of whole numbers a sensor reports.
EvidenceSample SampleOf(const py::handle& sample, std::size_t index) {
    const auto fail = [index](const std::string& why) {
        return py::type_error("samples[" + std::to_string(index) + "]: " + why);
    };
    if (!PySequence_Check(sample.ptr()) || PySequence_Size(sample.ptr()) < 7) {
        throw fail("a qelto.Sample (or a sequence red, green, blue, x, y, int, color_no)");
    }
    std::int16_t v[4] = {};
    for (Py_ssize_t i = 3; i < 7; ++i) {
        const py::object item =
            py::reinterpret_steal<py::object>(PySequence_GetItem(sample.ptr(), i));
        if (!item) throw py::error_already_set();
        if (!PyLong_Check(item.ptr()) || PyBool_Check(item.ptr())) {
            throw fail("x, y, int and color_no are whole numbers");
        }
        const long n = PyLong_AsLong(item.ptr());
        if ((n == -1 && PyErr_Occurred() != nullptr) || n < -32768 || n > 32767) {
            PyErr_Clear();
            throw py::value_error("samples[" + std::to_string(index) +
                                  "]: not a value a sensor reports (-32768..32767)");
        }
        v[i - 3] = static_cast<std::int16_t>(n);
    }
    return {v[0], v[1], v[2], v[3]};
}

std::vector<EvidenceSample> SamplesOf(const py::handle& samples) {
    std::vector<EvidenceSample> out;
    std::size_t i = 0;
    for (const py::handle s : py::iter(samples))
        out.push_back(SampleOf(s, i++));
    return out;
}

EvidenceSettings SettingsOf(double margin, double coverage) {
    if (!(margin >= 1 && margin <= kMarginLimit)) {
        throw py::value_error("margin: " + std::to_string(margin) + " is outside 1..10");
    }
    if (!(coverage >= kCoverageLow && coverage <= 100)) {
        throw py::value_error("coverage: " + std::to_string(coverage) +
                              " is outside 50..100 per cent");
    }
    return {margin, coverage};
}

double Tenths(double distance) {
    return std::round(distance * 10) / 10;
}

py::object Nearest(const std::optional<Overlap>& n) {
    if (!n) return py::none();
    return py::make_tuple(n->row, Tenths(n->distance));
}

py::list DifferencesOf(const Configuration& from, const Configuration& to) {
    py::list list;
    for (const Difference& d : CompareConfigurations(from, to, kSensorTeachRows))
        list.append(DiffLine(d));
    return list;
}

// --- advise: the result, a row of it

struct PyAdviceRow {
    RowEvidence e;
};

struct PyAdvice {
    RecordingCheck check;
    py::object proposed;
};

PyAdvice Advise(const py::object& samples, const py::object& configuration, double margin,
                double coverage) {
    const EvidenceSettings settings = SettingsOf(margin, coverage);
    const Configuration config = ConfigurationOf(configuration);
    const std::vector<EvidenceSample> taken = SamplesOf(samples);
    PyAdvice advice;
    {
        py::gil_scoped_release nogil;
        advice.check = CheckRecording(config, taken, settings);
    }
    // The configuration given, with the proposals as tolerances: a qelto.Configuration.
    advice.proposed = configuration.attr("copy")();
    for (const RowEvidence& e : advice.check.rows) {
        if (e.proposed) {
            advice.proposed[py::str("teach_vector_" + std::to_string(e.row) + ".cell_3")] =
                *e.proposed;
        }
    }
    return advice;
}

// --- teach: the part between reading the sensor and writing it

// The rows the sensor's family tells; a row beyond them is refused before anything is
// measured.
void CheckTeachRow(std::size_t row, int family) {
    const int limit = ColourLimit(family);
    if (row >= static_cast<std::size_t>(limit)) {
        throw py::value_error("row: " + std::to_string(row) + " is beyond the " +
                              std::to_string(limit) + " colours this sensor tells (rows 0.." +
                              std::to_string(limit - 1) + ")");
    }
}

// The figures of teaching `row` from `samples` (as the JSON of qelto-cli teach names them, but
// refused and written, which the sensor's part adds) and the configuration taught.
py::tuple Teach(const py::object& configuration, std::size_t row, const py::object& samples,
                const std::optional<int>& tolerance, double margin) {
    const EvidenceSettings settings = SettingsOf(margin, EvidenceSettings{}.coverage);
    if (tolerance && (*tolerance < 0 || *tolerance > 65535)) {
        throw py::value_error("tolerance: " + std::to_string(*tolerance) + " is outside 0..65535");
    }
    const Configuration config = ConfigurationOf(configuration);
    const std::vector<EvidenceSample> taken = SamplesOf(samples);
    if (taken.empty()) throw py::value_error("samples: none to teach from");
    const TaughtColour t = TeachColour(config, row, taken, tolerance, settings);
    py::list overlaps;
    for (const Overlap& o : t.overlaps) {
        py::dict d;
        d["row"] = o.row;
        d["distance"] = Tenths(o.distance);
        overlaps.append(d);
    }
    py::dict figures;
    figures["row"] = row;
    figures["samples"] = t.samples;
    figures["x"] = t.centre.x;
    figures["y"] = t.centre.y;
    figures["int"] = t.centre.intensity;
    figures["needed"] = t.needed;
    figures["tolerance"] = t.tolerance;
    figures["overlaps"] = overlaps;
    figures["differences"] = DifferencesOf(config, t.config);
    // The changed values by key, as Sensor.set takes them.
    py::dict changes;
    for (const Difference& d : CompareConfigurations(config, t.config, kSensorTeachRows)) {
        // The parameter file's names, which every key lookup takes.
        const std::string key =
            d.item.teach ? ItemSection(d.item) + "." + ItemKey(d.item) : ItemKey(d.item);
        changes[py::str(key)] = d.newValue;
    }
    return py::make_tuple(figures, changes);
}

constexpr const char* kAdvise =
    R"(advise(samples, configuration, margin=1.5, coverage=99.7)
--

Checks the taught colours of a configuration against samples, as qelto-cli advise does with
a recording.

    with qelto.connect(tcp="192.168.0.7:5000") as s:
        cfg = s.read(ram=True)
        samples = s.measure(5000)        # while production passes the sensor
    advice = qelto.advise(samples, cfg)
    for row in advice.rows:
        print(row.row, row.needed, row.tolerance, row.proposed, row.verdict)
    qelto.write_file("proposed.ini", advice.proposed)

The taught rows are rows 0 .. MAX VEC NO - 1 of rows 0..31 without the default values. Each
sample goes to the row whose centre (CELL 0..2, in X, Y, INT) is nearest. Per row: its
samples, needed (the radius around its centre that holds `coverage` per cent of them), how
many lie inside its sphere (radius CELL 3), the nearest other row, the proposal (margin times
needed, two rows' proposals scaled down in proportion until their spheres keep apart) and a
verdict: "ok", "too small" (needed is more than the tolerance), "too large" (the sphere holds
samples of another row), "cannot separate" (the room between two centres is less than their
spread needs), "too few samples" (under 10: no needed, no proposal). Nothing is written to a
sensor. samples: qelto.Sample (from live() or measure()), or sequences in their order.)";

constexpr const char* kAdvice =
    "What advise() found: the figures of every taught row and the configuration with the "
    "proposals.";
constexpr const char* kAdviceRow = "One taught row as advise() found it.";

}  // namespace

void RegisterEvidence(py::module_& m) {
    py::class_<PyAdviceRow>(m, "AdviceRow", kAdviceRow)
        .def_property_readonly(
            "row", [](const PyAdviceRow& r) { return r.e.row; }, "The teach row.")
        .def_property_readonly(
            "samples", [](const PyAdviceRow& r) { return r.e.samples; },
            "The samples nearer its centre than any other's.")
        .def_property_readonly(
            "x", [](const PyAdviceRow& r) { return r.e.centre.x; }, "Its centre: X (CELL 0).")
        .def_property_readonly(
            "y", [](const PyAdviceRow& r) { return r.e.centre.y; }, "Its centre: Y (CELL 1).")
        .def_property_readonly(
            "int", [](const PyAdviceRow& r) { return r.e.centre.intensity; },
            "Its centre: INT (CELL 2).")
        .def_property_readonly(
            "tolerance", [](const PyAdviceRow& r) { return r.e.tolerance; },
            "Its tolerance (CELL 3), the radius of its sphere.")
        .def_property_readonly(
            "needed", [](const PyAdviceRow& r) { return r.e.needed; },
            "The radius that holds the coverage share of its samples; None with too few.")
        .def_property_readonly(
            "inside", [](const PyAdviceRow& r) { return r.e.inside; },
            "Of its samples, those inside its sphere.")
        .def_property_readonly(
            "proposed", [](const PyAdviceRow& r) { return r.e.proposed; },
            "The proposed tolerance; None with too few samples.")
        .def_property_readonly(
            "nearest", [](const PyAdviceRow& r) { return Nearest(r.e.nearest); },
            "(row, distance) of the nearest other taught row, or None.")
        .def_property_readonly(
            "verdict", [](const PyAdviceRow& r) { return VerdictText(r.e.verdict); },
            "\"ok\", \"too small\", \"too large\", \"cannot separate\" or \"too few samples\".")
        .def("__repr__", [](const PyAdviceRow& r) {
            return "<qelto.AdviceRow " + std::to_string(r.e.row) + ": " +
                   std::to_string(r.e.samples) + " samples, tolerance " +
                   std::to_string(r.e.tolerance) + ", proposed " +
                   (r.e.proposed ? std::to_string(*r.e.proposed) : std::string("None")) + ", " +
                   VerdictText(r.e.verdict) + ">";
        });

    py::class_<PyAdvice>(m, "Advice", kAdvice)
        .def_property_readonly(
            "samples", [](const PyAdvice& a) { return a.check.samples; }, "The samples checked.")
        .def_property_readonly(
            "agreement", [](const PyAdvice& a) { return a.check.agreement; },
            "The share (0..1) of samples whose color_no is the first row whose sphere holds "
            "them (255 for none).")
        .def_property_readonly(
            "inside_none", [](const PyAdvice& a) { return a.check.insideNone; },
            "Samples inside no sphere.")
        .def_property_readonly(
            "inside_several", [](const PyAdvice& a) { return a.check.insideSeveral; },
            "Samples inside two spheres or more.")
        .def_property_readonly(
            "rows",
            [](const PyAdvice& a) {
                py::list rows;
                for (const RowEvidence& e : a.check.rows)
                    rows.append(PyAdviceRow{e});
                return rows;
            },
            "The taught rows, in row order (AdviceRow).")
        .def_property_readonly(
            "cannot_separate",
            [](const PyAdvice& a) {
                py::list pairs;
                for (const TightPair& p : a.check.cannotSeparate)
                    pairs.append(py::make_tuple(p.row, p.other));
                return pairs;
            },
            "The pairs of rows that cannot be separated at this spread, as (row, row).")
        .def_property_readonly(
            "proposed", [](const PyAdvice& a) { return a.proposed; },
            "The configuration checked with the proposed tolerances (a Configuration).")
        .def("__repr__", [](const PyAdvice& a) {
            return "<qelto.Advice " + std::to_string(a.check.samples) + " samples, " +
                   std::to_string(a.check.rows.size()) + " taught rows, agreement " +
                   std::to_string(a.check.agreement) + ">";
        });

    py::options options;
    options.disable_function_signatures();
    m.def("advise", &Advise, py::arg("samples"), py::arg("configuration"), py::arg("margin") = 1.5,
          py::arg("coverage") = 99.7, kAdvise);
    m.def("_check_teach_row", &CheckTeachRow, py::arg("row"), py::arg("family"));
    m.def("_teach", &Teach, py::arg("configuration"), py::arg("row"), py::arg("samples"),
          py::arg("tolerance"), py::arg("margin"));
}

}  // namespace qelto::python
