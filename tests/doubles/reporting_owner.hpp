// A link owner for the tests of the link itself: what the link reports goes through the
// presenters' failure report, as the session's failures do in the program.
#pragma once

#include "app/context.hpp"
#include "link/link_context.hpp"
#include "sensor/sensor_error.hpp"

namespace qelto {

class ReportingOwner : public LinkOwner {
  public:
    explicit ReportingOwner(Context& ctx) : ctx_(ctx) {}
    void ReportLinkFailure(const LinkFailure& f) override {
        ++failures;
        ctx_.feedback.ReportFailure(
            {SensorFault::Timeout, std::string(f.message), f.reason, f.advice});
    }
    int failures = 0;

  private:
    Context& ctx_;
};

}  // namespace qelto
