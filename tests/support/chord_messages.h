// The three messages by which the main window receives one Ctrl+Shift+key chord, built as
// the message record of the build that checks them, with Ctrl and Shift both held.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32.h"

template <typename Message, typename Held>
std::vector<Message> ChordMessages(std::uint32_t key, std::uint32_t scan_code, Held held) {
  const std::uint32_t scan_bits = scan_code << 16;
  return {Message{WM_KEYDOWN, key, scan_bits | 0x00000001u, held, held},
          // Ctrl+letter is the letter's control code, taken as a 32-bit value.
          Message{WM_CHAR, static_cast<std::uint32_t>(key - 0x40), scan_bits | 0xE0000001u, held, held},
          Message{WM_KEYUP, key, scan_bits | 0xC0000001u, held, held}};
}

// Sent to an ANSI window on another thread, a character message arrives as its low byte
// alone: messages with that byte kept, to compare such a window's messages with a chord's.
template <typename Message>
std::vector<Message> CharacterLowBytes(std::vector<Message> messages) {
  for (Message& message : messages) {
    if (message.message == WM_CHAR) {
      message.wparam &= 0xFF;
    }
  }
  return messages;
}
