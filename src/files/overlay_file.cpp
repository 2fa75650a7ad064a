#include "files/overlay_file.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "files/file_header.hpp"
#include "protocol/configuration_diff.hpp"

namespace qelto {
namespace {

std::optional<std::uint16_t> ValueOf(const IniItemView& item) {
    const std::string_view text = item.value;
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (item.quoted || ec != std::errc() || end != text.data() + text.size() || value > 65535) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

// As the store matches names: without regard to ASCII letter case.
bool IsHeader(std::string_view section) {
    return std::equal(
        section.begin(), section.end(), kSectionGeneralInfo.begin(), kSectionGeneralInfo.end(),
        [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
}

std::string Where(std::uint32_t line, std::string_view section, std::string_view tag) {
    return "line " + std::to_string(line) + ": [" + NameForMessage(section) + "] " +
           NameForMessage(tag);
}

}  // namespace

int WriteOverlayFile(const std::string& path, const Configuration& config,
                     const Configuration& base, std::size_t teachRows, int* systemError) {
    IniHandle doc = Ini_New(0);
    for (const Difference& d : CompareConfigurations(base, config, teachRows))
        Ini_PutInt(doc.get(), ItemSection(d.item), ItemKey(d.item), d.newValue);
    const int written = Ini_WriteToFile(doc.get(), path, systemError);
    Ini_Dispose(doc);
    return written;
}

ReadProblem ReadOverlayFile(const std::string& path, Configuration& into, std::size_t teachRows) {
    IniHandle doc = Ini_New(0);
    std::vector<std::uint32_t> lines;
    ReadProblem problem = ReadParameterDocument(doc.get(), path, &lines);
    Configuration read = into;
    std::map<ConfigItem, std::uint32_t> given;
    std::size_t item = 0;
    for (std::size_t s = 0; s < doc->SectionCount() && problem.reason.empty(); ++s) {
        const std::string_view section = doc->SectionName(s);
        const bool header = IsHeader(section);
        for (std::size_t i = 0; i < doc->ItemCount(s); ++i, ++item) {
            if (header) continue;
            const IniItemView view = doc->Item(s, i);
            const std::uint32_t line = lines[item];
            const auto found =
                FindItem(std::string(section) + "." + std::string(view.tag), teachRows);
            if (!found) {
                problem.reason = Where(line, section, view.tag) + ": " +
                                 std::string(kOverlayNoSuchKey) + " (the keys of a parameter " +
                                 "file, teach rows 0.." + std::to_string(teachRows - 1) + ")";
                break;
            }
            const auto value = ValueOf(view);
            if (!value) {
                problem.reason = Where(line, section, view.tag) + ": \"" +
                                 NameForMessage(view.value) + "\" " +
                                 std::string(kOverlayNotAValue);
                break;
            }
            if (const auto [at, fresh] = given.emplace(*found, line); !fresh) {
                problem.reason = Where(line, section, view.tag) + ": " +
                                 std::string(kOverlayRepeated) + std::to_string(at->second);
                break;
            }
            SetItemValue(read, *found, *value);
        }
    }
    Ini_Dispose(doc);
    if (problem.reason.empty()) into = read;
    return problem;
}

}  // namespace qelto
