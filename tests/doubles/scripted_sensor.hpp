// A sensor for UnitRig's fake TCP link: it keeps a parameter set and teach table, answers every
// command the program uses, records what it was asked, and lets a test replace any reply.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "doubles/unit_rig.hpp"

namespace qelto {

struct SeenRequest {
    int command;
    std::uint16_t argument;
    Bytes data;
};

inline Bytes Frame(std::uint8_t command, std::uint16_t argument, const Bytes& data = {}) {
    Bytes out(kHeaderSize + data.size());
    BuildFrame(command, argument, data, out.data());
    return out;
}

inline Bytes LiveBytes(std::int16_t red, std::int16_t green, std::int16_t blue, std::int16_t x,
                       std::int16_t y, std::int16_t intensity, std::int16_t colorNo = 0) {
    LiveData d;
    d.w[LiveData::kRed] = red;
    d.w[LiveData::kGreen] = green;
    d.w[LiveData::kBlue] = blue;
    d.w[LiveData::kX] = x;
    d.w[LiveData::kY] = y;
    d.w[LiveData::kInt] = intensity;
    d.w[LiveData::kColorNo] = colorNo;
    Bytes b(kLiveDataSize);
    d.ToBytes(std::span<std::uint8_t, kLiveDataSize>(b.data(), kLiveDataSize));
    return b;
}

struct ScriptedSensor {
    std::string firmware = "KORVANEX V4.3.12 B7";
    std::string name = "TAVRENO TEST";
    std::uint16_t serial = 4711;
    ParameterSet para;
    TeachTable teach{};
    std::uint16_t writeRejects = 0;   // reply argument to command 1
    std::uint16_t eepromRejects = 0;  // reply argument to command 4
    std::int32_t scans = 250, window = 100;
    std::vector<SeenRequest> seen;
    int samples = 0;
    // Returns a reply (or several chunks, or nothing for silence) to replace the normal one.
    std::function<std::optional<std::vector<Bytes>>(const SeenRequest&)> override;

    void Attach(UnitRig& rig) {
        rig.tcp.responder = [this](const Bytes& req) { return Answer(req); };
    }

    std::vector<int> Commands() const {
        std::vector<int> c;
        for (const auto& s : seen)
            c.push_back(s.command);
        return c;
    }

    std::vector<Bytes> Answer(const Bytes& req) {
        SeenRequest r{req[1], GetU16(&req[2]), Bytes(req.begin() + kHeaderSize, req.end())};
        seen.push_back(r);
        if (override) {
            if (auto replaced = override(r)) return *replaced;
        }
        return {Normal(r)};
    }

    Bytes Normal(const SeenRequest& r) {
        switch (r.command) {
            case kCmdFirmware:
                return Frame(7, 0, Bytes(firmware.begin(), firmware.end()));
            case kCmdSensorName:
                return Frame(15, serial, Bytes(name.begin(), name.end()));
            case kCmdWrite:
                if (r.argument == kArgParameters && r.data.size() == kParameterBlockSize) {
                    ParameterSetFromBlock(
                        std::span<const std::uint8_t, kParameterBlockSize>(r.data.data(), 52),
                        para);
                } else if (r.argument == kArgTeachTable && r.data.size() == kTeachBlockSize) {
                    TeachTableFromBlock(
                        std::span<const std::uint8_t, kTeachBlockSize>(r.data.data(), 512), teach);
                }
                return Frame(1, writeRejects);
            case kCmdRead: {
                if (r.argument == kArgParameters) {
                    Bytes b(kParameterBlockSize);
                    ParameterBlockFromSet(para, std::span<std::uint8_t, 52>(b.data(), 52));
                    return Frame(2, 0, b);
                }
                Bytes b(kTeachBlockSize);
                TeachBlockFromTable(teach, std::span<std::uint8_t, 512>(b.data(), 512));
                return Frame(2, 2, b);
            }
            case kCmdStoreEeprom:
                return Frame(3, 0);
            case kCmdLoadEeprom:
                return Frame(4, eepromRejects);
            case kCmdLiveData: {
                ++samples;
                const auto v = static_cast<std::int16_t>(samples);
                return Frame(8, 0,
                             LiveBytes(v, static_cast<std::int16_t>(v + 1000),
                                       static_cast<std::int16_t>(v + 2000), 1000, 1500, 800));
            }
            case kCmdCycleTime: {
                Bytes b(8);
                PutI32(b.data(), scans);
                PutI32(b.data() + 4, window);
                return Frame(105, 0, b);
            }
            default:
                return Frame(0, 1);
        }
    }
};

}  // namespace qelto
