// The connection page: choosing the link, connecting, disconnecting, the port list and Accept.
#pragma once

#include <string_view>

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"

namespace qelto {

struct Context;

inline constexpr int kMaxRecentServers = 10;
inline constexpr int kLocateComCapacity = 255;
inline constexpr const char* kInfoPortListHeading = "Following COM PORTS are available:\n";

// Reads the protocol selector into Protocol and shows the controls of that link kind.
void InitConnectPanel(Context& ctx);
// Puts `server` at the top of the server field's list: no duplicates, at most 10 entries.
void RememberServer(Context& ctx, std::string_view server);

// Actions of the page's controls (the control table runs them).
Outcome CBF_EditCommunicationProtocol(Context& ctx);
// COM port, baud rate and port number: a changed setting dims Accept.
Outcome DimAcceptButton(Context& ctx);
Outcome CBF_StringIpAdress(Context& ctx);
Outcome CBF_ButtonTryToConnect(Context& ctx);
Outcome CBF_ButtonDisconnect(Context& ctx);
Outcome CBF_ButtonFindComPorts(Context& ctx);
Outcome CBF_ButtonAccept(Context& ctx);

}  // namespace qelto
