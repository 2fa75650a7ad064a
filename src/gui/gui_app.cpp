#include "gui_app.hpp"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QKeySequence>
#include <QSettings>

#include "app/command_lock.hpp"
#include "app/control_table.hpp"
#include "app/link_status.hpp"
#include "window_menu.hpp"

namespace qelto::gui {
namespace {

QKeySequence KeyOf(Key key) {
    switch (key) {
        case Key::F9:
            return QKeySequence(Qt::Key_F9);
        case Key::F10:
            return QKeySequence(Qt::Key_F10);
        case Key::F11:
            return QKeySequence(Qt::Key_F11);
        case Key::F12:
            return QKeySequence(Qt::Key_F12);
        case Key::None:
            break;
    }
    return {};
}

}  // namespace

GuiApp::GuiApp() : ctx_(ui_, loop_, sensor_, ports_) {
    ui_.AttachEditor(ctx_.editor, ctx_.working);
    ui_.onControlEvent = [this](Ctrl c, Event e) { DispatchControlEvent(ctx_, c, e); };
    // Every frame on the wire goes to the link monitor's record, also while its panel is
    // closed, so that it shows what happened before the operator opened it.
    sensor_.link().frameTrace = [this](TracedFrame kind, std::span<const std::uint8_t> bytes,
                                       std::string_view reason) {
        monitor_.Record(kind, bytes, reason, LocalTimeMs());
    };
    ui_.menu().SetLinkMonitor(&monitor_);
    ui_.menu().monitorHeading = [this] {
        return MonitorHeading{WallClockNow(), LinkInForce(sensor_, ctx_.settings.link),
                              SensorOnLink(sensor_)};
    };
    ui_.onPanelEvent = [this](Event e) { CBF_MAINP(ctx_, e); };
    ui_.onUnavailable = [this](Ctrl c) { ui_.ShowStatusFailure(ctx_.lock.WhyUnavailable(c)); };
    // The rate goes when the samples stop coming, not only with the next one.
    ui_.onLiveAgeTick = [this] { ctx_.recording.ShowStatusBar(false); };
    WindowMenu& menu = ui_.menu();
    menu.openParameters = [this](const std::string& path) {
        ui_.RunCommand([&] { DispatchFileCommand(ctx_, FileCommand::Open, path); });
    };
    menu.saveParameters = [this] {
        ui_.RunCommand([&] { DispatchFileCommand(ctx_, FileCommand::SaveAs); });
    };
    menu.recentFiles = [this] { return ctx_.settings.RecentParameterFiles; };
    menu.sampling = [this] { return ctx_.settings.recordSampling; };
    menu.setSampling = [this](const RecordSampling& s) {
        ctx_.settings.recordSampling = s;
        ctx_.recording.ShowStatusBar(true);
    };
    for (int i = 0; i < kCtrlCount; ++i) {
        const Ctrl c = static_cast<Ctrl>(i);
        if (const Key key = ShortcutKey(c); key != Key::None) ui_.SetShortcutKey(c, KeyOf(key));
    }
}

GuiApp::~GuiApp() {
    Shutdown();
}

std::int64_t GuiApp::LocalTimeMs() {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    // The offset from UTC changes twice a year; looking it up once a minute is enough and
    // spares the time-zone rules at every frame.
    if (offsetCheckedMs_ < 0 || now - offsetCheckedMs_ > 60000) {
        utcOffsetMs_ =
            static_cast<std::int64_t>(QDateTime::currentDateTime().offsetFromUtc()) * 1000;
        offsetCheckedMs_ = now;
    }
    return now + utcOffsetMs_;
}

void GuiApp::Start(const StartupOptions& startup) {
    ui_.window().setWindowTitle(QString::fromUtf8(kProgramTitle));
    InitAll(ctx_, startup);
    LoadWindowSettings();
}

// What the window keeps beyond the panel settings file lives in a settings file of its own
// beside it: that file is written anew from what the program knows, so keys it does not know
// would be lost there.
QString GuiApp::WindowSettingsPath() const {
    return QDir(QString::fromStdString(ctx_.settings.ProgramDirectory))
        .filePath(QStringLiteral("qelto-window.ini"));
}

void GuiApp::LoadWindowSettings() {
    const QSettings store(WindowSettingsPath(), QSettings::IniFormat);
    RecordSampling& s = ctx_.settings.recordSampling;
    const QString every = store.value(QStringLiteral("recording/keeps")).toString();
    s.every = every == QLatin1String("one-in-n")       ? RecordEvery::NthSample
              : every == QLatin1String("per-interval") ? RecordEvery::Interval
                                                       : RecordEvery::Sample;
    bool ok = false;
    const uint n = store.value(QStringLiteral("recording/n")).toUInt(&ok);
    if (ok && n >= 1) s.n = n;
    const double interval = store.value(QStringLiteral("recording/interval")).toDouble(&ok);
    if (ok && interval > 0) s.interval = interval;
    ctx_.settings.RecentParameterFiles.clear();
    for (const QString& f : store.value(QStringLiteral("files/recent")).toStringList()) {
        if (!f.isEmpty() && ctx_.settings.RecentParameterFiles.size() < kMaxRecentFiles)
            ctx_.settings.RecentParameterFiles.push_back(f.toStdString());
    }
}

void GuiApp::StoreWindowSettings() {
    if (ctx_.settings.ProgramDirectory.empty()) return;
    QSettings store(WindowSettingsPath(), QSettings::IniFormat);
    const RecordSampling& s = ctx_.settings.recordSampling;
    store.setValue(QStringLiteral("recording/keeps"),
                   s.every == RecordEvery::NthSample  ? QStringLiteral("one-in-n")
                   : s.every == RecordEvery::Interval ? QStringLiteral("per-interval")
                                                      : QStringLiteral("every-sample"));
    store.setValue(QStringLiteral("recording/n"), s.n);
    store.setValue(QStringLiteral("recording/interval"), s.interval);
    QStringList recent;
    for (const std::string& f : ctx_.settings.RecentParameterFiles)
        recent << QString::fromStdString(f);
    store.setValue(QStringLiteral("files/recent"), recent);
}

int GuiApp::Exec() {
    int code = 0;
    if (!loop_.QuitRequested()) {
        loop_.SetMainLoopRunning(true);
        code = QCoreApplication::exec();
        loop_.SetMainLoopRunning(false);
    }
    if (loop_.quitCode()) code = *loop_.quitCode();
    Shutdown();
    return code;
}

void GuiApp::Shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    StoreWindowSettings();
    qelto::Shutdown(ctx_);
    ui_.window().closing = true;
    ui_.window().close();
}

}  // namespace qelto::gui
