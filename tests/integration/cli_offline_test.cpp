// The built qelto-cli where no sensor is involved: its command line, parameter files shown
// and written, the port list.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "protocol/records.hpp"
#include "python_json.hpp"

namespace qelto {
namespace {

QString CliPath() {
    const char* path = std::getenv("QELTO_CLI");
    return path ? QString::fromLocal8Bit(path) : QString();
}

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

// Nothing here needs this thread's event loop while the tool runs, so a blocking wait will do.
Outcome Cli(const QStringList& args) {
    QProcess p;
    p.start(CliPath(), args);
    EXPECT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    return {p.exitCode(), p.readAllStandardOutput().toStdString(),
            p.readAllStandardError().toStdString()};
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

QString ReadText(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QString::fromUtf8(f.readAll());
}

void WriteText(const QString& path, const QString& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
}

class CliOffline : public ::testing::Test {
  protected:
    void SetUp() override {
        if (CliPath().isEmpty()) GTEST_SKIP() << "QELTO_CLI is not set";
        ASSERT_TRUE(dir.isValid());
    }
    QString File(const char* name) const { return dir.filePath(name); }
    // A parameter file of default values, written by the tool itself.
    QString Defaults(const char* name) {
        const QString path = File(name);
        const Outcome run = Cli({"defaults", "-o", path});
        EXPECT_EQ(run.code, 0) << run.err;
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(CliOffline, ShowJsonOfAFileWithMissingAndMalformedItems) {
    const QString path = Defaults("damaged.ini");
    QString text = ReadText(path);
    text.replace("POWER = 500\r\n", "POWER = 65536\r\n");
    text.replace("AVERAGE = 256\r\n", "AVERAGE = lots\r\n");
    text.replace("GAIN = 6\r\n", "");
    text.replace("POWER PARA GAIN1 = 6\r\n", "POWER PARA GAIN1 = 5.0\r\n");
    text.replace(QRegularExpression(R"((\[TEACH VECTOR 5\]\r\n)CELL 0 = 1\r\n)"), "\\1");
    text.replace(
        QRegularExpression(R"((\[TEACH VECTOR 0\]\r\nCELL 0 = 1\r\nCELL 1 = 1\r\n)CELL 2 = 1)"),
        "\\1CELL 2 = 9");
    const int lastRow = text.indexOf("[TEACH VECTOR 63]");
    ASSERT_GT(lastRow, 0);
    text.truncate(lastRow);
    WriteText(path, text);

    const Outcome run = Cli({"show", path, "--format", "json"});
    ASSERT_EQ(run.code, 0) << run.err;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out;
    const QJsonObject root = doc.object();
    EXPECT_EQ(root["file"].toString(), path);

    const QJsonObject para = root["parameters"].toObject();
    ASSERT_EQ(para.size(), static_cast<int>(kParamCount));
    EXPECT_EQ(para["POWER"].toInt(), 0) << "cut to its low 16 bits";
    EXPECT_EQ(para["AVERAGE"].toInt(), 1) << "malformed: the file's default";
    EXPECT_EQ(para["GAIN"].toInt(), 5) << "missing: the file's default";
    EXPECT_EQ(para["POWER PARA GAIN1"].toInt(), 6);
    EXPECT_EQ(para["DYNWIN HI"].toInt(), 3300);
    // The keys come in the order of the file.
    std::size_t at = 0;
    for (const auto& f : kParamFields) {
        const std::size_t next = run.out.find("\"" + std::string(f.key) + "\":", at);
        ASSERT_NE(next, std::string::npos) << f.key;
        at = next;
    }

    const QJsonArray rows = root["teach_vectors"].toArray();
    ASSERT_EQ(rows.size(), static_cast<int>(kTeachRows));
    const auto row = [&](int r) {
        std::vector<int> v;
        for (const auto& x : rows[r].toArray())
            v.push_back(x.toInt());
        return v;
    };
    EXPECT_EQ(row(0), (std::vector<int>{1, 1, 9, 1, 1, 1, 1, 10})) << "CELL 2 of row 0 edited";
    EXPECT_EQ(row(5), (std::vector<int>{1, 1, 1, 1, 1, 1, 1, 10}));
    EXPECT_EQ(row(63), (std::vector<int>{1, 1, 1, 1, 1, 1, 0, 10})) << "group defaults to 0";
    EXPECT_EQ(root["teach_columns"].toArray().size(), 8);

    // The reports name exactly what took a default, on stderr.
    EXPECT_TRUE(Contains(run.err,
                         "Attention!\nFollowing parameter could not be read \nand where "
                         "set to default value:\n\nAVERAGE\nGAIN\nPOWER PARA GAIN1\n"))
        << run.err;
    EXPECT_TRUE(Contains(run.err, "\n\nTEACH VECTOR 5\nTEACH VECTOR 63\n")) << run.err;
    EXPECT_FALSE(Contains(run.out, "Attention!"));
}

#if defined(__unix__)
// A Linux file name is bytes: one that is not UTF-8 still gives valid JSON, each stray byte
// shown as U+FFFD.
TEST_F(CliOffline, ShowJsonIsValidUtf8ForAPathThatIsNot) {
    const QString plain = Defaults("plain.ini");
    const std::string dirBytes = dir.path().toStdString();
    const std::string latin1 = dirBytes + "/caf\xE9-\xC3\xA9-\xED\xA0\x80.ini";  // and a surrogate
    ASSERT_EQ(std::rename(plain.toStdString().c_str(), latin1.c_str()), 0);
    QProcess p;
    // The name reaches the tool as raw bytes only through the shell's printf.
    p.start("/bin/sh", {"-c",
                        "exec \"$0\" show \"$(printf '%s/caf\\351-\\303\\251-\\355\\240\\200.ini' "
                        "\"$1\")\" --format json",
                        CliPath(), dir.path()});
    ASSERT_TRUE(p.waitForFinished(10000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QByteArray out = p.readAllStandardOutput();
    EXPECT_EQ(QString::fromUtf8(out).toUtf8(), out) << "not valid UTF-8";
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(out, &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << out.toStdString();
    EXPECT_EQ(doc.object()["file"].toString(),
              dir.path() + QString::fromUtf8("/caf\uFFFD-\u00E9-\uFFFD\uFFFD\uFFFD.ini"));
    std::remove(latin1.c_str());  // a name QTemporaryDir could not spell
}
#endif

// Results without a sensor as JSON: each one object on one line, read by Python's json module.
TEST_F(CliOffline, ResultsAsJsonForScripts) {
    const QString file = Defaults("a.ini");
    const std::string path = file.toStdString();
    const std::vector<std::pair<QStringList, std::string>> cases = {
        {{"ports"}, R"({"ports": [)"},
        {{"show", file}, R"({"file": ")" + path + R"(", "parameters": {)"},
        {{"diff", file, file},
         R"({"differences": [], "new_file": ")" + path + R"(", "old_file": ")" + path + R"("})"},
    };
    for (const auto& [args, start] : cases) {
        const Outcome run = Cli(args + QStringList{"--format", "json"});
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << run.out;
        EXPECT_EQ(PythonJson(run.out).rfind(start, 0), 0u) << PythonJson(run.out);
    }
}

// Far larger than any parameter file: refused unread, and said so.
TEST_F(CliOffline, AHugeFileIsRefusedBeforeItIsRead) {
    const QString path = Defaults("huge.ini");
    QFile f(path);
    ASSERT_TRUE(f.resize(16 * 1024 * 1024 + 1));  // sparse
    for (const QStringList& args : {QStringList{"show", path, "--force"},
                                    QStringList{"--tcp", "127.0.0.1:1", "send", "-i", path}}) {
        const Outcome run = Cli(args);
        EXPECT_EQ(run.code, 4);
        EXPECT_TRUE(Contains(run.err,
                             "huge.ini: 16777217 bytes, too large for a parameter file "
                             "(at most 16 MiB are read)"))
            << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

TEST_F(CliOffline, DefaultsShowAsTheProgramsDefaults) {
    const QString path = Defaults("defaults.ini");
    const Outcome run = Cli({"show", path});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;

    ParameterSet para;
    TeachTable teach{};
    LoadDefaultParaValues(para, teach, 1);
    for (const auto& f : kParamFields) {
        const std::string line = std::string(f.key) + " = " + std::to_string(para.*f.member) + "\n";
        EXPECT_TRUE(Contains(run.out, line)) << line;
    }
    EXPECT_TRUE(Contains(run.out,
                         "ROW  CELL 0  CELL 1  CELL 2  CELL 3  CELL 4  CELL 5   GROUP    "
                         "HOLD\n  0       1       1       1       1       1       1       "
                         "1      10\n"))
        << run.out;
    EXPECT_TRUE(Contains(run.out,
                         "\n 63       1       1       1       1       1       1       1  "
                         "    10\n"))
        << run.out;
}

TEST_F(CliOffline, AForeignFileIsShownOnlyWithForce) {
    const QString path = File("foreign.ini");
    WriteText(path, "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n");
    const Outcome refused = Cli({"show", path});
    EXPECT_EQ(refused.code, 4);
    EXPECT_TRUE(refused.out.empty());
    EXPECT_TRUE(Contains(refused.err, "No parameter where read!")) << refused.err;

    const Outcome forced = Cli({"show", path, "--force"});
    EXPECT_EQ(forced.code, 0) << forced.err;
    EXPECT_TRUE(Contains(forced.out, "AVERAGE = 1\n")) << forced.out;
}

TEST_F(CliOffline, FileProblemsExitWithFour) {
    EXPECT_EQ(Cli({"show", File("missing.ini")}).code, 4);
    EXPECT_EQ(Cli({"show", dir.path()}).code, 4);
    EXPECT_EQ(Cli({"defaults", "-o", dir.path()}).code, 4);
    const Outcome noDir = Cli({"defaults", "-o", File("none/p.ini")});
    EXPECT_EQ(noDir.code, 4);
    EXPECT_TRUE(Contains(noDir.err, "none")) << noDir.err;

    // Found only when the save itself fails: the file stays as it was.
    const QString locked = File("locked.ini");
    WriteText(locked, "keep\n");
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const Outcome readOnly = Cli({"defaults", "-o", locked});
    EXPECT_EQ(readOnly.code, 4);
    EXPECT_TRUE(Contains(readOnly.err, "locked.ini: not written")) << readOnly.err;
    EXPECT_EQ(ReadText(locked), "keep\n");
}

TEST_F(CliOffline, AResultThatCannotBeWrittenIsAFailure) {
    const QString path = Defaults("p.ini");
    QProcess p;
    p.setStandardOutputFile("/dev/full");
    p.start(CliPath(), {"show", path});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 4);
    EXPECT_TRUE(Contains(p.readAllStandardError().toStdString(), "standard output: "));
}

TEST_F(CliOffline, UsageErrorsExitWithTwoAndSayWhy) {
    const std::vector<std::pair<QStringList, std::string>> cases = {
        {{}, "no command given"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"identify", "--bogus"}, "unknown option '--bogus'"},
        {{"--tcp", "localhost", "identify"}, "expected HOST:PORT"},
        {{"--tcp", "localhost:70000", "identify"}, "from 1 to 65535"},
        {{"--tcp", ":5000", "identify"}, "no host"},
        {{"--serial", "/dev/nonsense", "identify"}, "bad value '/dev/nonsense' for --serial"},
        {{"--serial", "1", "--baud", "12345", "identify"}, "not one of the eight rates"},
        {{"--tcp", "h:1", "--baud", "9600", "identify"}, "--baud needs --serial"},
        {{"--tcp", "h:1", "--serial", "1", "identify"}, "not both"},
        {{"--tcp"}, "--tcp needs a value"},
        {{"get"}, "get needs -o FILE"},
        {{"send", "-o", "x.ini"}, "-o does not apply to send"},
        {{"identify", "--ram"}, "--ram does not apply to identify"},
        {{"live", "-n", "0"}, "at least 1"},
        {{"live", "-n", "ten"}, "bad value 'ten' for -n"},
        {{"live", "-n", "0x10"}, "bad value '0x10' for -n"},
        {{"set", "gain=-1"}, "bad value '-1' for gain"},
        {{"live", "--format", "json"}, "live writes csv or jsonl"},
        {{"show"}, "show needs a FILE"},
        {{"show", "a.ini", "b.ini"}, "unexpected argument 'b.ini'"},
        {{"--tcp", "h:1", "show", "a.ini"}, "does not use a sensor"},
        {{"defaults", "-o", "a.ini", "-o", "b.ini"}, "-o given twice"},
        {{"--verbose=yes", "ports"}, "--verbose takes no value"},
    };
    for (const auto& [args, reason] : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const Outcome run = Cli(args);
        EXPECT_EQ(run.code, 2);
        EXPECT_TRUE(Contains(run.err, reason)) << run.err;
        EXPECT_TRUE(Contains(run.err, "Try 'qelto-cli --help'")) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

TEST_F(CliOffline, OptionsMayFollowTheCommandAndTakeInlineValues) {
    const QString path = File("inline.ini");
    EXPECT_EQ(Cli({"defaults", "-o", path}).code, 0);
    const Outcome run = Cli({"show", "--format=json", "--", path});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out.rfind("{", 0), 0u);
}

TEST_F(CliOffline, HelpShowsTheInterface) {
    const Outcome run = Cli({"--help"});
    ASSERT_EQ(run.code, 0);
    for (const char* line : {
             "qelto-cli [LINK] [--verbose] COMMAND [OPTIONS]\n",
             "LINK:  --tcp HOST:PORT  |  --serial PORT [--baud RATE]\n",
             "  identify                     connect; print the firmware line, family (1..3), "
             "sensor name, serial number\n",
             "  get  [--ram] -o FILE         connect (through the EEPROM unless --ram) and save "
             "the sensor's parameters to FILE\n",
             "  send [--ram] -i FILE [--force] [--verify] [--format text|json]\n",
             "  store                        connect (nothing is read) and store the sensor's RAM",
             "  live [-n COUNT] [--format csv|jsonl] [--reconnect]\n",
             "  record FILE [-n COUNT | --seconds S] [--every N] [--reconnect] [--force]\n",
             "  freq                         connect and print the scan frequency as the GUI "
             "formats it\n",
             "  show FILE [--format text|json]",
             "  defaults -o FILE             no sensor: write a parameter file holding the "
             "default values\n",
             "  ports                        list serial ports: COM number and device path\n",
             "--send-defaults answers yes to the connect-time default-parameter question "
             "(default: no).\n",
             "--help, --version\n",
         }) {
        EXPECT_TRUE(Contains(run.out, line)) << line;
    }
    const Outcome version = Cli({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(Contains(version.out, "KORVANEX TAVRENO Qelto V1.1")) << version.out;
}

}  // namespace
}  // namespace qelto
