// Texts of the designer's input as they go into messages: every byte that is not
// printable shown escaped, long names cut, and counts with their nouns.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace gauge_host {

// The longest name or value a message repeats whole, in characters.
constexpr std::size_t kShownCharacters = 60;

// The text as given, UTF-8 characters kept; control characters and bytes that are not
// UTF-8 are written \xNN; past `limit` characters it is cut and ends with "…".
std::string Shown(std::string_view text, std::size_t limit = kShownCharacters);

// "1 frame", "2 frames": the count and the noun, the plural made with "s".
std::string Counted(std::uint64_t count, std::string_view noun);

}  // namespace gauge_host
