// The INI document store: sections of named items held in memory, written to and read from
// the text files of the program (parameter files, panel settings). Names match without regard
// to ASCII letter case and surrounding white space; the first match wins. Text is UTF-8; the
// writer and the lookups never split a character, while a read line over 1024 bytes is cut at
// exactly that byte, as every reader of the format cuts it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qelto {

// Result codes.
inline constexpr int kIniOutOfMemory = -12;
inline constexpr int kIniNoDocument = -65;
inline constexpr int kIniExistenceTestFailed = -91;
inline constexpr int kIniIoError = -93;
inline constexpr int kIniAccessDenied = -95;
inline constexpr int kIniDiskFull = -97;
inline constexpr int kIniCannotOpenForReading = -5001;
inline constexpr int kIniReadError = -5002;
inline constexpr int kIniNoTemporaryName = -5003;
inline constexpr int kIniCannotCreateTemporary = -5004;
inline constexpr int kIniInvalidInteger = -5021;
inline constexpr int kIniFileTooLarge = -5030;  // over kIniMaxFileSize: refused unread

// The text of a result code ("" for the codes that have none).
std::string_view Ini_ErrorText(int code);
// Why a file could not be written, in the system's words ("No such file or directory", "Is a
// directory", "No space left on device"); the text of the result code where no system call
// failed.
std::string Ini_WriteErrorText(int code, int systemError);

inline constexpr std::size_t kIniMaxValueLineLength = 80;  // longer values become runs of lines
inline constexpr std::size_t kIniMaxLineLength = 1024;     // longer lines read are cut
inline constexpr std::size_t kIniMaxNameLength = 255;      // longer names are cut
inline constexpr std::size_t kIniMaxRunTagLength = 246;    // room for " Line0001"
// Our own files are a few kilobytes; anything far beyond is not one of them and is not read.
inline constexpr std::uintmax_t kIniMaxFileSize = 16 * 1024 * 1024;

// An item as the document holds it: its tag (trimmed) and stored value (the escaped text of
// a text item, the decimal digits of an integer), both in the document's text.
struct IniItem {
    std::uint32_t at = 0;  // the tag's first byte; the value follows it directly
    std::uint32_t tagSize = 0;
    std::uint32_t valueSize = 0;
    bool quoted = false;
};

// A section: its name (trimmed) and its items, which are one run of the document's items.
struct IniSection {
    std::uint32_t nameAt = 0;
    std::uint32_t nameSize = 0;
    std::uint32_t firstItem = 0;
    std::uint32_t itemCount = 0;
};

struct IniItemView {
    std::string_view tag;
    std::string_view value;
    bool quoted = false;
};

// The document keeps every name and value in one text and the sections and items as small
// fixed records pointing into it, so that even a file of nothing but tiny lines costs a small
// multiple of its size. Each section's items follow the previous section's.
struct IniDocument {
    std::string text;
    std::vector<IniSection> sections;  // in creation order
    std::vector<IniItem> items;
    // Open addressing, index + 1 of the first section of each name (0: free slot); sections
    // are only ever appended, so the first of a name never changes.
    std::vector<std::uint32_t> nameSlots;
    std::size_t namesUsed = 0;
    bool sorting = false;  // kept for the interface; documents keep insertion order
    std::string lookup;    // decoded value of the last text lookup, grown in 1024-byte steps

    std::size_t SectionCount() const { return sections.size(); }
    std::string_view SectionName(std::size_t s) const {
        return std::string_view(text).substr(sections[s].nameAt, sections[s].nameSize);
    }
    std::size_t ItemCount(std::size_t s) const { return sections[s].itemCount; }
    IniItemView Item(std::size_t s, std::size_t i) const {
        const IniItem& item = items[sections[s].firstItem + i];
        const std::string_view all(text);
        return {all.substr(item.at, item.tagSize),
                all.substr(item.at + item.tagSize, item.valueSize), item.quoted};
    }
};

using IniHandle = std::unique_ptr<IniDocument>;

// A new empty document; null when memory runs out.
IniHandle Ini_New(int sorting);
void Ini_Dispose(IniHandle& doc);

// 0, or a negative code. Text is stored escaped and quoted; integers as "%d", unquoted. An
// item of the same tag already in the section is replaced where it stood.
int Ini_PutString(IniDocument* doc, std::string_view section, std::string_view tag,
                  std::string_view text);
int Ini_PutInt(IniDocument* doc, std::string_view section, std::string_view tag,
               std::int32_t value);

// 0, or a negative code. The target is replaced in one step by a fully written temporary
// file "ini$$<n>.CVI" of its directory; on any failure the previous target stays whole.
// `systemError`, when given, receives the errno of a failure (0 on success, or when no system
// call failed).
int Ini_WriteToFile(IniDocument* doc, const std::string& path, int* systemError = nullptr);
// 0, or a negative code. Appends the file's sections to the document; a read that fails
// part-way keeps what was read before the failure. A file over kIniMaxFileSize gives
// kIniFileTooLarge and adds nothing. `itemLines`, when given, receives the line of the file
// (from 1) that each item read came from (a run's first line), in the order of the items the
// read appended: for someone who wrote the file by hand, a mistake is named by its line.
int Ini_ReadFromFile(IniDocument* doc, const std::string& path,
                     std::vector<std::uint32_t>* itemLines = nullptr);

// 1 found (buffer holds the decoded value, cut to fit and terminated), 0 not found (buffer
// holds the empty text), negative on error.
int Ini_GetStringIntoBuffer(IniDocument* doc, std::string_view section, std::string_view tag,
                            std::span<char> buffer);
// 1 found and an integer (value stored), 0 not found or blank, kIniInvalidInteger otherwise
// (value left unchanged).
int Ini_GetInt(IniDocument* doc, std::string_view section, std::string_view tag,
               std::int32_t& value);

// Helpers shared with the other file modules.
// The longest prefix of text of at most maxBytes bytes that does not split a UTF-8 character.
std::size_t Utf8CutLength(std::string_view text, std::size_t maxBytes);
std::string IniEscape(std::string_view text);
std::string IniDecode(std::string_view stored);

}  // namespace qelto
