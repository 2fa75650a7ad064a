// The colour-space graphs, the strip chart and the live displays.
#pragma once

#include <array>
#include <cstdint>

namespace qelto {

struct Context;

inline constexpr std::array<std::uint32_t, 15> kTeachColorPalette{
    0xFF0000, 0x80FF00, 0x0000FF, 0x000000, 0xFF80C0, 0xFFFF00, 0x808000, 0x800080,
    0x80FFFF, 0xFF0080, 0x400080, 0xFF00FF, 0x008000, 0x408080, 0x800000};

void InitGraphs(Context& ctx);
void ShowGraph3D(Context& ctx);

}  // namespace qelto
