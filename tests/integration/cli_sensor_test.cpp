// The built qelto-cli against simulated sensors: the sensor runs in this test's event loop
// (loopback TCP or a pseudo-terminal) while the tool runs as a process of its own.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "app/live.hpp"
#include "app/panel_settings.hpp"
#include "doubles/scripted_sensor.hpp"
#include "files/inifile.hpp"
#include "link/transaction.hpp"
#include "protocol/records.hpp"
#include "python_json.hpp"
#include "qt_rig.hpp"
#include "sensor_model.hpp"
#include "sim_server.hpp"

namespace qelto {
namespace {

// Another sensor answered where the lost one was (qelto-cli --reconnect).
constexpr int kExitOtherSensorCode = 6;
// A file could not be used; fleet check: a sensor differs; fleet: a sensor failed.
constexpr int kExitFileCode = 4;
constexpr int kExitDifferCode = 5;
constexpr int kExitFleetFailedCode = 8;

QString CliPath() {
    const char* path = std::getenv("QELTO_CLI");
    return path ? QString::fromLocal8Bit(path) : QString();
}

QString SimPath() {
    const char* path = std::getenv("QELTO_SIM");
    return path ? QString::fromLocal8Bit(path) : QString();
}

struct CliRun {
    int code = -1;
    bool crashed = false;
    std::string out;
    std::string err;
};

// Waits for a process in an event loop of its own, so that a sensor served from this thread
// keeps answering meanwhile.
void AwaitFinished(QProcess& p, int timeoutMs) {
    if (p.state() != QProcess::NotRunning) {
        QEventLoop loop;
        QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (p.state() != QProcess::NotRunning) {
        ADD_FAILURE() << "qelto-cli did not finish in time";
        p.kill();
        p.waitForFinished(2000);
    }
}

CliRun RunCliAt(const QString& program, const QStringList& args,
                const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                int timeoutMs = 10000) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    EXPECT_TRUE(p.waitForStarted(5000));
    AwaitFinished(p, timeoutMs);
    return {p.exitCode(), p.exitStatus() == QProcess::CrashExit,
            p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

CliRun RunCli(const QStringList& args) {
    return RunCliAt(CliPath(), args);
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

sim::SensorConfig Quiet(std::string firmware = sim::kDefaultFirmware) {
    sim::SensorConfig c;
    c.noise = false;
    c.firmware = std::move(firmware);
    return c;
}

// A configuration unlike the defaults in every field that can differ, and within the ranges
// the sensor accepts.
void DistinctConfiguration(ParameterSet& p, TeachTable& t) {
    LoadDefaultParaValues(p, t, 1);
    p.Power = 777;
    p.Average = 1000;
    p.EvaluationMode = 5;
    p.HoldFail = 1234;
    p.IntLim = 99;
    p.MaxVecNo = 7;
    p.DigitalOutMode = 0;
    p.DynWinLo = 3000;
    p.Gain = 3;
    p.Integral = 42;
    p.Power2 = 321;
    p.CorrectionZ = 201;
    for (std::size_t r = 0; r < kSensorTeachRows; ++r) {
        const auto k = static_cast<std::uint16_t>(r);
        t[r].Cell = {static_cast<std::uint16_t>(100 + k),
                     static_cast<std::uint16_t>(2000 + k),
                     static_cast<std::uint16_t>(300 + k),
                     400,
                     k,
                     7};
        t[r].Group = static_cast<std::uint16_t>(r % 16);
        t[r].Hold = static_cast<std::uint16_t>(100 + k);
    }
}

bool SameSensorRows(const TeachTable& a, const TeachTable& b) {
    for (std::size_t r = 0; r < kSensorTeachRows; ++r) {
        if (!(a[r] == b[r])) return false;
    }
    return true;
}

std::int32_t FileInt(const QString& path, const char* section, const char* key) {
    IniHandle doc = Ini_New(0);
    Ini_ReadFromFile(doc.get(), path.toStdString());
    std::int32_t v = -1;
    Ini_GetInt(doc.get(), section, key, v);
    return v;
}

// t, the seven values, and the clock time of the sample.
const QRegularExpression kCsvLine(
    R"(^\d+\.\d{6}(,-?\d+){7},\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d$)");

class CliSensor : public ::testing::Test {
  protected:
    void SetUp() override {
        if (CliPath().isEmpty()) GTEST_SKIP() << "QELTO_CLI is not set";
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(server.ListenTcp());
    }
    static QStringList Tcp(const sim::SimServer& s) {
        return {"--tcp", "127.0.0.1:" + QString::number(s.tcpPort())};
    }
    QStringList Tcp() const { return Tcp(server); }
    QString File(const char* name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    sim::SensorModel model{Quiet()};
    sim::SimServer server{model};
};

TEST_F(CliSensor, BackupOfOneSensorRestoresIntoAnother) {
    ParameterSet para;
    TeachTable teach{};
    DistinctConfiguration(para, teach);
    model.SetEeprom(para, teach);

    const QString backup = File("backup.ini");
    const CliRun get = RunCli(Tcp() + QStringList{"get", "-o", backup});
    ASSERT_EQ(get.code, 0) << get.err;
    EXPECT_EQ(model.CommandCount(kCmdLoadEeprom), 1u) << "the backup goes through the EEPROM";

    sim::SensorModel second{Quiet()};
    sim::SimServer secondServer{second};
    ASSERT_TRUE(secondServer.ListenTcp());
    const CliRun send = RunCli(Tcp(secondServer) + QStringList{"send", "-i", backup});
    ASSERT_EQ(send.code, 0) << send.err;
    EXPECT_EQ(second.EepromParameters(), para);
    EXPECT_TRUE(SameSensorRows(second.EepromTeach(), teach));
    EXPECT_EQ(second.CommandCount(kCmdStoreEeprom), 1u);
    EXPECT_TRUE(Contains(send.err, "stored it in its EEPROM")) << send.err;
}

TEST_F(CliSensor, RamOnlyTransfersLeaveTheEepromAlone) {
    ParameterSet ram;
    TeachTable ramTeach{};
    DistinctConfiguration(ram, ramTeach);
    model.SetRam(ram, ramTeach);

    const QString file = File("ram.ini");
    const CliRun get = RunCli(Tcp() + QStringList{"--ram", "get", "-o", file});
    ASSERT_EQ(get.code, 0) << get.err;
    EXPECT_EQ(model.CommandCount(kCmdLoadEeprom), 0u);
    EXPECT_EQ(FileInt(file, "PARAMETER", "POWER"), 777) << "the RAM, not the EEPROM, was read";

    sim::SensorModel target{Quiet()};
    sim::SimServer targetServer{target};
    ASSERT_TRUE(targetServer.ListenTcp());
    const ParameterSet eepromBefore = target.EepromParameters();
    const TeachTable eepromTeachBefore = target.EepromTeach();
    const CliRun send = RunCli(Tcp(targetServer) + QStringList{"send", "--ram", "-i", file});
    ASSERT_EQ(send.code, 0) << send.err;
    EXPECT_EQ(target.RamParameters(), ram);
    EXPECT_TRUE(SameSensorRows(target.RamTeach(), ramTeach));
    EXPECT_EQ(target.EepromParameters(), eepromBefore);
    EXPECT_EQ(target.EepromTeach(), eepromTeachBefore);
    EXPECT_EQ(target.CommandCount(kCmdStoreEeprom), 0u);
    EXPECT_EQ(target.CommandCount(kCmdLoadEeprom), 0u);
}

TEST_F(CliSensor, SendTakesTheFilesAverageAndReportsARejectedValue) {
    const QString file = File("p.ini");
    ASSERT_EQ(RunCli({"defaults", "-o", file}).code, 0);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(f.readAll());
    f.close();

    text.replace("AVERAGE = 256", "AVERAGE = 4096");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
    f.close();
    const CliRun ok = RunCli(Tcp() + QStringList{"send", "-i", file});
    ASSERT_EQ(ok.code, 0) << ok.err;
    EXPECT_EQ(model.EepromParameters().Average, 4096);

    // The sensor accepts averages up to 32768; 0 is replaced and counted.
    text.replace("AVERAGE = 4096", "AVERAGE = 0");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
    f.close();
    const CliRun rejected = RunCli(Tcp() + QStringList{"send", "-i", file});
    EXPECT_EQ(rejected.code, 7);
    EXPECT_TRUE(Contains(rejected.err,
                         "INFO!\n1 PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET "
                         "TO DEFAULT VALUE!"))
        << rejected.err;
}

TEST_F(CliSensor, AForeignFileIsRefusedBeforeTheSensorIsTouchedUnlessForced) {
    const QString file = File("foreign.ini");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Printer]\r\nName = \"office\"\r\n");
    f.close();

    const CliRun refused = RunCli(Tcp() + QStringList{"send", "-i", file});
    EXPECT_EQ(refused.code, 4);
    EXPECT_TRUE(Contains(refused.err,
                         "Selected file is not a parameter file! \nDo you want to "
                         "proceed anyway?\n-> no"))
        << refused.err;
    EXPECT_EQ(server.tcpClientsServed(), 0u);
    EXPECT_EQ(model.RequestCount(), 0u);

    const CliRun forced = RunCli(Tcp() + QStringList{"send", "-i", file, "--force"});
    ASSERT_EQ(forced.code, 0) << forced.err;
    EXPECT_TRUE(Contains(forced.err,
                         "Selected file and qelto version do not match! \nDo you "
                         "want to proceed anyway?\n-> yes"))
        << forced.err;
    // Nothing in the file: every value is the parameter file's own default.
    EXPECT_EQ(model.EepromParameters().Average, 1);
    EXPECT_EQ(model.EepromParameters().Gain, 5);
    EXPECT_EQ(model.EepromTeach()[0].Group, 0);
}

TEST_F(CliSensor, DiffListsWhatASendWouldChangeAndWritesNothing) {
    ParameterSet para;
    TeachTable teach{};
    DistinctConfiguration(para, teach);
    model.SetRam(para, teach);
    const QString file = File("edited.ini");
    ASSERT_EQ(RunCli(Tcp() + QStringList{"--ram", "get", "-o", file}).code, 0);
    const QString original = File("original.ini");
    QFile::copy(file, original);
    {
        IniHandle doc = Ini_New(0);
        Ini_ReadFromFile(doc.get(), file.toStdString());
        Ini_PutInt(doc.get(), "PARAMETER", "POWER", 778);
        Ini_PutInt(doc.get(), "PARAMETER", "GAIN", 4);
        Ini_PutInt(doc.get(), "TEACH VECTOR 3", "CELL 0", 999);
        Ini_PutInt(doc.get(), "TEACH VECTOR 40", "CELL 0", 999);  // not a row the sensor holds
        ASSERT_GE(Ini_WriteToFile(doc.get(), file.toStdString()), 0);
    }
    const std::size_t before = model.CommandCount(kCmdRead);
    const CliRun diff = RunCli(Tcp() + QStringList{"diff", file});
    EXPECT_EQ(diff.code, 5) << diff.err;
    EXPECT_EQ(diff.out,
              "[PARAMETER] POWER: 777 -> 778\n"
              "[PARAMETER] GAIN: 3 -> 4\n"
              "[TEACH VECTOR 3] CELL 0: 103 -> 999\n");
    EXPECT_EQ(model.CommandCount(kCmdRead), before + 2);
    for (int write : {kCmdWrite, kCmdStoreEeprom, kCmdLoadEeprom})
        EXPECT_EQ(model.CommandCount(write), 0u) << write;

    // Two files, no sensor: the row the sensor does not hold counts too; a file against
    // itself is the same.
    const CliRun files = RunCli({"diff", original, file});
    EXPECT_EQ(files.code, 5) << files.err;
    EXPECT_EQ(std::count(files.out.begin(), files.out.end(), '\n'), 4);
    const CliRun same = RunCli({"diff", file, file});
    EXPECT_EQ(same.code, 0) << same.err;
    EXPECT_EQ(same.out, "");
}

// set changes the values it names and no others, in the EEPROM; a mistake on the command line
// sends nothing; a value the sensor refuses is named.
TEST_F(CliSensor, SetChangesOnlyTheNamedValues) {
    ParameterSet para;
    TeachTable teach{};
    DistinctConfiguration(para, teach);
    model.SetEeprom(para, teach);

    const CliRun set =
        RunCli(Tcp() + QStringList{"set", "gain=4", "DYNWIN_LO=3100", "teach_vector_2.cell_0=900"});
    ASSERT_EQ(set.code, 0) << set.err;
    EXPECT_EQ(set.out,
              "[PARAMETER] DYNWIN LO: 3000 -> 3100\n"
              "[PARAMETER] GAIN: 3 -> 4\n"
              "[TEACH VECTOR 2] CELL 0: 102 -> 900\n");
    ParameterSet expected = para;
    expected.Gain = 4;
    expected.DynWinLo = 3100;
    TeachTable expectedTeach = teach;
    expectedTeach[2].Cell[0] = 900;
    EXPECT_EQ(model.EepromParameters(), expected);
    EXPECT_TRUE(SameSensorRows(model.EepromTeach(), expectedTeach));

    const std::size_t requests = model.CommandCount(kCmdFirmware);
    for (const QStringList& wrong :
         {QStringList{"set", "gian=4"}, QStringList{"set", "gain=65536"},
          QStringList{"set", "teach_vector_32.cell_0=1"}, QStringList{"set", "gain=4", "GAIN=5"},
          QStringList{"set", "parameter.parameter.gain=5"},
          QStringList{"set", "teach_vector_2.parameter.gain=5"}}) {
        const CliRun refused = RunCli(Tcp() + wrong);
        EXPECT_EQ(refused.code, 2) << refused.err;
    }
    EXPECT_EQ(model.CommandCount(kCmdFirmware), requests) << "a usage error touches no sensor";

    const CliRun implausible = RunCli(Tcp() + QStringList{"set", "gain=99"});
    EXPECT_EQ(implausible.code, 7) << implausible.err;
    EXPECT_TRUE(Contains(implausible.err, "refused: [PARAMETER] GAIN = 99 (the sensor holds"))
        << implausible.err;
}

TEST_F(CliSensor, FileProblemsEndBeforeAConnection) {
    EXPECT_EQ(RunCli(Tcp() + QStringList{"send", "-i", File("missing.ini")}).code, 4);
    EXPECT_EQ(RunCli(Tcp() + QStringList{"send", "-i", dir.path()}).code, 4);
    const CliRun noDir = RunCli(Tcp() + QStringList{"get", "-o", File("no/such/dir/p.ini")});
    EXPECT_EQ(noDir.code, 4);
    EXPECT_TRUE(Contains(noDir.err, "no such directory")) << noDir.err;
    EXPECT_EQ(server.tcpClientsServed(), 0u);
}

TEST_F(CliSensor, IdentifyPrintsTheSensorAndAnswersTheDefaultsQuestionByFlag) {
    model.SetFirmware("KORVANEX SLE V1.0.3 C2");
    model.SetName("LINE 4 STATION 2");
    model.SetSerialNumber(65535);
    ParameterSet para;
    TeachTable teach{};
    DistinctConfiguration(para, teach);
    model.SetEeprom(para, teach);

    const CliRun plain = RunCli(Tcp() + QStringList{"identify"});
    ASSERT_EQ(plain.code, 0) << plain.err;
    EXPECT_EQ(plain.out,
              "firmware: KORVANEX SLE V1.0C2\nfamily: 3\nname: LINE 4 STATION 2\nserial: 65535\n");
    EXPECT_EQ(model.EepromParameters(), para) << "no defaults without --send-defaults";

    const CliRun defaults = RunCli(Tcp() + QStringList{"--send-defaults", "identify"});
    ASSERT_EQ(defaults.code, 0) << defaults.err;
    ParameterSet expected;
    TeachTable expectedTeach{};
    LoadDefaultParaValues(expected, expectedTeach, 1);
    EXPECT_EQ(model.EepromParameters(), expected);
}

TEST_F(CliSensor, VerboseShowsEveryFrameInHex) {
    const CliRun run = RunCli(Tcp() + QStringList{"--verbose", "identify"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(Contains(run.err, "> 55 07 00 00 00 00 AA 52\n")) << run.err;
    EXPECT_TRUE(Contains(run.err, "> 55 0F 00 00 00 00 AA F3\n")) << run.err;
    EXPECT_TRUE(Contains(run.err, "< 55 07 00 00 ")) << run.err;
    EXPECT_FALSE(Contains(run.out, "55 07")) << "stdout carries only the result";

    // A reply the link rejects is shown too: it is the one that tells what went wrong.
    std::string error;
    server.AddFault(*sim::ParseFault("bad-start,cmd=7", error));
    const CliRun broken = RunCli(Tcp() + QStringList{"--verbose", "identify"});
    EXPECT_NE(broken.code, 0);
    EXPECT_TRUE(Contains(broken.err, "< 56 07 00 00 ")) << broken.err;
    EXPECT_TRUE(Contains(broken.err, " (rejected)\n")) << broken.err;
}

TEST_F(CliSensor, LiveStreamsExactlyTheSamplesAskedFor) {
    sim::SensorModel twin{Quiet()};
    const LiveData expected = twin.Measure();

    const CliRun run = RunCli(Tcp() + QStringList{"live", "-n", "100"});
    ASSERT_EQ(run.code, 0) << run.err;
    const QStringList lines = QString::fromStdString(run.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 101);
    EXPECT_EQ(lines[0], "t,red,green,blue,x,y,int,color_no,wall_clock");
    const QString values = QString("%1,%2,%3,%4,%5,%6,%7")
                               .arg(expected.Red())
                               .arg(expected.Green())
                               .arg(expected.Blue())
                               .arg(expected.X())
                               .arg(expected.Y())
                               .arg(expected.Int())
                               .arg(expected.ColorNo());
    double last = 0;
    for (int i = 1; i < lines.size(); ++i) {
        ASSERT_TRUE(kCsvLine.match(lines[i]).hasMatch()) << lines[i].toStdString();
        const double t = lines[i].section(',', 0, 0).toDouble();
        EXPECT_GE(t, last);
        last = t;
        EXPECT_EQ(lines[i].section(',', 1, 7), values);
    }
    EXPECT_EQ(model.CommandCount(kCmdLiveData), 100u) << "no request beyond the last sample";
}

TEST_F(CliSensor, LiveAsJsonLines) {
    const CliRun run = RunCli(Tcp() + QStringList{"live", "-n", "3", "--format", "jsonl"});
    ASSERT_EQ(run.code, 0) << run.err;
    const QStringList lines = QString::fromStdString(run.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    const QRegularExpression jsonl(
        R"(^\{"t":\d+\.\d{6},"red":-?\d+,"green":-?\d+,"blue":-?\d+,"x":-?\d+,"y":-?\d+,"int":-?\d+,"color_no":-?\d+,"wall_clock":"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d"\}$)");
    for (const QString& line : lines) {
        EXPECT_TRUE(jsonl.match(line).hasMatch()) << line.toStdString();
    }
}

TEST_F(CliSensor, LinesReachAFollowerWhileTheStreamRuns) {
    // The third sample's reply is held back until the first two samples have been seen: held
    // in the tool's buffer instead, they would never come, and the tool would time out.
    ScriptedPeer peer;
    int liveRequests = 0;
    Bytes heldReply;
    peer.responder = [&](const Bytes& request) -> std::vector<Chunk> {
        Bytes reply = model.HandleRequest(request);
        if (request[1] == kCmdLiveData && ++liveRequests == 3) {
            heldReply = std::move(reply);
            return {};
        }
        return {Chunk{std::move(reply)}};
    };
    QProcess p;
    p.start(CliPath(), {"--tcp", QString("127.0.0.1:%1").arg(peer.port()), "live", "-n", "3"});
    ASSERT_TRUE(p.waitForStarted(5000));
    QByteArray out;
    QObject::connect(&p, &QProcess::readyReadStandardOutput, [&] {
        out += p.readAllStandardOutput();
        if (out.count('\n') == 3 && !heldReply.empty()) {
            peer.Send(heldReply);
            heldReply.clear();
        }
    });
    AwaitFinished(p, 10000);
    out += p.readAllStandardOutput();
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_EQ(out.count('\n'), 4);
}

TEST_F(CliSensor, CtrlCEndsLiveAfterTheSampleInProgress) {
    QProcess p;
    p.start(CliPath(), Tcp() + QStringList{"live"});
    ASSERT_TRUE(p.waitForStarted(5000));
    QByteArray out;
    QEventLoop loop;
    QObject::connect(&p, &QProcess::readyReadStandardOutput, &loop, [&] {
        out += p.readAllStandardOutput();
        if (out.count('\n') > 50) loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_GT(out.count('\n'), 50);

    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    AwaitFinished(p, 5000);
    out += p.readAllStandardOutput();
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    ASSERT_TRUE(out.endsWith('\n'));
    const QStringList lines = QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts);
    for (int i = 1; i < lines.size(); ++i) {
        ASSERT_TRUE(kCsvLine.match(lines[i]).hasMatch()) << lines[i].toStdString();
    }
    // Every sample the sensor sent was printed, the one in flight at Ctrl-C included.
    EXPECT_EQ(static_cast<std::uint64_t>(lines.size() - 1), model.CommandCount(kCmdLiveData));
}

// The sensor goes away and comes back on the same port: the stream goes on, the gap a jump of t
// and one line; then another serial number answers there: exit 6, and nothing written to it.
TEST_F(CliSensor, LiveWithReconnectGoesOnWithTheSameSensorOnly) {
    auto sim = std::make_unique<sim::SimServer>(model);
    ASSERT_TRUE(sim->ListenTcp());
    const quint16 port = sim->tcpPort();
    QProcess p;
    p.start(CliPath(), QStringList{"--tcp", "127.0.0.1:" + QString::number(port), "live", "-n",
                                   "400", "--reconnect"});
    ASSERT_TRUE(p.waitForStarted(5000));
    QByteArray out;
    sim::SensorModel other{sim::SensorConfig{.serialNumber = 815, .noise = false}};
    int stage = 0;  // 0: first samples, 1: away, 2: back, 3: the other sensor
    QEventLoop loop;
    QObject::connect(&p, &QProcess::readyReadStandardOutput, &loop, [&] {
        out += p.readAllStandardOutput();
        if ((stage == 0 && out.count('\n') > 50) || (stage == 2 && out.count('\n') > 150)) {
            ++stage;
            sim.reset();
            QTimer::singleShot(300, &loop, [&] {
                sim = std::make_unique<sim::SimServer>(stage == 1 ? model : other);
                EXPECT_TRUE(sim->ListenTcp(QHostAddress::LocalHost, port));
                ++stage;
            });
        }
    });
    QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(15000, &loop, &QEventLoop::quit);
    loop.exec();
    AwaitFinished(p, 1000);
    out += p.readAllStandardOutput();
    const std::string err = p.readAllStandardError().toStdString();
    EXPECT_EQ(p.exitCode(), kExitOtherSensorCode) << err;
    EXPECT_TRUE(Contains(err,
                         "another sensor answers (KORVANEX V4.3B7, KORVANEX TAVRENO SIM, "
                         "serial 815)"))
        << err;
    EXPECT_EQ(other.CommandCount(kCmdWrite) + other.CommandCount(kCmdStoreEeprom), 0u);
    EXPECT_EQ(other.CommandCount(kCmdLiveData), 0u);
    // One line for the gap, and t jumps by it.
    const QRegularExpression gapLine(
        "link lost at t=[0-9.]+ s \\(SERVER HAS CLOSED CONNECTION!\\), "
        "back after [0-9.]+ s: live data goes on\n");
    EXPECT_EQ(QString::fromStdString(err).count(gapLine), 1) << err;
    const QStringList lines = QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 152);
    double largestStep = 0;
    for (int i = 2; i < lines.size(); ++i) {
        largestStep = std::max(largestStep, lines[i].section(',', 0, 0).toDouble() -
                                                lines[i - 1].section(',', 0, 0).toDouble());
    }
    EXPECT_GT(largestStep, 1.0);
}

// record: the window's file rules without a question; whole rows, one sample in N.
TEST_F(CliSensor, RecordKeepsTheFileRulesAndTakesOneSampleInN) {
    const QString file = File("rec.csv");
    const CliRun first = RunCli(Tcp() + QStringList{"record", file, "-n", "10", "--every", "3"});
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_TRUE(Contains(first.err, "10 rows recorded in ")) << first.err;
    EXPECT_EQ(model.CommandCount(kCmdLiveData), 28u);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList rows = QString::fromUtf8(f.readAll()).split('\n');
    ASSERT_EQ(rows.size(), 12);  // the header, ten rows, and the end of the last
    EXPECT_TRUE(rows[11].isEmpty());
    for (int i = 1; i <= 10; ++i)
        EXPECT_TRUE(kCsvLine.match(rows[i]).hasMatch()) << rows[i].toStdString();

    const std::uint64_t asked = model.CommandCount(kCmdFirmware);
    const CliRun again = RunCli(Tcp() + QStringList{"record", file, "-n", "5"});
    EXPECT_EQ(again.code, 4);
    EXPECT_TRUE(Contains(again.err, "exists (--force replaces it)")) << again.err;
    EXPECT_EQ(model.CommandCount(kCmdFirmware), asked) << "refused before the sensor was touched";
    const CliRun forced = RunCli(Tcp() + QStringList{"record", file, "-n", "5", "--force"});
    EXPECT_EQ(forced.code, 0) << forced.err;
    EXPECT_EQ(RunCli(Tcp() + QStringList{"record", file, "-n", "5", "--seconds", "1"}).code, 2);
}

TEST_F(CliSensor, LiveEndsWhenTheReaderGoesAway) {
    QProcess p;
    p.start("/bin/bash", {"-c", "set -o pipefail; \"$0\" \"$@\" | head -n 3", CliPath(), "--tcp",
                          QString("127.0.0.1:%1").arg(server.tcpPort()), "live"});
    ASSERT_TRUE(p.waitForStarted(5000));
    AwaitFinished(p, 10000);
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(p.readAllStandardOutput().count('\n'), 3);
    EXPECT_TRUE(Contains(p.readAllStandardError().toStdString(), "(the output was closed)"));
}

TEST_F(CliSensor, FreqPrintsTheScanFrequencyWithTheDisplaysPrecision) {
    // Fast, middling and slow scanning: 0, 1 and 2 decimals.
    for (const auto& [average, integral, pattern] :
         {std::tuple{1, 1, R"(^\d{5}\n$)"}, std::tuple{256, 1, R"(^\d{3}\.\d\n$)"},
          std::tuple{2000, 250, R"(^0\.\d\d\n$)"}}) {
        ParameterSet para;
        TeachTable teach{};
        LoadDefaultParaValues(para, teach, 1);
        para.Average = static_cast<std::uint16_t>(average);
        para.Integral = static_cast<std::uint16_t>(integral);
        model.SetEeprom(para, teach);
        sim::SensorModel twin{Quiet()};
        twin.SetRam(para, teach);
        const double f = twin.CycleScans() / (twin.CycleWindow() * 0.01);
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.*f\n", ScanFrequencyPrecision(f), f);

        const CliRun run = RunCli(Tcp() + QStringList{"freq"});
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.out, expected);
        EXPECT_TRUE(QRegularExpression(pattern).match(QString::fromStdString(run.out)).hasMatch())
            << run.out;
    }
}

// A script reads each result as JSON: one object on one line, read by Python's json module,
// whatever bytes the sensor sends as its name.
TEST_F(CliSensor, ResultsAsJsonForScripts) {
    ParameterSet para;
    TeachTable teach{};
    DistinctConfiguration(para, teach);
    model.SetEeprom(para, teach);
    model.SetName("LINE 4 \xFF");
    const auto json = [&](const QStringList& args, int code) {
        const CliRun run = RunCli(Tcp() + args + QStringList{"--format", "json"});
        EXPECT_EQ(run.code, code) << run.err;
        EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << run.out;
        return PythonJson(run.out);
    };
    EXPECT_EQ(json({"identify"}, 0),
              R"({"family": 1, "firmware": "KORVANEX V4.3B7", "name": "LINE 4 \ufffd", )"
              R"("serial": 4711})");

    const std::string file = File("backup.ini").toStdString();
    const auto object = [](const std::string& text) {
        return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
    };
    const QJsonObject got = object(json({"get", "-o", File("backup.ini")}, 0));
    EXPECT_EQ(got["file"].toString().toStdString(), file);
    EXPECT_EQ(got["address"], "127.0.0.1:" + QString::number(server.tcpPort()));
    EXPECT_EQ(got["firmware"], "KORVANEX V4.3B7");
    EXPECT_EQ(got["memory"], "eeprom");
    EXPECT_EQ(got["serial"], 4711);
    EXPECT_EQ(got["status"], "Read from EEPROM");
    EXPECT_EQ(got["may_hold"], (QJsonObject{{"ram", "new"}, {"eeprom", "old"}}));
    EXPECT_EQ(got["ok"], true);

    const std::string freq = json({"freq"}, 0);
    sim::SensorModel twin{Quiet()};
    twin.SetRam(para, teach);
    EXPECT_DOUBLE_EQ(
        QJsonDocument::fromJson(QByteArray::fromStdString(freq))["scan_frequency_hz"].toDouble(),
        twin.CycleScans() / (twin.CycleWindow() * 0.01))
        << freq;

    {
        IniHandle doc = Ini_New(0);
        Ini_ReadFromFile(doc.get(), file);
        Ini_PutInt(doc.get(), "PARAMETER", "GAIN", 4);
        ASSERT_GE(Ini_WriteToFile(doc.get(), file), 0);
    }
    EXPECT_EQ(json({"diff", File("backup.ini")}, 5),
              R"({"differences": [{"key": "GAIN", "new": 4, "old": 3, "section": "PARAMETER"}], )"
              R"("new_file": ")" +
                  file + R"(", "old_file": null})");

    // Of two values one is refused: both are named as differences, the refused one with what
    // the sensor holds instead, in one object with the failure's fields.
    const QJsonObject set = object(json({"set", "gain=99", "power=600"}, 7));
    EXPECT_EQ(PythonJson(QJsonDocument(set["differences"].toArray()).toJson().toStdString()),
              R"([{"key": "POWER", "new": 600, "old": 777, "section": "PARAMETER"}, )"
              R"({"key": "GAIN", "new": 99, "old": 3, "section": "PARAMETER"}])");
    EXPECT_EQ(set["refused"], (QJsonArray{QJsonObject{{"section", "PARAMETER"},
                                                      {"key", "GAIN"},
                                                      {"value", 99},
                                                      {"held", model.EepromParameters().Gain}}}));
    EXPECT_EQ(set["ok"], false);
    EXPECT_EQ(set["step"], "write parameters");
    EXPECT_EQ(set["kind"], "refused");
    EXPECT_EQ(set["may_hold"], (QJsonObject{{"ram", "new"}, {"eeprom", "new"}}));
    EXPECT_EQ(set["status"], "Sent to EEPROM: GAIN refused (sent 99, holds 6)");
}

// A script's path through the writes: a refused value is named alone and the other held,
// RAM is checked and then stored by itself, and a store whose reply is broken or refused says
// what the sensor may hold, in the JSON and in the exit code.
TEST_F(CliSensor, EveryWriteSaysWhatTheSensorMayHold) {
    const auto object = [](const CliRun& run) {
        return QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
    };
    const CliRun set = RunCli(Tcp() + QStringList{"set", "--ram", "--verify", "gain=99",
                                                  "power=650", "--format", "json"});
    EXPECT_EQ(set.code, 7) << set.err;
    EXPECT_EQ(object(set)["refused"].toArray().size(), 1) << set.out;
    EXPECT_TRUE(Contains(set.err, "refused: [PARAMETER] GAIN = 99 (the sensor holds 6)"))
        << set.err;
    EXPECT_FALSE(Contains(set.err, "POWER = 650")) << set.err;
    EXPECT_EQ(model.RamParameters().Power, 650);
    EXPECT_NE(model.EepromParameters().Power, 650);

    const std::size_t writes = model.CommandCount(kCmdWrite);
    const std::size_t loads = model.CommandCount(kCmdLoadEeprom);
    const CliRun store = RunCli(Tcp() + QStringList{"store"});
    EXPECT_EQ(store.code, 0) << store.err;
    EXPECT_TRUE(Contains(store.err, "qelto-cli: Stored RAM in the EEPROM\n")) << store.err;
    EXPECT_EQ(model.EepromParameters().Power, 650);
    EXPECT_EQ(model.CommandCount(kCmdWrite), writes);
    EXPECT_EQ(model.CommandCount(kCmdLoadEeprom), loads) << "RAM is not overwritten first";
    EXPECT_EQ(RunCli(Tcp() + QStringList{"load"}).code, 0);
    EXPECT_EQ(model.CommandCount(kCmdLoadEeprom), loads + 1);

    const QString file = File("p.ini");
    ASSERT_EQ(RunCli({"defaults", "-o", file}).code, 0);
    struct Case {
        const char* fault;
        int code;
        const char* kind;
        const char* eeprom;
    };
    for (const Case& c : {Case{"bad-header-crc,cmd=3", 1, "bad_reply", "unknown"},
                          Case{"error=1,cmd=3", 7, "unknown_command", "old"}}) {
        SCOPED_TRACE(c.fault);
        std::string error;
        server.ClearFaults();
        server.AddFault(*sim::ParseFault(c.fault, error));
        const CliRun sent = RunCli(Tcp() + QStringList{"send", "-i", file, "--format", "json"});
        EXPECT_EQ(sent.code, c.code) << sent.err;
        const QJsonObject json = object(sent);
        EXPECT_EQ(json["ok"], false) << sent.out;
        EXPECT_EQ(json["may_hold"].toObject()["eeprom"].toString().toStdString(), c.eeprom)
            << sent.out;
        EXPECT_EQ(json["step"], "store");
        EXPECT_EQ(json["kind"], c.kind);
        EXPECT_EQ(json["may_hold"].toObject()["ram"].toString(), "new");
        EXPECT_EQ(json["address"], "127.0.0.1:" + QString::number(server.tcpPort()));
        EXPECT_TRUE(
            Contains(sent.err, std::string("; the sensor may hold: RAM new, EEPROM ") + c.eeprom))
            << sent.err;
    }
}

// What the sensor says at connect reaches stderr: an EEPROM that failed its plausibility check,
// and a default send it refused, said once.
TEST_F(CliSensor, TheSensorsVerdictsAtConnectAreSaidOnce) {
    ParameterSet para = model.EepromParameters();
    para.Gain = 99;
    model.SetEeprom(para, model.EepromTeach());
    const CliRun get = RunCli(Tcp() + QStringList{"get", "-o", File("b.ini")});
    EXPECT_EQ(get.code, 0) << get.err;
    EXPECT_TRUE(Contains(get.err, PlausibilityText(1, kMsgEepromPlausibilityTail))) << get.err;

    std::string error;
    server.AddFault(*sim::ParseFault("error=2,cmd=1", error));
    const CliRun defaults = RunCli(Tcp() + QStringList{"identify", "--send-defaults"});
    EXPECT_EQ(defaults.code, 7) << defaults.err;
    EXPECT_EQ(defaults.err.find(kMsgSensorCommError), defaults.err.rfind(kMsgSensorCommError))
        << defaults.err;
    EXPECT_TRUE(Contains(defaults.err, kMsgSensorCommError)) << defaults.err;
}

TEST_F(CliSensor, UnsupportedFirmwareExitsWithThree) {
    model.SetFirmware("OTHER V2.1");
    const CliRun run = RunCli(Tcp() + QStringList{"identify"});
    EXPECT_EQ(run.code, 3);
    EXPECT_TRUE(Contains(run.err,
                         "Korvanex Tavreno Qelto doesn't support the connected sensor! \nFirmware "
                         "of connected sensor is: OTHER V2.1\n\nClose window or work in offline "
                         "mode!\n-> CLOSE"))
        << run.err;
    EXPECT_TRUE(run.out.empty());

    // A sensor that answers with no firmware text at all is just as unsupported.
    model.SetFirmware("");
    const CliRun empty = RunCli(Tcp() + QStringList{"identify"});
    EXPECT_EQ(empty.code, 3) << empty.err;
}

// The sensor sends the reply to the teach read once more, ahead of the reply to the write
// (which says a value was refused): set fails, it never says it set the value.
TEST_F(CliSensor, SetFailsWhenAStaleReplyComesAheadOfTheWrites) {
    std::string error;
    server.AddFault(*sim::ParseFault("stale,cmd=1", error));
    const CliRun run = RunCli(Tcp() + QStringList{"set", "teach_vector_0.hold=5000"});
    EXPECT_EQ(run.code, 1) << run.err;
    EXPECT_TRUE(Contains(run.err, kMsgBadHeader)) << run.err;
    EXPECT_TRUE(Contains(run.err, "reply to command 2 while command 1 was asked")) << run.err;
    EXPECT_TRUE(Contains(run.err, "set failed")) << run.err;
    EXPECT_FALSE(Contains(run.err, "set 1 value")) << run.err;
}

// The parameter read answered by another reply: get saves nothing and fails. So it does when
// the server ends the conversation, which is said at once (no time-out is waited out), with
// the host and port.
TEST_F(CliSensor, GetSavesNothingFromAReplyThatIsNotTheReadsOwn) {
    ScriptedPeer peer;
    ScriptedSensor sensor;
    std::vector<Chunk> instead;
    peer.responder = [&](const Bytes& request) {
        std::vector<Chunk> chunks;
        for (Bytes& b : sensor.Answer(request))
            chunks.push_back({std::move(b)});
        const bool parameterRead = request[1] == kCmdRead && request[2] == kArgParameters;
        return parameterRead ? instead : chunks;
    };
    const std::string where = "127.0.0.1 port " + std::to_string(peer.port());
    struct Case {
        const char* name;
        std::vector<Chunk> reply;
        std::vector<std::string> said;
    };
    const std::vector<Case> cases = {
        {"the teach block",
         {{Frame(kCmdRead, kArgParameters, Bytes(512, 1))}},
         {kMsgBadData, "512 bytes where 52 were expected",
          "the sensor's parameters could not be read"}},
        {"another command's reply",
         {{Frame(kCmdFirmware, 0, Bytes(52, 1))}},
         {kMsgBadHeader, "reply to command 7 while command 2 was asked"}},
        {"the server's close", {{{}, 0, true}}, {"SERVER HAS CLOSED CONNECTION!", where}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        instead = c.reply;
        const QString file = File("backup.ini");
        const CliRun run =
            RunCli({"--tcp", "127.0.0.1:" + QString::number(peer.port()), "get", "-o", file});
        EXPECT_EQ(run.code, 1) << run.err;
        EXPECT_FALSE(QFile::exists(file));
        for (const std::string& text : c.said)
            EXPECT_TRUE(Contains(run.err, text)) << text << "\n" << run.err;
        EXPECT_FALSE(Contains(run.err, kMsgTimeout)) << run.err;
        EXPECT_EQ(run.err.find(c.said[0]), run.err.rfind(c.said[0])) << "said once";
    }
}

TEST_F(CliSensor, ASilentSensorExitsWithOneAndTheTimeoutText) {
    std::string error;
    server.AddFault(*sim::ParseFault("no-reply,times=10", error));
    const CliRun run = RunCli(Tcp() + QStringList{"freq"});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(Contains(run.err, kMsgTimeout)) << run.err;
    EXPECT_TRUE(Contains(run.err, "Could not establish connection!")) << run.err;
    EXPECT_TRUE(run.out.empty());
}

TEST_F(CliSensor, AFailureDuringLiveEndsWithOneAfterTheGoodSamples) {
    std::string error;
    server.AddFault(*sim::ParseFault("bad-data-crc,every=20,cmd=8", error));
    const CliRun run = RunCli(Tcp() + QStringList{"live", "-n", "100"});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(Contains(run.err, kMsgBadData)) << run.err;
    const QStringList lines = QString::fromStdString(run.out).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 1 + 19);
}

TEST_F(CliSensor, APseudoTerminalServesLikeTcp) {
    ASSERT_TRUE(server.OpenPty()) << server.errorString().toStdString();
    server.SetBaudRate(sim::Link::Pty, 0);
    const QString path = server.ptyPath();

    const CliRun identify = RunCli({"--serial", path, "--baud", "921600", "identify"});
    ASSERT_EQ(identify.code, 0) << identify.err;
    EXPECT_TRUE(Contains(identify.out, "serial: 4711\n")) << identify.out;

    const CliRun live = RunCli({"--serial", path, "live", "-n", "100"});
    ASSERT_EQ(live.code, 0) << live.err;
    const QStringList lines = QString::fromStdString(live.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 101);
    for (int i = 1; i < lines.size(); ++i) {
        EXPECT_TRUE(kCsvLine.match(lines[i]).hasMatch()) << lines[i].toStdString();
    }
}

// Without --tcp or --serial the tool connects as the GUI would start: with the settings the
// GUI stored, found where the GUI looks for them.
class CliStoredSettings : public CliSensor {
  protected:
    // A copy of the tool in a directory of its own, which is then its program directory.
    QString InstallCopy(const QString& directory) {
        const QString copy = QDir(directory).filePath("qelto-cli");
        EXPECT_TRUE(QFile::copy(CliPath(), copy));
        QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return copy;
    }
    // The settings file as the GUI writes it when the operator leaves a TCP/IP server on the
    // connection page.
    std::string StoreSettings(const QString& directory) {
        QtRig rig;
        rig.ui.SetCtrlVal(Ctrl::ProtocolSelector, kTcpIp);
        rig.ui.SetCtrlVal(Ctrl::ComPortSelector, 1);
        rig.ui.SetCtrlVal(Ctrl::BaudRateSelector, 4);
        rig.ui.SetCtrlText(Ctrl::ServerField, "127.0.0.1");
        rig.ui.SetCtrlText(Ctrl::PortField, std::to_string(server.tcpPort()));
        InitSettingsPaths(rig.ctx.settings, directory.toStdString(), {});
        StorePanelSettings(rig.ctx);
        return rig.ctx.settings.PanelSettingsPath;
    }
};

TEST_F(CliStoredSettings, FromTheProgramDirectory) {
    QTemporaryDir install;
    const QString cli = InstallCopy(install.path());
    const std::string settings = StoreSettings(install.path());
    const QByteArray before = [&] {
        QFile f(QString::fromStdString(settings));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    const CliRun run = RunCliAt(cli, {"identify"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(Contains(run.err, "using the connection settings stored in " + settings +
                                      ": TCP/IP 127.0.0.1 port " +
                                      std::to_string(server.tcpPort())))
        << run.err;
    EXPECT_TRUE(Contains(run.out, "serial: 4711\n"));
    QFile after(QString::fromStdString(settings));
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before) << "the GUI's settings are read, never written";
}

TEST_F(CliStoredSettings, AFileThatIsNoSettingsFileIsSaidAndTheDefaultsAreNamedAsSuch) {
    QTemporaryDir install;
    const QString cli = InstallCopy(install.path());
    QFile junk(QDir(install.path()).filePath("PanelSettings.cfg"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("[Communication]\nProtocol = 1\n");
    junk.close();

    const CliRun run = RunCliAt(cli, {"identify"});
    EXPECT_TRUE(Contains(run.err, junk.fileName().toStdString() +
                                      " could not be used: using the defaults: RS-232 COM1"))
        << run.err;
    EXPECT_FALSE(Contains(run.err, "stored in")) << run.err;
}

TEST_F(CliStoredSettings, FromTheUserDirectoryWhenTheProgramDirectoryIsReadOnly) {
    QTemporaryDir install;
    QTemporaryDir home;
    const QString cli = InstallCopy(install.path());
    const QString userDir = QDir(home.path()).filePath("Qelto/Qelto");
    ASSERT_TRUE(QDir().mkpath(userDir));
    const std::string settings = StoreSettings(userDir);
    QFile::setPermissions(install.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                              QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", home.path());

    const CliRun run = RunCliAt(cli, {"identify"}, env);
    QFile::setPermissions(install.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(Contains(run.err, "stored in " + settings + ":")) << run.err;
    EXPECT_FALSE(QFileInfo::exists(QDir(install.path()).filePath("PanelSettings.cfg")));
}

// The simulator as the program it is, serving a pseudo-terminal: its path and COM number, once
// it is ready.
std::pair<QString, QString> StartSimOnPty(QProcess& sim) {
    sim.start(SimPath(), {"--pty", "--baud", "0", "--no-noise"});
    EXPECT_TRUE(sim.waitForStarted(5000));
    QString path;
    QString com;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000) {
        if (!sim.canReadLine() && !sim.waitForReadyRead(100)) continue;
        const QString line = QString::fromUtf8(sim.readLine()).trimmed();
        if (line.startsWith("listening pty")) {
            path = line.section(' ', 2, 2);
            com = line.section(' ', 3, 3);
        }
        if (line == "ready") break;
    }
    if (com.isEmpty()) ADD_FAILURE() << "qelto-sim named no pseudo-terminal within 5 s";
    return {path, com};
}

// The simulator as the program it is, on a pseudo-terminal reached by its COM number.
TEST(CliWithSimProgram, PseudoTerminalByComNumber) {
    if (CliPath().isEmpty() || SimPath().isEmpty()) GTEST_SKIP() << "QELTO_CLI/QELTO_SIM unset";
    QProcess sim;
    const QString com = StartSimOnPty(sim).second;
    ASSERT_FALSE(com.isEmpty());

    const CliRun run = RunCli({"--serial", com, "identify"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, "family: 1\n")) << run.out;
    sim.terminate();
    sim.waitForFinished(3000);
}

// The serial device goes away during live (the simulator ends, and its pseudo-terminal with it,
// as an unplugged adapter would): the sample asked for ends at once with the failed exchange's
// text and the device beside it, said once, and the tool exits with 1.
TEST(CliWithSimProgram, AVanishedDeviceEndsLiveAtOnceWithItsReason) {
    if (CliPath().isEmpty() || SimPath().isEmpty()) GTEST_SKIP() << "QELTO_CLI/QELTO_SIM unset";
    QProcess sim;
    const QString path = StartSimOnPty(sim).first;
    ASSERT_FALSE(path.isEmpty());
    QProcess cli;
    cli.start(CliPath(), {"--serial", path, "live"});
    ASSERT_TRUE(cli.waitForStarted(5000));
    QByteArray out;
    while (out.count('\n') < 10 && cli.waitForReadyRead(5000))
        out += cli.readAllStandardOutput();
    ASSERT_GE(out.count('\n'), 10) << cli.readAllStandardError().toStdString();
    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(5000));
    AwaitFinished(cli, 10000);
    const std::string err = cli.readAllStandardError().toStdString();
    EXPECT_EQ(cli.exitCode(), 1) << err;
    const std::string reason = "qelto-cli: " + path.toStdString() + ": the device was removed\n";
    EXPECT_TRUE(Contains(err, std::string(kMsgTimeout) + "\n\n" + reason)) << err;
    // Only the loss brings the reason; a sample that had waited out its time-out would have
    // been told first, without it.
    EXPECT_EQ(err.find(kMsgTimeout), err.rfind(kMsgTimeout)) << err;
    EXPECT_TRUE(Contains(err, "live data ended by a failure after ")) << err;
}

// The device API's example: a program of a dozen lines that connects and reads the gain.
TEST_F(CliSensor, TheExampleProgramPrintsIdentityAndGain) {
    const char* example = std::getenv("QELTO_EXAMPLE_IDENTIFY");
    if (example == nullptr) GTEST_SKIP() << "QELTO_EXAMPLE_IDENTIFY is not set";
    const CliRun run =
        RunCliAt(QString::fromLocal8Bit(example), {"127.0.0.1", QString::number(server.tcpPort())});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "KORVANEX V4.3B7\nKORVANEX TAVRENO SIM, serial number 4711\ngain " +
                           std::to_string(model.EepromParameters().Gain) + "\n");
}

// A line of sensors, as its keeper walks it: a check finds every sensor off the golden file, a
// rollout to all of them meets three sensors that misbehave as real links do, each failure is
// named with its sensor, its step and what the sensor may now hold, the others take it.
TEST(CliFleet, ARolloutToTwentySensorsNamesEachFaultAndTheExitCodeSaysTheRunFailed) {
    if (CliPath().isEmpty()) GTEST_SKIP() << "QELTO_CLI is not set";
    QTemporaryDir dir;
    constexpr int kSensors = 20;
    std::vector<std::unique_ptr<sim::SensorModel>> models;
    std::vector<std::unique_ptr<sim::SimServer>> servers;
    QString inventory = "# press line 3\n\n";
    for (int i = 0; i < kSensors; ++i) {
        sim::SensorConfig config = Quiet();
        config.serialNumber = static_cast<std::uint16_t>(100 + i);
        models.push_back(std::make_unique<sim::SensorModel>(config));
        servers.push_back(std::make_unique<sim::SimServer>(*models.back()));
        ASSERT_TRUE(servers.back()->ListenTcp());
        inventory +=
            QString("tcp 127.0.0.1:%1  press-%2  # bay %2\n").arg(servers.back()->tcpPort()).arg(i);
    }
    const struct {
        int sensor;
        const char* fault;
        const char* step;
        const char* kind;
        const char* ram;
        const char* eeprom;
    } faults[] = {{4, "no-reply,cmd=3", "store", "timeout", "new", "unknown"},
                  {9, "error=2,cmd=1,every=2", "write teach", "communication", "unknown", "old"},
                  {15, "stale,cmd=1,every=2", "write teach", "bad_reply", "unknown", "unknown"}};
    for (const auto& f : faults) {
        std::string error;
        servers[f.sensor]->AddFault(*sim::ParseFault(f.fault, error));
    }
    const QString line = dir.filePath("line.txt");
    const QString golden = dir.filePath("golden.ini");
    for (const auto& [path, text] :
         {std::pair{line, inventory}, {golden, QString("[PARAMETER]\nGAIN = 7\n")}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    }

    // Read only: every sensor differs in its gain, and nothing is written.
    const CliRun check = RunCli({"fleet", "check", line, golden});
    EXPECT_EQ(check.code, kExitDifferCode) << check.err;
    const QStringList checked = QString::fromStdString(check.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(checked.size(), kSensors + 1) << check.out;
    for (int i = 0; i < kSensors; ++i) {
        EXPECT_TRUE(checked[i].startsWith("DIFFERS press-")) << checked[i].toStdString();
        EXPECT_TRUE(
            checked[i].endsWith("1 value differs from " + golden + ": [PARAMETER] GAIN: 6 -> 7"))
            << checked[i].toStdString();
        EXPECT_EQ(models[static_cast<std::size_t>(i)]->CommandCount(kCmdWrite), 0u);
    }
    EXPECT_TRUE(checked.back().startsWith("fleet check: 0 of 20 sensors ok, 20 differ ("))
        << checked.back().toStdString();

    const CliRun rollout =
        RunCliAt(CliPath(), {"fleet", "rollout", line, golden, "--format", "json"},
                 QProcessEnvironment::systemEnvironment(), 30000);
    EXPECT_EQ(rollout.code, kExitFleetFailedCode) << rollout.err;
    std::map<QString, QJsonObject> bySensor;
    const QStringList lines = QString::fromStdString(rollout.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), kSensors + 1) << rollout.out;
    for (const QString& l : lines.mid(0, kSensors)) {
        const QJsonObject json = QJsonDocument::fromJson(l.toUtf8()).object();
        ASSERT_FALSE(json.isEmpty()) << "not one JSON object: " << l.toStdString();
        bySensor[json["name"].toString()] = json;
    }
    ASSERT_EQ(bySensor.size(), static_cast<std::size_t>(kSensors)) << rollout.out;
    for (int i = 0; i < kSensors; ++i) {
        const QJsonObject& json = bySensor[QString("press-%1").arg(i)];
        SCOPED_TRACE(json["link"].toString().toStdString());
        EXPECT_EQ(json["serial"], 100 + i);
        EXPECT_EQ(json["line"], i + 3);
        EXPECT_EQ(json["link"], "tcp 127.0.0.1:" + QString::number(servers[i]->tcpPort()));
        const auto fault = std::find_if(std::begin(faults), std::end(faults),
                                        [&](const auto& f) { return f.sensor == i; });
        if (fault == std::end(faults)) {
            EXPECT_EQ(json["result"], "ok");
            EXPECT_EQ(models[static_cast<std::size_t>(i)]->EepromParameters().Gain, 7);
            continue;
        }
        EXPECT_EQ(json["result"], "failed");
        EXPECT_EQ(json["step"], fault->step);
        EXPECT_EQ(json["kind"], fault->kind);
        EXPECT_EQ(json["may_hold"].toObject()["ram"], fault->ram);
        EXPECT_EQ(json["may_hold"].toObject()["eeprom"], fault->eeprom);
        EXPECT_EQ(json["differences"].toArray().size(), 1);
    }
    const QJsonObject summary = QJsonDocument::fromJson(lines.back().toUtf8()).object();
    EXPECT_EQ(summary["ok"], 17);
    EXPECT_EQ(summary["failed"], 3);
    EXPECT_EQ(summary["exit_code"], kExitFleetFailedCode);
}

// A nightly backup into one folder: a file that holds the same values is left alone, one with
// other values is kept unless --force, and two sensors of one serial number never share a file.
TEST(CliFleet, ANightlyBackupNeverReplacesAFileUnseen) {
    if (CliPath().isEmpty()) GTEST_SKIP() << "QELTO_CLI is not set";
    QTemporaryDir dir;
    sim::SensorModel first{Quiet()};
    sim::SensorModel twin{Quiet()};  // the same serial number, 4711
    sim::SimServer firstServer{first};
    sim::SimServer twinServer{twin};
    ASSERT_TRUE(firstServer.ListenTcp());
    ASSERT_TRUE(twinServer.ListenTcp());
    const QString line = dir.filePath("line.txt");
    const auto inventory = [&](const QString& text) {
        QFile file(line);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    };
    const QString one = QString("tcp 127.0.0.1:%1 inlet\n").arg(firstServer.tcpPort());
    const QString backups = dir.filePath("backups");
    const QString saved = backups + "/4711.ini";
    const auto backup = [&](QStringList more = {}) {
        return RunCli(QStringList{"fleet", "backup", line, backups} + more);
    };

    inventory("tcp 127.0.0.1:1 x\nudp 127.0.0.1:5000\n");
    const CliRun bad = backup();
    EXPECT_EQ(bad.code, kExitFileCode);
    EXPECT_TRUE(Contains(bad.err, (line + ":2: unknown link 'udp'").toStdString())) << bad.err;

    inventory(one);
    const CliRun made = backup();
    EXPECT_EQ(made.code, 0) << made.err;
    EXPECT_TRUE(Contains(made.out, ("saved " + saved).toStdString())) << made.out;
    EXPECT_EQ(FileInt(saved, "PARAMETER", "GAIN"), 6);
    EXPECT_EQ(first.CommandCount(kCmdLoadEeprom), 0u) << "RAM is read as it is";
    EXPECT_TRUE(Contains(backup().out, ("unchanged " + saved).toStdString()));

    ParameterSet para = first.RamParameters();
    para.Gain = 9;
    first.SetRam(para, first.RamTeach());
    const CliRun kept = backup();
    EXPECT_EQ(kept.code, kExitFleetFailedCode);
    EXPECT_TRUE(Contains(kept.out, "write file: " + saved.toStdString() +
                                       " holds other values: kept, not replaced (1 value "
                                       "differs; --force replaces it)"))
        << kept.out;
    EXPECT_EQ(FileInt(saved, "PARAMETER", "GAIN"), 6);
    const CliRun replaced = backup({"--force"});
    EXPECT_EQ(replaced.code, 0) << replaced.out;
    EXPECT_EQ(FileInt(saved, "PARAMETER", "GAIN"), 9);

    inventory(one + QString("tcp 127.0.0.1:%1 twin\n").arg(twinServer.tcpPort()));
    const CliRun twins = backup({"-j", "1", "--force"});
    EXPECT_EQ(twins.code, kExitFleetFailedCode);
    EXPECT_TRUE(Contains(twins.out, "another sensor of this run has serial number 4711"))
        << twins.out;
    EXPECT_EQ(FileInt(saved, "PARAMETER", "GAIN"), 9) << "the first sensor's backup stays";
}

}  // namespace
}  // namespace qelto
