#include "app/context.hpp"

#include "app/live_record.hpp"

namespace qelto {

Context::Context(OperatorInterface& ui_, SensorSession& sensor_, PortEnumerator& ports_)
    : ui(ui_),
      sensor(sensor_),
      portEnumerator(ports_),
      recording(std::make_unique<LiveRecording>()) {
    sensor.SetObserver(this);
}

Context::~Context() {
    sensor.SetObserver(nullptr);
}

}  // namespace qelto
