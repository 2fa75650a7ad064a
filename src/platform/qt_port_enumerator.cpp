#include "platform/qt_port_enumerator.hpp"

#include <QSerialPortInfo>
#include <algorithm>

#include "link/transport.hpp"

namespace qelto {

std::vector<SerialPortInfo> QtPortEnumerator::LocateCom() {
    std::vector<SerialPortInfo> result;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const std::string path = info.systemLocation().toStdString();
        if (auto n = ComPortNumberForPath(path)) result.push_back({*n, path});
    }
    std::sort(result.begin(), result.end(),
              [](const SerialPortInfo& a, const SerialPortInfo& b) { return a.number < b.number; });
    return result;
}

}  // namespace qelto
