#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/link_monitor.hpp"
#include "link/transaction.hpp"
#include "protocol/frame.hpp"

namespace qelto {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Frame(int command, std::uint16_t argument, Bytes data = {}) {
    Bytes b(kHeaderSize + data.size());
    BuildFrame(static_cast<std::uint8_t>(command), argument, data, b.data());
    return b;
}

// What an acquisition looks like to the monitor: identification, thousands of live samples,
// a broken reply in between, a sensor that falls silent.
TEST(LinkMonitor, FoldsLiveDataKeepsFailuresOnTheirOwnLines) {
    LinkMonitor m;
    std::int64_t t = 12 * 3600000 + 34 * 60000 + 56 * 1000 + 7;  // 12:34:56.007
    m.Record(TracedFrame::Request, Frame(7, 0), {}, t);
    m.Record(TracedFrame::Reply, Frame(7, 0, {'V', '4'}), {}, t + 2);
    for (int i = 0; i < 1000; ++i) {
        m.Record(TracedFrame::Request, Frame(8, 0), {}, t + 10 + i);
        m.Record(TracedFrame::Reply, Frame(8, 0, Bytes(14, 1)), {}, t + 10 + i);
    }
    const Bytes broken = Frame(8, 0, Bytes(14, 2));
    m.Record(TracedFrame::Request, Frame(8, 0), {}, t + 2000);
    m.Record(TracedFrame::RejectedReply, broken, kMsgBadData, t + 2001);
    m.Record(TracedFrame::Request, Frame(8, 0), {}, t + 2100);
    m.Record(TracedFrame::Reply, Frame(8, 0, Bytes(14, 3)), {}, t + 2101);
    m.Record(TracedFrame::Request, Frame(8, 0), {}, t + 2200);
    m.Record(TracedFrame::TimedOut, {}, kMsgTimeout, t + 5200);

    const auto& e = m.entries();
    ASSERT_EQ(e.size(), 8u);
    EXPECT_EQ(e[0].direction, MonitorDirection::Request);
    EXPECT_EQ(e[0].command, 7);
    EXPECT_EQ(e[1].result, MonitorResult::Ok);
    EXPECT_EQ(e[1].length, 2);
    EXPECT_EQ(e[2].direction, MonitorDirection::Exchanges);
    EXPECT_EQ(e[2].exchanges, 1000u);
    EXPECT_EQ(ResultText(e[2]), "ok, 1000 exchanges until 12:34:57.016");
    EXPECT_EQ(e[3].direction, MonitorDirection::Request);
    EXPECT_EQ(e[4].result, MonitorResult::Rejected);
    EXPECT_EQ(e[4].bytes, broken);
    EXPECT_EQ(ResultText(e[4]), "rejected: ATTENTION! RECEIVED DATA FRAME IS INCORRECT!");
    EXPECT_EQ(e[5].exchanges, 1u) << "a new run after the failure";
    EXPECT_EQ(e[7].result, MonitorResult::TimedOut);
    EXPECT_FALSE(e[7].headerCame) << "nothing came";
    EXPECT_EQ(e[7].command, 8) << "the request's";
    EXPECT_EQ(FormatTimeOfDay(e[7].timeMs), "12:35:01.207");

    // Saved as text: one line each, the bytes on demand, filtered by command.
    const std::string all = ExportText(e, {}, false);
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 9);
    EXPECT_NE(all.find("12:34:56.007  >   7 firmware"), std::string::npos) << all;
    const std::string firmware = ExportText(e, MonitorFilter{7}, true);
    EXPECT_NE(firmware.find("    < 55 07 00 00 02 00"), std::string::npos) << firmware;
    EXPECT_EQ(firmware.find("live data"), std::string::npos);

    // Asked to, every live-data exchange gets its lines.
    m.SetFoldLiveData(false);
    m.Record(TracedFrame::Request, Frame(8, 0), {}, t + 6000);
    m.Record(TracedFrame::Reply, Frame(8, 0, Bytes(14, 4)), {}, t + 6001);
    EXPECT_EQ(m.entries().size(), 10u);
    EXPECT_EQ(m.entries().back().direction, MonitorDirection::Reply);
}

TEST(LinkMonitor, HistoryIsBoundedAndClears) {
    LinkMonitor m(10);
    for (int i = 0; i < 25; ++i)
        m.Record(TracedFrame::Request, Frame(2, static_cast<std::uint16_t>(i)), {}, i);
    ASSERT_EQ(m.entries().size(), 10u);
    EXPECT_EQ(m.entries().front().argument, 15);
    EXPECT_EQ(m.entries().back().number, 25u);
    EXPECT_EQ(m.dropped(), 15u);
    const auto revision = m.revision();
    m.Clear();
    EXPECT_TRUE(m.entries().empty());
    EXPECT_EQ(m.dropped(), 0u);
    EXPECT_NE(m.revision(), revision);
}

}  // namespace
}  // namespace qelto
