// The link alone, for the tests of the link itself: no session and no presenters. What the link
// reports goes into a log, message and advice each followed by an empty line, as the window's
// failure report would put it into its InfoBox.
#pragma once

#include <string>

#include "doubles/fake_ports.hpp"
#include "doubles/test_loop.hpp"
#include "link/link_context.hpp"
#include "link/transport.hpp"

namespace qelto {

class LoggingOwner : public LinkOwner {
  public:
    void ReportLinkFailure(const LinkFailure& f) override {
        ++failures;
        log += std::string(f.message) + "\n\n";
        if (!f.advice.empty()) log += f.advice + "\n\n";
    }
    void SetWaitCursor(bool busy) override { waitCursor = busy; }
    int failures = 0;
    std::string log;
    bool waitCursor = false;
};

// The link on the fake ports, opened over the fake TCP link (which talks to it alone), on a
// manual clock.
struct FakeLinkRig {
    TestLoop loop;
    FakeSerial serial;
    FakeTcp tcp;
    LoggingOwner owner;
    LinkContext link{loop, owner, serial, tcp};

    FakeLinkRig() {
        loop.onEvents = [this] { tcp.Deliver(); };
        link.conn.Protocol = kTcpIp;
        CopyText(link.conn.IpAddress, "sensor");
        InitTCP_IP(link);
    }
};

}  // namespace qelto
