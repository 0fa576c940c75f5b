#include "tools/gauge_host/common/text.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace gauge_host {

namespace {

// The length of the UTF-8 character that starts text, or 0 when it does not start with
// one (a stray continuation byte, a cut sequence, an overlong or surrogate form).
std::size_t Utf8Length(std::string_view text) {
  const auto byte = [&](std::size_t index) { return static_cast<unsigned char>(text[index]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    low = lead == 0xE0 ? 0xA0 : 0x80;
    high = lead == 0xED ? 0x9F : 0xBF;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    low = lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xF4 ? 0x8F : 0xBF;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) {
    return 0;
  }
  for (std::size_t index = 2; index < length; ++index) {
    if (byte(index) < 0x80 || byte(index) > 0xBF) {
      return 0;
    }
  }
  return length;
}

}  // namespace

std::string Shown(std::string_view text, std::size_t limit) {
  std::string shown;
  std::size_t characters = 0;
  for (std::size_t index = 0; index < text.size(); ++characters) {
    if (characters == limit) {
      return shown + "…";
    }
    const auto byte = static_cast<unsigned char>(text[index]);
    if (byte >= 0x20 && byte < 0x7F) {
      shown += text[index++];
    } else if (const std::size_t length = byte >= 0x80 ? Utf8Length(text.substr(index)) : 0; length != 0) {
      shown += text.substr(index, length);
      index += length;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      shown += escaped;
      ++index;
    }
  }
  return shown;
}

std::string Counted(std::uint64_t count, std::string_view noun) {
  return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsSpace(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

namespace {

char LowerLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(), LowerLetter);
  return lowered;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char a, char b) { return LowerLetter(a) == LowerLetter(b); });
}

std::string Together(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t index = 0; index < items.size(); ++index) {
    text += (index == 0 ? "" : index + 1 == items.size() ? " and " : ", ") + items[index];
  }
  return text;
}

std::string SameFileKey(std::string_view path) {
  const bool rooted = !path.empty() && (path[0] == '/' || path[0] == '\\');
  std::vector<std::string> segments;
  while (!path.empty()) {
    const std::size_t end = std::min(path.find_first_of("/\\"), path.size());
    const std::string segment = Lowered(path.substr(0, end));
    path.remove_prefix(std::min(end + 1, path.size()));
    if (segment == ".." && !segments.empty() && segments.back() != "..") {
      segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
  }
  std::string key = rooted ? "/" : "";
  for (const std::string& segment : segments) {
    key += (key.empty() || key == "/" ? "" : "/") + segment;
  }
  return key;
}

std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> previous(b.size() + 1);
  std::vector<std::size_t> current(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) {
    previous[j] = j;
  }
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t substitution = previous[j - 1] + (LowerLetter(a[i - 1]) == LowerLetter(b[j - 1]) ? 0 : 1);
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, substitution});
    }
    std::swap(previous, current);
  }
  return previous[b.size()];
}

std::string Closest(std::string_view word, const std::vector<std::string>& candidates) {
  std::string best;
  std::size_t best_distance = std::numeric_limits<std::size_t>::max();
  for (const std::string& candidate : candidates) {
    const std::size_t distance = EditDistance(word, candidate);
    if (distance < best_distance) {
      best = candidate;
      best_distance = distance;
    }
  }
  return best;
}

}  // namespace gauge_host
