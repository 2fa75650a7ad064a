// The built qelto-sim program: its options, its start-up lines, its control input and its end.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <csignal>
#include <cstdlib>
#include <sstream>

#include "sim_test_util.hpp"

namespace qelto {
namespace {

using namespace qelto::simtest;

QString SimPath() {
    const char* path = std::getenv("QELTO_SIM");
    return path ? QString::fromLocal8Bit(path) : QString();
}

class SimProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        if (SimPath().isEmpty()) GTEST_SKIP() << "QELTO_SIM is not set";
    }
    void TearDown() override {
        if (proc.state() != QProcess::NotRunning) {
            proc.kill();
            proc.waitForFinished(2000);
        }
    }
    void Start(const QStringList& args) {
        proc.start(SimPath(), args);
        ASSERT_TRUE(proc.waitForStarted(5000));
    }
    std::string ReadLine(int ms = 5000) {
        QElapsedTimer t;
        t.start();
        while (!proc.canReadLine() && t.elapsed() < ms)
            proc.waitForReadyRead(50);
        if (!proc.canReadLine()) ADD_FAILURE() << "qelto-sim wrote no line within " << ms << " ms";
        return proc.readLine().trimmed().toStdString();
    }
    std::string Control(const std::string& line) {
        proc.write(QByteArray::fromStdString(line + "\n"));
        return ReadLine();
    }
    // Runs to the end; returns the exit code.
    int Finish(const QStringList& args) {
        proc.start(SimPath(), args);
        EXPECT_TRUE(proc.waitForFinished(5000));
        return proc.exitCode();
    }

    QProcess proc;
};

TEST_F(SimProgram, HelpDocumentsEveryOptionAndTheControlLines) {
    EXPECT_EQ(Finish({"--help"}), 0);
    const std::string out = proc.readAllStandardOutput().toStdString();
    for (const char* word :
         {"--tcp",        "--pty",     "--baud",     "--tcp-baud", "--firmware",  "--name",
          "--serial",     "--seed",    "--no-noise", "--scene",    "--rgb",       "--cycle",
          "--fault",      "--verbose", "--help",     "scene",      "fault FAULT", "quit",
          "bad-data-crc", "every=N",   "prob=P"}) {
        EXPECT_NE(out.find(word), std::string::npos) << word;
    }
}

TEST_F(SimProgram, MistakesExitWithTwoAndSayWhy) {
    const std::vector<std::pair<QStringList, std::string>> cases = {
        {{"--tcp", "5000", "--frobnicate"}, "unknown option '--frobnicate'"},
        {{"--tcp", "port"}, "bad value 'port' for --tcp"},
        {{"--tcp", "300.1.1.1:5000"}, "not an IP address"},
        {{"--pty", "--fault", "melt"}, "unknown fault 'melt'"},
        {{}, "nothing to serve"},
    };
    for (const auto& [args, reason] : cases) {
        SCOPED_TRACE(reason);
        EXPECT_EQ(Finish(args), 2);
        const std::string err = proc.readAllStandardError().toStdString();
        EXPECT_NE(err.find(reason), std::string::npos) << err;
        EXPECT_NE(err.find("--help"), std::string::npos) << err;
    }
}

TEST_F(SimProgram, ServesTcpAndObeysTheControlInput) {
    Start({"--tcp", "127.0.0.1:0", "--firmware", "KORVANEX SL V1.2.0 A1", "--serial", "77",
           "--no-noise"});
    std::istringstream first(ReadLine());
    std::string listening, kind, host;
    int port = 0;
    first >> listening >> kind >> host >> port;
    ASSERT_EQ(listening + " " + kind, "listening tcp");
    ASSERT_GT(port, 0);
    EXPECT_EQ(ReadLine(), "ready");

    QtLinkRig rig;
    rig.ConnectTcp(host, port);
    ASSERT_EQ(rig.link.link.TcpConnected, 1);
    ResetReport(rig);
    ASSERT_EQ(Exchange(rig.link, kCmdFirmware, 0), 1);
    EXPECT_EQ(ReplyText(rig), "KORVANEX SL V1.2.0 A1");
    ASSERT_EQ(Exchange(rig.link, kCmdSensorName, 0), 1);
    EXPECT_EQ(rig.link.frames.ReplyArgument, 77);

    const int white = ReadLive(rig).Red();
    EXPECT_EQ(Control("scene black").rfind("ok scene 7 black", 0), 0u);
    EXPECT_LT(ReadLive(rig).Red(), white);

    EXPECT_EQ(Control("fault error=1"), "ok fault error=1,times=1");
    EXPECT_EQ(Exchange(rig.link, kCmdLiveData, 0), -1);
    EXPECT_EQ(InfoBox(rig), std::string(kMsgInvalidOrder) + "\n\n");
    EXPECT_EQ(Control("juggle").rfind("error: unknown command", 0), 0u);

    proc.terminate();  // SIGTERM
    ASSERT_TRUE(proc.waitForFinished(3000));
    EXPECT_EQ(proc.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(proc.exitCode(), 0);
}

TEST_F(SimProgram, ServesAPseudoTerminalAndLogsEachFrame) {
    Start({"--pty", "--baud", "0", "--verbose"});
    std::istringstream first(ReadLine());
    std::string listening, kind, path;
    int com = 0;
    first >> listening >> kind >> path >> com;
    ASSERT_EQ(listening + " " + kind, "listening pty");
    EXPECT_EQ(ComPortDevicePath(com), path);
    EXPECT_EQ(ReadLine(), "ready");
    proc.closeWriteChannel();  // the end of the control input does not end the program

    QtLinkRig rig;
    rig.link.conn.Protocol = kRs232;
    rig.link.conn.ComPort = static_cast<std::uint16_t>(com);
    InitRS232(rig.link);
    ASSERT_GE(rig.link.link.LinkStatus, 0) << InfoBox(rig);
    ResetReport(rig);
    ASSERT_EQ(Exchange(rig.link, kCmdLiveData, 0), 1);
    CloseSerial(rig.link, com);

    ::kill(static_cast<pid_t>(proc.processId()), SIGINT);
    ASSERT_TRUE(proc.waitForFinished(3000));
    EXPECT_EQ(proc.exitCode(), 0);
    const std::string log = proc.readAllStandardError().toStdString();
    EXPECT_NE(log.find("> pty: cmd 8 arg 0 len 0"), std::string::npos) << log;
    EXPECT_NE(log.find("< pty: cmd 8 arg 0 len 42"), std::string::npos) << log;
}

}  // namespace
}  // namespace qelto
