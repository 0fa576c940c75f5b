#include "standin/shared/key_message_text.h"

#include <cstdio>

namespace standin {

namespace {

std::string Hex(std::uint64_t value, int digits) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%0*llX", digits, static_cast<unsigned long long>(value));
  return text;
}

std::string MessageName(UINT message) {
  switch (message) {
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_CHAR: return "WM_CHAR";
    default: return "message " + Hex(message, 4);
  }
}

}  // namespace

std::string KeyMessageText(UINT message, std::uint64_t wparam, std::uint32_t lparam) {
  return MessageName(message) + " " + Hex(wparam, 2) + " " + Hex(lparam, 8);
}

}  // namespace standin
