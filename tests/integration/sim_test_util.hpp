// Helpers of the tests that drive the simulated sensor with the host's own transaction code.
#pragma once

#include <gtest/gtest.h>

#include <span>
#include <string>

#include "qt_rig.hpp"
#include "sim_server.hpp"

namespace qelto::simtest {

inline std::string InfoBox(QtLinkRig& rig) {
    return rig.owner.log;
}

// Clears the failure log.
inline void ResetReport(QtLinkRig& rig) {
    rig.owner.log.clear();
}

inline std::string ReplyText(QtLinkRig& rig) {
    const auto* p = reinterpret_cast<const char*>(rig.link.frames.ReplyData());
    return std::string(p, rig.link.frames.ReplyLength);
}

inline int WriteParameters(QtLinkRig& rig, const ParameterSet& p) {
    ParameterBlockFromSet(p, std::span<std::uint8_t, kParameterBlockSize>(
                                 rig.link.frames.RequestData(), kParameterBlockSize));
    return Exchange(rig.link, kCmdWrite, kArgParameters, kParameterBlockSize);
}

inline int WriteTeach(QtLinkRig& rig, const TeachTable& t) {
    TeachBlockFromTable(t, std::span<std::uint8_t, kTeachBlockSize>(rig.link.frames.RequestData(),
                                                                    kTeachBlockSize));
    return Exchange(rig.link, kCmdWrite, kArgTeachTable, kTeachBlockSize);
}

inline ParameterSet ReadParameters(QtLinkRig& rig) {
    ParameterSet p;
    EXPECT_EQ(Exchange(rig.link, kCmdRead, kArgParameters), 1);
    EXPECT_EQ(rig.link.frames.ReplyLength, kParameterBlockSize);
    ParameterSetFromBlock(std::span<const std::uint8_t, kParameterBlockSize>(
                              rig.link.frames.ReplyData(), kParameterBlockSize),
                          p);
    return p;
}

inline TeachTable ReadTeach(QtLinkRig& rig) {
    TeachTable t{};
    EXPECT_EQ(Exchange(rig.link, kCmdRead, kArgTeachTable), 1);
    EXPECT_EQ(rig.link.frames.ReplyLength, kTeachBlockSize);
    TeachTableFromBlock(std::span<const std::uint8_t, kTeachBlockSize>(rig.link.frames.ReplyData(),
                                                                       kTeachBlockSize),
                        t);
    return t;
}

inline LiveData ReadLive(QtLinkRig& rig) {
    LiveData live;
    EXPECT_EQ(Exchange(rig.link, kCmdLiveData, 0), 1);
    EXPECT_EQ(rig.link.frames.ReplyLength, kLiveDataSize);
    live.FromBytes(
        std::span<const std::uint8_t, kLiveDataSize>(rig.link.frames.ReplyData(), kLiveDataSize));
    return live;
}

inline ParameterSet DefaultParameters() {
    ParameterSet p;
    TeachTable t{};
    LoadDefaultParaValues(p, t, 1);
    return p;
}

// Opens the host's serial link on the simulator's pseudo-terminal.
inline void ConnectPty(QtLinkRig& rig, sim::SimServer& server, int baudIndex = 4) {
    ASSERT_TRUE(server.OpenPty()) << server.errorString().toStdString();
    const auto com = server.ptyComNumber();
    ASSERT_TRUE(com) << server.ptyPath().toStdString();
    rig.link.conn.Protocol = kRs232;
    rig.link.conn.ComPort = static_cast<std::uint16_t>(*com);
    rig.link.conn.BaudRateIndex = static_cast<std::uint16_t>(baudIndex);
    InitRS232(rig.link);
    ASSERT_GE(rig.link.link.LinkStatus, 0) << InfoBox(rig);
}

}  // namespace qelto::simtest
