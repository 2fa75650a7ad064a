#include "gui_app.hpp"

#include <QCoreApplication>
#include <QDateTime>
#include <QKeySequence>

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
    ui_.onUnavailable = [this](Ctrl c) { ui_.ShowStatusMessage(ctx_.lock.WhyUnavailable(c)); };
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
    qelto::Shutdown(ctx_);
    ui_.window().closing = true;
    ui_.window().close();
}

}  // namespace qelto::gui
