#include "app/context.hpp"

namespace qelto {

Context::Context(OperatorInterface& ui_, EventLoop& loop_, SensorSession& sensor_,
                 PortEnumerator& ports_)
    : ui(ui_), loop(loop_), sensor(sensor_), portEnumerator(ports_) {
    for (SessionObserver* o : sessionObservers())
        sensor.AddObserver(o);
    supervisor.AddObserver(&link);
    supervisor.AddObserver(&reconnection);
    // The parameter page and the circles show the working copy as it is, after every change.
    working.AddView([this](const WorkingCopyChange& change) {
        if (change.sent) {
            // The dashed circles of what was unsent are solid now.
            graphs.InitGraphs();
            graphs.Rescale();
        }
        if (change.marksOnly()) return page.ShowMarks();
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
    supervisor.RemoveObserver(&reconnection);
    supervisor.RemoveObserver(&link);
    for (SessionObserver* o : sessionObservers())
        sensor.RemoveObserver(o);
}

std::array<SessionObserver*, 5> Context::sessionObservers() {
    return {&feedback, &lock, &live, &transfer, &working};
}

}  // namespace qelto
