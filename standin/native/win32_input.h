// The native stand-in of the window and keyboard functions: windows found by class, each
// on a thread; per-thread keyboard states, shared while two threads' input is attached;
// messages delivered synchronously to a handler the test installs. Every call is logged
// in order, and a test can make the attach, the state read or the state write fail.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace standin {

using KeyboardState = std::array<BYTE, 256>;

// Runs on the window's thread, seeing that thread's keyboard state as it is at that moment;
// it may change it.
using MessageHandler = std::function<void(UINT message, WPARAM wparam, LPARAM lparam, KeyboardState& keys)>;

struct DeliveredMessage {
  UINT message;
  std::uint64_t wparam;
  std::uint32_t lparam;
  BYTE control;  // the window thread's VK_CONTROL and VK_SHIFT bytes during the message
  BYTE shift;
  bool operator==(const DeliveredMessage& other) const {
    return message == other.message && wparam == other.wparam && lparam == other.lparam &&
           control == other.control && shift == other.shift;
  }
};

struct StandinWindow {
  std::string class_name;
  DWORD thread;
  MessageHandler handler;
  bool destroyed = false;
};

struct Input {
  DWORD current_thread = 1;  // what GetCurrentThreadId answers
  std::vector<StandinWindow> windows;
  // Each thread's input state; attached threads hold the same one.
  std::map<DWORD, std::shared_ptr<KeyboardState>> keyboard;
  std::map<DWORD, DWORD> attached_to;  // attaching thread -> the thread it is attached to
  bool fail_attach = false;
  bool fail_get_state = false;
  bool fail_set_state = false;

  std::vector<std::string> calls;             // every call, in order
  std::vector<DeliveredMessage> messages;     // every message a window handled
  std::vector<KeyboardState> installed;       // every state SetKeyboardState installed
};

extern Input input;

HWND CreateStandinWindow(const std::string& class_name, DWORD thread, MessageHandler handler = {});
void DestroyStandinWindow(HWND window);

// The keyboard state a thread's input queue holds now (created empty on first use).
KeyboardState& ThreadKeyboard(DWORD thread);

// No windows, no attachments, every thread's keys up, nothing logged.
void ResetInput();

// "WM_CHAR 0x0D 0xE0320001 Ctrl 128 Shift 128", for a failed expectation.
void PrintTo(const DeliveredMessage& message, std::ostream* out);

}  // namespace standin
