// The simulated sensor's wire-side pieces without sockets: fault texts and what they do to a
// reply, the request framer, and the program's options.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "faults.hpp"
#include "link/transaction.hpp"
#include "request_framer.hpp"
#include "sim_options.hpp"

namespace qelto::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Frame(int command, std::uint16_t argument, const Bytes& data = {}) {
    Bytes out(kHeaderSize + data.size());
    BuildFrame(static_cast<std::uint8_t>(command), argument, data, out.data());
    return out;
}

FaultRule Parse(const std::string& text) {
    std::string error;
    auto rule = ParseFault(text, error);
    EXPECT_TRUE(rule) << text << ": " << error;
    return rule.value_or(FaultRule{});
}

Bytes Joined(const ReplyPlan& plan) {
    Bytes out;
    for (const auto& p : plan.pieces)
        out.insert(out.end(), p.bytes.begin(), p.bytes.end());
    return out;
}

bool HeaderCrcOk(const Bytes& f) {
    return crc8({f.data(), 7}) == f[7];
}

// --- Fault texts ----------------------------------------------------------------------------

TEST(SimFaultText, KindsValuesAndTriggersAreRead) {
    FaultRule r = Parse("delay=250,every=10,cmd=8");
    EXPECT_EQ(r.kind, FaultKind::Delay);
    EXPECT_EQ(r.value, 250);
    EXPECT_EQ(r.when, FaultWhen::Every);
    EXPECT_EQ(r.every, 10);
    EXPECT_EQ(r.command, 8);

    r = Parse("bad-data-crc,prob=0.25");
    EXPECT_EQ(r.kind, FaultKind::BadDataCrc);
    EXPECT_EQ(r.when, FaultWhen::Probability);
    EXPECT_DOUBLE_EQ(r.probability, 0.25);

    r = Parse("pieces=4,gap=100,times=2");
    EXPECT_EQ(r.value, 4);
    EXPECT_EQ(r.gapMs, 100);
    EXPECT_EQ(r.times, 2);
    EXPECT_EQ(r.when, FaultWhen::Next);

    EXPECT_EQ(Parse("error").value, 1);
    EXPECT_EQ(Parse("length-over").value, 2100);
    EXPECT_EQ(Parse("close").kind, FaultKind::Close);
    EXPECT_EQ(DescribeFault(Parse("error=2,cmd=8")), "error=2,times=1,cmd=8");
}

TEST(SimFaultText, BadTextsAreRefusedWithAReason) {
    for (const char* text :
         {"", "explode", "delay=-1", "delay=abc", "no-reply=3", "pieces=1", "length-over=2040",
          "error=70000", "delay,every=0", "delay,prob=1.5", "delay,every=2,prob=0.5",
          "delay,cmd=256", "delay,colour=red", "delay,every"}) {
        std::string error;
        EXPECT_FALSE(ParseFault(text, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

// --- Reply plans ----------------------------------------------------------------------------

TEST(SimFaultPlan, EachKindShapesTheReplyAsNamed) {
    const Bytes reply = Frame(8, 0, Bytes(42, 0x11));
    auto plan = [&](const std::string& text) {
        const FaultRule r = Parse(text);
        return PlanReply(reply, &r);
    };
    EXPECT_EQ(Joined(PlanReply(reply, nullptr)), reply);

    EXPECT_TRUE(plan("no-reply").pieces.empty());
    EXPECT_FALSE(plan("no-reply").close);
    EXPECT_TRUE(plan("close").close);

    const ReplyPlan delayed = plan("delay=700");
    ASSERT_EQ(delayed.pieces.size(), 1u);
    EXPECT_EQ(delayed.pieces[0].delayMs, 700);
    EXPECT_EQ(delayed.pieces[0].bytes, reply);

    Bytes b = Joined(plan("bad-start"));
    EXPECT_EQ(b[0], 0x56);
    EXPECT_TRUE(HeaderCrcOk(b));

    b = Joined(plan("bad-header-crc"));
    EXPECT_EQ(b[0], kStartByte);
    EXPECT_FALSE(HeaderCrcOk(b));

    b = Joined(plan("bad-data-crc"));
    EXPECT_TRUE(HeaderCrcOk(b));
    EXPECT_NE(b[6], crc8({b.data() + 8, 42}));

    EXPECT_EQ(Joined(plan("truncate")).size(), reply.size() / 2);
    EXPECT_EQ(Joined(plan("truncate=5")), Bytes(reply.begin(), reply.begin() + 5));
    EXPECT_EQ(Joined(plan("truncate=999")).size(), reply.size() - 1);

    const ReplyPlan pieces = plan("pieces=4,gap=30");
    ASSERT_EQ(pieces.pieces.size(), 4u);
    EXPECT_EQ(pieces.pieces[0].delayMs, 0);
    EXPECT_EQ(pieces.pieces[3].delayMs, 30);
    EXPECT_EQ(Joined(pieces), reply);

    b = Joined(plan("length-over=3000"));
    EXPECT_TRUE(HeaderCrcOk(b));
    EXPECT_EQ(GetU16(b.data() + 4), 3000);

    b = Joined(plan("garbage=6"));
    EXPECT_EQ(b.size(), reply.size() + 6);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + static_cast<long>(reply.size())), reply);

    EXPECT_EQ(Joined(plan("error=2")), Frame(kCmdErrorReply, 2));

    // The reply before this one, ahead of it; before the first reply there is none.
    const Bytes before = Frame(2, 2, Bytes(512, 3));
    const FaultRule stale = Parse("stale");
    b = before;
    b.insert(b.end(), reply.begin(), reply.end());
    EXPECT_EQ(Joined(PlanReply(reply, &stale, before)), b);
    EXPECT_EQ(Joined(PlanReply(reply, &stale)), reply);
}

// --- Fault schedule -------------------------------------------------------------------------

TEST(SimFaultSchedule, NextEveryAndCommandFilterStrikeTheRightReplies) {
    FaultSchedule s;
    s.Add(Parse("no-reply,times=2,cmd=8"));
    s.Add(Parse("error=2,every=3"));
    std::vector<std::string> got;
    for (int cmd : {7, 8, 8, 8, 7, 8, 7}) {
        const auto f = s.Pick(cmd);
        got.push_back(f ? FaultKindName(f->kind) : "-");
    }
    // Replies 3 and 6 carry the error; the no-reply rule takes the first two command-8
    // replies (the second of which is also the third reply overall: the first rule wins).
    EXPECT_EQ(got, (std::vector<std::string>{"-", "no-reply", "no-reply", "-", "-", "error", "-"}));
    EXPECT_EQ(s.size(), 1u);  // the used-up rule is gone
    s.Clear();
    EXPECT_FALSE(s.Pick(8));
}

TEST(SimFaultSchedule, ProbabilityIsReproducibleFromTheSeed) {
    auto run = [](std::uint64_t seed) {
        FaultSchedule s(seed);
        s.Add(Parse("no-reply,prob=0.3"));
        std::string hits;
        for (int i = 0; i < 400; ++i)
            hits += s.Pick(8) ? 'x' : '.';
        return hits;
    };
    const std::string a = run(5);
    EXPECT_EQ(a, run(5));
    EXPECT_NE(a, run(6));
    const auto n = std::count(a.begin(), a.end(), 'x');
    EXPECT_GT(n, 80);
    EXPECT_LT(n, 160);
}

// --- Request framer -------------------------------------------------------------------------

TEST(SimRequestFramer, JoinsPiecesAndSplitsBackToBackRequests) {
    RequestFramer f;
    const Bytes a = Frame(1, 0, Bytes(52, 3));
    const Bytes b = Frame(8, 0);
    Bytes stream = a;
    stream.insert(stream.end(), b.begin(), b.end());
    f.Feed({stream.data(), 5});
    EXPECT_FALSE(f.Next());
    f.Feed({stream.data() + 5, 30});
    EXPECT_FALSE(f.Next());
    EXPECT_TRUE(f.HasPartial());
    f.Feed({stream.data() + 35, stream.size() - 35});
    EXPECT_EQ(f.Next(), a);
    EXPECT_EQ(f.Next(), b);
    EXPECT_FALSE(f.Next());
    EXPECT_FALSE(f.HasPartial());
}

TEST(SimRequestFramer, ABrokenRequestIsHandedOnOnceAndTheNextGoodOneIsFound) {
    RequestFramer f;
    Bytes broken = Frame(1, 0, Bytes(52, 0x55));  // data full of start bytes
    broken[7] ^= 0xFF;
    const Bytes good = Frame(7, 0);
    f.Feed(broken);
    f.Feed(good);
    const auto first = f.Next();
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, Bytes(broken.begin(), broken.begin() + 8));
    EXPECT_EQ(f.Next(), good);
    EXPECT_FALSE(f.Next());
    EXPECT_EQ(f.DiscardedBytes(), broken.size());

    // A length the sensor cannot hold is broken as well.
    Bytes huge = Frame(1, 0);
    PutU16(huge.data() + 4, 2041);
    huge[7] = crc8({huge.data(), 7});
    f.Feed(huge);
    f.Feed(good);
    EXPECT_EQ(f.Next(), huge);
    EXPECT_EQ(f.Next(), good);
}

TEST(SimRequestFramer, AnAbandonedRequestCanBeDropped) {
    RequestFramer f;
    const Bytes a = Frame(1, 2, Bytes(512, 1));
    f.Feed({a.data(), 100});
    EXPECT_FALSE(f.Next());
    f.DropPartial();
    EXPECT_FALSE(f.HasPartial());
    f.Feed(Frame(8, 0));
    EXPECT_EQ(f.Next(), Frame(8, 0));
}

// --- Program options ------------------------------------------------------------------------

std::optional<SimOptions> Options(std::vector<std::string> args, std::string* errorOut = nullptr) {
    std::string error;
    auto o = ParseSimOptions(args, error);
    if (errorOut) *errorOut = error;
    return o;
}

TEST(SimOptions, EveryOptionIsTaken) {
    const auto o =
        Options({"--tcp",      "0.0.0.0:5001", "--pty",      "--baud",           "9600",
                 "--tcp-baud", "115200",       "--firmware", "KORVANEX SL V1.2", "--name",
                 "N",          "--serial",     "65535",      "--seed",           "42",
                 "--no-noise", "--scene",      "grey",       "--cycle",          "2.5",
                 "--fault",    "delay=100",    "--fault",    "close,every=5",    "--verbose"});
    ASSERT_TRUE(o);
    EXPECT_TRUE(o->tcp);
    EXPECT_EQ(o->tcpHost, "0.0.0.0");
    EXPECT_EQ(o->tcpPort, 5001);
    EXPECT_TRUE(o->pty);
    EXPECT_EQ(o->ptyBaud, 9600);
    EXPECT_EQ(o->tcpBaud, 115200);
    EXPECT_EQ(o->sensor.firmware, "KORVANEX SL V1.2");
    EXPECT_EQ(o->sensor.serialNumber, 65535);
    EXPECT_EQ(o->sensor.seed, 42u);
    EXPECT_FALSE(o->sensor.noise);
    EXPECT_EQ(o->scene, "grey");
    EXPECT_DOUBLE_EQ(o->cycleSeconds, 2.5);
    EXPECT_EQ(o->faults.size(), 2u);
    EXPECT_TRUE(o->verbose);

    const auto plain = Options({"--tcp", "5000"});
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->tcpHost, "127.0.0.1");
    EXPECT_EQ(plain->tcpPort, 5000);
    EXPECT_EQ(plain->ptyBaud, 115200);
    EXPECT_EQ(plain->tcpBaud, 0);
    const auto rgb = Options({"--pty", "--rgb", "0.5,0.25,1"});
    ASSERT_TRUE(rgb && rgb->rgb);
    EXPECT_DOUBLE_EQ(rgb->rgb->green, 0.25);
    EXPECT_DOUBLE_EQ(plain->sensor.spread, 0);

    // A list of patches of one's own: the scene and the taught count are checked against it.
    const auto near =
        Options({"--pty", "--spread", "2.5", "--scene", "ivory", "--patch", "cream=0.9,0.86,0.7",
                 "--patch", "ivory=0.91,0.87,0.72", "--taught", "2"});
    ASSERT_TRUE(near);
    EXPECT_DOUBLE_EQ(near->sensor.spread, 2.5);
    ASSERT_EQ(near->patches.size(), 2u);
    EXPECT_EQ(near->patches[1].name, "ivory");
    EXPECT_DOUBLE_EQ(near->patches[1].blue, 0.72);
    EXPECT_EQ(near->taught, 2u);
}

TEST(SimOptions, MistakesAreNamed) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--tcp", "5000", "--bogus"}, "unknown option '--bogus'"},
        {{"--tcp"}, "option --tcp needs a value"},
        {{"--tcp", "70000"}, "bad value '70000' for --tcp"},
        {{"--tcp", ":5000"}, "bad value ':5000' for --tcp"},
        {{"--pty", "--serial", "65536"}, "bad value '65536' for --serial"},
        {{"--pty", "--baud", "fast"}, "bad value 'fast' for --baud"},
        {{"--pty", "--seed", "-1"}, "bad value '-1' for --seed"},
        {{"--pty", "--scene", "purple"}, "bad value 'purple' for --scene"},
        {{"--pty", "--rgb", "1,2,3"}, "bad value '1,2,3' for --rgb"},
        {{"--pty", "--cycle", "-1"}, "bad value '-1' for --cycle"},
        {{"--pty", "--spread", "60"}, "bad value '60' for --spread"},
        {{"--pty", "--patch", "0.5,0.5,0.5"}, "bad value '0.5,0.5,0.5' for --patch"},
        {{"--pty", "--patch", "a=1,1,1", "--patch", "A=0,0,0"}, "'A' is given twice"},
        {{"--pty", "--patch", "a=1,1,1", "--taught", "2"}, "expected 0..1 (the scene has 1"},
        {{"--pty", "--patch", "a=1,1,1", "--scene", "red"}, "expected 0..0 or a patch name (0 a)"},
        {{"--pty", "--fault", "melt"}, "unknown fault 'melt'"},
        {{"--verbose"}, "nothing to serve"},
    };
    for (const auto& [args, expected] : cases) {
        std::string error;
        EXPECT_FALSE(Options(args, &error)) << expected;
        EXPECT_NE(error.find(expected), std::string::npos) << error;
    }
    ASSERT_TRUE(Options({"--help"}));
    EXPECT_TRUE(Options({"--help"})->help);
}

// Whole numbers are decimal digits, whatever else the option library would read them as.
TEST(SimOptions, NumbersAreDecimal) {
    const auto leadingZero = Options({"--pty", "--serial", "010", "--tcp=0"});
    ASSERT_TRUE(leadingZero);
    EXPECT_EQ(leadingZero->sensor.serialNumber, 10) << "not octal";
    EXPECT_TRUE(leadingZero->tcp);
    for (const char* number : {"0x10", "+5", " 5", "-0"})
        EXPECT_FALSE(Options({"--pty", "--serial", number})) << number;
}

TEST(SimOptions, UsageMentionsEveryOption) {
    for (const char* opt : {"--tcp", "--pty", "--baud", "--tcp-baud", "--firmware", "--name",
                            "--serial", "--seed", "--no-noise", "--spread", "--scene", "--rgb",
                            "--cycle", "--taught", "--patch", "--fault", "--verbose", "--help"}) {
        EXPECT_NE(std::string(kSimUsage).find(std::string("  ") + opt + " "), std::string::npos)
            << opt;
    }
}

}  // namespace
}  // namespace qelto::sim
