// The INI reader on arbitrary bytes: a file of them is read as the program reads its files,
// every item is looked up, and what was read is written and read back. Besides crashes and
// sanitizer reports, a broken rule of the store is a finding.
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "files/inifile.hpp"
#include "fuzz_support.hpp"

namespace qelto::fuzz {
const char* const kTargetName = "fuzz_ini_reader";
}  // namespace qelto::fuzz

namespace {

using namespace qelto::fuzz;

namespace fs = std::filesystem;
using namespace qelto;

// The document's records agree with its text.
void CheckShape(const IniDocument& doc) {
    std::size_t next = 0;
    for (std::size_t s = 0; s < doc.SectionCount(); ++s) {
        const IniSection& section = doc.sections[s];
        Require(section.firstItem == next, "each section's items follow the previous section's");
        next += section.itemCount;
        Require(std::size_t{section.nameAt} + section.nameSize <= doc.text.size(),
                "a name lies within the text");
        for (std::size_t i = 0; i < doc.ItemCount(s); ++i) {
            const IniItem& item = doc.items[section.firstItem + i];
            Require(std::size_t{item.at} + item.tagSize + item.valueSize <= doc.text.size(),
                    "an item lies within the text");
        }
    }
    Require(next == doc.items.size(), "every item belongs to a section");
}

// Lookups find only the first section of a name (names match without regard to ASCII case).
std::vector<bool> FirstOfTheirNames(const IniDocument& doc) {
    std::set<std::string> seen;
    std::vector<bool> first(doc.SectionCount());
    for (std::size_t s = 0; s < doc.SectionCount(); ++s) {
        std::string key(doc.SectionName(s));
        for (char& c : key)
            c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        first[s] = seen.insert(std::move(key)).second;
    }
    return first;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path input = WorkDir() / "input.ini";
    const fs::path output = WorkDir() / "output.ini";
    WriteFile(input, data, size);

    IniHandle doc = Ini_New(0);
    Require(Ini_ReadFromFile(doc.get(), input.string()) == 0, "a small regular file reads");
    CheckShape(*doc);
    const std::vector<bool> first = FirstOfTheirNames(*doc);
    for (std::size_t s = 0; s < doc->SectionCount(); ++s) {
        const std::string name(doc->SectionName(s));
        Require(!name.empty() && name.size() <= kIniMaxNameLength, "section names are 1..255");
        if (!first[s]) continue;
        for (std::size_t i = 0; i < doc->ItemCount(s); ++i) {
            const std::string tag(doc->Item(s, i).tag);
            Require(!tag.empty(), "tags are not empty");
            std::array<char, 16> small;
            small.fill('#');
            Require(Ini_GetStringIntoBuffer(doc.get(), name, tag, small) == 1,
                    "every item read is found");
            Require(std::char_traits<char>::length(small.data()) < small.size(),
                    "a lookup is cut to the buffer and terminated");
            std::int32_t v = 0;
            const int r = Ini_GetInt(doc.get(), name, tag, v);
            Require(r == 1 || r == 0 || r == kIniInvalidInteger, "Ini_GetInt gives 1, 0 or -5021");
        }
    }

    // Read again with the line of each item: one for every item, rising through the file.
    std::vector<std::uint32_t> lines;
    IniHandle withLines = Ini_New(0);
    Require(Ini_ReadFromFile(withLines.get(), input.string(), &lines) == 0,
            "a small regular file reads with its lines");
    Require(withLines->items.size() == doc->items.size() && lines.size() == doc->items.size(),
            "the lines change nothing, and every item has one");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Require(lines[i] >= 1 && lines[i] <= size + 1 && (i == 0 || lines[i] > lines[i - 1]),
                "items' lines rise through the file");
    }

    // Whatever was read writes out, and reads back with the same sections.
    Require(Ini_WriteToFile(doc.get(), output.string()) == 0, "what was read can be written");
    IniHandle back = Ini_New(0);
    Require(Ini_ReadFromFile(back.get(), output.string()) == 0, "what was written reads");
    CheckShape(*back);
    Require(back->SectionCount() == doc->SectionCount(), "sections survive a round trip");
    for (std::size_t s = 0; s < doc->SectionCount(); ++s) {
        Require(back->SectionName(s) == doc->SectionName(s), "section names survive a round trip");
    }

    // And a put into what was read keeps the document whole.
    Require(Ini_PutString(doc.get(), "fuzz", "tag", "value") == 0, "a put succeeds");
    if (doc->SectionCount() > 0) {
        Require(Ini_PutInt(doc.get(), doc->SectionName(0), "A", 1) == 0, "a put succeeds");
    }
    CheckShape(*doc);
    return 0;
}
