// Qelto's own texts: what this program says beyond the sensor's and the files' fixed texts
// (questions, messages, the link line). They are written in English where they are defined,
// at namespace scope in `qelto` and marked with Tr, or with TrN where a count goes in as %n;
// the window shows them in the operator's language through OperatorInterface::Translate, and
// the translators' tools (lupdate) find them by these two names. The fixed texts (the help
// texts, the status and error texts the sensor's users know, the multilingual questions of their
// own tables) are never marked: they read the same in every language.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace qelto {

constexpr const char* Tr(const char* english) {
    return english;
}
constexpr const char* TrN(const char* english) {
    return english;
}

// The pattern with %1..%9 replaced by the arguments in order (after translation, the order of
// the words is the language's); a % before anything else stays.
std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> args);

// A pattern's %n replaced by n: what an untranslated text shows.
std::string WithCount(std::string_view pattern, long n);

}  // namespace qelto
