// The sensor's request/reply frames: CRC-8, the request builder and the transaction.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace qelto {

struct Context;

inline constexpr std::size_t kFrameBufferSize = 2048;
inline constexpr std::size_t kHeaderSize = 8;
inline constexpr std::size_t kMaxDataLength = kFrameBufferSize - kHeaderSize;  // 2040
inline constexpr std::uint8_t kStartByte = 0x55;
inline constexpr std::uint8_t kCrcStart = 0xAA;
inline constexpr double kReplyTimeLimit = 3.0;  // seconds, header and data each

// Commands of the sensor protocol.
enum Command : int {
    kCmdErrorReply = 0,
    kCmdWrite = 1,
    kCmdRead = 2,
    kCmdStoreEeprom = 3,
    kCmdLoadEeprom = 4,
    kCmdFirmware = 7,
    kCmdLiveData = 8,
    kCmdSensorName = 15,
    kCmdCycleTime = 105,
};
inline constexpr std::uint16_t kArgParameters = 0;
inline constexpr std::uint16_t kArgTeachTable = 2;

extern const std::array<std::uint8_t, 256> kCrc8Table;

std::uint8_t crc8Update(const std::uint8_t* buffer, std::size_t offset, std::size_t count,
                        const std::array<std::uint8_t, 256>& table);
inline std::uint8_t crc8(std::span<const std::uint8_t> bytes) {
    return crc8Update(bytes.data(), 0, bytes.size(), kCrc8Table);
}

// Builds a complete frame (header + data) into out; returns its size. Shared by the request
// builder and the simulated sensor's replies.
std::size_t BuildFrame(std::uint8_t command, std::uint16_t argument,
                       std::span<const std::uint8_t> data, std::uint8_t* out);

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

// The frame buffers and the decoded reply header; one set for the whole program.
struct FrameBuffers {
    std::array<std::uint8_t, kFrameBufferSize> RequestFrame{};
    std::array<std::uint8_t, kFrameBufferSize> TxBuffer{};
    std::array<std::uint8_t, kFrameBufferSize> RxBuffer{};
    std::int32_t RxCount = 0;
    std::int32_t ComStatus = 0;
    std::uint8_t ReplyCommand = 0;
    std::uint16_t ReplyArgument = 0;
    std::uint16_t ReplyLength = 0;
    std::uint8_t ReplyDataCrc = 0;

    // The request's data area.
    std::uint8_t* RequestData() { return RequestFrame.data() + kHeaderSize; }
    // The reply's data, valid after a successful exchange.
    const std::uint8_t* ReplyData() const { return RxBuffer.data() + kHeaderSize; }
};

void FillTxBuf(Context& ctx, int command, std::uint16_t argument, std::uint16_t length);
int DataExchange(Context& ctx, int count);
int GetHeaderFrame(Context& ctx);
int CheckHeaderCRC(Context& ctx);
int GetDataFrame(Context& ctx);

// FillTxBuf + DataExchange for a request whose data (if any) is already in RequestFrame.
int Exchange(Context& ctx, int command, std::uint16_t argument, std::uint16_t length = 0);

}  // namespace qelto
