// The pieces of qelto-cli's JSON that more than one command prints: texts, what a sensor may
// hold, refused values, differences and a failure, each with the same keys wherever it shows.
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <string_view>
#include <vector>

#include "protocol/configuration_diff.hpp"
#include "sensor/failure_report.hpp"
#include "sensor/transfer_outcome.hpp"

namespace qelto::cli {

// Text as a JSON string. Not every text here is UTF-8 (a Linux file name is any bytes, a
// sensor name is what the sensor sent): a byte that is not part of a well-formed UTF-8
// character becomes U+FFFD, so that the output is always valid UTF-8.
QJsonValue JsonText(std::string_view text);
// {"ram": "new", "eeprom": "unknown"}
QJsonObject JsonMayHold(Holds ram, Holds eeprom);
// [{"section", "key", "value" (sent), "held"}]
QJsonArray JsonRefused(const std::vector<RefusedValue>& refused);
// [{"section", "key", "old", "new"}]
QJsonArray JsonDifferences(const std::vector<Difference>& diffs);
// A failure as scripts read it: the same fields as the Python module's exceptions.
QJsonObject JsonFailure(const FailureReport& r);

}  // namespace qelto::cli
