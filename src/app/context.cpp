#include "app/context.hpp"

namespace qelto {

Context::Context(OperatorInterface& ui_, EventLoop& loop_, SensorSession& sensor_,
                 PortEnumerator& ports_)
    : ui(ui_), loop(loop_), sensor(sensor_), portEnumerator(ports_) {
    // The failure report first: what it ends (acquisition, CommunicationOk) is ended when the
    // link line and the controls follow.
    sensor.AddObserver(&feedback);
    sensor.AddObserver(&link);
    // The reconnection after the link line, whose view it reads, and before the command lock,
    // which selects FILE once no link is left.
    sensor.AddObserver(&reconnection);
    sensor.AddObserver(&lock);
    // The parameter page and the circles show the working copy as it is, after every change.
    working.AddView([this](const WorkingCopyChange& change) {
        if (change.sent) {
            // The dashed circles of what was unsent are solid now.
            graphs.InitGraphs();
            graphs.Rescale();
        }
        if (change.marksOnly()) return;
        page.Show();
        if (!change.teach) return;
        graphs.InitGraphs();
        if (change.item) {
            graphs.Rescale();
        } else {
            graphs.ShowGraph3D();
        }
    });
}

Context::~Context() {
    sensor.RemoveObserver(&lock);
    sensor.RemoveObserver(&reconnection);
    sensor.RemoveObserver(&link);
    sensor.RemoveObserver(&feedback);
}

}  // namespace qelto
