// What a transfer did and what the sensor may hold afterwards, on the fake link: replies
// lost, broken, refused, doubled, late, and the connection closed at every step.
#include <gtest/gtest.h>

#include "doubles/scripted_sensor.hpp"
#include "link/transaction.hpp"
#include "link/transport.hpp"
#include "sensor/failure_report.hpp"
#include "sensor/set_values.hpp"
#include "sensor/transfer_outcome.hpp"

namespace qelto {
namespace {

struct Rig : SessionRig {
    ScriptedSensor scripted;
    std::vector<std::string> drained;  // the reasons the link monitor reads

    Rig() {
        LoadDefaultParaValues(scripted.para, scripted.teach, 1);
        tcp.responder = [this](const Bytes& r) { return scripted.Answer(r); };
        sensor.link().frameTrace = [this](TracedFrame kind, std::span<const std::uint8_t>,
                                          std::string_view reason) {
            if (kind == TracedFrame::RejectedReply) drained.emplace_back(reason);
        };
        ConnectionSettings settings;
        settings.Protocol = kTcpIp;
        CopyText(settings.IpAddress, "sensor");
        EXPECT_TRUE(sensor.Open(settings).ok());
        EXPECT_TRUE(sensor.Identify().ok());
        EXPECT_TRUE(sensor.ReadConfiguration(false).ok());
    }
    bool Is(const SeenRequest& r, int command, int argument = -1) const {
        return r.command == command && (argument < 0 || r.argument == argument);
    }
};

Configuration WithGain(std::uint16_t gain) {
    Configuration c;
    LoadDefaultParaValues(c.para, c.teach, 1);
    c.para.Gain = gain;
    return c;
}

// A reply to the parameter write comes twice; the second is taken as the teach write's answer
// (both are command 1 without data), and the teach write's own reply, a refusal, comes after
// it. That must never pass for a success: what the writes left is unknown.
TEST(TransferOutcome, ADoubledWriteReplyTakenForTheNextMakesTheOutcomeUnknown) {
    Rig rig;
    rig.scripted.override = [&](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
        if (rig.Is(r, kCmdWrite, kArgParameters)) return {{Frame(1, 0), Frame(1, 0)}};
        if (rig.Is(r, kCmdWrite, kArgTeachTable)) return {{Frame(1, 3)}};
        return std::nullopt;
    };
    TransferOptions ram;
    ram.memory = Memory::Ram;
    const TransferOutcome o = SendConfiguration(rig.sensor, WithGain(7), ram);
    EXPECT_FALSE(o.ok());
    EXPECT_TRUE(o.stray);
    EXPECT_EQ(o.ram, Holds::Unknown);
    EXPECT_EQ(o.eeprom, Holds::Old);
    ASSERT_TRUE(o.Kind().has_value());
    EXPECT_EQ(*o.Kind(), FailureKind::Corrupted);
    EXPECT_EQ(OutcomeLine(o),
              "Send to RAM failed at write teach (corrupted); the sensor may hold: RAM unknown, "
              "EEPROM old");

    // The doubled reply may come later still, ahead of the store's: the store fails on it,
    // and the writes' answers before it are as doubtful.
    Rig late;
    late.scripted.override = [&](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
        if (late.Is(r, kCmdStoreEeprom)) return {{Frame(1, 0), Frame(3, 0)}};
        return std::nullopt;
    };
    const TransferOutcome stored = SendConfiguration(late.sensor, WithGain(7), {});
    EXPECT_EQ(OutcomeLine(stored),
              "Send to EEPROM failed at write teach (corrupted); the sensor may hold: RAM "
              "unknown, EEPROM unknown");
}

// A reply that comes after its request timed out is drained before the next request, and said
// in the trace: the live sample that follows is its own, not the one before.
TEST(TransferOutcome, ALateReplyAfterATimeOutIsDrainedNotTakenByTheNextRequest) {
    Rig rig;
    bool silent = true;
    rig.scripted.override = [&](const SeenRequest&) -> std::optional<std::vector<Bytes>> {
        if (!silent) return std::nullopt;
        silent = false;
        return std::vector<Bytes>{};
    };
    const auto lost = rig.sensor.ReadLiveSample();
    ASSERT_FALSE(lost.ok());
    EXPECT_EQ(lost.error().kind, SensorFault::Timeout);
    // The first sample's reply arrives at last, just as the next request is made.
    rig.tcp.Push(Frame(8, 0, LiveBytes(1, 0, 0, 0, 0, 0)));
    const auto next = rig.sensor.ReadLiveSample();
    ASSERT_TRUE(next.ok());
    EXPECT_EQ(next->Red(), 1) << "the second request's own reply: the sensor's first sample";
    EXPECT_EQ(rig.scripted.samples, 1);
    ASSERT_FALSE(rig.drained.empty());
    EXPECT_NE(rig.drained.back().find("late reply"), std::string::npos) << rig.drained.back();
}

// Each step of a Send and a Get through the EEPROM, its reply lost, broken, refused or the
// connection closed instead: what each memory may hold, and the report scripts get of it.
TEST(TransferOutcome, FaultMatrixOfSendAndGetThroughTheEeprom) {
    enum class Fault { Lost, Corrupted, Refused, Closed };
    struct Cell {
        bool send;
        int command, argument;
        Fault fault;
        const char* step;
        Holds ram, eeprom;
    };
    using enum Fault;
    constexpr Holds O = Holds::Old, N = Holds::New, U = Holds::Unknown;
    const std::vector<Cell> cells = {
        {true, kCmdWrite, kArgParameters, Lost, "write parameters", U, O},
        {true, kCmdWrite, kArgParameters, Corrupted, "write parameters", U, O},
        {true, kCmdWrite, kArgParameters, Refused, "write parameters", O, O},
        {true, kCmdWrite, kArgParameters, Closed, "write parameters", U, O},
        // The parameters are new, the teach rows old or unknown: RAM is neither.
        {true, kCmdWrite, kArgTeachTable, Lost, "write teach", U, O},
        {true, kCmdWrite, kArgTeachTable, Refused, "write teach", U, O},
        {true, kCmdWrite, kArgTeachTable, Closed, "write teach", U, O},
        {true, kCmdStoreEeprom, -1, Lost, "store", N, U},
        {true, kCmdStoreEeprom, -1, Corrupted, "store", N, U},
        {true, kCmdStoreEeprom, -1, Refused, "store", N, O},
        {true, kCmdStoreEeprom, -1, Closed, "store", N, U},
        {false, kCmdLoadEeprom, -1, Lost, "load", U, O},
        {false, kCmdLoadEeprom, -1, Refused, "load", O, O},
        {false, kCmdLoadEeprom, -1, Closed, "load", U, O},
        {false, kCmdRead, kArgParameters, Corrupted, "read parameters", N, O},
        {false, kCmdRead, kArgTeachTable, Lost, "read teach", N, O},
        {false, kCmdRead, kArgTeachTable, Closed, "read teach", N, O},
    };
    const char* const kinds[] = {"timeout", "bad_reply", "unknown_command", "closed"};
    for (const Cell& c : cells) {
        Rig rig;
        SCOPED_TRACE(std::string(c.step) + " / " + kinds[static_cast<int>(c.fault)]);
        rig.scripted.override = [&](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
            if (!rig.Is(r, c.command, c.argument)) return std::nullopt;
            Bytes reply = rig.scripted.Normal(r);
            switch (c.fault) {
                case Lost:
                    return std::vector<Bytes>{};
                case Corrupted:
                    reply[7] ^= 0x5A;
                    return std::vector<Bytes>{reply};
                case Refused:
                    return std::vector<Bytes>{Frame(0, 1)};
                case Closed:
                    rig.tcp.ServerCloses();
                    return std::vector<Bytes>{};
            }
            return std::nullopt;
        };
        const TransferOutcome o =
            c.send ? SendConfiguration(rig.sensor, WithGain(7)) : GetConfiguration(rig.sensor);
        EXPECT_FALSE(o.ok());
        EXPECT_EQ(HoldsName(o.ram), std::string(HoldsName(c.ram)));
        EXPECT_EQ(HoldsName(o.eeprom), std::string(HoldsName(c.eeprom)));
        const auto report = ReportOf(o, "sensor:5000", rig.sensor.identity());
        ASSERT_TRUE(report.has_value());
        EXPECT_EQ(report->step, c.step);
        EXPECT_EQ(report->kind, kinds[static_cast<int>(c.fault)]);
        ASSERT_TRUE(report->mayHold.has_value());
        EXPECT_EQ(report->mayHold->ram, o.ram);
        EXPECT_EQ(report->mayHold->eeprom, o.eeprom);
        EXPECT_EQ(
            report->Line().rfind("sensor:5000 (KORVANEX V4.3B7, TAVRENO TEST, serial 4711), " +
                                     std::string(c.step) + ": ",
                                 0),
            0u)
            << report->Line();
        // Nothing else went out after the failed step.
        EXPECT_TRUE(rig.Is(rig.scripted.seen.back(), c.command, c.argument));
    }
}

// The sensor refuses one of two values: only that one is named, with what it holds instead,
// and the session's copy holds what the sensor reports, not the value it refused.
TEST(TransferOutcome, ARefusedValueIsNamedAndTheOtherIsHeld) {
    Rig rig;
    rig.scripted.override = [&](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
        if (!rig.Is(r, kCmdWrite, kArgParameters)) return std::nullopt;
        rig.scripted.Normal(r);
        const bool implausible = rig.scripted.para.Gain > 8;
        if (implausible) rig.scripted.para.Gain = 6;
        return std::vector<Bytes>{Frame(1, implausible ? 1 : 0)};
    };
    const Configuration before = rig.sensor.configuration();
    const Configuration asked =
        WithValues(before, {{*FindItem("gain"), 99}, {*FindItem("power"), 650}});
    ASSERT_EQ(before.para.Gain, 6);
    TransferOptions ram;
    ram.memory = Memory::Ram;
    const TransferOutcome o = SendConfiguration(rig.sensor, asked, ram);
    ASSERT_FALSE(o.error) << o.error->message;
    ASSERT_EQ(o.refused.size(), 1u);
    EXPECT_EQ(ValueName(o.refused[0].item), "GAIN");
    EXPECT_EQ(o.refused[0].held, 6);
    EXPECT_EQ(o.ram, Holds::New);
    EXPECT_EQ(OutcomeLine(o), "Sent to RAM: GAIN refused (sent 99, holds 6)");
    EXPECT_EQ(rig.sensor.configuration().para.Gain, 6);
    EXPECT_EQ(rig.sensor.configuration().para.Power, 650);
    const auto failure = o.Failure();
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->kind, SensorFault::Refused);
    EXPECT_EQ(failure->reason, "GAIN: sent 99, holds 6");
    EXPECT_EQ(o.FailureStep(), TransferStep::WriteParameters);
}

// A Send that all went well says how many values changed; verifying reads back from the
// EEPROM; a Get counts what differs from what was shown.
TEST(TransferOutcome, SuccessLinesAndVerification) {
    Rig rig;
    TransferOptions verify;
    verify.verify = true;
    const TransferOutcome sent = SendConfiguration(rig.sensor, WithGain(7), verify);
    EXPECT_TRUE(sent.ok());
    EXPECT_TRUE(sent.verified);
    EXPECT_EQ(rig.scripted.Commands(), (std::vector<int>{7, 15, 2, 2, 1, 1, 3, 4, 2, 2}));
    EXPECT_EQ(OutcomeLine(sent), "Sent to EEPROM: 1 change, all taken, read back alike");
    EXPECT_EQ(sent.ram, Holds::New);
    EXPECT_EQ(sent.eeprom, Holds::New);

    Configuration shown = WithGain(8);
    shown.para.Power = 1;
    TransferOptions get;
    get.shown = &shown;
    get.memory = Memory::Ram;
    const TransferOutcome got = GetConfiguration(rig.sensor, get);
    EXPECT_TRUE(got.ok());
    EXPECT_EQ(got.config()->para.Gain, 7);
    EXPECT_EQ(OutcomeLine(got), "Read from RAM: 2 values differ from what was shown");
    EXPECT_EQ(OutcomeLine(StoreInEeprom(rig.sensor)), "Stored RAM in the EEPROM");
}

}  // namespace
}  // namespace qelto
