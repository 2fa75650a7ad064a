#include "protocol/records.hpp"

#include <algorithm>

namespace qelto {

// clang-format off
const std::array<ParamField, kParamCount> kParamFields{{
    {"Power",           "POWER",                &ParameterSet::Power,           500,  false, 500,  "POWER\n"},
    {"PowerMode",       "POWER MODE",           &ParameterSet::PowerMode,       0,    false, 0,    "POWER MODE\n"},
    {"Average",         "AVERAGE",              &ParameterSet::Average,         256,  false, 1,    "AVERAGE\n"},
    {"EvaluationMode",  "EVALUATION MODE",      &ParameterSet::EvaluationMode,  1,    false, 1,    "EVALUATION MODE\n"},
    {"HoldFail",        "HOLD FAIL",            &ParameterSet::HoldFail,        10,   false, 10,   "HOLD FAIL\n"},
    {"IntLim",          "INTLIM",               &ParameterSet::IntLim,          0,    false, 0,    "INTLIM\n"},
    {"MaxVecNo",        "MAX VEC NO",           &ParameterSet::MaxVecNo,        1,    true,  1,    "MAX VEC NO\n"},
    {"DigitalOutMode",  "DIGITAL OUTMODE",      &ParameterSet::DigitalOutMode,  2,    true,  0,    "DIGITAL OUTMODE\n"},
    {"Trigger",         "TRIGGER",              &ParameterSet::Trigger,         0,    false, 0,    "TRIGGER\n"},
    {"ExternTeach",     "EXTERN TEACH",         &ParameterSet::ExternTeach,     0,    false, 0,    "EXTEACH\n"},
    {"CalculationMode", "CALCULATION MODE",     &ParameterSet::CalculationMode, 3,    false, 0,    "CALCULATION MODE\n"},
    {"DynWinLo",        "DYNWIN LO",            &ParameterSet::DynWinLo,        3200, false, 3200, "DYNWIN LO\n"},
    {"DynWinHi",        "DYNWIN HI",            &ParameterSet::DynWinHi,        3300, false, 3300, "DYNWIN HI\n"},
    {"ColorGroup",      "COLOR GROUP",          &ParameterSet::ColorGroup,      0,    false, 0,    "COLOR GROUP\n"},
    {"LedMode",         "LED MODE",             &ParameterSet::LedMode,         1,    false, 0,    "LED MODE\n"},
    {"Gain",            "GAIN",                 &ParameterSet::Gain,            6,    false, 5,    "GAIN\n"},
    {"Integral",        "INTEGRAL",             &ParameterSet::Integral,        1,    false, 1,    "INTEGRAL\n"},
    {"Power1",          "POWER PARA POWER1",    &ParameterSet::Power1,          600,  false, 600,  "POWER PARA POWER1\n"},
    {"Gain1",           "POWER PARA GAIN1",     &ParameterSet::Gain1,           6,    false, 6,    "POWER PARA GAIN1\n"},
    {"Integral1",       "POWER PARA INTEGRAL1", &ParameterSet::Integral1,       1,    false, 1,    "POWER PARA INTEGRAL1\n"},
    {"Power2",          "POWER PARA POWER2",    &ParameterSet::Power2,          600,  false, 600,  "POWER PARA POWER2\n"},
    {"Gain2",           "POWER PARA GAIN2",     &ParameterSet::Gain2,           6,    false, 6,    "POWER PARA GAIN2\n"},
    {"Integral2",       "POWER PARA INTEGRAL2", &ParameterSet::Integral2,       1,    false, 1,    "POWER PARA INTEGRAL2\n"},
    {"CorrectionX",     "CORRECTION VALUE X",   &ParameterSet::CorrectionX,     128,  false, 128,  "CORRECTION VALUE X\n"},
    {"CorrectionY",     "CORRECTION VALUE Y",   &ParameterSet::CorrectionY,     128,  false, 128,  "CORRECTION VALUE Y\n"},
    {"CorrectionZ",     "CORRECTION VALUE Z",   &ParameterSet::CorrectionZ,     128,  false, 128,  "CORRECTION VALUE Z\n"},
}};

const std::array<TeachWord, kTeachWordCount> kTeachWords{{
    {"CELL 0", 1, 1}, {"CELL 1", 1, 1}, {"CELL 2", 1, 1}, {"CELL 3", 1, 1},
    {"CELL 4", 1, 1}, {"CELL 5", 1, 1}, {"GROUP", 1, 0}, {"HOLD", 10, 10},
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

}  // namespace qelto
