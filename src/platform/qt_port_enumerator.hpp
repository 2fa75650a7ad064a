// The serial ports that exist, numbered by the fixed COM mapping.
#pragma once

#include "link/ports.hpp"

namespace qelto {

class QtPortEnumerator : public PortEnumerator {
  public:
    std::vector<SerialPortInfo> LocateCom() override;
};

}  // namespace qelto
