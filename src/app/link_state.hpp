// The link as the operator should see it at a glance, always: connected (how, to which
// sensor), offline, or lost (when, and why), and whether the live values on display are
// current. The status display and the InfoBox keep their own texts; this is said beside them.
#pragma once

#include <string>

#include "app/operation_state.hpp"

namespace qelto {

struct Context;
struct SensorError;

// Trying to connect with the connection settings now in force.
void LinkConnecting(Context& ctx);
// The sensor is identified and answering.
void LinkConnected(Context& ctx);
// No link: after going offline, or a failed open (with its reason).
void LinkOffline(Context& ctx, const SensorError* cause = nullptr);
// A request failed or the server closed the link: when, and why.
void LinkFailed(Context& ctx, const SensorError& error);
// The sensor answered again after a failure.
void LinkAnswered(Context& ctx);

// For what is saved about the link (the link monitor's text): the link in force
// ("TCP/IP 127.0.0.1:5000", or "not connected" with the settings on the page) and the sensor
// identified on it (firmware, name, serial number; "not identified").
std::string LinkInForce(const Context& ctx);
std::string SensorOnLink(const Context& ctx);

// The live displays: a new sample arrived, acquisition ended without a failure.
void LiveValuesFresh(Context& ctx);
void LiveValuesKept(Context& ctx);

}  // namespace qelto
