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
// Sends the request and takes its reply: 1, or -1 once the failure has been reported. A reply
// counts only as the answer to this request: one of another command (other than the sensor's
// error reply) is rejected as a bad header, one whose data length `expected` does not take as
// a bad data frame, each with the reason beside the text. On TCP/IP, bytes that came since the
// last reply was taken are discarded first. The close of the conversation, or the serial
// device going away, ends the wait at once (it has been reported as it came).
// After a failed exchange the request first waits for a quiet line (SettleLine), so that the
// late reply of the one before is never taken as its own.
int DataExchange(LinkContext& ctx, int count, ReplyFit expected = {});
// Waits until no byte has come for `limits.quiet` seconds (at most the reply limit), and
// discards what came meanwhile, said in the frame trace and counted in StrayBytes. The bytes
// discarded.
std::size_t SettleLine(LinkContext& ctx);
int GetHeaderFrame(LinkContext& ctx);
int CheckHeaderCRC(LinkContext& ctx);
int GetDataFrame(LinkContext& ctx);

// FillTxBuf + DataExchange for a request whose data (if any) is already in RequestFrame.
int Exchange(LinkContext& ctx, int command, std::uint16_t argument, std::uint16_t length = 0,
             ReplyFit expected = {});

}  // namespace qelto
