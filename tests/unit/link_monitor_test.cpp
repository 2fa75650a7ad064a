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

// What an operator saves to send along with a fault report: when, which link, which sensor;
// the failures alone if asked; a long frame with offsets and its ASCII; the date where it turns.
TEST(LinkMonitor, SavedTextNamesDateLinkAndSensorAndShowsLongFramesWithOffsets) {
    LinkMonitor m;
    const std::int64_t evening = 19797LL * 86400000 + 23 * 3600000 + 59 * 60000;  // 2024-03-15
    Bytes teach(512);
    for (std::size_t i = 0; i < teach.size(); ++i)
        teach[i] = static_cast<std::uint8_t>(i);
    m.Record(TracedFrame::Request, Frame(2, 2), {}, evening);
    m.Record(TracedFrame::Reply, Frame(2, 2, teach), {}, evening + 5);
    m.Record(TracedFrame::Request, Frame(7, 0), {}, evening + 60000);  // past midnight
    m.Record(TracedFrame::TimedOut, {}, kMsgTimeout, evening + 63000);

    const MonitorHeading heading{WallClock{19798LL * 86400000, 60}, "TCP/IP 127.0.0.1:5000",
                                 "KORVANEX V4.3B7, KORVANEX TAVRENO SIM, serial 4711"};
    const std::string text = MonitorText(heading, m.entries(), {}, true);
    EXPECT_EQ(text.rfind("Qelto link monitor\n"
                         "Saved:  2024-03-16T01:00:00.000+01:00\n"
                         "Link:   TCP/IP 127.0.0.1:5000\n"
                         "Sensor: KORVANEX V4.3B7, KORVANEX TAVRENO SIM, serial 4711\n"
                         "Times are local, from 2024-03-15 on.\n\n",
                         0),
              0u)
        << text;
    // The 520 bytes of the reply: 33 lines, each with its offset, the hex and the ASCII.
    EXPECT_NE(text.find("    < 0000  55 02 02 00 00 02 "), std::string::npos) << text;
    EXPECT_NE(
        text.find("\n      0200  f8 f9 fa fb fc fd fe ff" + std::string(27, ' ') + "|........|\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("\n      0030  28 29 2a 2b 2c 2d 2e 2f  30 31 32 33 34 35 36 37  "
                        "|()*+,-./01234567|\n"),
              std::string::npos);
    EXPECT_NE(text.find("---- 2024-03-16\n00:00:00.000  >   7 firmware"), std::string::npos)
        << text;

    const std::string failures = MonitorText(heading, m.entries(), {-1, true}, false);
    EXPECT_NE(failures.find("Shown: failures only\n"), std::string::npos);
    EXPECT_NE(failures.find("time-out: "), std::string::npos);
    EXPECT_EQ(failures.find("  ok"), std::string::npos) << failures;
    EXPECT_EQ(failures.find("  sent"), std::string::npos) << failures;
}

// A broken reply names the CRC its bytes call for and the one that came, and its bytes at
// fault are marked under the dump; a reply to another command marks its command.
TEST(LinkMonitor, NamesTheCrcsOfABrokenReplyAndMarksTheBytesAtFault) {
    const auto hex = [](std::uint8_t b) { return FormatHex(std::span(&b, 1)); };
    LinkMonitor m;
    Bytes header = Frame(2, 0);
    const std::uint8_t headerCrc = header[7];
    header[7] ^= 0x01;
    Bytes data = Frame(2, 0, Bytes(20, 7));
    data[kHeaderSize + 3] = 9;  // a data byte changed on the way
    const std::uint8_t dataCrc = crc8(std::span(data).subspan(kHeaderSize));
    m.Record(TracedFrame::Request, Frame(2, 0), {}, 0);
    m.Record(TracedFrame::RejectedReply, header, kMsgBadHeader, 1);
    m.Record(TracedFrame::RejectedReply, data, kMsgBadData, 2);
    m.Record(TracedFrame::RejectedReply, Frame(8, 0), kMsgBadHeader, 3);
    const auto& e = m.entries();
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(ResultText(e[1]),
              "rejected: ATTENTION! RECEIVED HEADER FRAME IS INCORRECT!; header "
              "CRC: expected " +
                  hex(headerCrc) + ", received " + hex(header[7]));
    EXPECT_EQ(e[2].fault->what,
              "data CRC: expected " + hex(dataCrc) + ", received " + hex(data[6]));
    // Under the dump's first line, carets under byte 6; the short form likewise.
    const std::string saved = ExportText(e, {}, true);
    EXPECT_NE(saved.find("|\n" + std::string(6 + 6 + 18, ' ') + "^^\n"), std::string::npos)
        << saved;
    EXPECT_NE(saved.find(FormatHex(Frame(8, 0)) + "\n" + std::string(6 + 3, ' ') + "^^\n"),
              std::string::npos)
        << saved;
    EXPECT_EQ(e[3].fault->what, "command 8 where 2 was asked");
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
