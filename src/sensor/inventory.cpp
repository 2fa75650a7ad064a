#include "sensor/inventory.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "files/paths.hpp"
#include "protocol/com_ports.hpp"
#include "protocol/records.hpp"

namespace qelto {
namespace {

// An inventory is a few hundred lines at most: a bigger file is a mistake, not a line.
constexpr std::uintmax_t kInventoryMaxSize = 1024 * 1024;

// Decimal digits only, in [lo, hi]: "0x10", "010" read another way elsewhere, and "-1"
// as the largest number, and a port or a rate must mean what it says.
std::optional<unsigned long> Number(std::string_view text, unsigned long lo, unsigned long hi) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    unsigned long v = 0;
    for (const char c : text) {
        v = v * 10 + static_cast<unsigned long>(c - '0');
        if (v > hi) return std::nullopt;
    }
    if (v < lo) return std::nullopt;
    return v;
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// Words [from, to) with one blank between them.
std::string Joined(const std::vector<std::string_view>& words, std::size_t from, std::size_t to) {
    std::string text;
    for (std::size_t i = from; i < to && i < words.size(); ++i) {
        if (!text.empty()) text += ' ';
        text += words[i];
    }
    return text;
}

// A link written the same way twice would be two jobs for one sensor at once.
std::string Key(const LinkDescription& l) {
    return l.kind == LinkDescription::Kind::Tcp ? "tcp " + l.Address()
                                                : "serial " + std::to_string(l.comPort);
}

}  // namespace

LinkText ParseTcpLink(std::string_view value) {
    const std::size_t colon = value.rfind(':');
    if (colon == std::string_view::npos) return {std::nullopt, "expected HOST:PORT"};
    std::string_view host = value.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    if (host.empty()) return {std::nullopt, "no host before the ':'"};
    const auto port = Number(value.substr(colon + 1), 1, 65535);
    if (!port) return {std::nullopt, "the port must be a number from 1 to 65535"};
    return {LinkDescription::Tcp(std::string(host), static_cast<int>(*port)), {}};
}

LinkText ParseSerialLink(std::string_view value, int baud) {
    std::string_view digits = value;
    if (digits.size() > 3 && (digits.substr(0, 3) == "COM" || digits.substr(0, 3) == "com")) {
        digits.remove_prefix(3);
    }
    if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos) {
        const auto n = Number(digits, 1, 65535);
        if (!n) return {std::nullopt, "COM numbers run from 1 to 65535"};
        return {LinkDescription::Serial(static_cast<int>(*n), baud), {}};
    }
    const auto n = ComPortNumberForPath(value);
    if (!n || *n > 65535) {
        return {std::nullopt,
                "neither a COM number nor a device with one (see qelto-cli --help for the "
                "numbering)"};
    }
    return {LinkDescription::Serial(*n, baud), {}};
}

Inventory ParseInventory(std::string_view text, std::string_view fileName) {
    Inventory inv;
    std::vector<std::string> seen;  // Key() of each entry, by index
    std::size_t lineNo = 0;
    const auto fail = [&](const std::string& why) {
        inv.entries.clear();
        inv.error = std::string(fileName) + ":" + std::to_string(lineNo) + ": " + why;
        return inv;
    };
    while (!text.empty()) {
        ++lineNo;
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = line.substr(0, std::min(line.find('#'), line.size()));
        const std::vector<std::string_view> words = Words(line);
        if (words.empty()) continue;

        InventoryEntry e;
        e.line = lineNo;
        std::size_t nameFrom = 2;
        LinkText parsed;
        if (words[0] == "tcp") {
            if (words.size() < 2) return fail("tcp needs HOST:PORT");
            parsed = ParseTcpLink(words[1]);
        } else if (words[0] == "serial") {
            if (words.size() < 2) return fail("serial needs a DEVICE (a path or COM number)");
            int baud = 115200;
            // A third word of digits is the rate; a name follows it.
            if (words.size() >= 3 &&
                words[2].find_first_not_of("0123456789") == std::string_view::npos) {
                const auto rate = Number(words[2], 1, 10000000);
                if (!rate || !BaudRateIndexFor(static_cast<int>(*rate))) {
                    return fail("bad rate '" + NameForMessage(words[2]) +
                                "': not one of 9600 19200 38400 57600 115200 230400 460800 921600");
                }
                baud = static_cast<int>(*rate);
                nameFrom = 3;
            }
            parsed = ParseSerialLink(words[1], baud);
        } else {
            return fail("unknown link '" + NameForMessage(words[0]) +
                        "' (expected tcp HOST:PORT or serial DEVICE [RATE], then a name)");
        }
        if (!parsed.link) {
            return fail("bad " + std::string(words[0]) + " link '" + NameForMessage(words[1]) +
                        "': " + parsed.why);
        }
        e.link = *parsed.link;
        e.linkText = Joined(words, 0, nameFrom);
        e.name = Joined(words, nameFrom, words.size());
        const std::string key = Key(e.link);
        const auto same = std::find(seen.begin(), seen.end(), key);
        if (same != seen.end()) {
            return fail(
                "the same sensor as line " +
                std::to_string(inv.entries[static_cast<std::size_t>(same - seen.begin())].line) +
                " (" + e.link.Address() + ")");
        }
        seen.push_back(key);
        inv.entries.push_back(std::move(e));
    }
    if (inv.entries.empty()) inv.error = std::string(fileName) + ": no sensors in it";
    return inv;
}

Inventory ReadInventory(const std::string& path) {
    Inventory inv;
    std::error_code ec;
    const std::filesystem::path p = PathFromUtf8(path);
    const auto status = std::filesystem::status(p, ec);
    if (ec || !std::filesystem::exists(status)) {
        inv.error = path + ": " + (ec ? ec.message() : std::strerror(ENOENT));
        return inv;
    }
    // Only a regular file is opened: a FIFO would wait for a writer.
    if (!std::filesystem::is_regular_file(status)) {
        inv.error = path + ": not a regular file";
        return inv;
    }
    if (std::filesystem::file_size(p, ec) > kInventoryMaxSize) {
        inv.error = path + ": over 1 MiB, not an inventory";
        return inv;
    }
    std::FILE* f = OpenFile(p, "rb");
    if (f == nullptr) {
        inv.error = path + ": " + std::strerror(errno);
        return inv;
    }
    std::string text;
    char buf[4096];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && text.size() <= kInventoryMaxSize)
        text.append(buf, n);
    const bool failed = std::ferror(f) != 0;
    const int error = errno;
    std::fclose(f);
    if (failed) {
        inv.error = path + ": " + std::strerror(error);
        return inv;
    }
    return ParseInventory(text, path);
}

}  // namespace qelto
