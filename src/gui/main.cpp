// qelto: the window of the Qelto colour-sensor tool.
#include <QApplication>
#include <QCommandLineParser>
#include <QLocale>
#include <QMessageBox>
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "demo_sim.hpp"
#include "gui_app.hpp"

namespace {

// The per-user settings folder (AppConfigLocation) is the same as the command-line tool's.
constexpr const char* kSettingsOrganization = "Qelto";
constexpr const char* kSettingsApplication = "Qelto";
constexpr int kExitNoWindow = -1;
constexpr int kExitUsage = 2;
constexpr int kExitDemo = 1;

// Qt ends the program when no display can be reached; say so in one line and leave with the
// exit code of a window that could not be opened, instead of aborting.
void NoDisplayHandler(QtMsgType type, const QMessageLogContext&, const QString&) {
    if (type != QtFatalMsg) return;
    const QByteArray display = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    std::fprintf(stderr,
                 "qelto: no display could be reached to open the window on (DISPLAY=%s, "
                 "WAYLAND_DISPLAY=%s); start it in a graphical session, or use qelto-cli\n",
                 display.constData(), wayland.constData());
    std::fflush(stderr);
    std::_Exit(kExitNoWindow & 0xFF);
}

bool NoDisplayAtAll(const QStringList& arguments) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (arguments.contains(QStringLiteral("-platform")) ||
        arguments.contains(QStringLiteral("--platform"))) {
        return false;
    }
    return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
           qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    Q_UNUSED(arguments);
    return false;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Configure and watch a KORVANEX colour sensor over RS-232 or TCP/IP."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption demo(
        QStringLiteral("demo"),
        QStringLiteral("Start the simulated sensor (qelto-sim) and connect to it for this run "
                       "only; the stored connection settings stay as they are."));
    parser.addOption(demo);
    // Qt's own options (-platform, -style, ...) are known only once QApplication has taken
    // them out: unknown options are judged then, but --help and --version need no display.
    parser.parse(arguments);
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                        QStringLiteral("qelto"))),
                   stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("qelto %s (%s)\n", QELTO_VERSION, qelto::kProgramTitle);
        return 0;
    }
    if (NoDisplayAtAll(arguments)) {
        std::fputs(
            "qelto: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not "
            "set); start it in a graphical session, or use qelto-cli\n",
            stderr);
        return kExitNoWindow;
    }

    const QtMessageHandler previous = qInstallMessageHandler(NoDisplayHandler);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    if (!parser.parse(QApplication::arguments())) {
        std::fprintf(stderr, "qelto: %s\nTry 'qelto --help' for more information.\n",
                     qPrintable(parser.errorText()));
        return kExitUsage;
    }
    QApplication::setOrganizationName(QString::fromLatin1(kSettingsOrganization));
    QApplication::setApplicationName(QString::fromLatin1(kSettingsApplication));
    QApplication::setApplicationVersion(QStringLiteral(QELTO_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);

    qelto::StartupOptions startup;
    startup.programDirectory = QApplication::applicationDirPath().toStdString();
    startup.userConfigDirectory =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString();
    startup.documentsDirectory = qelto::gui::DocumentsFolder().toStdString();
    startup.desktopLanguage = qelto::gui::LanguageOfLocale(QLocale::system());

    qelto::gui::DemoSimulator simulator;
    if (parser.isSet(demo)) {
        const QString program = qelto::gui::DemoSimulator::Find(QApplication::applicationDirPath());
        if (!simulator.Start(program, qelto::gui::kDemoSimulatorArguments())) {
            const QString message =
                QStringLiteral("The demo cannot start: %1.").arg(simulator.error());
            std::fprintf(stderr, "qelto: %s\n", qPrintable(message));
            QMessageBox::critical(nullptr, QStringLiteral("Qelto demo"), message);
            return kExitDemo;
        }
        startup.connectionOverride =
            qelto::LinkDescription::Tcp(simulator.host().toStdString(), simulator.port());
    }

    int code = 0;
    {
        qelto::gui::GuiApp gui;
        gui.Start(startup);
        code = gui.Exec();
    }
    simulator.Stop();
    return code;
}
