#include "files/inifile.hpp"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <new>

#include "files/os_file.hpp"
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
    {kIniFileTooLarge,          "File Too Large"},
};
// clang-format on

constexpr std::string_view kTempPrefix = "ini$$";
constexpr std::string_view kTempExtension = ".CVI";
constexpr int kTempNames = 1000;
constexpr int kMaxDeniedCreations = 100;
// A temporary file unchanged for this long whose writer holds no lock on it is an orphan: a
// write takes milliseconds, and the age also covers a writer that cannot lock.
constexpr std::chrono::seconds kOrphanAge = std::chrono::minutes(5);
constexpr std::string_view kSeparatorOut = " = ";
constexpr std::string_view kLineMarker = " Line";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kLookupStep = 1024;
constexpr std::size_t kReadBlock = 64 * 1024;
constexpr std::size_t kLimit32 = std::numeric_limits<std::uint32_t>::max();

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

std::size_t NameHash(std::string_view name) {
    std::uint64_t h = 14695981039346656037u;  // FNV-1a
    for (char c : name) {
        h ^= static_cast<unsigned char>(Lower(c));
        h *= 1099511628211u;
    }
    return static_cast<std::size_t>(h ^ (h >> 32));
}

// Names read from a file are cut to the longest length the writer produces.
std::string_view CutName(std::string_view name) {
    name = Trim(name);
    return Trim(name.substr(0, Utf8CutLength(name, kIniMaxNameLength)));
}

std::uint32_t Narrow(std::size_t n) {
    if (n > kLimit32) throw std::bad_alloc();  // beyond what a document can address
    return static_cast<std::uint32_t>(n);
}

// Appends bytes to the document's text; their position.
std::uint32_t Store(IniDocument& doc, std::string_view bytes) {
    const std::uint32_t at = Narrow(doc.text.size());
    Narrow(doc.text.size() + bytes.size());
    doc.text += bytes;
    return at;
}

std::string_view TagOf(const IniDocument& doc, const IniItem& item) {
    return std::string_view(doc.text).substr(item.at, item.tagSize);
}
std::string_view ValueOf(const IniDocument& doc, const IniItem& item) {
    return std::string_view(doc.text).substr(item.at + item.tagSize, item.valueSize);
}

// ---- the index of first sections by name

// The slot holding name's first section, or the free slot where it belongs.
std::size_t NameSlot(const IniDocument& doc, std::string_view name) {
    const std::size_t mask = doc.nameSlots.size() - 1;
    for (std::size_t i = NameHash(name) & mask;; i = (i + 1) & mask) {
        const std::uint32_t entry = doc.nameSlots[i];
        if (entry == 0 || SameName(doc.SectionName(entry - 1), name)) return i;
    }
}

void IndexSection(IniDocument& doc, std::size_t s) {
    if ((doc.namesUsed + 1) * 2 > doc.nameSlots.size()) {
        std::vector<std::uint32_t> grown(std::max<std::size_t>(16, doc.nameSlots.size() * 2), 0);
        grown.swap(doc.nameSlots);
        for (std::uint32_t entry : grown) {  // now the old slots
            if (entry != 0) doc.nameSlots[NameSlot(doc, doc.SectionName(entry - 1))] = entry;
        }
    }
    std::uint32_t& slot = doc.nameSlots[NameSlot(doc, doc.SectionName(s))];
    if (slot == 0) {
        slot = Narrow(s + 1);
        ++doc.namesUsed;
    }
}

IniSection* FindSection(IniDocument& doc, std::string_view name) {
    if (doc.nameSlots.empty()) return nullptr;
    name = Trim(name);
    const std::uint32_t entry = doc.nameSlots[NameSlot(doc, name)];
    return entry == 0 ? nullptr : &doc.sections[entry - 1];
}

// A new last section; its items start after all others.
IniSection& AppendSection(IniDocument& doc, std::string_view name) {
    IniSection s;
    s.nameAt = Store(doc, name);
    s.nameSize = static_cast<std::uint32_t>(name.size());
    s.firstItem = Narrow(doc.items.size());
    doc.sections.push_back(s);
    IndexSection(doc, doc.sections.size() - 1);
    return doc.sections.back();
}

const IniItem* FindItem(IniDocument& doc, std::string_view section, std::string_view tag) {
    const IniSection* s = FindSection(doc, section);
    if (s == nullptr) return nullptr;
    const std::string_view wanted = Trim(tag);
    for (std::size_t i = s->firstItem; i < s->firstItem + s->itemCount; ++i) {
        if (SameName(TagOf(doc, doc.items[i]), wanted)) return &doc.items[i];
    }
    return nullptr;
}

// Moves the items of every section after s by delta places.
void ShiftLaterSections(IniDocument& doc, const IniSection& s, std::int64_t delta) {
    for (std::size_t k = static_cast<std::size_t>(&s - doc.sections.data()) + 1;
         k < doc.sections.size(); ++k) {
        doc.sections[k].firstItem = static_cast<std::uint32_t>(doc.sections[k].firstItem + delta);
    }
}

int PutItem(IniDocument* doc, std::string_view section, std::string_view tag,
            std::string_view value, bool quoted) {
    if (doc == nullptr) return kIniNoDocument;
    try {
        IniSection* s = FindSection(*doc, section);
        if (s == nullptr) s = &AppendSection(*doc, Trim(section));
        IniItem item;
        tag = Trim(tag);
        item.at = Store(*doc, tag);
        item.tagSize = static_cast<std::uint32_t>(tag.size());
        Store(*doc, value);
        item.valueSize = static_cast<std::uint32_t>(value.size());
        item.quoted = quoted;
        // The caller's texts may have been views of the document's own text, which has moved.
        const std::string_view wanted = TagOf(*doc, item);

        // The new item takes the place of the first of its tag; the others go.
        auto& items = doc->items;
        const std::size_t first = s->firstItem;
        const std::size_t end = first + s->itemCount;
        bool placed = false;
        std::size_t w = first;
        for (std::size_t r = first; r < end; ++r) {
            if (!SameName(TagOf(*doc, items[r]), wanted)) {
                items[w++] = items[r];
            } else if (!placed) {
                items[w++] = item;
                placed = true;
            }
        }
        if (!placed) {  // nothing of that tag: the end of the section
            items.insert(items.begin() + static_cast<std::ptrdiff_t>(end), item);
            ++w;
        } else if (w < end) {
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(w),
                        items.begin() + static_cast<std::ptrdiff_t>(end));
        }
        const std::int64_t delta = static_cast<std::int64_t>(w) - static_cast<std::int64_t>(end);
        s->itemCount = static_cast<std::uint32_t>(w - first);
        if (delta != 0) ShiftLaterSections(*doc, *s, delta);
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
    for (std::size_t s = 0; s < doc.SectionCount(); ++s) {
        out += '[';
        out += doc.SectionName(s);
        out += ']';
        out += kLineEnd;
        for (std::size_t i = 0; i < doc.ItemCount(s); ++i) {
            const IniItemView item = doc.Item(s, i);
            std::string_view value = item.value;
            std::string_view tag = item.tag;
            if (value.size() <= kIniMaxValueLineLength) {
                AppendValueLine(out, tag.substr(0, Utf8CutLength(tag, kIniMaxNameLength)), value,
                                item.quoted);
                continue;
            }
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
// `err` receives why, as the system would say it.
int CheckWritable(const fs::path& target, bool& existed, int& err) {
    std::error_code ec;
    const fs::file_status st = fs::status(target, ec);
    existed = st.type() != fs::file_type::not_found;
    if (ec && existed) {
        err = ec.value();
        return kIniExistenceTestFailed;
    }
    if (existed) {
        // Only a regular file is replaced: opening a FIFO would wait for a reader.
        if (fs::is_directory(st)) {
            err = EISDIR;
            return kIniAccessDenied;
        }
        if (!fs::is_regular_file(st) || !HasAnyWriteBit(st.permissions())) {
            err = EACCES;
            return kIniAccessDenied;
        }
        errno = 0;
        std::FILE* f = OpenFile(target, "r+b");
        if (f == nullptr) {
            err = errno != 0 ? errno : EACCES;
            return kIniAccessDenied;
        }
        std::fclose(f);
        return 0;
    }
    errno = 0;
    std::FILE* f = OpenFile(target, "wb");
    if (f == nullptr) {
        err = errno != 0 ? errno : EACCES;
        return CodeForErrno(err) == kIniIoError ? kIniAccessDenied : CodeForErrno(err);
    }
    std::fclose(f);
    fs::remove(target, ec);
    return 0;
}

// Creates the first free "ini$$<n>.CVI" in dir, locked while it is being written. A name
// whose file was left behind by a writer that died is free again; every such orphan met on
// the way is cleared, so they do not gather until no name is left.
int CreateTemporary(const fs::path& dir, fs::path& name, std::FILE*& file, int& err) {
    int denied = 0;
    for (int n = 0; n < kTempNames; ++n) {
        name = dir / (std::string(kTempPrefix) + std::to_string(n) + std::string(kTempExtension));
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(name, ec);
        if (st.type() != fs::file_type::not_found) {
            if (ec) {
                err = ec.value();
                return kIniExistenceTestFailed;
            }
            if (!RemoveOrphanedFile(name, kOrphanAge)) continue;
        }
        err = 0;
        file = CreateLockedFile(name, err);
        if (file != nullptr) {
            // Orphans right behind the name taken would otherwise wait for a busier day.
            for (int k = n + 1; k < kTempNames; ++k) {
                const fs::path next = dir / (std::string(kTempPrefix) + std::to_string(k) +
                                             std::string(kTempExtension));
                if (!fs::exists(fs::symlink_status(next, ec))) break;
                RemoveOrphanedFile(next, kOrphanAge);
            }
            return 0;
        }
        if (err == EEXIST) continue;  // someone else took the name meanwhile
        if ((err == EACCES || err == EPERM) && ++denied <= kMaxDeniedCreations) continue;
        return kIniCannotCreateTemporary;
    }
    return kIniNoTemporaryName;
}

int WriteAll(std::FILE* f, const std::string& text, int& err) {
    errno = 0;
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), f) != text.size()) {
        err = errno != 0 ? errno : EIO;
        return CodeForErrno(err);
    }
    errno = 0;
    if (std::fflush(f) != 0) {
        err = errno != 0 ? errno : EIO;
        return CodeForErrno(err);
    }
    return 0;
}

// ---- reading

// Line number of a run tag "<tag> Line<digits>", 0 when the tag carries none. The first
// " Line" of the tag counts.
std::int64_t RunLineNumber(std::string_view tag) {
    const std::size_t pos = tag.find(kLineMarker);
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

// Joins the runs of numbered lines of the sections from first on, in place: a section read
// from a file holds its items' tags and values back to back in the document's text, so each
// further piece of a run moves down right behind the run's value so far. `lines`, when there
// are any, hold the line of each item from `firstLine`'s on and stay beside their items.
void JoinRuns(IniDocument& doc, std::size_t firstSection, std::vector<std::uint32_t>* lines,
              std::size_t firstLine) {
    auto& items = doc.items;
    char* text = doc.text.data();
    // No new section: nothing to join, and the items held before stay.
    std::size_t w =
        firstSection < doc.sections.size() ? doc.sections[firstSection].firstItem : items.size();
    for (std::size_t s = firstSection; s < doc.sections.size(); ++s) {
        IniSection& section = doc.sections[s];
        const std::size_t first = section.firstItem;
        const std::size_t end = first + section.itemCount;
        section.firstItem = static_cast<std::uint32_t>(w);
        bool inRun = false;
        for (std::size_t r = first; r < end; ++r) {
            IniItem item = items[r];
            const std::string_view tag = TagOf(doc, item);
            const std::int64_t line = RunLineNumber(tag);
            const auto keep = [&] {
                if (lines != nullptr) (*lines)[w - firstLine] = (*lines)[r - firstLine];
                items[w++] = item;
            };
            if (line == 1) {
                const std::size_t size = Trim(tag.substr(0, tag.find(kLineMarker))).size();
                std::memmove(text + item.at + size, text + item.at + item.tagSize, item.valueSize);
                item.tagSize = static_cast<std::uint32_t>(size);
                keep();
                inRun = true;
            } else if (line != 0 && inRun) {
                IniItem& run = items[w - 1];
                std::memmove(text + run.at + run.tagSize + run.valueSize,
                             text + item.at + item.tagSize, item.valueSize);
                run.valueSize += item.valueSize;
            } else {
                keep();
                inRun = false;
            }
        }
        section.itemCount = static_cast<std::uint32_t>(w - section.firstItem);
    }
    items.resize(w);
    if (lines != nullptr) lines->resize(w - firstLine);
}

class LineParser {
  public:
    LineParser(IniDocument& doc, std::vector<std::uint32_t>* itemLines)
        : doc_(doc),
          firstNew_(doc.sections.size()),
          firstNewItem_(doc.items.size()),
          itemLines_(itemLines) {
        line_.reserve(kIniMaxLineLength);
        if (itemLines_ != nullptr) itemLines_->clear();
    }

    void Feed(const char* data, std::size_t n) {
        std::size_t i = 0;
        if (pairWith_ != '\0' && n > 0) {
            if (data[0] == pairWith_) i = 1;  // second half of CR LF or LF CR
            pairWith_ = '\0';
        }
        while (i < n) {
            std::size_t end = i;
            while (end < n && data[end] != '\r' && data[end] != '\n' && data[end] != '\0')
                ++end;
            const std::string_view piece(data + i, end - i);
            if (end == n) {  // the line goes on in the next block
                line_.append(piece.substr(0, kIniMaxLineLength - line_.size()));
                return;
            }
            if (line_.empty()) {
                Classify(piece.substr(0, kIniMaxLineLength));  // all of it in this block
            } else {
                line_.append(piece.substr(0, kIniMaxLineLength - line_.size()));
                EndLine();
            }
            const char c = data[end];
            i = end + 1;
            if (c != '\0') {
                const char pair = c == '\r' ? '\n' : '\r';
                if (i == n) {
                    pairWith_ = pair;
                } else if (data[i] == pair) {
                    ++i;
                }
            }
        }
    }

    // The last line needs no terminator; then the runs of numbered lines become one item.
    void Finish() {
        if (!line_.empty()) EndLine();
        JoinNewSections();
    }
    void JoinNewSections() { JoinRuns(doc_, firstNew_, itemLines_, firstNewItem_); }

  private:
    void EndLine() {
        Classify(line_);
        line_.clear();
    }

    void Classify(std::string_view line) {
        ++lineNumber_;
        while (!line.empty() && IsBlank(line.front()))
            line.remove_prefix(1);
        if (line.empty() || line.front() == ';') return;
        if (line.front() == '[') {
            const std::size_t close = line.rfind(']');
            if (close == std::string_view::npos || !Trim(line.substr(close + 1)).empty()) return;
            const std::string_view name = CutName(line.substr(1, close - 1));
            if (name.empty()) return;
            AppendSection(doc_, name);
            inSection_ = true;
            return;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || !inSection_) return;
        const std::string_view tag = CutName(line.substr(0, eq));
        std::string_view value = Trim(line.substr(eq + 1));
        if (tag.empty() || value.empty()) return;
        IniItem item;
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
            item.quoted = true;
        }
        // The section read last is the document's last, and its items are the last items.
        item.at = Store(doc_, tag);
        item.tagSize = static_cast<std::uint32_t>(tag.size());
        Store(doc_, value);
        item.valueSize = static_cast<std::uint32_t>(value.size());
        Narrow(doc_.items.size() + 1);
        if (itemLines_ != nullptr) itemLines_->push_back(Narrow(lineNumber_));
        doc_.items.push_back(item);
        ++doc_.sections.back().itemCount;
    }

    IniDocument& doc_;
    std::size_t firstNew_;
    std::size_t firstNewItem_;
    std::vector<std::uint32_t>* itemLines_;
    std::size_t lineNumber_ = 0;
    bool inSection_ = false;  // a header of this file has come
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

int Ini_WriteToFile(IniDocument* doc, const std::string& path, int* systemError) {
    int err = 0;
    const int result = [&]() -> int {
        if (doc == nullptr) return kIniNoDocument;
        try {
            fs::path target = PathFromUtf8(path);
            std::error_code ec;
            // Through a symbolic link the file it points to is replaced, not the link.
            if (fs::is_symlink(fs::symlink_status(target, ec))) {
                fs::path resolved = fs::weakly_canonical(target, ec);
                if (ec) {
                    err = ec.value();
                    return kIniExistenceTestFailed;
                }
                target = std::move(resolved);
            }
            bool existed = false;
            if (const int r = CheckWritable(target, existed, err); r != 0) return r;

            const std::string text = DocumentText(*doc);
            const fs::path dir = target.parent_path();
            fs::path temp;
            std::FILE* f = nullptr;
            if (const int r = CreateTemporary(dir, temp, f, err); r != 0) return r;
            int written = WriteAll(f, text, err);
            if (written == 0 && existed) {
                if ((err = CopyOwnerAndMode(f, target)) != 0) written = CodeForErrno(err);
            }
            // On the disk before it takes the old file's place: after a power loss the target
            // is the old file or the new one, never an empty one.
            if (written == 0) {
                if ((err = SyncFile(f)) != 0) written = CodeForErrno(err);
            }
            errno = 0;
            if (std::fclose(f) != 0 && written == 0) {
                err = errno != 0 ? errno : EIO;
                written = CodeForErrno(err);
            }
            if (written == 0) {
                fs::rename(temp, target, ec);
                if (ec) {
                    err = ec.value();
                    written = ec == std::errc::permission_denied ? kIniAccessDenied : kIniIoError;
                }
            }
            if (written != 0) {
                fs::remove(temp, ec);
                return written;
            }
            SyncDirectory(dir);  // and the new name on the disk too
            return 0;
        } catch (const std::bad_alloc&) {
            err = ENOMEM;
            return kIniOutOfMemory;
        } catch (const fs::filesystem_error& e) {
            err = e.code().value();
            return kIniIoError;
        }
    }();
    if (systemError != nullptr) *systemError = result == 0 ? 0 : err;
    return result;
}

std::string Ini_WriteErrorText(int code, int systemError) {
    if (systemError != 0) return std::generic_category().message(systemError);
    const std::string_view text = Ini_ErrorText(code);
    return text.empty() ? "error " + std::to_string(code) : std::string(text);
}

int Ini_ReadFromFile(IniDocument* doc, const std::string& path,
                     std::vector<std::uint32_t>* itemLines) {
    if (doc == nullptr) return kIniNoDocument;
    LineParser parser(*doc, itemLines);
    int result = 0;
    std::FILE* f = nullptr;
    try {
        const fs::path p = PathFromUtf8(path);
        std::error_code ec;
        // Only a regular file: a FIFO would block the read and a device might never end.
        if (!fs::is_regular_file(fs::status(p, ec))) return kIniCannotOpenForReading;
        const std::uintmax_t size = fs::file_size(p, ec);
        if (ec) return kIniCannotOpenForReading;
        if (size > kIniMaxFileSize) return kIniFileTooLarge;
        f = OpenFile(p, "rb");
        if (f == nullptr) return kIniCannotOpenForReading;
        // Names, tags and values are pieces of distinct lines, and runs are joined in place:
        // the text grows by at most the file's size.
        doc->text.reserve(doc->text.size() + static_cast<std::size_t>(size));
        std::vector<char> block(kReadBlock);
        std::uintmax_t total = 0;
        for (;;) {
            const std::size_t n = std::fread(block.data(), 1, block.size(), f);
            total += n;
            if (total > kIniMaxFileSize) {  // it grew while being read
                result = kIniFileTooLarge;
                break;
            }
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
        parser.JoinNewSections();  // what was read stays usable
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
        std::string decoded = IniDecode(ValueOf(*doc, *item));
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
    const std::string_view text = Trim(ValueOf(*doc, *item));
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
