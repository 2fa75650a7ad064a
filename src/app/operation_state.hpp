// Program-wide operation state and the three ways every operation gives feedback: the failure
// report, the command lock and the right-click help.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "app/operator_interface.hpp"

namespace qelto {

struct Context;

inline constexpr std::uint16_t kTargetEeprom = 2;
inline constexpr std::uint16_t kTargetFile = 3;

inline constexpr int kLanguageCount = 7;  // 0 German, 1 English, 2 French, 3 Spanish,
                                          // 4 Portuguese, 5 Italian, 6 Polish
inline constexpr int kEnglish = 1;
// The column a message table may use for `language`; English for anything out of range.
inline int LanguageColumn(std::int32_t language) {
    return language >= 0 && language < kLanguageCount ? language : kEnglish;
}

inline constexpr std::size_t kErrorMessageSize = 256;

// How an operation ended. What the operator saw is the same either way; callers that must
// act on the end (qelto-cli's exit codes) read this instead of the popups.
enum class Outcome {
    Done,      // it did what it was asked
    Failed,    // a failure was reported (link, sensor, file)
    Declined,  // the operator said no or chose nothing
    Quit,      // the program is quitting
};

struct OperationState {
    std::int16_t CommunicationOk = 0;
    std::int16_t DataTransferActive = 0;
    std::int16_t SendRequest = 0;
    std::int16_t GetRequest = 0;
    std::uint16_t TransferTarget = kTargetEeprom;
    std::int32_t Language = 0;
    std::array<char, kErrorMessageSize> ErrorMessage{};
};

inline constexpr const char* kStatusTimeout = "TIMEOUT!";
inline constexpr const char* kHelpTitle = "INFO!";

// Copies text into ErrorMessage (cut to fit).
void SetErrorMessage(Context& ctx, std::string_view text);
// Formats "%s%d%s" into ErrorMessage.
void FormatErrorMessage(Context& ctx, std::string_view head, long number, std::string_view tail);
std::string_view ErrorMessageText(const Context& ctx);

void SetTimeout(Context& ctx);
void SetButtonsDimmed(Context& ctx, int mode, int dimmed);
void HelpPopup(Context& ctx, std::string_view helpText);
// Done when the sensor answered, Quit when the program is quitting, Failed otherwise.
Outcome LinkOutcome(Context& ctx);
// ErrorMessage := text, then SetTimeout.
void ReportFailure(Context& ctx, std::string_view text);

}  // namespace qelto

namespace qelto {

// A message in the seven languages, indexed by Language.
using MultiText = std::array<const char*, kLanguageCount>;
inline const char* Localized(const MultiText& texts, std::int32_t language) {
    return texts[static_cast<std::size_t>(LanguageColumn(language))];
}

}  // namespace qelto
