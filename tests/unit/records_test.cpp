// The parameter set, teach table and live data: defaults and byte layouts on the link.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "protocol/records.hpp"

namespace qelto {
namespace {

// Items by the parameter file's names, as qelto-cli set takes them: a section is named once,
// and a name longer than any item's is refused however long it is.
TEST(FindItem, NamesASectionOnceAndNothingLongerThanARealName) {
    EXPECT_EQ(FindItem("gain"), ConfigItem::Parameter(15));
    EXPECT_EQ(FindItem("parameter.gain"), ConfigItem::Parameter(15));
    EXPECT_EQ(FindItem("Teach_Vector_2.cell_0", kSensorTeachRows), ConfigItem::Teach(2, 0));
    // The longest real names are found.
    std::string param;
    for (const ParamField& f : kParamFields) {
        if (std::string_view(f.key).size() > param.size()) param = f.key;
    }
    std::string word;
    for (const TeachWord& w : kTeachWords) {
        if (std::string_view(w.key).size() > word.size()) word = w.key;
    }
    EXPECT_TRUE(FindItem("PARAMETER." + param).has_value()) << param;
    EXPECT_TRUE(FindItem("TEACH VECTOR 63." + word).has_value()) << word;

    std::string repeated;
    for (int i = 0; i < 13000; ++i)
        repeated += "parameter.";
    for (const std::string& name :
         {std::string("parameter.parameter.gain"), std::string("teach_vector_2.parameter.gain"),
          std::string("parameter.teach_vector_2.cell_0"), std::string("gain."), repeated + "gain",
          "PARAMETER. " + param}) {
        EXPECT_EQ(FindItem(name), std::nullopt) << name.substr(0, 40);
    }
    // Said back in a line, whatever its length.
    EXPECT_EQ(NameForMessage("parameter.parameter.gain"), "parameter.parameter.gain");
    EXPECT_EQ(NameForMessage(repeated + "gain"),
              repeated.substr(0, 100) + "... (130004 characters)");
}

TEST(Defaults, FlagDecidesOnlyMaxVecNoAndDigitalOutMode) {
    ParameterSet para;
    TeachTable teach{};
    para.MaxVecNo = 17;
    para.DigitalOutMode = 9;
    LoadDefaultParaValues(para, teach, 0);
    EXPECT_EQ(para.MaxVecNo, 17);
    EXPECT_EQ(para.DigitalOutMode, 9);

    ParameterSet expected;
    expected.Power = 500;
    expected.Average = 256;
    expected.EvaluationMode = 1;
    expected.HoldFail = 10;
    expected.MaxVecNo = 17;
    expected.DigitalOutMode = 9;
    expected.CalculationMode = 3;
    expected.DynWinLo = 3200;
    expected.DynWinHi = 3300;
    expected.LedMode = 1;
    expected.Gain = 6;
    expected.Integral = 1;
    expected.Power1 = 600;
    expected.Gain1 = 6;
    expected.Integral1 = 1;
    expected.Power2 = 600;
    expected.Gain2 = 6;
    expected.Integral2 = 1;
    expected.CorrectionX = 128;
    expected.CorrectionY = 128;
    expected.CorrectionZ = 128;
    EXPECT_EQ(para, expected);

    const TeachVector defaultRow{{1, 1, 1, 1, 1, 1}, 1, 10};
    for (const auto& row : teach)
        EXPECT_EQ(row, defaultRow);

    LoadDefaultParaValues(para, teach, 0x10000);  // any non-zero flag
    EXPECT_EQ(para.MaxVecNo, 1);
    EXPECT_EQ(para.DigitalOutMode, 2);
}

TEST(Defaults, TablesNameEveryFieldOnceWithTheFileKeys) {
    std::set<std::string> keys;
    for (std::size_t k = 0; k < kParamCount; ++k) {
        keys.insert(kParamFields[k].key);
        EXPECT_EQ(std::string(kParamFields[k].reportLine).back(), '\n');
        // Each entry reaches a field of its own.
        ParameterSet one;
        one.*kParamFields[k].member = 1;
        for (std::size_t j = 0; j < kParamCount; ++j) {
            EXPECT_EQ(one.*kParamFields[j].member, j == k ? 1 : 0) << k << " " << j;
        }
    }
    EXPECT_EQ(keys.size(), kParamCount);
    EXPECT_EQ(std::string(kParamFields[9].key), "EXTERN TEACH");
    EXPECT_EQ(std::string(kParamFields[9].reportLine), "EXTEACH\n");
    EXPECT_EQ(std::string(kTeachWords[6].key), "GROUP");
    EXPECT_EQ(kTeachWords[6].readDefault, 0);
}

TEST(ParameterBlock, FieldKSitsAtOffset2kLittleEndianBothWays) {
    ParameterSet para;
    para.Power = 0x0102;
    para.PowerMode = 0xFFFF;
    para.Average = 0x8001;
    para.CorrectionZ = 0xABCD;
    std::array<std::uint8_t, kParameterBlockSize> block{};
    ParameterBlockFromSet(para, block);
    EXPECT_EQ(block[0], 0x02);
    EXPECT_EQ(block[1], 0x01);
    EXPECT_EQ(block[2], 0xFF);
    EXPECT_EQ(block[3], 0xFF);
    EXPECT_EQ(block[4], 0x01);
    EXPECT_EQ(block[5], 0x80);
    EXPECT_EQ(block[50], 0xCD);
    EXPECT_EQ(block[51], 0xAB);

    std::array<std::uint8_t, kParameterBlockSize> in{};
    for (std::size_t i = 0; i < in.size(); ++i)
        in[i] = static_cast<std::uint8_t>(0xFF - i);
    in[30] = 0xFF;  // Gain = 65535 travels unchanged
    in[31] = 0xFF;
    ParameterSet back;
    ParameterSetFromBlock(in, back);
    EXPECT_EQ(back.Power, 0xFEFF);
    EXPECT_EQ(back.Gain, 65535);
    EXPECT_EQ(back.Integral, 0xDEDF);
    std::array<std::uint8_t, kParameterBlockSize> again{};
    ParameterBlockFromSet(back, again);
    EXPECT_EQ(again, in);
}

TEST(TeachBlock, CarriesRows0To31AndLeavesTheRestAlone) {
    TeachTable teach{};
    for (std::size_t r = 0; r < kTeachRows; ++r) {
        for (std::size_t c = 0; c < 6; ++c)
            teach[r].Cell[c] = static_cast<std::uint16_t>(r * 100 + c);
        teach[r].Group = static_cast<std::uint16_t>(r * 100 + 6);
        teach[r].Hold = static_cast<std::uint16_t>(r * 100 + 7);
    }
    std::array<std::uint8_t, kTeachBlockSize> block{};
    TeachBlockFromTable(teach, block);
    // Row 3: Cell[0] at 48, Group at 60, Hold at 62; the last row on the link is row 31.
    EXPECT_EQ(GetU16(&block[48]), 300);
    EXPECT_EQ(GetU16(&block[60]), 306);
    EXPECT_EQ(GetU16(&block[62]), 307);
    EXPECT_EQ(GetU16(&block[496]), 3100);
    EXPECT_EQ(GetU16(&block[510]), 3107);

    TeachTable received = teach;
    std::array<std::uint8_t, kTeachBlockSize> in{};
    in.fill(0xFF);
    TeachTableFromBlock(in, received);
    const TeachVector all{{65535, 65535, 65535, 65535, 65535, 65535}, 65535, 65535};
    for (std::size_t r = 0; r < kSensorTeachRows; ++r)
        EXPECT_EQ(received[r], all) << r;
    for (std::size_t r = kSensorTeachRows; r < kTeachRows; ++r)
        EXPECT_EQ(received[r], teach[r]) << r;
}

TEST(LiveDataRecord, WordsAreSignedAndNamedByOffset) {
    std::array<std::uint8_t, kLiveDataSize> in{};
    PutU16(&in[0], 0xFFFF);   // Red
    PutU16(&in[6], 1234);     // X
    PutU16(&in[10], 0x8000);  // Int
    PutU16(&in[14], 255);     // ColorNo
    PutU16(&in[22], 7);       // Aux1
    PutU16(&in[26], 9);       // Aux3
    PutU16(&in[40], 0x7FFF);  // last reserved word
    LiveData live;
    live.FromBytes(in);
    EXPECT_EQ(live.Red(), -1);
    EXPECT_EQ(live.X(), 1234);
    EXPECT_EQ(live.Int(), -32768);
    EXPECT_EQ(live.ColorNo(), 255);
    EXPECT_EQ(live.Aux1(), 7);
    EXPECT_EQ(live.Aux3(), 9);
    std::array<std::uint8_t, kLiveDataSize> out{};
    live.ToBytes(out);
    EXPECT_EQ(out, in);
}

}  // namespace
}  // namespace qelto
