// The request/reply transaction: the frame buffers, the request builder and the exchange
// with its time limits and checks. Every conversation with the sensor goes through here.
#pragma once

#include <array>
#include <cstdint>

#include "link/link_context.hpp"
#include "protocol/frame.hpp"

namespace qelto {

// Messages of the transaction, reported through SetTimeout.
inline constexpr const char* kMsgTimeout =
    "TIMEOUT! \nNO DATA RECEIVED! \nCOMMUNICATION ERROR! \nCHECK POWER SUPPLY AND COM SETTINGS. "
    "\nTRY TO CONNECT AGAIN!";
inline constexpr const char* kMsgBadHeader = "ATTENTION! \nRECEIVED HEADER FRAME IS INCORRECT!";
inline constexpr const char* kMsgInvalidOrder =
    "INVALIDE ORDER NUMBER!\nVERIFY PC AND SENSOR SOFTWARE!";
inline constexpr const char* kMsgSensorCommError =
    "COMMUNICATION ERROR!\nYOU MAY HAVE TO REDUCE BAUDRATE!";
inline constexpr const char* kMsgBadData = "ATTENTION! \nRECEIVED DATA FRAME IS INCORRECT!";

void FillTxBuf(LinkContext& ctx, int command, std::uint16_t argument, std::uint16_t length);
int DataExchange(LinkContext& ctx, int count);
int GetHeaderFrame(LinkContext& ctx);
int CheckHeaderCRC(LinkContext& ctx);
int GetDataFrame(LinkContext& ctx);

// FillTxBuf + DataExchange for a request whose data (if any) is already in RequestFrame.
int Exchange(LinkContext& ctx, int command, std::uint16_t argument, std::uint16_t length = 0);

}  // namespace qelto
