// The INI document store: sections of named items held in memory, written to and read from
// the text files of the program (parameter files, panel settings). Names match without regard
// to ASCII letter case and surrounding white space; the first match wins. Text is UTF-8 and
// no cut made here ever splits a character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
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

// The text of a result code ("" for the codes that have none).
std::string_view Ini_ErrorText(int code);

inline constexpr std::size_t kIniMaxValueLineLength = 80;  // longer values become runs of lines
inline constexpr std::size_t kIniMaxLineLength = 1024;     // longer lines read are cut
inline constexpr std::size_t kIniMaxNameLength = 255;      // longer names are cut
inline constexpr std::size_t kIniMaxRunTagLength = 246;    // room for " Line0001"

struct IniItem {
    std::string tag;    // trimmed
    std::string value;  // escaped text for text items, decimal digits for integers
    bool quoted = false;
};

struct IniSection {
    std::string name;  // trimmed
    std::vector<IniItem> items;
};

struct IniDocument {
    std::vector<IniSection> sections;  // in creation order
    bool sorting = false;              // kept for the interface; documents keep insertion order
    // Normalised name -> index of the first section of that name. Sections are only ever
    // appended, so the first index of a name never changes.
    std::unordered_map<std::string, std::size_t> firstSection;
    std::string lookup;  // decoded value of the last text lookup, grown in 1024-byte steps
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
int Ini_WriteToFile(IniDocument* doc, const std::string& path);
// 0, or a negative code. Appends the file's sections to the document; a read that fails
// part-way keeps what was read before the failure.
int Ini_ReadFromFile(IniDocument* doc, const std::string& path);

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
