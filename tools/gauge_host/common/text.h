// The host's text helpers, one of each: the designer's input as it goes into messages
// (every byte that is not printable shown escaped, long names cut), counts with their
// nouns, white space, letter case, and the nearest of a list of words.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gauge_host {

// The longest name or value a message repeats whole, in characters.
constexpr std::size_t kShownCharacters = 60;

// The text as given, UTF-8 characters kept; control characters and bytes that are not
// UTF-8 are written \xNN; past `limit` characters it is cut and ends with "…".
std::string Shown(std::string_view text, std::size_t limit = kShownCharacters);

// "1 frame", "2 frames": the count and the noun, the plural made with "s".
std::string Counted(std::uint64_t count, std::string_view noun);

bool IsDigit(char c);

// White space as the panel's files and the calculator take it: space, tab, line breaks.
bool IsSpace(char c);
std::string_view Trimmed(std::string_view text);

// Letter case of ASCII letters; the host's names are ASCII.
std::string Lowered(std::string_view text);
bool SameIgnoringCase(std::string_view a, std::string_view b);

// "a, b and c".
std::string Together(const std::vector<std::string>& items);

// A path as a key that is the same for every way of writing one file, as Windows reads
// paths: either separator, repeated ones, "." and ".." segments, and the case of ASCII
// letters make no difference ("./Gauges\X.xml" and "gauges/X.xml" give one key).
std::string SameFileKey(std::string_view path);

// The number of characters to add, remove or change to make one word the other, ignoring case.
std::size_t EditDistance(std::string_view a, std::string_view b);

// The candidate nearest to the word, by edit distance; the first of equals.
std::string Closest(std::string_view word, const std::vector<std::string>& candidates);

}  // namespace gauge_host
