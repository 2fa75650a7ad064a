// teach and advise: the evidence of taught colours from the command line. teach measures one
// colour and teaches it into one row; advise checks a configuration against a recording and
// proposes tolerances, writing nothing to a sensor.
#include <QJsonArray>
#include <QJsonObject>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "cli_app.hpp"
#include "cli_json.hpp"
#include "files/live_csv.hpp"
#include "protocol/number_text.hpp"
#include "sensor/evidence.hpp"

namespace qelto::cli {
namespace {

// Distances to a tenth: more would only be noise.
double Tenths(double distance) {
    return std::round(distance * 10) / 10;
}

std::string DistanceText(double distance) {
    return FormatFixed(distance, 1);
}

std::string Figure(const std::optional<int>& v) {
    return v ? std::to_string(*v) : std::string("-");
}

QJsonValue JsonFigure(const std::optional<int>& v) {
    return v ? QJsonValue(*v) : QJsonValue();
}

QJsonValue JsonNeighbour(const std::optional<Overlap>& n) {
    if (!n) return QJsonValue();
    return QJsonObject{{"row", static_cast<int>(n->row)}, {"distance", Tenths(n->distance)}};
}

std::string Percent(double share) {
    return FormatFixed(share * 100, 2) + " %";
}

}  // namespace

int CliApp::Teach() {
    const std::size_t row = *opt_.teachRow;
    if (const int rc = Connect(); rc != kExitOk) return rc;
    const int limit = ColourLimit(sensor_.identity().SensorModel);
    if (row >= static_cast<std::size_t>(limit)) {
        console_.Say("row " + std::to_string(row) + " is beyond the " + std::to_string(limit) +
                     " colours this sensor tells (rows 0.." + std::to_string(limit - 1) +
                     "); nothing was sent");
        return kExitUsage;
    }
    console_.Say("taking " + std::to_string(opt_.samples) + " live samples for row " +
                 std::to_string(row) + ": keep the colour in front of the sensor");
    std::vector<EvidenceSample> samples;
    samples.reserve(opt_.samples);
    while (samples.size() < opt_.samples) {
        const auto sample = sensor_.ReadLiveSample();
        if (!sample) {
            Fail(sample.error());
            console_.Say("teach ended after " + std::to_string(samples.size()) +
                         " samples; nothing was sent");
            return kExitFailure;
        }
        samples.push_back(EvidenceOf(*sample));
    }
    EvidenceSettings settings;
    settings.margin = opt_.margin;
    const TaughtColour t = TeachColour(config_, row, samples, opt_.tolerance, settings);
    const std::vector<Difference> diffs =
        CompareConfigurations(config_, t.config, kSensorTeachRows);
    const std::string name = "row " + std::to_string(row);

    if (opt_.format == Format::Text) {
        std::string out = name + ": centre X " + std::to_string(t.centre.x) + " Y " +
                          std::to_string(t.centre.y) + " INT " +
                          std::to_string(t.centre.intensity) + " of " + std::to_string(t.samples) +
                          " samples; needed " + std::to_string(t.needed) + " (" +
                          FormatFixed(settings.coverage, 1) + " %); tolerance " +
                          std::to_string(t.tolerance) + "\noverlaps:";
        for (std::size_t i = 0; i < t.overlaps.size(); ++i) {
            out += std::string(i == 0 ? " row " : ", row ") + std::to_string(t.overlaps[i].row) +
                   " (" + DistanceText(t.overlaps[i].distance) + " apart)";
        }
        out += t.overlaps.empty() ? " none\n" : "\n";
        for (const Difference& d : diffs)
            out += DiffLine(d) + "\n";
        std::fputs(out.c_str(), out_);
        FlushOutput();
    }
    if (!opt_.tolerance && t.tolerance < t.needed) {
        console_.Say(name + "'s tolerance " + std::to_string(t.tolerance) + " is less than the " +
                     std::to_string(t.needed) +
                     " its spread needs: the spheres of the rows beside it leave no more room "
                     "(advise shares the room between them)");
    }
    for (const Overlap& o : t.overlaps) {
        console_.Say(name + "'s sphere overlaps row " + std::to_string(o.row) + "'s (" +
                     DistanceText(o.distance) +
                     " apart): where both hold a sample, the sensor reports the lower row");
    }

    // The figures first, the outcome of the write beside them as set's JSON has it.
    QJsonArray overlaps;
    for (const Overlap& o : t.overlaps)
        overlaps.append(
            QJsonObject{{"row", static_cast<int>(o.row)}, {"distance", Tenths(o.distance)}});
    result_["row"] = static_cast<int>(row);
    result_["samples"] = static_cast<qint64>(t.samples);
    result_["x"] = t.centre.x;
    result_["y"] = t.centre.y;
    result_["int"] = t.centre.intensity;
    result_["needed"] = t.needed;
    result_["tolerance"] = t.tolerance;
    result_["overlaps"] = overlaps;
    result_["differences"] = JsonDifferences(diffs);
    result_["refused"] = QJsonArray();
    result_["written"] = false;
    if (opt_.dryRun) {
        console_.Say("--dry-run: nothing was sent");
        return kExitOk;
    }
    if (diffs.empty()) {
        console_.Say("no differences: the sensor holds these values already; nothing was sent");
        return kExitOk;
    }
    const int rc = Conclude(SendOut(t.config));
    // Refused values went out all the same: the sensor holds what it made of them.
    result_["written"] = rc == kExitOk || rc == kExitRefused;
    if (rc == kExitRefused) console_.Say("the sensor refused some of the values");
    if (rc != kExitOk) {
        console_.Say("teach failed");
        return rc;
    }
    console_.Say(
        "taught " + name +
        (opt_.ram ? " in the sensor's RAM" : " in the sensor and stored it in its EEPROM"));
    return kExitOk;
}

int CliApp::Advise() {
    // The recording first: a file that is no recording must not cost a connection.
    std::vector<EvidenceSample> samples;
    const auto problem = ReadLiveCsv(
        opt_.recording, [&](double, const LiveSample& s) { samples.push_back(EvidenceOf(s)); });
    if (problem) {
        console_.Say(opt_.recording + ": " + problem->Text());
        console_.Say("no recording of live data to check; nothing was written");
        return problem->line == 0 ? kExitFile : kExitUsage;
    }
    if (!opt_.outputFile.empty() && !CheckOutputFile(opt_.outputFile)) return kExitFile;
    Configuration config;
    if (!opt_.inputFile.empty()) {
        if (!CheckInputFile(opt_.inputFile)) return kExitFile;
        if (const int rc = LoadParameterFile(opt_.inputFile, config); rc != kExitOk) return rc;
    } else {
        // Read only: no default parameters, no EEPROM load, the sensor's RAM as it is.
        opt_.ram = true;
        if (const int rc = Connect(); rc != kExitOk) return rc;
        config = config_;
    }
    const RecordingCheck check =
        CheckRecording(config, samples, EvidenceSettings{opt_.margin, opt_.coverage});
    const std::string source = opt_.inputFile.empty() ? "the sensor" : opt_.inputFile;
    if (check.rows.empty()) {
        console_.Say(source +
                     " holds no taught colour (rows 0 .. MAX VEC NO - 1 without the "
                     "default values) to check the recording against");
    }

    if (opt_.format == Format::Json) {
        QJsonArray rows;
        for (const RowEvidence& e : check.rows) {
            rows.append(QJsonObject{{"row", static_cast<int>(e.row)},
                                    {"samples", static_cast<qint64>(e.samples)},
                                    {"x", e.centre.x},
                                    {"y", e.centre.y},
                                    {"int", e.centre.intensity},
                                    {"tolerance", e.tolerance},
                                    {"needed", JsonFigure(e.needed)},
                                    {"inside", static_cast<qint64>(e.inside)},
                                    {"proposed", JsonFigure(e.proposed)},
                                    {"nearest", JsonNeighbour(e.nearest)},
                                    {"verdict", VerdictText(e.verdict)}});
        }
        QJsonArray pairs;
        for (const TightPair& p : check.cannotSeparate)
            pairs.append(QJsonArray{static_cast<int>(p.row), static_cast<int>(p.other)});
        PrintJson({{"samples", static_cast<qint64>(check.samples)},
                   {"agreement", check.agreement},
                   {"inside_none", static_cast<qint64>(check.insideNone)},
                   {"inside_several", static_cast<qint64>(check.insideSeveral)},
                   {"rows", rows},
                   {"cannot_separate", pairs}});
    } else {
        std::string out =
            "row samples     x     y   int   tol needed  inside proposed  nearest        verdict\n";
        char line[160];
        for (const RowEvidence& e : check.rows) {
            const std::string nearest = e.nearest ? std::to_string(e.nearest->row) + " at " +
                                                        DistanceText(e.nearest->distance)
                                                  : std::string("-");
            std::snprintf(line, sizeof line, "%3zu %7zu %5d %5d %5d %5d %6s %7zu %8s  %-14s %s\n",
                          e.row, e.samples, e.centre.x, e.centre.y, e.centre.intensity, e.tolerance,
                          Figure(e.needed).c_str(), e.inside, Figure(e.proposed).c_str(),
                          nearest.c_str(), VerdictText(e.verdict));
            out += line;
        }
        out += "samples " + std::to_string(check.samples) + "; agreement with the colour numbers " +
               Percent(check.agreement) + "; inside no sphere " + std::to_string(check.insideNone) +
               "; inside several " + std::to_string(check.insideSeveral) + "\n";
        const auto needed = [&](std::size_t row) {
            for (const RowEvidence& e : check.rows) {
                if (e.row == row) return Figure(e.needed);
            }
            return std::string("-");
        };
        for (const TightPair& p : check.cannotSeparate) {
            out += "cannot separate: rows " + std::to_string(p.row) + " and " +
                   std::to_string(p.other) + " (" + DistanceText(p.distance) +
                   " apart; their spread needs " + needed(p.row) + " and " + needed(p.other) +
                   ")\n";
        }
        std::fputs(out.c_str(), out_);
        FlushOutput();
    }
    if (opt_.outputFile.empty()) return kExitOk;
    return SaveParameterFile(opt_.outputFile, WithProposals(config, check));
}

}  // namespace qelto::cli
