#include "files/inifile.hpp"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <new>

#include "files/paths.hpp"

namespace qelto {

namespace fs = std::filesystem;

namespace {

// clang-format off
struct CodeText { int code; std::string_view text; };
constexpr CodeText kCodeTexts[] = {
    {kIniCannotOpenForReading,  "Could Not Open File For Reading"},
    {kIniReadError,             "Error Reading From File"},
    {kIniNoTemporaryName,       "Could Not Find Unused Temporary File Name"},
    {kIniCannotCreateTemporary, "Could Not Create Temporary File"},
    {kIniInvalidInteger,        "Invalid Integer Number"},
};
// clang-format on

constexpr std::string_view kTempPrefix = "ini$$";
constexpr std::string_view kTempExtension = ".CVI";
constexpr int kTempNames = 1000;
constexpr int kMaxDeniedCreations = 100;
constexpr std::string_view kSeparatorOut = " = ";
constexpr std::string_view kLineMarker = " Line";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kLookupStep = 1024;
constexpr std::size_t kReadBlock = 64 * 1024;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}
char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

std::string NameKey(std::string_view name) {
    std::string key(Trim(name));
    for (char& c : key)
        c = Lower(c);
    return key;
}

// Names read from a file are cut to the longest length the writer produces.
std::string CutName(std::string_view name) {
    name = Trim(name);
    return std::string(Trim(name.substr(0, Utf8CutLength(name, kIniMaxNameLength))));
}

IniSection* FindSection(IniDocument& doc, std::string_view name) {
    auto it = doc.firstSection.find(NameKey(name));
    return it == doc.firstSection.end() ? nullptr : &doc.sections[it->second];
}

IniSection& AppendSection(IniDocument& doc, std::string name) {
    doc.sections.push_back(IniSection{std::move(name), {}});
    doc.firstSection.try_emplace(NameKey(doc.sections.back().name), doc.sections.size() - 1);
    return doc.sections.back();
}

const IniItem* FindItem(IniDocument& doc, std::string_view section, std::string_view tag) {
    const IniSection* s = FindSection(doc, section);
    if (s == nullptr) return nullptr;
    const std::string_view wanted = Trim(tag);
    for (const auto& item : s->items) {
        if (SameName(item.tag, wanted)) return &item;
    }
    return nullptr;
}

int PutItem(IniDocument* doc, std::string_view section, std::string_view tag, std::string value,
            bool quoted) {
    if (doc == nullptr) return kIniNoDocument;
    try {
        IniSection* s = FindSection(*doc, section);
        if (s == nullptr) s = &AppendSection(*doc, std::string(Trim(section)));
        const std::string_view wanted = Trim(tag);
        auto& items = s->items;
        std::size_t at = items.size();
        for (std::size_t i = items.size(); i-- > 0;) {
            if (SameName(items[i].tag, wanted)) {
                items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
                at = i;
            }
        }
        items.insert(items.begin() + static_cast<std::ptrdiff_t>(at),
                     IniItem{std::string(wanted), std::move(value), quoted});
        return 0;
    } catch (const std::bad_alloc&) {
        return kIniOutOfMemory;
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// ---- writing

void AppendValueLine(std::string& out, std::string_view tag, std::string_view value, bool quoted) {
    out += tag;
    out += kSeparatorOut;
    if (quoted) out += '"';
    out += value;
    if (quoted) out += '"';
    out += kLineEnd;
}

std::string DocumentText(const IniDocument& doc) {
    std::string out;
    for (const auto& section : doc.sections) {
        out += '[';
        out += section.name;
        out += ']';
        out += kLineEnd;
        for (const auto& item : section.items) {
            std::string_view value = item.value;
            if (value.size() <= kIniMaxValueLineLength) {
                std::string_view tag = item.tag;
                AppendValueLine(out, tag.substr(0, Utf8CutLength(tag, kIniMaxNameLength)), value,
                                item.quoted);
                continue;
            }
            std::string_view tag = item.tag;
            tag = tag.substr(0, Utf8CutLength(tag, kIniMaxRunTagLength));
            for (int line = 1; !value.empty(); ++line) {
                const std::size_t n = Utf8CutLength(value, kIniMaxValueLineLength);
                char number[16];
                std::snprintf(number, sizeof number, "%04d", line);
                std::string lineTag(tag);
                lineTag += kLineMarker;
                lineTag += number;
                AppendValueLine(out, lineTag, value.substr(0, n), item.quoted);
                value.remove_prefix(n);
            }
        }
        out += kLineEnd;
    }
    return out;
}

int CodeForErrno(int err) {
    if (err == EACCES || err == EPERM) return kIniAccessDenied;
    if (err == ENOMEM) return kIniOutOfMemory;
    if (err == ENOSPC) return kIniDiskFull;
    return kIniIoError;
}

bool HasAnyWriteBit(fs::perms p) {
    return (p & (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write)) !=
           fs::perms::none;
}

// The target must take a write: an existing file opens for reading and writing (and carries
// a write permission, which counts even for a user the system would let through anyway); a
// missing one can be created.
int CheckWritable(const fs::path& target, bool& existed, fs::perms& perms) {
    std::error_code ec;
    const fs::file_status st = fs::status(target, ec);
    existed = st.type() != fs::file_type::not_found;
    if (ec && existed) return kIniExistenceTestFailed;
    if (existed) {
        // Only a regular file is replaced: opening a FIFO would wait for a reader.
        if (!fs::is_regular_file(st) || !HasAnyWriteBit(st.permissions())) {
            return kIniAccessDenied;
        }
        perms = st.permissions();
        std::FILE* f = OpenFile(target, "r+b");
        if (f == nullptr) return kIniAccessDenied;
        std::fclose(f);
        return 0;
    }
    std::FILE* f = OpenFile(target, "wb");
    if (f == nullptr) return kIniAccessDenied;
    std::fclose(f);
    fs::remove(target, ec);
    return 0;
}

// Creates the first free "ini$$<n>.CVI" in dir.
int CreateTemporary(const fs::path& dir, fs::path& name, std::FILE*& file) {
    int denied = 0;
    for (int n = 0; n < kTempNames; ++n) {
        name = dir / (std::string(kTempPrefix) + std::to_string(n) + std::string(kTempExtension));
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(name, ec);
        if (st.type() != fs::file_type::not_found) {
            if (ec) return kIniExistenceTestFailed;
            continue;
        }
        errno = 0;
        file = OpenFile(name, "wbx");
        if (file != nullptr) return 0;
        const int err = errno;
        if (err == EEXIST) continue;  // someone else took the name meanwhile
        if ((err == EACCES || err == EPERM) && ++denied <= kMaxDeniedCreations) continue;
        return kIniCannotCreateTemporary;
    }
    return kIniNoTemporaryName;
}

int WriteAll(std::FILE* f, const std::string& text) {
    errno = 0;
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), f) != text.size()) {
        return CodeForErrno(errno);
    }
    errno = 0;
    if (std::fflush(f) != 0) return CodeForErrno(errno);
    return 0;
}

// ---- reading

// Line number of a run tag "<tag> Line<digits>", 0 when the tag carries none. The last
// " Line" counts, so that a tag that itself contains " Line" still reads back as written.
std::int64_t RunLineNumber(std::string_view tag) {
    const std::size_t pos = tag.rfind(kLineMarker);
    if (pos == std::string_view::npos) return 0;
    const std::string_view digits = tag.substr(pos + kLineMarker.size());
    if (digits.empty()) return 0;
    std::int64_t n = 0;
    for (char c : digits) {
        if (!IsDigit(c)) return 0;
        n = n * 10 + (c - '0');
        if (n > std::numeric_limits<std::int32_t>::max()) return 0;
    }
    return n == 0 ? -1 : n;  // -1: line number 0, which extends a run like any other
}

void JoinRuns(IniSection& section) {
    auto& items = section.items;
    std::vector<IniItem> joined;
    joined.reserve(items.size());
    bool inRun = false;
    for (auto& item : items) {
        const std::int64_t line = RunLineNumber(item.tag);
        if (line == 1) {
            std::string_view tag = item.tag;
            item.tag = std::string(Trim(tag.substr(0, tag.rfind(kLineMarker))));
            joined.push_back(std::move(item));
            inRun = true;
        } else if (line != 0 && inRun) {
            joined.back().value += item.value;
        } else {
            joined.push_back(std::move(item));
            inRun = false;
        }
    }
    items = std::move(joined);
}

class LineParser {
  public:
    explicit LineParser(IniDocument& doc) : doc_(doc), firstNew_(doc.sections.size()) {
        line_.reserve(kIniMaxLineLength + 1);
    }

    void Feed(const char* data, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            const char c = data[i];
            if (pairWith_ != '\0') {
                const char expected = pairWith_;
                pairWith_ = '\0';
                if (c == expected) continue;  // second half of CR LF or LF CR
            }
            if (c == '\r' || c == '\n') {
                EndLine();
                pairWith_ = c == '\r' ? '\n' : '\r';
            } else if (c == '\0') {
                EndLine();
            } else if (line_.size() <= kIniMaxLineLength) {
                line_ += c;  // one byte past the limit tells whether the cut splits a character
            }
        }
    }

    // The last line needs no terminator; then the runs of numbered lines become one item.
    void Finish() {
        if (!line_.empty()) EndLine();
        JoinNewSections();
    }
    void JoinNewSections() {
        for (std::size_t s = firstNew_; s < doc_.sections.size(); ++s)
            JoinRuns(doc_.sections[s]);
    }

  private:
    void EndLine() {
        if (line_.size() > kIniMaxLineLength) line_.resize(Utf8CutLength(line_, kIniMaxLineLength));
        Classify(line_);
        line_.clear();
    }

    void Classify(std::string_view line) {
        while (!line.empty() && IsBlank(line.front()))
            line.remove_prefix(1);
        if (line.empty() || line.front() == ';') return;
        if (line.front() == '[') {
            const std::size_t close = line.rfind(']');
            if (close == std::string_view::npos || !Trim(line.substr(close + 1)).empty()) return;
            std::string name = CutName(line.substr(1, close - 1));
            if (name.empty()) return;
            current_ = &AppendSection(doc_, std::move(name));
            return;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || current_ == nullptr) return;
        std::string tag = CutName(line.substr(0, eq));
        std::string_view value = Trim(line.substr(eq + 1));
        if (tag.empty() || value.empty()) return;
        bool quoted = false;
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
            quoted = true;
        }
        current_->items.push_back(IniItem{std::move(tag), std::string(value), quoted});
    }

    IniDocument& doc_;
    std::size_t firstNew_;
    IniSection* current_ = nullptr;  // stays valid: sections are appended only by this parser
    std::string line_;
    char pairWith_ = '\0';
};

}  // namespace

std::string_view Ini_ErrorText(int code) {
    for (const auto& [c, text] : kCodeTexts) {
        if (c == code) return text;
    }
    return {};
}

std::size_t Utf8CutLength(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text.size();
    if (!IsContinuation(text[maxBytes])) return maxBytes;
    std::size_t k = maxBytes;
    while (k > 0 && IsContinuation(text[k]) && maxBytes - k < 3)
        --k;
    const auto lead = static_cast<unsigned char>(text[k]);
    return lead >= 0xC0 ? k : maxBytes;  // not UTF-8 at all: a plain cut
}

std::string IniEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '\0':
                return out;  // texts end at their terminator
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                if (u < 32 || u == 127) {
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "\\x%02x", u);
                    out += hex;
                } else {
                    out += c;
                }
        }
    }
    return out;
}

std::string IniDecode(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const char d = s[++i];
        switch (d) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'x':
                if (i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
                    out += static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2]));
                    i += 2;
                } else {
                    out += 'x';  // not an escape after all: like any other escaped character
                }
                break;
            default:
                out += d;
        }
    }
    return out;
}

IniHandle Ini_New(int sorting) {
    IniHandle doc(new (std::nothrow) IniDocument);
    if (doc) doc->sorting = sorting != 0;
    return doc;
}

void Ini_Dispose(IniHandle& doc) {
    doc.reset();
}

int Ini_PutString(IniDocument* doc, std::string_view section, std::string_view tag,
                  std::string_view text) {
    if (doc == nullptr) return kIniNoDocument;
    try {
        return PutItem(doc, section, tag, IniEscape(text), true);
    } catch (const std::bad_alloc&) {
        return kIniOutOfMemory;
    }
}

int Ini_PutInt(IniDocument* doc, std::string_view section, std::string_view tag,
               std::int32_t value) {
    if (doc == nullptr) return kIniNoDocument;
    try {
        return PutItem(doc, section, tag, std::to_string(value), false);
    } catch (const std::bad_alloc&) {
        return kIniOutOfMemory;
    }
}

int Ini_WriteToFile(IniDocument* doc, const std::string& path) {
    if (doc == nullptr) return kIniNoDocument;
    try {
        fs::path target = PathFromUtf8(path);
        std::error_code ec;
        // Through a symbolic link the file it points to is replaced, not the link.
        if (fs::is_symlink(fs::symlink_status(target, ec))) {
            fs::path resolved = fs::weakly_canonical(target, ec);
            if (ec) return kIniExistenceTestFailed;
            target = std::move(resolved);
        }
        bool existed = false;
        fs::perms perms = fs::perms::none;
        if (const int r = CheckWritable(target, existed, perms); r != 0) return r;

        const std::string text = DocumentText(*doc);
        fs::path temp;
        std::FILE* f = nullptr;
        if (const int r = CreateTemporary(target.parent_path(), temp, f); r != 0) return r;
        int result = WriteAll(f, text);
        errno = 0;
        if (std::fclose(f) != 0 && result == 0) result = CodeForErrno(errno);
        if (result == 0 && existed) fs::permissions(temp, perms, ec);  // keep the old mode
        if (result == 0) {
            fs::rename(temp, target, ec);
            if (ec) result = ec == std::errc::permission_denied ? kIniAccessDenied : kIniIoError;
        }
        if (result != 0) fs::remove(temp, ec);
        return result;
    } catch (const std::bad_alloc&) {
        return kIniOutOfMemory;
    } catch (const fs::filesystem_error&) {
        return kIniIoError;
    }
}

int Ini_ReadFromFile(IniDocument* doc, const std::string& path) {
    if (doc == nullptr) return kIniNoDocument;
    LineParser parser(*doc);
    int result = 0;
    std::FILE* f = nullptr;
    try {
        const fs::path p = PathFromUtf8(path);
        std::error_code ec;
        // Only a regular file: a FIFO would block the read and a device might never end.
        if (!fs::is_regular_file(fs::status(p, ec))) return kIniCannotOpenForReading;
        f = OpenFile(p, "rb");
        if (f == nullptr) return kIniCannotOpenForReading;
        std::vector<char> block(kReadBlock);
        for (;;) {
            const std::size_t n = std::fread(block.data(), 1, block.size(), f);
            parser.Feed(block.data(), n);
            if (n < block.size()) {
                if (std::ferror(f)) result = kIniReadError;
                break;
            }
        }
        if (result == 0) {
            parser.Finish();
        } else {
            parser.JoinNewSections();
        }
    } catch (const std::bad_alloc&) {
        result = kIniOutOfMemory;
    }
    if (f != nullptr) std::fclose(f);
    return result;
}

int Ini_GetStringIntoBuffer(IniDocument* doc, std::string_view section, std::string_view tag,
                            std::span<char> buffer) {
    if (!buffer.empty()) buffer[0] = '\0';
    if (doc == nullptr) return kIniNoDocument;
    try {
        const IniItem* item = FindItem(*doc, section, tag);
        if (item == nullptr) return 0;
        std::string decoded = IniDecode(item->value);
        const std::size_t needed = decoded.size() + 1;
        if (doc->lookup.capacity() < needed) {
            doc->lookup.reserve((needed + kLookupStep - 1) / kLookupStep * kLookupStep);
        }
        doc->lookup.assign(decoded);
        if (buffer.empty()) return 1;
        const std::size_t n = Utf8CutLength(doc->lookup, buffer.size() - 1);
        doc->lookup.copy(buffer.data(), n);
        buffer[n] = '\0';
        return 1;
    } catch (const std::bad_alloc&) {
        return kIniOutOfMemory;
    }
}

int Ini_GetInt(IniDocument* doc, std::string_view section, std::string_view tag,
               std::int32_t& value) {
    if (doc == nullptr) return kIniNoDocument;
    const IniItem* item = FindItem(*doc, section, tag);
    if (item == nullptr) return 0;
    const std::string_view text = Trim(item->value);
    if (text.empty()) return 0;
    std::size_t i = 0;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
    if (i == text.size()) return kIniInvalidInteger;
    std::int64_t n = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i])) return kIniInvalidInteger;
        n = n * 10 + (text[i] - '0');
        if (n > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) {
            return kIniInvalidInteger;
        }
    }
    if (negative) n = -n;
    if (n > std::numeric_limits<std::int32_t>::max()) return kIniInvalidInteger;
    value = static_cast<std::int32_t>(n);
    return 1;
}

}  // namespace qelto
