// A real, hidden window of class "FS98MAIN" under Windows (or Wine), on the calling
// thread or on a thread of its own running a message loop. Its window procedure records
// every keyboard message it handles, with Ctrl and Shift as GetKeyState shows them then.
#pragma once

#include <windows.h>

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace standin {

struct ReceivedMessage {
  UINT message;
  std::uint32_t wparam;
  std::uint32_t lparam;
  bool control_down;
  bool shift_down;
  bool operator==(const ReceivedMessage&) const = default;
};

// "WM_CHAR 0x0D 0xE0320001 Ctrl Shift", for a failed expectation.
void PrintTo(const ReceivedMessage& message, std::ostream* out);

struct MainWindow {
  HWND handle = nullptr;    // null when it could not be made, for the reason in problem
  HANDLE thread = nullptr;  // null when the window lives on the creating thread
  DWORD thread_id = 0;
  std::string problem;
};

// Filled by the window procedure; a sender reads it after SendMessage has returned.
extern std::vector<ReceivedMessage> received_messages;

// Made only as the one window that FindWindowA("FS98MAIN") finds: the desktop is shared
// by every program of one Wine server, and a window of that class left by another program
// would take the module's chords.
MainWindow CreateMainWindow(bool on_own_thread);
void DestroyMainWindow(MainWindow& window);

}  // namespace standin
