#include "protocol/records.hpp"

#include <algorithm>
#include <cctype>
#include <string>

namespace qelto {

namespace {

constexpr const char* kCarried = "Carried only: its meaning is the sensor's.";
using G = ParamGroup;

}  // namespace

// clang-format off
const std::array<ParamField, kParamCount> kParamFields{{
    {"Power",           "POWER",                &ParameterSet::Power,           500,  false, 500,  "POWER\n",                G::Sensitivity,  false, "Transmitter power; the power adjustment takes the value the sensor reports."},
    {"PowerMode",       "POWER MODE",           &ParameterSet::PowerMode,       0,    false, 0,    "POWER MODE\n",           G::Sensitivity,  false, "1 while the automatic power adjustment runs, 0 once it has succeeded."},
    {"Average",         "AVERAGE",              &ParameterSet::Average,         256,  false, 1,    "AVERAGE\n",              G::Sensitivity,  false, "Number of scanning values over which the raw signal is averaged."},
    {"EvaluationMode",  "EVALUATION MODE",      &ParameterSet::EvaluationMode,  1,    false, 1,    "EVALUATION MODE\n",      G::Colours,      true,  kCarried},
    {"HoldFail",        "HOLD FAIL",            &ParameterSet::HoldFail,        10,   false, 10,   "HOLD FAIL\n",            G::Colours,      true,  kCarried},
    {"IntLim",          "INTLIM",               &ParameterSet::IntLim,          0,    false, 0,    "INTLIM\n",               G::Colours,      true,  kCarried},
    {"MaxVecNo",        "MAX VEC NO",           &ParameterSet::MaxVecNo,        1,    true,  1,    "MAX VEC NO\n",           G::Colours,      false, "Number of taught colours: teach rows 0 .. MAX VEC NO - 1 are in use."},
    {"DigitalOutMode",  "DIGITAL OUTMODE",      &ParameterSet::DigitalOutMode,  2,    true,  0,    "DIGITAL OUTMODE\n",      G::Outputs,      false, "0: each teach row drives its own output (row 0 on OUT0, ...); 2: the colour number is output binary encoded."},
    {"Trigger",         "TRIGGER",              &ParameterSet::Trigger,         0,    false, 0,    "TRIGGER\n",              G::Outputs,      true,  kCarried},
    {"ExternTeach",     "EXTERN TEACH",         &ParameterSet::ExternTeach,     0,    false, 0,    "EXTEACH\n",              G::Outputs,      true,  kCarried},
    {"CalculationMode", "CALCULATION MODE",     &ParameterSet::CalculationMode, 3,    false, 0,    "CALCULATION MODE\n",     G::Colours,      true,  kCarried},
    {"DynWinLo",        "DYNWIN LO",            &ParameterSet::DynWinLo,        3200, false, 3200, "DYNWIN LO\n",            G::Sensitivity,  false, "Lower edge of the dynamic window: the power adjustment stops once the largest signal is above it."},
    {"DynWinHi",        "DYNWIN HI",            &ParameterSet::DynWinHi,        3300, false, 3300, "DYNWIN HI\n",            G::Sensitivity,  true,  "Upper edge of the dynamic window. Carried only."},
    {"ColorGroup",      "COLOR GROUP",          &ParameterSet::ColorGroup,      0,    false, 0,    "COLOR GROUP\n",          G::Colours,      true,  kCarried},
    {"LedMode",         "LED MODE",             &ParameterSet::LedMode,         1,    false, 0,    "LED MODE\n",             G::Outputs,      true,  kCarried},
    {"Gain",            "GAIN",                 &ParameterSet::Gain,            6,    false, 5,    "GAIN\n",                 G::Sensitivity,  false, "Amplification of the receiver; the power adjustment steps it from 1 to 8."},
    {"Integral",        "INTEGRAL",             &ParameterSet::Integral,        1,    false, 1,    "INTEGRAL\n",             G::Sensitivity,  false, "Integration of the receiver; the power adjustment steps it from 2 to 99."},
    {"Power1",          "POWER PARA POWER1",    &ParameterSet::Power1,          600,  false, 600,  "POWER PARA POWER1\n",    G::PowerPresets, true,  kCarried},
    {"Gain1",           "POWER PARA GAIN1",     &ParameterSet::Gain1,           6,    false, 6,    "POWER PARA GAIN1\n",     G::PowerPresets, true,  kCarried},
    {"Integral1",       "POWER PARA INTEGRAL1", &ParameterSet::Integral1,       1,    false, 1,    "POWER PARA INTEGRAL1\n", G::PowerPresets, true,  kCarried},
    {"Power2",          "POWER PARA POWER2",    &ParameterSet::Power2,          600,  false, 600,  "POWER PARA POWER2\n",    G::PowerPresets, true,  kCarried},
    {"Gain2",           "POWER PARA GAIN2",     &ParameterSet::Gain2,           6,    false, 6,    "POWER PARA GAIN2\n",     G::PowerPresets, true,  kCarried},
    {"Integral2",       "POWER PARA INTEGRAL2", &ParameterSet::Integral2,       1,    false, 1,    "POWER PARA INTEGRAL2\n", G::PowerPresets, true,  kCarried},
    {"CorrectionX",     "CORRECTION VALUE X",   &ParameterSet::CorrectionX,     128,  false, 128,  "CORRECTION VALUE X\n",   G::Correction,   true,  kCarried},
    {"CorrectionY",     "CORRECTION VALUE Y",   &ParameterSet::CorrectionY,     128,  false, 128,  "CORRECTION VALUE Y\n",   G::Correction,   true,  kCarried},
    {"CorrectionZ",     "CORRECTION VALUE Z",   &ParameterSet::CorrectionZ,     128,  false, 128,  "CORRECTION VALUE Z\n",   G::Correction,   true,  kCarried},
}};

const std::array<TeachWord, kTeachWordCount> kTeachWords{{
    {"CELL 0", 1, 1,  "X of the taught colour."},
    {"CELL 1", 1, 1,  "Y of the taught colour."},
    {"CELL 2", 1, 1,  "INT of the taught colour."},
    {"CELL 3", 1, 1,  "Tolerance: the radius of the colour's circle."},
    {"CELL 4", 1, 1,  kCarried},
    {"CELL 5", 1, 1,  kCarried},
    {"GROUP",  1, 0,  kCarried},
    {"HOLD",   10, 10, kCarried},
}};
// clang-format on

std::uint16_t& TeachWordRef(TeachVector& v, std::size_t word) {
    if (word < kCellCount) return v.Cell[word];
    return word == 6 ? v.Group : v.Hold;
}

std::uint16_t TeachWordGet(const TeachVector& v, std::size_t word) {
    if (word < kCellCount) return v.Cell[word];
    return word == 6 ? v.Group : v.Hold;
}

void LoadDefaultParaValues(ParameterSet& para, TeachTable& teach, std::uint32_t flag) {
    for (const auto& f : kParamFields) {
        if (!f.defaultOnlyWithFlag || flag != 0) para.*f.member = f.defaultValue;
    }
    for (auto& row : teach) {
        for (std::size_t w = 0; w < kTeachWordCount; ++w)
            TeachWordRef(row, w) = kTeachWords[w].defaultValue;
    }
}

void ParameterBlockFromSet(const ParameterSet& para,
                           std::span<std::uint8_t, kParameterBlockSize> out) {
    for (std::size_t k = 0; k < kParamCount; ++k)
        PutU16(&out[2 * k], para.*kParamFields[k].member);
}

void ParameterSetFromBlock(std::span<const std::uint8_t, kParameterBlockSize> in,
                           ParameterSet& para) {
    for (std::size_t k = 0; k < kParamCount; ++k)
        para.*kParamFields[k].member = GetU16(&in[2 * k]);
}

void TeachBlockFromTable(const TeachTable& teach, std::span<std::uint8_t, kTeachBlockSize> out) {
    for (std::size_t r = 0; r < kSensorTeachRows; ++r) {
        for (std::size_t w = 0; w < kTeachWordCount; ++w) {
            PutU16(&out[16 * r + 2 * w], TeachWordGet(teach[r], w));
        }
    }
}

void TeachTableFromBlock(std::span<const std::uint8_t, kTeachBlockSize> in, TeachTable& teach) {
    for (std::size_t r = 0; r < kSensorTeachRows; ++r) {
        for (std::size_t w = 0; w < kTeachWordCount; ++w) {
            TeachWordRef(teach[r], w) = GetU16(&in[16 * r + 2 * w]);
        }
    }
}

void LiveData::FromBytes(std::span<const std::uint8_t, kLiveDataSize> in) {
    for (std::size_t i = 0; i < kLiveDataWords; ++i)
        w[i] = static_cast<std::int16_t>(GetU16(&in[2 * i]));
}

void LiveData::ToBytes(std::span<std::uint8_t, kLiveDataSize> out) const {
    for (std::size_t i = 0; i < kLiveDataWords; ++i)
        PutU16(&out[2 * i], static_cast<std::uint16_t>(w[i]));
}

void PutSensorRows(TeachTable& teach, const TeachRows& rows) {
    std::copy(rows.begin(), rows.end(), teach.begin());
}

const char* ParamGroupName(ParamGroup group) {
    switch (group) {
        case ParamGroup::Sensitivity:
            return "Sensitivity";
        case ParamGroup::Colours:
            return "Colour evaluation";
        case ParamGroup::Outputs:
            return "Outputs and teaching";
        case ParamGroup::PowerPresets:
            return "Power presets";
        case ParamGroup::Correction:
            break;
    }
    return "Correction";
}

std::uint16_t ItemValue(const Configuration& config, ConfigItem item) {
    if (item.teach) return TeachWordGet(config.teach[item.index % kTeachRows], item.word % 8);
    return config.para.*kParamFields[item.index % kParamCount].member;
}

void SetItemValue(Configuration& config, ConfigItem item, std::uint16_t value) {
    if (item.teach) {
        TeachWordRef(config.teach[item.index % kTeachRows], item.word % 8) = value;
    } else {
        config.para.*kParamFields[item.index % kParamCount].member = value;
    }
}

std::string ItemSection(ConfigItem item) {
    return item.teach ? "TEACH VECTOR " + std::to_string(item.index) : std::string("PARAMETER");
}

std::string ItemKey(ConfigItem item) {
    return item.teach ? kTeachWords[item.word % 8].key : kParamFields[item.index % kParamCount].key;
}

namespace {

constexpr std::string_view kParameterSection = "PARAMETER";
constexpr std::string_view kTeachSectionPrefix = "TEACH VECTOR ";

// The longest name an item has: its section, the dot and its key.
std::size_t LongestItemName() {
    std::size_t param = 0;
    std::size_t word = 0;
    for (const ParamField& f : kParamFields)
        param = std::max(param, std::string_view(f.key).size());
    for (const TeachWord& w : kTeachWords)
        word = std::max(word, std::string_view(w.key).size());
    const std::size_t row = std::to_string(kTeachRows - 1).size();
    return std::max(kParameterSection.size() + 1 + param,
                    kTeachSectionPrefix.size() + row + 1 + word);
}

std::optional<ConfigItem> FindParameter(std::string_view key) {
    for (std::size_t k = 0; k < kParamFields.size(); ++k) {
        if (key == kParamFields[k].key) return ConfigItem::Parameter(k);
    }
    return std::nullopt;
}

}  // namespace

std::string NameForMessage(std::string_view name) {
    constexpr std::size_t kShown = 100;  // a device path by its id fits whole
    if (name.size() <= kShown) return std::string(name);
    std::string text(name.substr(0, kShown));
    text += "... (";
    text += std::to_string(name.size());
    text += " characters)";
    return text;
}

std::optional<ConfigItem> FindItem(std::string_view name, std::size_t teachRows) {
    // A name longer than any item's is none: refused before it is looked at, so that however
    // long an argument is, it costs no more than a real name.
    static const std::size_t kLongest = LongestItemName();
    if (name.size() > kLongest) return std::nullopt;
    // The file's own spelling: upper case, blanks where a shell word has "_".
    std::string n(name);
    for (char& c : n) {
        c = c == '_' ? ' ' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    const std::size_t dot = n.find('.');
    if (dot == std::string::npos) return FindParameter(n);
    const std::string_view section = std::string_view(n).substr(0, dot);
    const std::string_view key = std::string_view(n).substr(dot + 1);
    // A section is named once: "parameter.gain", never "parameter.parameter.gain".
    if (key.find('.') != std::string_view::npos) return std::nullopt;
    if (section == kParameterSection) return FindParameter(key);
    if (section.substr(0, kTeachSectionPrefix.size()) != kTeachSectionPrefix) return std::nullopt;
    const std::string_view number = section.substr(kTeachSectionPrefix.size());
    if (number.empty() || number.size() > 2 ||
        number.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    std::size_t row = 0;
    for (char digit : number)
        row = row * 10 + static_cast<std::size_t>(digit - '0');
    if (row >= teachRows || (number.size() > 1 && number[0] == '0')) return std::nullopt;
    for (std::size_t w = 0; w < kTeachWordCount; ++w) {
        if (key == kTeachWords[w].key) return ConfigItem::Teach(row, w);
    }
    return std::nullopt;
}

}  // namespace qelto
