// The local time of day as text, for what the operator reads (file names, "lost at").
#pragma once

#include <chrono>
#include <ctime>
#include <string>

namespace qelto {

// Now, formatted by strftime's `format`.
inline std::string LocalTimeText(const char* format) {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[64];
    const std::size_t n = std::strftime(text, sizeof text, format, &local);
    return std::string(text, n);
}

}  // namespace qelto
