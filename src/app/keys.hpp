// The shortcut keys of the window's commands, and their names as labels show them.
#pragma once

namespace qelto {

enum class Key { None, F9, F10, F11, F12 };

// Send and Get: their labels name them too.
inline constexpr Key kSendKey = Key::F9;
inline constexpr Key kGetKey = Key::F10;

// "F9", as a label shows the key ("" for none).
constexpr const char* KeyName(Key key) {
    switch (key) {
        case Key::F9:
            return "F9";
        case Key::F10:
            return "F10";
        case Key::F11:
            return "F11";
        case Key::F12:
            return "F12";
        case Key::None:
            break;
    }
    return "";
}

}  // namespace qelto
