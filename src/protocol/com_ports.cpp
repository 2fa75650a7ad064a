#include "protocol/com_ports.hpp"

#include <charconv>

namespace qelto {

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
    return "COM" + std::to_string(number);
#else
    for (const auto& fam : kComFamilies) {
        if (number >= fam.first && number <= fam.last) {
            return fam.prefix + std::to_string(number - fam.first);
        }
    }
    return {};
#endif
}

std::optional<int> ComPortNumberForPath(std::string_view path) {
#ifdef _WIN32
    if (path.size() > 3 && (path.substr(0, 3) == "COM" || path.substr(0, 3) == "com")) {
        int n = 0;
        auto r = std::from_chars(path.data() + 3, path.data() + path.size(), n);
        if (r.ec == std::errc() && r.ptr == path.data() + path.size() && n > 0) return n;
    }
    return std::nullopt;
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
