// Helpers of the tests that drive the simulated sensor with the host's own transaction code.
#pragma once

#include <gtest/gtest.h>

#include <span>
#include <string>

#include "qt_rig.hpp"
#include "sim_server.hpp"

namespace qelto::simtest {

inline std::string InfoBox(QtRig& rig) {
    return rig.ui.ctrl(Ctrl::InfoBox).text;
}

// Clears the failure log and arms the flags a failure report clears.
inline void ResetReport(QtRig& rig) {
    rig.ui.ResetTextBox(Ctrl::InfoBox, "");
    rig.ctx.state.CommunicationOk = 1;
    rig.ctx.state.DataTransferActive = 1;
}

inline std::string ReplyText(QtRig& rig) {
    const auto* p = reinterpret_cast<const char*>(rig.ctx.frames.ReplyData());
    return std::string(p, rig.ctx.frames.ReplyLength);
}

inline int WriteParameters(QtRig& rig, const ParameterSet& p) {
    ParameterBlockFromSet(p, std::span<std::uint8_t, kParameterBlockSize>(
                                 rig.ctx.frames.RequestData(), kParameterBlockSize));
    return Exchange(rig.ctx, kCmdWrite, kArgParameters, kParameterBlockSize);
}

inline int WriteTeach(QtRig& rig, const TeachTable& t) {
    TeachBlockFromTable(
        t, std::span<std::uint8_t, kTeachBlockSize>(rig.ctx.frames.RequestData(), kTeachBlockSize));
    return Exchange(rig.ctx, kCmdWrite, kArgTeachTable, kTeachBlockSize);
}

inline ParameterSet ReadParameters(QtRig& rig) {
    ParameterSet p;
    EXPECT_EQ(Exchange(rig.ctx, kCmdRead, kArgParameters), 1);
    EXPECT_EQ(rig.ctx.frames.ReplyLength, kParameterBlockSize);
    ParameterSetFromBlock(std::span<const std::uint8_t, kParameterBlockSize>(
                              rig.ctx.frames.ReplyData(), kParameterBlockSize),
                          p);
    return p;
}

inline TeachTable ReadTeach(QtRig& rig) {
    TeachTable t{};
    EXPECT_EQ(Exchange(rig.ctx, kCmdRead, kArgTeachTable), 1);
    EXPECT_EQ(rig.ctx.frames.ReplyLength, kTeachBlockSize);
    TeachTableFromBlock(
        std::span<const std::uint8_t, kTeachBlockSize>(rig.ctx.frames.ReplyData(), kTeachBlockSize),
        t);
    return t;
}

inline LiveData ReadLive(QtRig& rig) {
    LiveData live;
    EXPECT_EQ(Exchange(rig.ctx, kCmdLiveData, 0), 1);
    EXPECT_EQ(rig.ctx.frames.ReplyLength, kLiveDataSize);
    live.FromBytes(
        std::span<const std::uint8_t, kLiveDataSize>(rig.ctx.frames.ReplyData(), kLiveDataSize));
    return live;
}

inline ParameterSet DefaultParameters() {
    ParameterSet p;
    TeachTable t{};
    LoadDefaultParaValues(p, t, 1);
    return p;
}

// Opens the host's serial link on the simulator's pseudo-terminal.
inline void ConnectPty(QtRig& rig, sim::SimServer& server, int baudIndex = 4) {
    ASSERT_TRUE(server.OpenPty()) << server.errorString().toStdString();
    const auto com = server.ptyComNumber();
    ASSERT_TRUE(com) << server.ptyPath().toStdString();
    rig.ctx.conn.Protocol = kRs232;
    rig.ctx.conn.ComPort = static_cast<std::uint16_t>(*com);
    rig.ctx.conn.BaudRateIndex = static_cast<std::uint16_t>(baudIndex);
    InitRS232(rig.ctx);
    ASSERT_GE(rig.ctx.link.LinkStatus, 0) << InfoBox(rig);
}

}  // namespace qelto::simtest
