// Everything the teach assistant tells the operator, in the seven languages of the
// LanguageSelector. Texts are UTF-8; line breaks are part of the texts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "app/operation_state.hpp"

namespace qelto {

// Rows of AssistantMessages.
enum AssistantMsg : std::size_t {
    MsgParamCancelled,
    MsgTeachCancelled,
    MsgHowManyColors,
    MsgValueOutOfRange,
    MsgDefaultLoaded,
    MsgDirectOutput,
    MsgPlaceBrightest,
    MsgDefaultsFirst,
    MsgPlaceColor,
    MsgTooBright,
    MsgSavedToEeprom,
    kAssistantMsgCount
};

// Row by AssistantMsg, column by Language.
extern const std::array<MultiText, kAssistantMsgCount> AssistantMessages;

// The row's text in `language`; English for a language outside the table.
inline const char* AssistantText(AssistantMsg row, std::int32_t language) {
    return Localized(AssistantMessages[row], language);
}

}  // namespace qelto
