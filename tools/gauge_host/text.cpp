#include "tools/gauge_host/text.h"

#include <cstdio>

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

}  // namespace gauge_host
