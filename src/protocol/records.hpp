// The sensor's configuration (parameter set and teach table) and one live measurement, with
// their byte layouts on the sensor link. Each record's fields are described once, in the
// tables below, and every use (wire, file, defaults, reports) is driven from those tables.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qelto {

struct ParameterSet {
    std::uint16_t Power = 0;
    std::uint16_t PowerMode = 0;
    std::uint16_t Average = 0;
    std::uint16_t EvaluationMode = 0;
    std::uint16_t HoldFail = 0;
    std::uint16_t IntLim = 0;
    std::uint16_t MaxVecNo = 0;
    std::uint16_t DigitalOutMode = 0;
    std::uint16_t Trigger = 0;
    std::uint16_t ExternTeach = 0;
    std::uint16_t CalculationMode = 0;
    std::uint16_t DynWinLo = 0;
    std::uint16_t DynWinHi = 0;
    std::uint16_t ColorGroup = 0;
    std::uint16_t LedMode = 0;
    std::uint16_t Gain = 0;
    std::uint16_t Integral = 0;
    std::uint16_t Power1 = 0;
    std::uint16_t Gain1 = 0;
    std::uint16_t Integral1 = 0;
    std::uint16_t Power2 = 0;
    std::uint16_t Gain2 = 0;
    std::uint16_t Integral2 = 0;
    std::uint16_t CorrectionX = 0;
    std::uint16_t CorrectionY = 0;
    std::uint16_t CorrectionZ = 0;

    bool operator==(const ParameterSet&) const = default;
};

// The groups the parameter editor shows the parameters in.
enum class ParamGroup { Sensitivity, Colours, Outputs, PowerPresets, Correction };
const char* ParamGroupName(ParamGroup group);

// One parameter: its field, its item in the parameter file (section PARAMETER), its defaults
// and what the program does with it. Field k travels at byte 2k of the parameter block.
struct ParamField {
    const char* name;  // field name
    const char* key;   // parameter-file key
    std::uint16_t ParameterSet::*member;
    std::uint16_t defaultValue;  // LoadDefaultParaValues
    bool defaultOnlyWithFlag;    // set by the default loader only when its flag is non-zero
    std::uint16_t readDefault;   // taken when a parameter file lacks the item
    const char* reportLine;      // line of the parameter-file report
    ParamGroup group;
    bool carriedOnly;     // stored and moved, never interpreted: its meaning is the sensor's
    const char* meaning;  // what the program knows of it, for a person
};

inline constexpr std::size_t kParamCount = 26;
extern const std::array<ParamField, kParamCount> kParamFields;

inline constexpr int kCellCount = 6;

struct TeachVector {
    std::array<std::uint16_t, kCellCount> Cell{};
    std::uint16_t Group = 0;
    std::uint16_t Hold = 0;

    bool operator==(const TeachVector&) const = default;
};

// The eight words of a teach row in wire and file order, with their file keys and defaults.
struct TeachWord {
    const char* key;
    std::uint16_t defaultValue;  // LoadDefaultParaValues
    std::uint16_t readDefault;   // taken when a parameter file lacks the item
    const char* meaning;         // what the program does with it, for a person
};
inline constexpr std::size_t kTeachWordCount = 8;
extern const std::array<TeachWord, kTeachWordCount> kTeachWords;
std::uint16_t& TeachWordRef(TeachVector& v, std::size_t word);
std::uint16_t TeachWordGet(const TeachVector& v, std::size_t word);

inline constexpr std::size_t kTeachRows = 64;
inline constexpr std::size_t kSensorTeachRows = 32;  // rows that travel to and from the sensor
inline constexpr std::size_t kShownTeachRows = 31;   // rows on the parameter page
using TeachTable = std::array<TeachVector, kTeachRows>;

// The rows of the teach table that the sensor holds.
using TeachRows = std::array<TeachVector, kSensorTeachRows>;
// Puts the sensor's rows over rows 0..31; rows 32..63 stay as they are.
void PutSensorRows(TeachTable& teach, const TeachRows& rows);

// A sensor's whole configuration: what a Send writes, a Get reads and a parameter file keeps.
struct Configuration {
    ParameterSet para;
    TeachTable teach{};
    bool operator==(const Configuration&) const = default;
};

// One value of a configuration: a parameter, or one word of a teach row.
struct ConfigItem {
    bool teach = false;
    std::uint8_t index = 0;  // the parameter (0..25) or the teach row (0..63)
    std::uint8_t word = 0;   // the teach word (0..7)
    auto operator<=>(const ConfigItem&) const = default;
    static ConfigItem Parameter(std::size_t k) { return {false, static_cast<std::uint8_t>(k), 0}; }
    static ConfigItem Teach(std::size_t row, std::size_t word) {
        return {true, static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(word)};
    }
};
std::uint16_t ItemValue(const Configuration& config, ConfigItem item);
void SetItemValue(Configuration& config, ConfigItem item, std::uint16_t value);
// The item's section and key in the parameter file: "PARAMETER" and "GAIN",
// "TEACH VECTOR 2" and "CELL 0".
std::string ItemSection(ConfigItem item);
std::string ItemKey(ConfigItem item);
// An item by the parameter file's names, in any letter case and with "_" for a blank: "gain",
// "dynwin_lo", "teach_vector_2.cell_0" (section and key joined by a dot; a section is named
// once). Teach rows count up to `teachRows`. A name longer than any item's is refused before
// it is looked at.
std::optional<ConfigItem> FindItem(std::string_view name, std::size_t teachRows = kTeachRows);
// A name as a message quotes it back: whole when it is short, else its first characters and
// how long it was, so that a key of any length makes a message of a line.
std::string NameForMessage(std::string_view name);

inline constexpr std::size_t kParameterBlockSize = 52;
inline constexpr std::size_t kTeachBlockSize = 512;

// Sets the defaults; MaxVecNo and DigitalOutMode only when flag is non-zero.
void LoadDefaultParaValues(ParameterSet& para, TeachTable& teach, std::uint32_t flag);

void ParameterBlockFromSet(const ParameterSet& para,
                           std::span<std::uint8_t, kParameterBlockSize> out);
void ParameterSetFromBlock(std::span<const std::uint8_t, kParameterBlockSize> in,
                           ParameterSet& para);
void TeachBlockFromTable(const TeachTable& teach, std::span<std::uint8_t, kTeachBlockSize> out);
// Replaces rows 0..31; rows 32..63 stay as they are.
void TeachTableFromBlock(std::span<const std::uint8_t, kTeachBlockSize> in, TeachTable& teach);

// One measurement as the reply to command 8 carries it: 21 signed 16-bit words.
inline constexpr std::size_t kLiveDataWords = 21;
inline constexpr std::size_t kLiveDataSize = 42;

struct LiveData {
    enum Word : std::size_t {
        kRed = 0,
        kGreen = 1,
        kBlue = 2,
        kX = 3,
        kY = 4,
        kInt = 5,
        kColorNo = 7,
        kAux1 = 11,
        kAux2 = 12,
        kAux3 = 13
    };
    std::array<std::int16_t, kLiveDataWords> w{};

    std::int16_t Red() const { return w[kRed]; }
    std::int16_t Green() const { return w[kGreen]; }
    std::int16_t Blue() const { return w[kBlue]; }
    std::int16_t X() const { return w[kX]; }
    std::int16_t Y() const { return w[kY]; }
    std::int16_t Int() const { return w[kInt]; }
    std::int16_t ColorNo() const { return w[kColorNo]; }
    std::int16_t Aux1() const { return w[kAux1]; }
    std::int16_t Aux2() const { return w[kAux2]; }
    std::int16_t Aux3() const { return w[kAux3]; }

    void FromBytes(std::span<const std::uint8_t, kLiveDataSize> in);
    void ToBytes(std::span<std::uint8_t, kLiveDataSize> out) const;
};

// The last 100 samples of Red, Green, Blue, oldest first.
inline constexpr std::size_t kRgbHistorySize = 300;
using RgbHistory = std::array<double, kRgbHistorySize>;

// Little-endian helpers of the sensor link.
inline std::uint16_t GetU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline void PutU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline std::int32_t GetI32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
        (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}
inline void PutI32(std::uint8_t* p, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

}  // namespace qelto
