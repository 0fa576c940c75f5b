#include "keys/send_key_chord.h"

#include <cstring>

#include "host/module_names.h"
#include "platform/win32.h"

namespace {

constexpr BYTE kKeyDown = 0x80;
// lParam bits besides the scan code: repeat count 1, and for the character message the
// context, previous-state and transition bits, for the key release the last two.
constexpr std::uint32_t kKeyDownBits = 0x00000001;
constexpr std::uint32_t kCharBits = 0xE0000001;
constexpr std::uint32_t kKeyUpBits = 0xC0000001;
// The character of Ctrl+letter is the letter's control code: 'M' (0x4D) gives 0x0D.
constexpr std::uint32_t kControlCharacterOffset = 0x40;

}  // namespace

void SendKeyChord(std::uint32_t virtual_key, std::uint32_t scan_code) {
  HWND window = FindWindowA(kMainWindowClass, nullptr);
  if (window == nullptr) {
    return;
  }
  const DWORD window_thread = GetWindowThreadProcessId(window, nullptr);
  const DWORD calling_thread = GetCurrentThreadId();
  // Joined to the window's thread, its input state is ours for the length of the call.
  AttachThreadInput(calling_thread, window_thread, TRUE);

  // Zeroed, so that a failed state read installs no stale stack bytes as held keys.
  BYTE keys[256] = {};
  BYTE saved_keys[256] = {};
  GetKeyboardState(keys);
  std::memcpy(saved_keys, keys, sizeof saved_keys);
  keys[VK_CONTROL] = static_cast<BYTE>(keys[VK_CONTROL] | kKeyDown);
  keys[VK_SHIFT] = static_cast<BYTE>(keys[VK_SHIFT] | kKeyDown);
  SetKeyboardState(keys);

  const std::uint32_t scan_bits = scan_code << 16;
  SendMessageA(window, WM_KEYDOWN, virtual_key, static_cast<LPARAM>(scan_bits | kKeyDownBits));
  SendMessageA(window, WM_CHAR, virtual_key - kControlCharacterOffset,
               static_cast<LPARAM>(scan_bits | kCharBits));
  SendMessageA(window, WM_KEYUP, virtual_key, static_cast<LPARAM>(scan_bits | kKeyUpBits));

  // The whole state as it was read, whatever the window did to it meanwhile.
  SetKeyboardState(saved_keys);
  AttachThreadInput(calling_thread, window_thread, FALSE);
}
