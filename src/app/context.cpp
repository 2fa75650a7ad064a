#include "app/context.hpp"

#include "app/live_record.hpp"
#include "app/parameter_editor.hpp"

namespace qelto {

Context::Context(OperatorInterface& ui_, EventLoop& loop_, SensorSession& sensor_,
                 PortEnumerator& ports_)
    : ui(ui_),
      loop(loop_),
      sensor(sensor_),
      portEnumerator(ports_),
      recording(std::make_unique<LiveRecording>()),
      editing(std::make_unique<ParameterEditing>()) {
    sensor.SetObserver(this);
}

Context::~Context() {
    sensor.SetObserver(nullptr);
}

}  // namespace qelto
