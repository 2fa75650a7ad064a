// The local time of day as text, for what the operator reads (file names, "lost at").
#pragma once

#include <chrono>
#include <ctime>
#include <string>

namespace qelto {

// `when` (now when left out), formatted by strftime's `format`.
inline std::string LocalTimeText(const char* format, std::chrono::system_clock::time_point when =
                                                         std::chrono::system_clock::now()) {
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    char text[64];
    const std::size_t n = std::strftime(text, sizeof text, format, &local);
    return std::string(text, n);
}

}  // namespace qelto
