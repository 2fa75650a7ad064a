// The simulated sensor of `qelto --demo`: qelto-sim as a child process on a free loopback
// port, ended with the window.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <string>

namespace qelto::gui {

// What the demo's simulator shows: the standard colours in turn, a few seconds each.
QStringList kDemoSimulatorArguments();

class DemoSimulator {
  public:
    DemoSimulator() = default;
    ~DemoSimulator();
    DemoSimulator(const DemoSimulator&) = delete;
    DemoSimulator& operator=(const DemoSimulator&) = delete;

    // Where qelto-sim is looked for: beside the program, in the build tree, on PATH.
    static QString Find(const QString& programDirectory);
    // Starts the simulator and waits for its port; false with error() when it could not.
    bool Start(const QString& program, const QStringList& extraArguments = {});
    int port() const { return port_; }
    QString host() const { return host_; }
    QString error() const { return error_; }
    // One control line to the simulator ("scene red", "fault no-reply", ...).
    void Control(const QString& line);
    void Stop();

  private:
    QProcess process_;
    QString host_;
    int port_ = 0;
    QString error_;
};

}  // namespace qelto::gui
