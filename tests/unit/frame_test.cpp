#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "doubles/link_rig.hpp"
#include "link/transaction.hpp"

namespace qelto {
namespace {

TEST(Crc8, KnownVectors) {
    EXPECT_EQ(crc8({}), 0xAA);
    const std::string_view abc = "abc";
    EXPECT_EQ(crc8({reinterpret_cast<const std::uint8_t*>(abc.data()), abc.size()}), 0xDE);
}

TEST(FillTxBuf, RequestsWithoutDataMatchTheWireBytes) {
    FakeLinkRig rig;
    const std::vector<std::pair<int, std::vector<std::uint8_t>>> cases = {
        {7, {0x55, 0x07, 0x00, 0x00, 0x00, 0x00, 0xAA, 0x52}},
        {15, {0x55, 0x0F, 0x00, 0x00, 0x00, 0x00, 0xAA, 0xF3}},
        {8, {0x55, 0x08, 0x00, 0x00, 0x00, 0x00, 0xAA, 0x76}},
    };
    for (const auto& [cmd, bytes] : cases) {
        FillTxBuf(rig.link, cmd, 0, 0);
        EXPECT_EQ(std::vector<std::uint8_t>(rig.link.frames.TxBuffer.begin(),
                                            rig.link.frames.TxBuffer.begin() + 8),
                  bytes)
            << "command " << cmd;
    }
}

TEST(FillTxBuf, HeaderCrcMakesTheWholeHeaderCheckToZero) {
    FakeLinkRig rig;
    for (int i = 0; i < 52; ++i)
        rig.link.frames.RequestData()[i] = static_cast<std::uint8_t>(i * 7);
    FillTxBuf(rig.link, 1, 0x0102, 52);
    const auto& tx = rig.link.frames.TxBuffer;
    EXPECT_EQ(crc8({tx.data(), 8}), 0x00);
    EXPECT_EQ(tx[6], crc8({tx.data() + 8, 52}));
    EXPECT_EQ(tx[2], 0x02);
    EXPECT_EQ(tx[3], 0x01);
    EXPECT_EQ(tx[4], 52);
}

}  // namespace
}  // namespace qelto
