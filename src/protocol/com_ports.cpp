#include "protocol/com_ports.hpp"

#include <charconv>

namespace qelto {

int BaudRateForIndex(int index) {
    return index >= 0 && index < static_cast<int>(kBaudRates.size())
               ? kBaudRates[static_cast<std::size_t>(index)]
               : 115200;
}

std::optional<int> BaudRateIndexFor(int baud) {
    for (std::size_t i = 0; i < kBaudRates.size(); ++i) {
        if (kBaudRates[i] == baud) return static_cast<int>(i);
    }
    return std::nullopt;
}

namespace {
struct ComFamily {
    const char* prefix;
    int first;  // COM number of device 0
    int last;   // largest COM number of the family
};
constexpr ComFamily kComFamilies[] = {{"/dev/ttyS", 1, 100},     {"/dev/ttyUSB", 101, 200},
                                      {"/dev/ttyACM", 201, 300}, {"/dev/ttyAMA", 301, 400},
                                      {"/dev/rfcomm", 401, 500}, {"/dev/pts/", 1001, 1000000}};
}  // namespace

std::string ComPortDevicePath(int number) {
#ifdef _WIN32
    return number > 0 ? "COM" + std::to_string(number) : std::string();
#else
    for (const auto& fam : kComFamilies) {
        if (number >= fam.first && number <= fam.last) {
            return fam.prefix + std::to_string(number - fam.first);
        }
    }
    return {};
#endif
}

std::optional<int> WindowsComPortNumber(std::string_view name) {
    constexpr std::string_view kDeviceNamespace = "\\\\.\\";
    if (name.substr(0, kDeviceNamespace.size()) == kDeviceNamespace) {
        name.remove_prefix(kDeviceNamespace.size());
    }
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (name.size() <= 3 || upper(name[0]) != 'C' || upper(name[1]) != 'O' ||
        upper(name[2]) != 'M') {
        return std::nullopt;
    }
    int n = 0;
    const auto r = std::from_chars(name.data() + 3, name.data() + name.size(), n);
    if (r.ec != std::errc() || r.ptr != name.data() + name.size() || n <= 0) return std::nullopt;
    return n;
}

std::optional<int> ComPortNumberForPath(std::string_view path) {
#ifdef _WIN32
    return WindowsComPortNumber(path);
#else
    for (const auto& fam : kComFamilies) {
        const std::string_view prefix(fam.prefix);
        if (path.substr(0, prefix.size()) != prefix) continue;
        const std::string_view rest = path.substr(prefix.size());
        int k = 0;
        auto r = std::from_chars(rest.data(), rest.data() + rest.size(), k);
        if (rest.empty() || r.ec != std::errc() || r.ptr != rest.data() + rest.size() || k < 0 ||
            k > fam.last - fam.first) {
            return std::nullopt;
        }
        return fam.first + k;
    }
    return std::nullopt;
#endif
}

}  // namespace qelto
