// The INI store against hand-written files and the exact text it writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "files/inifile.hpp"
#include "temp_dir.hpp"

#if defined(__unix__)
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#endif

namespace qelto {
namespace {

namespace fs = std::filesystem;

std::string GetString(IniDocument* doc, std::string_view section, std::string_view tag,
                      int* result = nullptr, std::size_t size = 4096) {
    std::string buffer(size, '#');
    const int r = Ini_GetStringIntoBuffer(doc, section, tag, {buffer.data(), buffer.size()});
    if (result) *result = r;
    return std::string(buffer.c_str());
}

class IniFile : public ::testing::Test {
  protected:
    // A document read from the given file text.
    IniHandle Read(const std::string& text) {
        const std::string path = dir.File("in.ini");
        WriteBytes(path, text);
        IniHandle doc = Ini_New(0);
        EXPECT_EQ(Ini_ReadFromFile(doc.get(), path), 0);
        return doc;
    }
    std::string Written(IniDocument* doc) {
        const std::string path = dir.File("out.ini");
        EXPECT_EQ(Ini_WriteToFile(doc, path), 0);
        return ReadBytes(path);
    }
    IniHandle RoundTrip(IniDocument* doc) { return Read(Written(doc)); }

    TempDir dir;
};

// ---- names and the put rules

TEST_F(IniFile, NamesMatchWithoutCaseAndSurroundingBlanks) {
    IniHandle doc = Ini_New(0);
    ASSERT_EQ(Ini_PutInt(doc.get(), " General Info ", "GROUP ", 5), 0);
    std::int32_t v = 0;
    EXPECT_EQ(Ini_GetInt(doc.get(), "general info", "group", v), 1);
    EXPECT_EQ(v, 5);
    EXPECT_EQ(Written(doc.get()), "[General Info]\r\nGROUP = 5\r\n\r\n");

    auto read = Read("[ PANEL POSITION ]\r\n  MAINPANEL LEFT   =   10  \r\n");
    EXPECT_EQ(Ini_GetInt(read.get(), "panel position", "mainpanel left", v), 1);
    EXPECT_EQ(v, 10);
}

TEST_F(IniFile, PutReplacesTheFirstMatchInPlaceAndDropsTheOthers) {
    IniHandle doc = Ini_New(0);
    Ini_PutInt(doc.get(), "S", "A", 1);
    Ini_PutInt(doc.get(), "S", "B", 2);
    Ini_PutInt(doc.get(), "S", "C", 3);
    Ini_PutString(doc.get(), "s", " b", "two");
    EXPECT_EQ(Written(doc.get()), "[S]\r\nA = 1\r\nb = \"two\"\r\nC = 3\r\n\r\n");

    // Into a read document: duplicates go, and a section that is not the last still grows.
    auto read = Read("[S]\nA=1\nB=2\nA=3\nB=4\n[T]\nX=5\n");
    Ini_PutString(read.get(), "s", " b", "two");
    Ini_PutInt(read.get(), "S", "NEW", 6);
    Ini_PutInt(read.get(), "T", "Y", 7);
    EXPECT_EQ(Written(read.get()),
              "[S]\r\nA = 1\r\nb = \"two\"\r\nA = 3\r\nNEW = 6\r\n\r\n"
              "[T]\r\nX = 5\r\nY = 7\r\n\r\n");
}

TEST_F(IniFile, DocumentTextIsExact) {
    IniHandle doc = Ini_New(0);
    EXPECT_EQ(Written(doc.get()), "");
    Ini_PutString(doc.get(), "GENERAL INFO", "FILE TYPE:", "Panel Settings");
    Ini_PutInt(doc.get(), "PANEL POSITION", "MAINPANEL LEFT", 10);
    Ini_PutInt(doc.get(), "PANEL POSITION", "X", -8);
    Ini_PutString(doc.get(), "PANEL POSITION", "EMPTY", "");
    EXPECT_EQ(Written(doc.get()),
              "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n\r\n"
              "[PANEL POSITION]\r\nMAINPANEL LEFT = 10\r\nX = -8\r\nEMPTY = \"\"\r\n\r\n");
}

TEST_F(IniFile, FirstOfDuplicateSectionsAndItemsIsFound) {
    auto doc = Read("[S]\nA=1\nA=2\n[s]\nA=3\nB=4\n");
    std::int32_t v = 0;
    EXPECT_EQ(Ini_GetInt(doc.get(), "S", "A", v), 1);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(Ini_GetInt(doc.get(), "S", "B", v), 0);  // only in the second section
    EXPECT_EQ(doc->SectionCount(), 2u);
}

TEST_F(IniFile, ReadingAppendsToTheDocument) {
    auto doc = Read("[S]\nA=1\n");
    WriteBytes(dir.File("second.ini"), "[S]\nA=2\n[T]\nB=3\n");
    ASSERT_EQ(Ini_ReadFromFile(doc.get(), dir.File("second.ini")), 0);
    std::int32_t v = 0;
    EXPECT_EQ(Ini_GetInt(doc.get(), "S", "A", v), 1);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(Ini_GetInt(doc.get(), "T", "B", v), 1);
    EXPECT_EQ(v, 3);
    // A file without a section adds nothing and takes nothing away.
    WriteBytes(dir.File("third.ini"), "A=9\n");
    ASSERT_EQ(Ini_ReadFromFile(doc.get(), dir.File("third.ini")), 0);
    EXPECT_EQ(Ini_GetInt(doc.get(), "T", "B", v), 1);
    EXPECT_EQ(doc->items.size(), 3u);
}

TEST_F(IniFile, ItemLinesNameWhereEachItemStood) {
    // CR LF, a lone CR, comments, lines outside a section, a run of numbered lines (its first
    // line counts) and a last line without an end.
    WriteBytes(dir.File("lines.ini"),
               "A=0\r\n[S]\r\n; note\r\nA=1\r\n\r\nT Line0001=ab\rT Line0002=cd\n"
               "B = 2\n[U]\nC=3");
    IniHandle doc = Ini_New(0);
    Ini_PutInt(doc.get(), "P", "X", 1);
    std::vector<std::uint32_t> lines{99};
    ASSERT_EQ(Ini_ReadFromFile(doc.get(), dir.File("lines.ini"), &lines), 0);
    EXPECT_EQ(lines, (std::vector<std::uint32_t>{4, 6, 8, 10}));
    ASSERT_EQ(doc->items.size(), 5u);
    EXPECT_EQ(doc->Item(1, 1).value, "abcd");
}

// ---- escaping

TEST_F(IniFile, PathsAndControlCharactersAreEscapedAndComeBackAsPut) {
    IniHandle doc = Ini_New(0);
    const std::string path = "C:\\temp\\new.ini";
    const std::string odd = std::string("a\tb\nc\rd\"e\x01 f\x1f g\x7f h") + "\xC3\xA9";
    Ini_PutString(doc.get(), "S", "PATH", path);
    Ini_PutString(doc.get(), "S", "ODD", odd);
    EXPECT_EQ(Written(doc.get()),
              "[S]\r\nPATH = \"C:\\\\temp\\\\new.ini\"\r\n"
              "ODD = \"a\\tb\\nc\\rd\\\"e\\x01 f\\x1f g\\x7f h\xC3\xA9\"\r\n\r\n");
    auto back = RoundTrip(doc.get());
    EXPECT_EQ(GetString(back.get(), "S", "PATH"), path);
    EXPECT_EQ(GetString(back.get(), "S", "ODD"), odd);
}

TEST_F(IniFile, HandWrittenBackslashesAreDecoded) {
    auto doc = Read(
        "[S]\n"
        "PARAMETER FILE = C:\\temp\\new.ini\n"
        "HEX = \\x41\\x4a\\x4A|\\xg1|\\x4|\\q\n"
        "TRAIL = end\\\n");
    EXPECT_EQ(GetString(doc.get(), "S", "PARAMETER FILE"), "C:\temp\new.ini");
    // Not two hexadecimal digits: the x stands for itself, like any other escaped character.
    EXPECT_EQ(GetString(doc.get(), "S", "HEX"), "AJJ|xg1|x4|q");
    EXPECT_EQ(GetString(doc.get(), "S", "TRAIL"), "end\\");
}

// ---- values over 80 characters

TEST_F(IniFile, LongValuesBecomeNumberedRunsAndReadBackWhole) {
    const std::string v80(80, 'a');
    const std::string v81 = std::string(80, 'b') + "c";
    std::string v200;
    for (int i = 0; i < 200; ++i)
        v200 += static_cast<char>('A' + i % 26);
    IniHandle doc = Ini_New(0);
    Ini_PutString(doc.get(), "D", "EIGHTY", v80);
    Ini_PutString(doc.get(), "D", "EIGHTYONE", v81);
    Ini_PutString(doc.get(), "D", "PARAMETER FILE", v200);
    EXPECT_EQ(Written(doc.get()),
              "[D]\r\nEIGHTY = \"" + v80 + "\"\r\n" +                         //
                  "EIGHTYONE Line0001 = \"" + v81.substr(0, 80) + "\"\r\n" +  //
                  "EIGHTYONE Line0002 = \"c\"\r\n" +                          //
                  "PARAMETER FILE Line0001 = \"" + v200.substr(0, 80) + "\"\r\n" +
                  "PARAMETER FILE Line0002 = \"" + v200.substr(80, 80) + "\"\r\n" +
                  "PARAMETER FILE Line0003 = \"" + v200.substr(160) + "\"\r\n\r\n");
    auto back = RoundTrip(doc.get());
    EXPECT_EQ(GetString(back.get(), "D", "EIGHTY"), v80);
    EXPECT_EQ(GetString(back.get(), "D", "EIGHTYONE"), v81);
    EXPECT_EQ(GetString(back.get(), "D", "PARAMETER FILE"), v200);
    EXPECT_EQ(back->ItemCount(0), 3u);
}

TEST_F(IniFile, RunsAreCutBetweenUtf8CharactersAndEscapesAreJoinedBeforeDecoding) {
    // 79 ASCII bytes then a two-byte character: the first piece stops before it.
    const std::string value = std::string(79, 'x') + "\xC3\xA9" + "tail";
    const std::string quotes = std::string(79, 'q') + "\"\"\"\\";  // escapes span the cut
    IniHandle doc = Ini_New(0);
    Ini_PutString(doc.get(), "S", "U", value);
    Ini_PutString(doc.get(), "S", "Q", quotes);
    const std::string text = Written(doc.get());
    EXPECT_NE(text.find("U Line0001 = \"" + std::string(79, 'x') + "\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("U Line0002 = \"\xC3\xA9tail\"\r\n"), std::string::npos);
    auto back = Read(text);
    EXPECT_EQ(GetString(back.get(), "S", "U"), value);
    EXPECT_EQ(GetString(back.get(), "S", "Q"), quotes);
}

TEST_F(IniFile, RunJoiningFollowsTheLineNumbers) {
    auto doc = Read(
        "[S]\n"
        "A Line0001 = \"ab\"\nA Line0002 = \"cd\"\nOTHER Line0007 = \"ef\"\n"  // one run
        "PLAIN = 1\n"
        "B Line0002 = 2\n"                                      // no run start
        "C Line1 = x\nC Line1 = y\n"                            // two runs
        "D Line99999999999 = big\n"                             // not a number
        "Main Line Line0001 = m1\nMain Line Line0002 = m2\n");  // " Line" inside
    EXPECT_EQ(GetString(doc.get(), "S", "A"), "abcdef");
    EXPECT_EQ(GetString(doc.get(), "S", "B Line0002"), "2");
    EXPECT_EQ(GetString(doc.get(), "S", "C"), "x");
    EXPECT_EQ(GetString(doc.get(), "S", "D Line99999999999"), "big");
    // The first " Line" of a tag is the one that counts: these tags carry no number.
    EXPECT_EQ(GetString(doc.get(), "S", "Main Line Line0001"), "m1");
    EXPECT_EQ(GetString(doc.get(), "S", "Main Line Line0002"), "m2");
    ASSERT_EQ(doc->ItemCount(0), 8u);
    EXPECT_EQ(doc->Item(0, 3).tag, "C");
    EXPECT_EQ(doc->Item(0, 4).tag, "C");

    // So a long value under such a tag comes back as its numbered pieces, as any reader of
    // the format reads it.
    IniHandle put = Ini_New(0);
    const std::string longValue(100, 'z');
    Ini_PutString(put.get(), "S", "Main Line", longValue);
    auto back = RoundTrip(put.get());
    EXPECT_EQ(GetString(back.get(), "S", "Main Line Line0001"), longValue.substr(0, 80));
    EXPECT_EQ(GetString(back.get(), "S", "Main Line Line0002"), longValue.substr(80));
}

TEST_F(IniFile, TheFirstLineMarkerOfATagStartsItsNumber) {
    // A hand-edited file: X's tag has a " Line" of its own before the number, so it carries
    // no line number and ends POWER's run.
    auto doc = Read("[S]\nPOWER Line0001 = 1\nX Line Line0002 = 2\nY Line0002 = 3\n");
    EXPECT_EQ(GetString(doc.get(), "S", "POWER"), "1");
    EXPECT_EQ(GetString(doc.get(), "S", "X Line Line0002"), "2");
    EXPECT_EQ(GetString(doc.get(), "S", "Y Line0002"), "3");  // outside any run
}

// ---- reading lines

TEST_F(IniFile, EveryLineEndingIsOneTerminator) {
    std::string text = "[S]\rA=1\nB=2\r\nC=3\n\rD=4";
    text += '\0';
    text += "E=5\r\n\r\nF=6\n\r\nG=7";  // LF CR then LF: an empty line between
    auto doc = Read(text);
    const char* tags[] = {"A", "B", "C", "D", "E", "F", "G"};
    std::int32_t v = 0;
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(Ini_GetInt(doc.get(), "S", tags[i], v), 1) << tags[i];
        EXPECT_EQ(v, i + 1);
    }
    EXPECT_EQ(doc->ItemCount(0), 7u);
}

TEST_F(IniFile, LinesOverTheLimitKeepTheirFirst1024Characters) {
    const std::string prefix = "A=";
    const std::string longLine = prefix + std::string(1500, 'v');
    // A two-byte character straddles position 1024: the cut is by bytes all the same, so
    // every reader of the format gets the same value.
    const std::string straddle = "B=" + std::string(1021, 'w') + "\xC3\xA9" + "more";
    auto doc = Read("[S]\n" + longLine + "\nC=after\n" + straddle + "\n");
    EXPECT_EQ(GetString(doc.get(), "S", "A", nullptr, 4096), std::string(1022, 'v'));
    const std::string b = GetString(doc.get(), "S", "B", nullptr, 4096);
    EXPECT_EQ(b.size(), 1022u);
    EXPECT_EQ(b.substr(1018), "www\xC3");
    EXPECT_EQ(GetString(doc.get(), "S", "C"), "after");
}

TEST_F(IniFile, CommentsJunkAndIncompleteLinesContributeNothing) {
    auto doc = Read(
        "BEFORE=1\n"
        "[S]\n"
        "; A=2\n"
        "   ;B=3\n"
        "no separator\n"
        "[unclosed\n"
        "[] \n"
        "[T] junk\n"
        "=4\n"
        "EMPTY=\n"
        "EMPTY2 =    \n"
        "OK = 5\n");
    ASSERT_EQ(doc->SectionCount(), 1u);
    EXPECT_EQ(doc->ItemCount(0), 1u);
    std::int32_t v = 0;
    EXPECT_EQ(Ini_GetInt(doc.get(), "S", "OK", v), 1);
    EXPECT_EQ(Ini_GetInt(doc.get(), "S", "EMPTY", v), 0);
    int r = -1;
    EXPECT_EQ(GetString(doc.get(), "S", "A", &r), "");
    EXPECT_EQ(r, 0);
}

TEST_F(IniFile, QuotesAreRemovedOnlyInPairs) {
    auto doc = Read("[S]\nCOMPORT = \"3\"\nONE = \"\nEMPTY = \"\"\nINNER = a\"b\"\nSP = \"  \"\n");
    std::int32_t v = 0;
    EXPECT_EQ(Ini_GetInt(doc.get(), "S", "COMPORT", v), 1);
    EXPECT_EQ(v, 3);
    EXPECT_EQ(GetString(doc.get(), "S", "ONE"), "\"");
    int r = 0;
    EXPECT_EQ(GetString(doc.get(), "S", "EMPTY", &r), "");
    EXPECT_EQ(r, 1);
    EXPECT_EQ(Ini_GetInt(doc.get(), "S", "EMPTY", v), 0);
    EXPECT_EQ(GetString(doc.get(), "S", "INNER"), "a\"b\"");
    EXPECT_EQ(GetString(doc.get(), "S", "SP"), "  ");
    EXPECT_EQ(Ini_GetInt(doc.get(), "S", "SP", v), 0);  // blank
}

TEST_F(IniFile, NamesOverTheLimitAreCut) {
    const std::string longName(300, 'n');
    auto doc = Read("[   " + longName + "]\n   " + longName + "   = 1\n");
    std::int32_t v = 0;
    EXPECT_EQ(Ini_GetInt(doc.get(), longName.substr(0, 255), longName.substr(0, 255), v), 1);

    IniHandle put = Ini_New(0);
    Ini_PutInt(put.get(), "S", longName, 7);
    EXPECT_EQ(Written(put.get()), "[S]\r\n" + longName.substr(0, 255) + " = 7\r\n\r\n");
}

// ---- integers

TEST_F(IniFile, IntegersFollowTheStrictFormat) {
    auto doc = Read(
        "[S]\n"
        "PX = 10 px\nPAD =  10  \nPLUS = +7\nMIN = -2147483648\nMAX = 2147483647\n"
        "LEAD = 000000000000000000042\n"
        "ABC = 12abc\nHEX = 0x10\nSIGN = - 5\nOVER = 2147483648\nUNDER = -2147483649\n"
        "FRAC = 5.0\nBARE = -\n");
    const std::pair<const char*, std::int32_t> good[] = {
        {"PAD", 10}, {"PLUS", 7}, {"MIN", INT32_MIN}, {"MAX", INT32_MAX}, {"LEAD", 42}};
    for (const auto& [tag, expected] : good) {
        std::int32_t v = 0;
        EXPECT_EQ(Ini_GetInt(doc.get(), "S", tag, v), 1) << tag;
        EXPECT_EQ(v, expected) << tag;
    }
    for (const char* tag : {"PX", "ABC", "HEX", "SIGN", "OVER", "UNDER", "FRAC", "BARE"}) {
        std::int32_t v = 99;
        EXPECT_EQ(Ini_GetInt(doc.get(), "S", tag, v), kIniInvalidInteger) << tag;
        EXPECT_EQ(v, 99) << tag;
    }
    std::int32_t v = 99;
    EXPECT_EQ(Ini_GetInt(doc.get(), "S", "MISSING", v), 0);
    EXPECT_EQ(Ini_GetInt(doc.get(), "NOSECTION", "PAD", v), 0);
    EXPECT_EQ(v, 99);
    EXPECT_EQ(Ini_ErrorText(kIniInvalidInteger), "Invalid Integer Number");
}

// ---- lookups into small buffers, missing documents

TEST_F(IniFile, LookupCutsToTheBufferWithoutSplittingACharacter) {
    IniHandle doc = Ini_New(0);
    Ini_PutString(doc.get(), "S", "T",
                  "ab\xE2\x82\xAC"
                  "cd");  // a, b, euro sign, c, d
    std::array<char, 4> small;
    small.fill('#');
    EXPECT_EQ(Ini_GetStringIntoBuffer(doc.get(), "S", "T", small), 1);
    EXPECT_STREQ(small.data(), "ab");
    std::array<char, 6> fits;
    EXPECT_EQ(Ini_GetStringIntoBuffer(doc.get(), "S", "T", fits), 1);
    EXPECT_STREQ(fits.data(), "ab\xE2\x82\xAC");
    small.fill('#');
    EXPECT_EQ(Ini_GetStringIntoBuffer(doc.get(), "S", "NONE", small), 0);
    EXPECT_STREQ(small.data(), "");
}

TEST(IniNoDocument, EveryOperationReportsIt) {
    std::array<char, 8> buffer;
    buffer.fill('#');
    std::int32_t v = 0;
    EXPECT_EQ(Ini_PutString(nullptr, "S", "T", "x"), kIniNoDocument);
    EXPECT_EQ(Ini_PutInt(nullptr, "S", "T", 1), kIniNoDocument);
    EXPECT_EQ(Ini_WriteToFile(nullptr, "x.ini"), kIniNoDocument);
    EXPECT_EQ(Ini_ReadFromFile(nullptr, "x.ini"), kIniNoDocument);
    EXPECT_EQ(Ini_GetStringIntoBuffer(nullptr, "S", "T", buffer), kIniNoDocument);
    EXPECT_STREQ(buffer.data(), "");
    EXPECT_EQ(Ini_GetInt(nullptr, "S", "T", v), kIniNoDocument);
}

// ---- files that cannot be read

TEST_F(IniFile, MissingFilesAndDirectoriesCannotBeOpened) {
    IniHandle doc = Ini_New(0);
    EXPECT_EQ(Ini_ReadFromFile(doc.get(), dir.File("missing.ini")), kIniCannotOpenForReading);
    fs::create_directory(dir.path() / "adir");
    EXPECT_EQ(Ini_ReadFromFile(doc.get(), dir.File("adir")), kIniCannotOpenForReading);
    EXPECT_EQ(doc->SectionCount(), 0u);
}

TEST_F(IniFile, FilesFarLargerThanAnyOfOursAreRefusedUnread) {
    const std::string path = dir.File("big.ini");
    WriteBytes(path, "[S]\nA=1\n");
    const std::uintmax_t limit = 16 * 1024 * 1024;
    EXPECT_EQ(kIniMaxFileSize, limit);
    fs::resize_file(path, limit + 1);  // sparse: nothing to write
    IniHandle doc = Ini_New(0);
    EXPECT_EQ(Ini_ReadFromFile(doc.get(), path), kIniFileTooLarge);
    EXPECT_EQ(Ini_ErrorText(kIniFileTooLarge), "File Too Large");
    EXPECT_EQ(doc->SectionCount(), 0u);

    fs::resize_file(path, limit);  // the rest are NUL bytes, which end lines
    EXPECT_EQ(Ini_ReadFromFile(doc.get(), path), 0);
    std::int32_t v = 0;
    EXPECT_EQ(Ini_GetInt(doc.get(), "S", "A", v), 1);
}

// ---- writing safely

class IniWrite : public IniFile {
  protected:
    void SetUp() override {
        target = dir.File("target.ini");
        WriteBytes(target, old);
        doc = Ini_New(0);
        Ini_PutString(doc.get(), "S", "NEW", "content");
    }
    bool NoTemporaryLeft() const {
        for (const auto& e : fs::directory_iterator(dir.path())) {
            if (e.path().filename().string().rfind("ini$$", 0) == 0) return false;
        }
        return true;
    }
    const std::string old = "[OLD]\r\nKEEP = 1\r\n\r\n";
    std::string target;
    IniHandle doc;
};

TEST_F(IniWrite, ReplacesTheTargetAndLeavesNoTemporaryFile) {
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Ini_WriteToFile(doc.get(), target), 0);
    EXPECT_EQ(ReadBytes(target), "[S]\r\nNEW = \"content\"\r\n\r\n");
    EXPECT_TRUE(NoTemporaryLeft());
#ifdef _WIN32
    // Windows keeps a read-only flag, no modes: a writable file shows every read and write bit.
    const fs::perms kept = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                           fs::perms::group_write | fs::perms::others_read |
                           fs::perms::others_write;
#else
    const fs::perms kept = fs::perms::owner_read | fs::perms::owner_write;
#endif
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, kept);
}

TEST_F(IniWrite, ReadOnlyTargetIsRefusedAndUnchanged) {
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(Ini_WriteToFile(doc.get(), target), kIniAccessDenied);
    EXPECT_EQ(ReadBytes(target), old);
    EXPECT_TRUE(NoTemporaryLeft());
}

TEST_F(IniWrite, DirectoryOrMissingFolderAsTargetIsRefused) {
    fs::create_directory(dir.path() / "adir");
    EXPECT_EQ(Ini_WriteToFile(doc.get(), dir.File("adir")), kIniAccessDenied);
    EXPECT_EQ(Ini_WriteToFile(doc.get(), dir.File("no/such/folder.ini")), kIniAccessDenied);
    EXPECT_TRUE(fs::is_directory(dir.path() / "adir"));
}

TEST_F(IniWrite, TakesTheFirstFreeTemporaryNameAndFailsWhenNoneIsFree) {
    fs::create_directory(dir.path() / "ini$$0.CVI");  // occupied: the writer moves on
    EXPECT_EQ(Ini_WriteToFile(doc.get(), target), 0);
    EXPECT_EQ(ReadBytes(target), "[S]\r\nNEW = \"content\"\r\n\r\n");
    EXPECT_TRUE(fs::is_directory(dir.path() / "ini$$0.CVI"));
    EXPECT_FALSE(fs::exists(dir.path() / "ini$$1.CVI"));

    WriteBytes(target, old);
    for (int n = 1; n < 1000; ++n)
        WriteBytes(dir.File("ini$$" + std::to_string(n) + ".CVI"), "");
    EXPECT_EQ(Ini_WriteToFile(doc.get(), target), kIniNoTemporaryName);
    EXPECT_EQ(ReadBytes(target), old);
}

TEST_F(IniWrite, SymbolicLinkKeepsPointingAtTheRewrittenFile) {
    const std::string link = dir.File("link.ini");
    std::error_code ec;
    fs::create_symlink(target, link, ec);
    // Windows makes symbolic links only with a privilege a test cannot count on; Wine not at all.
    if (ec) GTEST_SKIP() << "no symbolic links here: " << ec.message();
    EXPECT_EQ(Ini_WriteToFile(doc.get(), link), 0);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(target), "[S]\r\nNEW = \"content\"\r\n\r\n");
}

// Writers that died left their temporary files behind, enough to take every name: a new
// writer reclaims the old ones that no live writer holds, and clears them away.
TEST_F(IniWrite, OrphanedTemporaryFilesAreReclaimed) {
    const auto longAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (int n = 0; n < 1000; ++n) {
        const std::string name = dir.File("ini$$" + std::to_string(n) + ".CVI");
        WriteBytes(name, "[S]\r\nHALF");
        if (n != 1) fs::last_write_time(name, longAgo);  // 1: just begun
    }
    // 0: a writer that is still at work holds its file: locked, or on Windows, where an open
    // file cannot be removed, open.
#ifdef _WIN32
    std::ifstream held(dir.File("ini$$0.CVI"));
    ASSERT_TRUE(held.is_open());
#else
    const int held = open(dir.File("ini$$0.CVI").c_str(), O_RDWR);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
#endif

    EXPECT_EQ(Ini_WriteToFile(doc.get(), target), 0);
    EXPECT_EQ(ReadBytes(target), "[S]\r\nNEW = \"content\"\r\n\r\n");
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(dir.path())) {
        const std::string name = e.path().filename().string();
        if (name.rfind("ini$$", 0) == 0) left.push_back(name);
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"ini$$0.CVI", "ini$$1.CVI"}));
#ifndef _WIN32
    close(held);
#endif
}

// Owners and groups, FIFOs and a file size limit exist on Unix only.
#if defined(__unix__)
// A shared file keeps its owner and group, and so the access of the group's members.
TEST_F(IniWrite, ReplacementKeepsOwnerGroupAndMode) {
    uid_t owner = static_cast<uid_t>(-1);
    gid_t group = 0;
    if (geteuid() == 0) {
        owner = 4321;
        group = 4322;
    } else {
        // Without privileges only a group of one's own can be given; take one that is not
        // the group a new file gets anyway.
        std::vector<gid_t> groups(static_cast<std::size_t>(getgroups(0, nullptr)));
        groups.resize(
            static_cast<std::size_t>(getgroups(static_cast<int>(groups.size()), groups.data())));
        const auto other =
            std::find_if(groups.begin(), groups.end(), [](gid_t g) { return g != getegid(); });
        if (other == groups.end()) GTEST_SKIP() << "needs root or a second group";
        group = *other;
    }
    ASSERT_EQ(chown(target.c_str(), owner, group), 0);
    ASSERT_EQ(chmod(target.c_str(), 0664), 0);
    ASSERT_EQ(Ini_WriteToFile(doc.get(), target), 0);
    struct stat st {};
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    if (owner != static_cast<uid_t>(-1)) {
        EXPECT_EQ(st.st_uid, owner);
    }
    EXPECT_EQ(st.st_gid, group);
    EXPECT_EQ(st.st_mode & 07777, 0664u);
    EXPECT_EQ(ReadBytes(target), "[S]\r\nNEW = \"content\"\r\n\r\n");
}

TEST_F(IniWrite, FifoInPlaceOfTheFileNeitherBlocksNorIsReplaced) {
    const std::string fifo = dir.File("fifo.ini");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    EXPECT_EQ(Ini_WriteToFile(doc.get(), fifo), kIniAccessDenied);
    EXPECT_EQ(Ini_ReadFromFile(doc.get(), fifo), kIniCannotOpenForReading);
    EXPECT_TRUE(fs::is_fifo(fifo));
}

// A write that fails half-way (here: the file size limit) leaves the old file whole.
TEST_F(IniWrite, WriteFailingHalfWayLeavesTheOldFileWhole) {
    for (int i = 0; i < 200; ++i) {
        Ini_PutString(doc.get(), "BIG", "ITEM " + std::to_string(i), std::string(800, 'x'));
    }
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int result = Ini_WriteToFile(doc.get(), target);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_LT(result, 0);
    EXPECT_EQ(ReadBytes(target), old);
    EXPECT_TRUE(NoTemporaryLeft());
}
#endif

// ---- any bytes at all

TEST_F(IniFile, RandomBytesNeverBreakTheReader) {
    std::mt19937 rng(20240607);
    static constexpr char kAlphabet[] = "[]=\";\\ \t\r\n\0xLine0123 ABab\xC3\xA9\x80\xFF";
    const std::string alphabet(kAlphabet, sizeof kAlphabet - 1);
    for (int round = 0; round < 60; ++round) {  // the fuzz target goes further
        std::string bytes;
        const std::size_t n = rng() % 3000;
        const bool structured = round % 2 == 0;
        for (std::size_t i = 0; i < n; ++i) {
            bytes += structured ? alphabet[rng() % alphabet.size()] : static_cast<char>(rng());
        }
        if (round % 10 == 0) bytes += "\n[S]\nA Line0001 = x\n" + std::string(1500, 'y');
        auto doc = Read(bytes);
        for (std::size_t s = 0; s < doc->SectionCount(); ++s) {
            const std::string name(doc->SectionName(s));
            EXPECT_FALSE(name.empty());
            EXPECT_LE(name.size(), kIniMaxNameLength);
            for (std::size_t i = 0; i < doc->ItemCount(s); ++i) {
                const std::string tag(doc->Item(s, i).tag);
                EXPECT_FALSE(tag.empty());
                std::array<char, 64> small;
                EXPECT_EQ(Ini_GetStringIntoBuffer(doc.get(), name, tag, small), 1);
                EXPECT_LT(std::char_traits<char>::length(small.data()), small.size());
                std::int32_t v = 0;
                const int r = Ini_GetInt(doc.get(), name, tag, v);
                EXPECT_TRUE(r == 1 || r == 0 || r == kIniInvalidInteger);
            }
        }
        // Whatever was read writes out and reads back with the same sections.
        auto back = RoundTrip(doc.get());
        ASSERT_EQ(back->SectionCount(), doc->SectionCount()) << "round " << round;
        for (std::size_t i = 0; i < doc->SectionCount(); ++i) {
            EXPECT_EQ(back->SectionName(i), doc->SectionName(i));
        }
    }
}

}  // namespace
}  // namespace qelto
