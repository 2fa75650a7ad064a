// Overlay files: a configuration kept as only the values that differ from a base (the
// defaults, usually), in the sections and keys of the parameter file. A golden configuration
// kept so is a few lines that a person reviews and a version-control system compares.
#pragma once

#include <cstddef>
#include <string>

#include "files/parameter_file.hpp"
#include "protocol/records.hpp"

namespace qelto {

// Why an item of an overlay was refused; the reason starts with its line and its key.
inline constexpr std::string_view kOverlayNoSuchKey = "no such key";
inline constexpr std::string_view kOverlayNotAValue = "is not a whole number from 0 to 65535";
inline constexpr std::string_view kOverlayRepeated = "given before, on line ";

// Writes the values of `config` that differ from `base` (the parameters, then teach rows
// 0..teachRows-1), replacing the file as the store does. An overlay of a configuration equal
// to its base is an empty file. The store's result (negative: not written, the old file stays).
// `systemError`: as Ini_WriteToFile gives it.
int WriteOverlayFile(const std::string& path, const Configuration& config,
                     const Configuration& base, std::size_t teachRows, int* systemError = nullptr);

// Puts the overlay's values over `into`, which holds the base. Every item must name a value
// of the configuration (teach rows 0..teachRows-1) once, with a whole number from 0 to 65535:
// otherwise the problem names the line and the key, and `into` is left as it was. A GENERAL
// INFO section is passed over, so that a whole parameter file reads as an overlay too.
ReadProblem ReadOverlayFile(const std::string& path, Configuration& into, std::size_t teachRows);

}  // namespace qelto
