#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "app/assistant_messages.hpp"

namespace qelto {
namespace {

const char* const kLanguageNames[kLanguageCount] = {"German",     "English", "French", "Spanish",
                                                    "Portuguese", "Italian", "Polish"};

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        lines.emplace_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return lines;
        start = end + 1;
    }
}

bool IsWordChar(unsigned char c) {
    return std::isalnum(c) != 0 || c == '-' || c >= 0x80;
}

// Occurrences of `word` that are not part of a longer word (case-sensitive).
int CountWord(std::string_view text, std::string_view word) {
    int count = 0;
    for (std::size_t at = text.find(word); at != std::string_view::npos;
         at = text.find(word, at + 1)) {
        const bool before = at > 0 && IsWordChar(static_cast<unsigned char>(text[at - 1]));
        const std::size_t after = at + word.size();
        const bool behind =
            after < text.size() && IsWordChar(static_cast<unsigned char>(text[after]));
        if (!before && !behind) ++count;
    }
    return count;
}

// Every run of digits, in order of appearance: the numbers a translation must carry over.
std::vector<std::string> Numbers(std::string_view text) {
    std::vector<std::string> numbers;
    for (std::size_t i = 0; i < text.size();) {
        if (std::isdigit(static_cast<unsigned char>(text[i])) == 0) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j])) != 0)
            ++j;
        numbers.emplace_back(text.substr(i, j - i));
        i = j;
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

bool IsValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = 0;
        if (c < 0x80) {
            n = 0;
        } else if ((c & 0xE0) == 0xC0 && c >= 0xC2) {
            n = 1;
        } else if ((c & 0xF0) == 0xE0) {
            n = 2;
        } else if ((c & 0xF8) == 0xF0 && c <= 0xF4) {
            n = 3;
        } else {
            return false;
        }
        for (std::size_t k = 1; k <= n; ++k) {
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += n + 1;
    }
    return true;
}

TEST(AssistantMessages, EnglishColumnIsTheProgramsWording) {
    const std::array<const char*, kAssistantMsgCount> english{
        "Parameterisation has been cancelled. \nNo parameters are sent to the sensor.",
        "Teaching has been cancelled. \nNo color values are sent to the sensor.",
        "How many colors do you want to teach? \n\nWith a sensor with 5 digital outputs \na "
        "maximum of 31 colors can be taught. \n\nWith a sensor with 2 outputs a maximum of 3.",
        "The entered value lies outside its value range. \n\nPlease enter a new value. \n\nWith a "
        "sensor with 5 digital outputs \na maximum of 31 colors can be taught. \n\nWith a sensor "
        "with 2 outputs a maximum of 3.",
        "The entered value lies outside its value range. \n\nThe default value will be loaded. "
        "\n\nWith a sensor with 5 digital outputs this default value is 31 \nand with a sensor "
        "with 2 outputs it is 3.",
        "The sensor has either the same number of outputs or more \nthan the number of colors you "
        "want to teach. \n\nThe colors therefore could be directly output. \nThis means that line "
        "0 can be directly output to OUT0, \nline 1 directly to OUT1, etc. \n\nIf this is what "
        "you want, please click on YES. \n\nIf you want to output the colors in binary encoded "
        "form, \nclick on NO.",
        "Place the brightest color to be taught in front of \nthe sensor and click on OK.",
        "Default parameters will first be sent to the sensor. \n\nThen the sensor will "
        "automatically adjust itself to the surface. \n\nThis process may take up to one minute.",
        "Now place a color to be taught in front of the sensor \nand click on OK.",
        "This color is brighter than the one specified by you. \n\nClick on YES to cancel the "
        "process, \nthen start the assistant again by clicking on \nSTART ASSISTANT. \n\nIf you "
        "want to continue in spite of this, click on NO.",
        "The set parameters and the taught colors \nare now saved in the sensor's EEPROM. "
        "\n\nClick on GO and check under the C-No:  display \nwhether the colors are recognised. "
        "\nIf they are not, please start the assistant again.",
    };
    for (std::size_t row = 0; row < kAssistantMsgCount; ++row) {
        EXPECT_STREQ(AssistantMessages[row][kEnglish], english[row]) << "row " << row;
    }
}

// A translation keeps the English layout: the same lines (blank lines where English has them),
// each broken line ending in one blank as the English does, and nothing after the last line.
TEST(AssistantMessages, TranslationsKeepTheLineLayout) {
    for (std::size_t row = 0; row < kAssistantMsgCount; ++row) {
        const auto english = Lines(AssistantMessages[row][kEnglish]);
        for (int lang = 0; lang < kLanguageCount; ++lang) {
            SCOPED_TRACE(std::string("row ") + std::to_string(row) + ", " + kLanguageNames[lang]);
            const std::string_view text = AssistantMessages[row][static_cast<std::size_t>(lang)];
            ASSERT_NE(text.data(), nullptr);
            const auto lines = Lines(text);
            ASSERT_EQ(lines.size(), english.size());
            for (std::size_t i = 0; i < lines.size(); ++i) {
                EXPECT_EQ(lines[i].empty(), english[i].empty()) << "line " << i;
                if (english[i].empty()) continue;
                EXPECT_EQ(lines[i].back() == ' ', english[i].back() == ' ') << "line " << i;
                EXPECT_NE(lines[i].front(), ' ') << "line " << i;
                if (english[i].find("  ") == std::string::npos) {
                    EXPECT_EQ(lines[i].find("  "), std::string::npos) << "line " << i;
                }
            }
            EXPECT_EQ(text.find_first_of("\r\t"), std::string_view::npos);
        }
    }
}

// Button and control names are what the operator sees on the window: never translated, and
// present exactly where the English message names them. Numbers are carried over unchanged.
TEST(AssistantMessages, TranslationsKeepControlNamesAndNumbers) {
    const std::vector<std::string_view> names{
        "YES", "NO", "OK", "START ASSISTANT", "GO", "C-No", "EEPROM", "OUT0", "OUT1"};
    for (std::size_t row = 0; row < kAssistantMsgCount; ++row) {
        const std::string_view english = AssistantMessages[row][kEnglish];
        for (int lang = 0; lang < kLanguageCount; ++lang) {
            SCOPED_TRACE(std::string("row ") + std::to_string(row) + ", " + kLanguageNames[lang]);
            const std::string_view text = AssistantMessages[row][static_cast<std::size_t>(lang)];
            for (auto name : names) {
                EXPECT_EQ(CountWord(text, name), CountWord(english, name)) << name;
            }
            EXPECT_EQ(Numbers(text), Numbers(english));
        }
    }
}

TEST(AssistantMessages, TranslationsAreWellFormedUtf8AndNotEnglish) {
    for (std::size_t row = 0; row < kAssistantMsgCount; ++row) {
        for (int lang = 0; lang < kLanguageCount; ++lang) {
            SCOPED_TRACE(std::string("row ") + std::to_string(row) + ", " + kLanguageNames[lang]);
            const std::string_view text = AssistantMessages[row][static_cast<std::size_t>(lang)];
            EXPECT_TRUE(IsValidUtf8(text));
            if (lang != kEnglish) {
                EXPECT_NE(text, AssistantMessages[row][kEnglish]);
            }
        }
        // No two languages share a text.
        for (int a = 0; a < kLanguageCount; ++a) {
            for (int b = a + 1; b < kLanguageCount; ++b) {
                EXPECT_STRNE(AssistantMessages[row][static_cast<std::size_t>(a)],
                             AssistantMessages[row][static_cast<std::size_t>(b)])
                    << "row " << row << ": " << kLanguageNames[a] << " / " << kLanguageNames[b];
            }
        }
    }
    // The accented letters survive as UTF-8, not as Windows-1252 bytes.
    EXPECT_NE(std::string_view(AssistantMessages[MsgValueOutOfRange][0]).find("außerhalb"),
              std::string_view::npos);
    EXPECT_NE(std::string_view(AssistantMessages[MsgPlaceBrightest][6]).find("najjaśniejszy"),
              std::string_view::npos);
}

TEST(AssistantMessages, LanguageOutsideTheTableFallsBackToEnglish) {
    EXPECT_EQ(AssistantText(MsgTooBright, 0), AssistantMessages[MsgTooBright][0]);
    EXPECT_EQ(AssistantText(MsgTooBright, 6), AssistantMessages[MsgTooBright][6]);
    for (std::int32_t language : {-1, 7, 100, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(AssistantText(MsgTooBright, language), AssistantMessages[MsgTooBright][kEnglish])
            << language;
    }
}

}  // namespace
}  // namespace qelto
