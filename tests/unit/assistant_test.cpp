// The teach assistant against a scripted sensor on the fake TCP link. The sensor keeps RAM and
// EEPROM apart and measures a scene chosen by the popups: the brightest colour until the first
// TEACH COLOR prompt, then colour n after the prompt for colour n.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/assistant.hpp"
#include "app/assistant_messages.hpp"
#include "app/control_table.hpp"
#include "app/live.hpp"
#include "doubles/unit_rig.hpp"
#include "link/transaction.hpp"

namespace qelto {
namespace {

struct Request {
    int command;
    int argument;
    double at;  // clock when the sensor received it
};

Bytes SensorReply(int command, std::uint16_t argument, const Bytes& data = {}) {
    Bytes out(kHeaderSize + data.size());
    BuildFrame(static_cast<std::uint8_t>(command), argument, data, out.data());
    return out;
}

constexpr int kBrightest = -1;

struct TeachSensor {
    MemoryUi* ui = nullptr;
    ParameterSet ram, eeprom;
    TeachTable ramTeach{}, eepromTeach{};
    std::uint16_t writeRejects = 0;
    std::vector<Request> log;
    // The measurement of what is in front (kBrightest or a colour number) with the RAM settings.
    std::function<LiveData(const TeachSensor&, int inFront)> measure;
    // True: the sensor stays silent on this request.
    std::function<bool(const Request&, int inFront)> silent;

    int InFront() const {
        const std::string prefix = kTitleTeachColor;
        for (auto it = ui->popups.rbegin(); it != ui->popups.rend(); ++it) {
            if (it->title.rfind(prefix, 0) == 0) return std::stoi(it->title.substr(prefix.size()));
        }
        return kBrightest;
    }

    std::vector<Bytes> Respond(const Bytes& req) {
        const Request r{req[1], GetU16(&req[2]), ui->Timer()};
        log.push_back(r);
        if (silent && silent(r, InFront())) return {};
        const std::uint8_t* data = req.data() + kHeaderSize;
        switch (r.command) {
            case kCmdWrite:
                if (r.argument == kArgParameters) {
                    ParameterSetFromBlock(std::span<const std::uint8_t, kParameterBlockSize>(
                                              data, kParameterBlockSize),
                                          ram);
                } else {
                    TeachTableFromBlock(
                        std::span<const std::uint8_t, kTeachBlockSize>(data, kTeachBlockSize),
                        ramTeach);
                }
                return {SensorReply(1, writeRejects)};
            case kCmdStoreEeprom:
                eeprom = ram;
                eepromTeach = ramTeach;
                return {SensorReply(3, 0)};
            case kCmdLoadEeprom:
                ram = eeprom;
                ramTeach = eepromTeach;
                return {SensorReply(4, 0)};
            case kCmdRead: {
                if (r.argument == kArgParameters) {
                    Bytes b(kParameterBlockSize);
                    ParameterBlockFromSet(
                        ram, std::span<std::uint8_t, kParameterBlockSize>(b.data(), b.size()));
                    return {SensorReply(2, 0, b)};
                }
                Bytes b(kTeachBlockSize);
                TeachBlockFromTable(ramTeach,
                                    std::span<std::uint8_t, kTeachBlockSize>(b.data(), b.size()));
                return {SensorReply(2, 2, b)};
            }
            case kCmdLiveData: {
                const LiveData live = measure ? measure(*this, InFront()) : LiveData{};
                Bytes b(kLiveDataSize);
                live.ToBytes(std::span<std::uint8_t, kLiveDataSize>(b.data(), b.size()));
                return {SensorReply(8, 0, b)};
            }
            default:
                return {SensorReply(0, 1)};
        }
    }

    int Count(int command) const {
        int n = 0;
        for (const auto& r : log)
            n += r.command == command ? 1 : 0;
        return n;
    }
};

LiveData Colour(int red, int green, int blue, int x, int y, int intensity) {
    LiveData d;
    d.w[LiveData::kRed] = static_cast<std::int16_t>(red);
    d.w[LiveData::kGreen] = static_cast<std::int16_t>(green);
    d.w[LiveData::kBlue] = static_cast<std::int16_t>(blue);
    d.w[LiveData::kX] = static_cast<std::int16_t>(x);
    d.w[LiveData::kY] = static_cast<std::int16_t>(y);
    d.w[LiveData::kInt] = static_cast<std::int16_t>(intensity);
    return d;
}

// Colour n as the sensor sees it while teaching.
LiveData TaughtColour(int n) {
    return Colour(900, 1100, 1300, 1000 + 100 * n, 2000 - 50 * n, 300 + 7 * n);
}

// The brightest colour's signal grows with Gain and Integral; it passes DynWinLo (3200) at
// Gain 7 with the default Integral 1.
LiveData DefaultScene(const TeachSensor& s, int inFront) {
    if (inFront != kBrightest) return TaughtColour(inFront);
    const int signal = std::min(4095, 500 * s.ram.Gain * s.ram.Integral);
    return Colour(signal / 2, signal, signal / 3, 1200, 1300, 400);
}

class Assistant : public ::testing::Test {
  protected:
    Assistant() {
        sensor.ui = &rig.ui;
        sensor.measure = DefaultScene;
        rig.tcp.responder = [this](const Bytes& r) { return sensor.Respond(r); };
        IdentifyAs(rig, 1);
        rig.ctx.state.Language = kEnglish;
    }

    void Answer(PopupAnswer a) { rig.ui.answers.push_back(std::move(a)); }
    // Answers up to and including the brightest-colour prompt for `colours` colours.
    void AnswerSetup(int colours) {
        Answer(PopupAnswer::Button(kPromptOk, std::to_string(colours)));
        if (colours <= rig.ctx.assistant.OutputCount()) Answer(PopupAnswer::No());
        Answer(PopupAnswer::Button(kPromptOk));
    }
    static std::string En(AssistantMsg row) { return AssistantMessages[row][kEnglish]; }
    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const auto& p : rig.ui.popups)
            texts.push_back(p.message);
        return texts;
    }
    std::vector<std::string> TitlesOf(PopupKind kind) const {
        std::vector<std::string> titles;
        for (const auto& p : rig.ui.popups) {
            if (p.kind == kind) titles.push_back(p.title);
        }
        return titles;
    }
    const PopupRecord& LastPopup() const { return rig.ui.popups.back(); }
    bool Shown(AssistantMsg row) const {
        for (const auto& p : rig.ui.popups) {
            if (p.message == En(row)) return true;
        }
        return false;
    }

    UnitRig rig;
    TeachSensor sensor;
};

TEST_F(Assistant, WholeRunTeachesFourColoursAndStoresThemInTheEeprom) {
    rig.ctx.state.TransferTarget = kTargetFile;  // the final write goes to the EEPROM regardless
    bool lockedWhileRunning = true;
    rig.tcp.responder = [&](const Bytes& r) {
        lockedWhileRunning = lockedWhileRunning && rig.ui.ctrl(Ctrl::GoButton).dimmed &&
                             rig.ui.ctrl(Ctrl::SendButton).dimmed &&
                             !rig.ui.ctrl(Ctrl::StopButton).dimmed;
        return sensor.Respond(r);
    };
    AnswerSetup(4);

    EXPECT_EQ(DispatchControlEvent(rig.ctx, Ctrl::StartAssistantButton, Event::Commit),
              Outcome::Done);

    EXPECT_EQ(
        TitlesOf(PopupKind::Generic),
        (std::vector<std::string>{"Parameter MAXCOL-No.", "Parameter POWER, GAIN, INTEGRAL"}));
    EXPECT_EQ(TitlesOf(PopupKind::Message),
              (std::vector<std::string>{"", "TEACH COLOR 0", "TEACH COLOR 1", "TEACH COLOR 2",
                                        "TEACH COLOR 3", ""}));
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{
                                  En(MsgHowManyColors), En(MsgDirectOutput), En(MsgPlaceBrightest),
                                  En(MsgDefaultsFirst), En(MsgPlaceColor), En(MsgPlaceColor),
                                  En(MsgPlaceColor), En(MsgPlaceColor), En(MsgSavedToEeprom)}));

    // Power adjustment: Gain 7 is the first to lift the signal above DynWinLo.
    EXPECT_EQ(rig.ctx.working.config().para.Gain, 7);
    EXPECT_EQ(rig.ctx.working.config().para.PowerMode, 0);
    EXPECT_EQ(rig.ctx.working.config().para.MaxVecNo, 4);
    EXPECT_EQ(rig.ctx.working.config().para.DigitalOutMode, 2);
    std::vector<std::pair<int, int>> progress;
    for (int k = 1; k <= 7; ++k)
        progress.emplace_back(k, 106);
    progress.emplace_back(-1, 106);
    EXPECT_EQ(rig.ui.progressLog(), progress);

    for (int n = 0; n < 4; ++n) {
        SCOPED_TRACE("colour " + std::to_string(n));
        const LiveData c = TaughtColour(n);
        const TeachVector& v = rig.ctx.working.config().teach[static_cast<std::size_t>(n)];
        EXPECT_EQ(v.Cell, (std::array<std::uint16_t, 6>{
                              static_cast<std::uint16_t>(c.X()), static_cast<std::uint16_t>(c.Y()),
                              static_cast<std::uint16_t>(c.Int()), 500, 0, 0}));
        EXPECT_EQ(v.Group, 1);
        EXPECT_EQ(v.Hold, 10);
        for (int column = 1; column <= 4; ++column) {
            EXPECT_EQ(rig.ui.cellValue(column, n + 1),
                      v.Cell[static_cast<std::size_t>(column - 1)]);
            EXPECT_EQ(rig.ui.cellColor(column, n + 1), 0xC0C0C0u);
        }
        EXPECT_EQ(sensor.eepromTeach[static_cast<std::size_t>(n)], v);
    }
    EXPECT_EQ(rig.ui.activeCell(), std::make_pair(1, 4));
    EXPECT_EQ(rig.ctx.working.config().teach[4].Cell[0],
              1);  // untaught rows keep the default vector

    // Stored through the EEPROM, and the operator's memory selection is as it was.
    ASSERT_GE(sensor.log.size(), 3u);
    const auto n = sensor.log.size();
    EXPECT_EQ(sensor.log[n - 3].command, kCmdWrite);
    EXPECT_EQ(sensor.log[n - 2].command, kCmdWrite);
    EXPECT_EQ(sensor.log[n - 1].command, kCmdStoreEeprom);
    EXPECT_EQ(sensor.Count(kCmdStoreEeprom), 1);  // FILE kept the adjustment in RAM
    EXPECT_EQ(sensor.eeprom.MaxVecNo, 4);
    EXPECT_EQ(sensor.eeprom.PowerMode, 0);
    EXPECT_EQ(sensor.eeprom.Gain, 7);
    EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetFile);

    // Nothing is left running or locked.
    EXPECT_FALSE(rig.ctx.state.acquiring());
    EXPECT_TRUE(rig.ctx.supervisor.usable());
    EXPECT_TRUE(lockedWhileRunning);
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::GoButton).dimmed);
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::SendButton).dimmed);
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::StartAssistantButton).dimmed);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::InfoBox).text, "");
}

TEST_F(Assistant, EachParameterWriteIsFollowedByHalfASecondBeforeTheReadBack) {
    rig.ctx.state.TransferTarget = kTargetFile;  // write, wait, read: nothing in between
    AnswerSetup(1);
    ASSERT_EQ(rig.ctx.assistant.GetMaxVecNo(), 0);
    ASSERT_EQ(rig.ctx.assistant.SetSensorPower(), 0);
    int reads = 0;
    for (std::size_t i = 1; i < sensor.log.size(); ++i) {
        const Request& r = sensor.log[i];
        if (r.command != kCmdRead || r.argument != kArgParameters) continue;
        ++reads;
        ASSERT_EQ(sensor.log[i - 1].command, kCmdWrite);
        EXPECT_GE(r.at - sensor.log[i - 1].at, 0.5);
    }
    EXPECT_EQ(reads, 7);
    EXPECT_GT(rig.ui.eventPasses, 7);  // the waits went through the event loop
}

// --- The colour count and the output mode

TEST_F(Assistant, CountPromptsOfferOkAndCancelWithAFortyNineCharacterInput) {
    Answer(PopupAnswer::Button(kPromptOk, "0"));
    Answer(PopupAnswer::Button(kPromptOk, "7"));
    ASSERT_EQ(rig.ctx.assistant.GetMaxVecNo(), 0);
    ASSERT_EQ(rig.ui.popups.size(), 2u);
    const char* titles[] = {"Parameter MAXCOL-No.", "MAXCOL-No."};
    const AssistantMsg texts[] = {MsgHowManyColors, MsgValueOutOfRange};
    for (int i = 0; i < 2; ++i) {
        const PopupRecord& p = rig.ui.popups[static_cast<std::size_t>(i)];
        EXPECT_EQ(p.kind, PopupKind::Generic);
        EXPECT_EQ(p.title, titles[i]);
        EXPECT_EQ(p.message, En(texts[i]));
        EXPECT_EQ(p.generic.buttons, (std::array<std::string, 3>{"OK", "CANCEL", ""}));
        EXPECT_EQ(p.generic.enterButton, 1);
        EXPECT_EQ(p.generic.escapeButton, 2);
        EXPECT_TRUE(p.generic.withInput);
        EXPECT_EQ(p.generic.maxInputLength, 49);
    }
    EXPECT_TRUE(sensor.log.empty());  // counting sends nothing
}

struct CountCase {
    std::int32_t model;
    std::vector<std::string> answers;  // one or two count answers
    int maxVecNo;
    bool defaultLoaded;
    std::optional<bool> directOutputAnswer;  // asked, and answered YES (true) or NO
    int digitalOutMode;
};

TEST_F(Assistant, CountAnswersAreReadAsLeadingIntegersWithinTheSensorsLimit) {
    const std::vector<CountCase> cases = {
        {1, {"0", "4"}, 4, false, false, 2},
        {1, {"", "4"}, 4, false, true, 0},
        {1, {"abc", "6"}, 6, false, std::nullopt, 2},
        {1, {"-3", "31"}, 31, false, std::nullopt, 2},
        {1, {"32", "12"}, 12, false, std::nullopt, 2},
        {1, {"  +5 colours"}, 5, false, true, 0},
        {1, {"5"}, 5, false, false, 2},
        {1, {"6"}, 6, false, std::nullopt, 2},
        {1, {"1"}, 1, false, true, 0},
        {1, {"31"}, 31, false, std::nullopt, 2},
        {3, {"31"}, 31, false, std::nullopt, 2},
        {1, {"99999999999", "x"}, 31, true, std::nullopt, 2},
        {1, {"0", "-3"}, 31, true, std::nullopt, 2},
        {2, {"3"}, 3, false, std::nullopt, 2},
        {2, {"2"}, 2, false, true, 0},
        {2, {"4", "1"}, 1, false, false, 2},
        {2, {"31", "4"}, 3, true, std::nullopt, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("model " + std::to_string(c.model) + ", answers '" + c.answers.front() + "'" +
                     (c.answers.size() > 1 ? " then '" + c.answers.back() + "'" : ""));
        rig.ui.popups.clear();
        rig.ui.answers.clear();
        IdentifyAs(rig, c.model);
        SetWorking(rig.ctx, [&](Configuration& c) { c.para.DigitalOutMode = 7; });
        for (const auto& a : c.answers)
            Answer(PopupAnswer::Button(kPromptOk, a));
        if (c.directOutputAnswer) {
            Answer(*c.directOutputAnswer ? PopupAnswer::Yes() : PopupAnswer::No());
        }

        EXPECT_EQ(rig.ctx.assistant.GetMaxVecNo(), 0);

        EXPECT_EQ(rig.ctx.working.config().para.MaxVecNo, c.maxVecNo);
        EXPECT_EQ(rig.ctx.working.config().para.DigitalOutMode, c.digitalOutMode);
        EXPECT_EQ(TitlesOf(PopupKind::Generic).size(), c.answers.size());
        EXPECT_EQ(Shown(MsgDefaultLoaded), c.defaultLoaded);
        EXPECT_EQ(Shown(MsgDirectOutput), c.directOutputAnswer.has_value());
        EXPECT_TRUE(rig.ui.answers.empty());
    }
    EXPECT_EQ(rig.ctx.assistant.OutputCount(), 2);
    IdentifyAs(rig, 0);
    EXPECT_EQ(rig.ctx.assistant.OutputCount(), 5);
    EXPECT_EQ(rig.ctx.assistant.ColorLimit(), 31);
}

// --- Cancelling

TEST_F(Assistant, CancelAtACountPromptSendsNothingAndSaysSo) {
    for (int cancelAt = 1; cancelAt <= 2; ++cancelAt) {
        SCOPED_TRACE("cancel at prompt " + std::to_string(cancelAt));
        rig.ui.popups.clear();
        SetWorking(rig.ctx, [&](Configuration& c) { c.para.MaxVecNo = 9; });
        if (cancelAt == 2) Answer(PopupAnswer::Button(kPromptOk, "0"));
        Answer(PopupAnswer::Button(kPromptCancel, "4"));

        rig.ctx.assistant.StartAssistant();

        EXPECT_EQ(rig.ui.popups.size(), static_cast<std::size_t>(cancelAt) + 1);
        EXPECT_EQ(LastPopup().kind, PopupKind::Message);
        EXPECT_EQ(LastPopup().title, "");
        EXPECT_EQ(LastPopup().message, En(MsgParamCancelled));
        EXPECT_EQ(rig.ctx.working.config().para.MaxVecNo, 31);
        EXPECT_TRUE(sensor.log.empty());
    }
}

TEST_F(Assistant, CancelAtTheBrightestColourPromptEndsSilently) {
    Answer(PopupAnswer::Button(kPromptOk, "4"));
    Answer(PopupAnswer::No());
    Answer(PopupAnswer::Button(kPromptCancel));
    const ParameterSet before = rig.ctx.working.config().para;

    rig.ctx.assistant.StartAssistant();

    EXPECT_EQ(LastPopup().title, "Parameter POWER, GAIN, INTEGRAL");
    EXPECT_EQ(LastPopup().message, En(MsgPlaceBrightest));
    EXPECT_FALSE(LastPopup().generic.withInput);
    EXPECT_EQ(LastPopup().generic.escapeButton, 2);
    EXPECT_TRUE(sensor.log.empty());
    EXPECT_FALSE(rig.ctx.state.acquiring());
    EXPECT_EQ(rig.ctx.working.config().para.Gain, before.Gain);  // no defaults loaded
    EXPECT_TRUE(rig.ui.progressLog().empty());
}

// --- The power adjustment

TEST_F(Assistant, StopEndsTheAdjustmentBeforeTheNextStep) {
    sensor.measure = [](const TeachSensor&, int) { return Colour(10, 10, 10, 0, 0, 0); };
    bool pressed = false;
    rig.onEvents = [&] {
        // STOP while the third step is under way.
        if (!pressed && sensor.ram.Gain == 3) {
            pressed = true;
            rig.ctx.state.acquisition = Acquisition::Stopped;
        }
    };
    AnswerSetup(4);

    rig.ctx.assistant.StartAssistant();

    EXPECT_EQ(LastPopup().message, En(MsgParamCancelled));
    EXPECT_FALSE(Shown(MsgTeachCancelled));
    EXPECT_EQ(TitlesOf(PopupKind::Message), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(sensor.ram.Gain, 3);  // what was written stays in the sensor
    EXPECT_EQ(sensor.ram.PowerMode, 1);
    EXPECT_EQ(sensor.log.back().command, kCmdLiveData);  // the third step ran to its end
    EXPECT_EQ(sensor.Count(kCmdLiveData), 3);
    EXPECT_EQ(rig.ui.progressLog(),
              (std::vector<std::pair<int, int>>{{1, 106}, {2, 106}, {3, 106}, {-1, 106}}));
}

TEST_F(Assistant, AdjustmentStopsOneCountAboveDynWinLoNotAtIt) {
    const std::size_t channels[] = {LiveData::kRed,  LiveData::kGreen, LiveData::kBlue,
                                    LiveData::kAux1, LiveData::kAux2,  LiveData::kAux3};
    for (std::size_t channel : channels) {
        SCOPED_TRACE("word " + std::to_string(channel));
        sensor = TeachSensor{};
        sensor.ui = &rig.ui;
        // Exactly DynWinLo up to Gain 3, one count above from Gain 4.
        sensor.measure = [channel](const TeachSensor& s, int) {
            LiveData d;
            d.w[channel] = static_cast<std::int16_t>(s.ram.DynWinLo + (s.ram.Gain >= 4 ? 1 : 0));
            return d;
        };
        Answer(PopupAnswer::Button(kPromptOk));

        EXPECT_EQ(rig.ctx.assistant.SetSensorPower(), 0);

        EXPECT_EQ(sensor.Count(kCmdLiveData), 4);
        EXPECT_EQ(sensor.ram.Gain, 4);
        EXPECT_EQ(sensor.ram.PowerMode, 0);
        EXPECT_EQ(rig.ctx.working.config().para.PowerMode, 0);
        EXPECT_EQ(sensor.log.back().command, kCmdStoreEeprom);  // the closing write, EEPROM
        EXPECT_EQ(sensor.eeprom.PowerMode, 0);
        EXPECT_FALSE(rig.ctx.state.acquiring());
        EXPECT_EQ(rig.ui.progressLog().back(), std::make_pair(-1, 106));
    }
}

TEST_F(Assistant, AdjustmentRunsThroughGainThenIntegralAndKeepsPowerMode) {
    sensor.measure = [](const TeachSensor& s, int) {
        // Gain must stay at 8 through the whole Integral stage.
        return Colour(s.ram.Integral > 1 && s.ram.Gain != 8 ? 4095 : 100, 0, 0, 0, 0, 0);
    };
    rig.ctx.state.TransferTarget = kTargetFile;
    Answer(PopupAnswer::Button(kPromptOk));

    EXPECT_EQ(rig.ctx.assistant.SetSensorPower(), 0);

    EXPECT_EQ(sensor.Count(kCmdLiveData), 106);
    EXPECT_EQ(sensor.ram.Gain, 8);
    EXPECT_EQ(sensor.ram.Integral, 99);
    EXPECT_EQ(sensor.ram.PowerMode, 1);
    EXPECT_EQ(rig.ctx.working.config().para.PowerMode, 1);
    EXPECT_EQ(sensor.log.back().command, kCmdLiveData);  // no closing write
    EXPECT_FALSE(rig.ctx.state.acquiring());
    EXPECT_TRUE(rig.ctx.supervisor.usable());
    ASSERT_EQ(rig.ui.progressLog().size(), 107u);
    EXPECT_EQ(rig.ui.progressLog()[105], std::make_pair(106, 106));
    EXPECT_EQ(rig.ui.progressLog()[106], std::make_pair(-1, 106));
    EXPECT_GE(rig.ui.Timer(), 53.0);
}

TEST_F(Assistant, AdjustmentStartsFromDefaultsButKeepsTheCountAndOutputMode) {
    SetWorking(rig.ctx, [&](Configuration& c) { c.para.MaxVecNo = 3; });
    SetWorking(rig.ctx, [&](Configuration& c) { c.para.DigitalOutMode = 0; });
    SetWorking(rig.ctx, [&](Configuration& c) { c.para.Average = 17; });
    SetWorking(rig.ctx, [&](Configuration& c) { c.para.DynWinLo = 100; });
    SetWorking(rig.ctx, [&](Configuration& c) { c.teach[40].Cell[0] = 999; });
    sensor.silent = [](const Request&, int) { return true; };  // inspect the first write only
    Answer(PopupAnswer::Button(kPromptOk));

    EXPECT_EQ(rig.ctx.assistant.SetSensorPower(), 1);

    EXPECT_EQ(rig.ctx.working.config().para.MaxVecNo, 3);
    EXPECT_EQ(rig.ctx.working.config().para.DigitalOutMode, 0);
    EXPECT_EQ(rig.ctx.working.config().para.Average, 256);
    EXPECT_EQ(rig.ctx.working.config().para.DynWinLo, 3200);
    EXPECT_EQ(rig.ctx.working.config().para.PowerMode, 1);
    EXPECT_EQ(rig.ctx.working.config().para.Gain, 1);
    EXPECT_EQ(rig.ctx.working.config().teach[40].Cell[0], 1);
    // The failure has been reported; the assistant adds nothing.
    EXPECT_EQ(LastPopup().message, En(MsgDefaultsFirst));
    EXPECT_EQ(rig.ui.ctrl(Ctrl::StatusDisplay).text, "TIMEOUT!");
    EXPECT_EQ(rig.ui.progressLog(), (std::vector<std::pair<int, int>>{{1, 106}, {-1, 106}}));
}

TEST_F(Assistant, RejectedParameterWriteEndsTheAssistantWithTheFailureReportOnly) {
    sensor.writeRejects = 2;
    AnswerSetup(4);

    rig.ctx.assistant.StartAssistant();

    EXPECT_EQ(LastPopup().message, En(MsgDefaultsFirst));
    EXPECT_EQ(sensor.Count(kCmdLiveData), 0);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::StatusDisplay).text, "TIMEOUT!");
    EXPECT_NE(rig.ui.ctrl(Ctrl::InfoBox).text.find("PLAUSIBILITY"), std::string::npos);
    EXPECT_FALSE(rig.ctx.state.acquiring());
}

TEST_F(Assistant, FailedClosingWriteOfTheAdjustmentIsNotASuccess) {
    // The write that ends adjustment mode is the first one with PowerMode 0: refuse it.
    sensor.silent = [this](const Request& r, int) {
        return r.command == kCmdWrite && r.argument == kArgParameters && sensor.ram.Gain == 7 &&
               sensor.Count(kCmdLiveData) == 7;
    };
    AnswerSetup(4);

    rig.ctx.assistant.StartAssistant();

    EXPECT_EQ(LastPopup().message, En(MsgDefaultsFirst));
    EXPECT_TRUE(TitlesOf(PopupKind::Message) == (std::vector<std::string>{""}));
    EXPECT_EQ(rig.ui.ctrl(Ctrl::StatusDisplay).text, "TIMEOUT!");
}

// --- Teaching

TEST_F(Assistant, BrightnessQuestionComesAbove4050OnEachChannel) {
    const std::size_t channels[] = {LiveData::kRed, LiveData::kGreen, LiveData::kBlue};
    for (std::size_t channel : channels) {
        for (int level : {4050, 4051}) {
            for (bool yes : {true, false}) {
                if (level == 4050 && !yes) continue;
                SCOPED_TRACE("word " + std::to_string(channel) + " at " + std::to_string(level) +
                             (yes ? ", YES" : ", NO"));
                rig.ui.popups.clear();
                sensor.log.clear();
                SetWorking(rig.ctx, [](Configuration& c) { c.teach[1].Cell.fill(1); });
                SetWorking(rig.ctx, [&](Configuration& c) { c.para.MaxVecNo = 2; });
                sensor.measure = [channel, level](const TeachSensor&, int inFront) {
                    LiveData d = TaughtColour(inFront);
                    if (inFront == 1) d.w[channel] = static_cast<std::int16_t>(level);
                    return d;
                };
                const bool asked = level > 4050;
                if (asked) Answer(yes ? PopupAnswer::Yes() : PopupAnswer::No());

                const int result = rig.ctx.assistant.TeachColors();

                EXPECT_EQ(Shown(MsgTooBright), asked);
                if (asked) {
                    EXPECT_EQ(rig.ui.popups[2].kind, PopupKind::Confirm);
                    EXPECT_EQ(rig.ui.popups[2].title, "");
                }
                if (asked && yes) {
                    EXPECT_EQ(result, 1);
                    EXPECT_EQ(rig.ctx.working.config().teach[1].Cell[0], 1);  // not stored
                    EXPECT_EQ(rig.ui.cellColor(1, 2), 0x00FFFFu);             // still marked
                    EXPECT_EQ(sensor.Count(kCmdWrite), 0);
                } else {
                    EXPECT_EQ(result, 0);
                    EXPECT_EQ(rig.ctx.working.config().teach[1].Cell[0], TaughtColour(1).X());
                    EXPECT_EQ(rig.ui.cellColor(1, 2), 0xC0C0C0u);
                    EXPECT_EQ(sensor.Count(kCmdStoreEeprom), 1);
                }
            }
        }
    }
}

TEST_F(Assistant, YesToTheBrightnessQuestionCancelsTeaching) {
    sensor.measure = [](const TeachSensor& s, int inFront) {
        if (inFront == 0) return Colour(4051, 100, 100, 1, 2, 3);
        return DefaultScene(s, inFront);
    };
    AnswerSetup(2);
    Answer(PopupAnswer::Yes());

    rig.ctx.assistant.StartAssistant();

    EXPECT_EQ(LastPopup().message, En(MsgTeachCancelled));
    EXPECT_EQ(LastPopup().title, "");
    EXPECT_FALSE(Shown(MsgSavedToEeprom));
    EXPECT_EQ(TitlesOf(PopupKind::Message).size(), 3u);  // defaults, TEACH COLOR 0, cancelled
}

TEST_F(Assistant, ExchangeFailureWhileTeachingIsReportedAndCancels) {
    sensor.silent = [](const Request& r, int inFront) {
        return r.command == kCmdLiveData && inFront == 1;
    };
    AnswerSetup(3);

    rig.ctx.assistant.StartAssistant();

    EXPECT_EQ(LastPopup().message, En(MsgTeachCancelled));
    EXPECT_FALSE(Shown(MsgSavedToEeprom));
    EXPECT_EQ(rig.ui.ctrl(Ctrl::InfoBox).text, std::string(kMsgTimeout) + "\n\n");
    EXPECT_EQ(rig.ui.cellValue(1, 1), TaughtColour(0).X());
    EXPECT_EQ(rig.ui.cellColor(1, 2), 0xC0C0C0u);
    EXPECT_EQ(rig.ctx.working.config().teach[1].Cell[0], 1);  // the default vector, nothing taught
    EXPECT_FALSE(rig.ui.cellColor(1, 3).has_value());         // colour 2 never started
    EXPECT_EQ(sensor.log.back().command, kCmdLiveData);       // nothing written after the failure
}

TEST_F(Assistant, FailedFinalWriteStillFinishesTheAssistant) {
    rig.ctx.state.TransferTarget = kTargetFile;
    sensor.silent = [](const Request& r, int) { return r.command == kCmdStoreEeprom; };
    AnswerSetup(1);

    rig.ctx.assistant.StartAssistant();

    EXPECT_EQ(LastPopup().message, En(MsgSavedToEeprom));
    EXPECT_EQ(rig.ui.ctrl(Ctrl::InfoBox).text, std::string(kMsgTimeout) + "\n\n");
    EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetFile);
}

TEST_F(Assistant, NeverTeachesMoreRowsThanTheSensorTakes) {
    IdentifyAs(rig, 2);
    SetWorking(rig.ctx, [&](Configuration& c) {
        c.para.MaxVecNo = 200;
    });  // as a confused sensor might report it back
    EXPECT_EQ(rig.ctx.assistant.TeachColors(), 0);
    EXPECT_EQ(TitlesOf(PopupKind::Message),
              (std::vector<std::string>{"TEACH COLOR 0", "TEACH COLOR 1", "TEACH COLOR 2", ""}));
}

// --- Language

TEST_F(Assistant, LanguageChoosesTheColumn) {
    for (std::int32_t language : {0, 1, 6, 9}) {
        SCOPED_TRACE("language " + std::to_string(language));
        rig.ui.popups.clear();
        rig.ctx.state.Language = language;
        Answer(PopupAnswer::Button(kPromptOk, "x"));
        Answer(PopupAnswer::Button(kPromptCancel));

        rig.ctx.assistant.StartAssistant();

        const std::size_t column = language == 9 ? kEnglish : static_cast<std::size_t>(language);
        ASSERT_EQ(rig.ui.popups.size(), 3u);
        EXPECT_EQ(rig.ui.popups[0].message, AssistantMessages[MsgHowManyColors][column]);
        EXPECT_EQ(rig.ui.popups[1].message, AssistantMessages[MsgValueOutOfRange][column]);
        EXPECT_EQ(rig.ui.popups[2].message, AssistantMessages[MsgParamCancelled][column]);
        // Titles and buttons are the same in every language.
        EXPECT_EQ(rig.ui.popups[0].title, "Parameter MAXCOL-No.");
        EXPECT_EQ(rig.ui.popups[0].generic.buttons[1], "CANCEL");
    }
}

}  // namespace
}  // namespace qelto
