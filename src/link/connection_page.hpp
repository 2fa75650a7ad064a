// The connection page: choosing the link, connecting, disconnecting, the port list and Accept.
#pragma once

#include <string_view>

#include "ui/operator_interface.hpp"

namespace qelto {

struct Context;

inline constexpr int kMaxRecentServers = 10;
inline constexpr int kLocateComCapacity = 255;
inline constexpr const char* kInfoPortListHeading = "Following COM PORTS are available:\n";

// Reads the protocol selector into Protocol and shows the controls of that link kind.
void InitConnectPanel(Context& ctx);
// Puts `server` at the top of the server field's list: no duplicates, at most 10 entries.
void RememberServer(Context& ctx, std::string_view server);

int CBF_EditCommunicationProtocol(Context& ctx, Event event);
int CBF_EditSelectComPort(Context& ctx, Event event);
int CBF_EditSelectBaudrate(Context& ctx, Event event);
int CBF_StringIpAdress(Context& ctx, Event event);
int CBF_StringPortNumber(Context& ctx, Event event);
int CBF_ButtonTryToConnect(Context& ctx, Event event);
int CBF_ButtonDisconnect(Context& ctx, Event event);
int CBF_ButtonFindComPorts(Context& ctx, Event event);
int CBF_ButtonAccept(Context& ctx, Event event);

}  // namespace qelto
