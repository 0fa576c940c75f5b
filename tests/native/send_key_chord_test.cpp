// SendKeyChord seen from the window and keyboard functions: the calls in order, the
// messages the main window handles with the key state it sees, and the state left behind.

#include <gtest/gtest.h>

#include <algorithm>

#include "keys/send_key_chord.h"
#include "standin/native/win32_input.h"
#include "tests/support/chord_messages.h"

namespace {

using standin::DeliveredMessage;
using standin::KeyboardState;

constexpr DWORD kHostThread = 1;
constexpr DWORD kWindowThread = 2;

// Fills the stack below this frame with a pattern, so that uninitialised locals of the
// next call are not zero by luck.
__attribute__((noinline)) void DirtyStack() {
  volatile BYTE junk[8192];
  for (BYTE& byte : const_cast<BYTE(&)[8192]>(junk)) {
    byte = 0xA5;
  }
}

KeyboardState WithKeys(std::initializer_list<std::pair<int, BYTE>> keys) {
  KeyboardState state{};
  for (const auto& [key, value] : keys) {
    state[static_cast<std::size_t>(key)] = value;
  }
  return state;
}

class SendKeyChordTest : public ::testing::Test {
 protected:
  void SetUp() override { standin::ResetInput(); }
};

TEST_F(SendKeyChordTest, ChordForMOnAnotherThread) {
  standin::CreateStandinWindow("FS98MAIN", kWindowThread);
  SendKeyChord(0x4D, 0x32);

  const std::vector<std::string> calls = {
      "FindWindowA(FS98MAIN)",
      "GetWindowThreadProcessId(FS98MAIN)",
      "GetCurrentThreadId()",
      "AttachThreadInput(1, 2, TRUE)",
      "GetKeyboardState()",
      "SetKeyboardState()",
      "SendMessageA(WM_KEYDOWN 0x4D 0x00320001)",
      "SendMessageA(WM_CHAR 0x0D 0xE0320001)",
      "SendMessageA(WM_KEYUP 0x4D 0xC0320001)",
      "SetKeyboardState()",
      "AttachThreadInput(1, 2, FALSE)",
  };
  EXPECT_EQ(standin::input.calls, calls);
  // Ctrl and Shift are held, as the window's own thread sees them, during each message.
  const std::vector<DeliveredMessage> messages = {
      {WM_KEYDOWN, 0x4D, 0x00320001, 0x80, 0x80},
      {WM_CHAR, 0x0D, 0xE0320001, 0x80, 0x80},
      {WM_KEYUP, 0x4D, 0xC0320001, 0x80, 0x80},
  };
  EXPECT_EQ(standin::input.messages, messages);
  EXPECT_EQ(standin::ThreadKeyboard(kWindowThread), KeyboardState{});
  EXPECT_EQ(standin::ThreadKeyboard(kHostThread), KeyboardState{});
  EXPECT_TRUE(standin::input.attached_to.empty());
}

// The character message carries the key less 0x40, taken as a 32-bit value.
TEST_F(SendKeyChordTest, CharacterOfEachKind) {
  struct Key {
    std::uint32_t virtual_key, scan_code;
    std::uint64_t character;
  };
  for (const Key& key : {Key{0x41, 0x1E, 0x01}, Key{0x5A, 0x2C, 0x1A}, Key{0x31, 0x02, 0xFFFFFFF1},
                         Key{0x32, 0x03, 0xFFFFFFF2}, Key{0x33, 0x04, 0xFFFFFFF3}}) {
    SCOPED_TRACE(key.virtual_key);
    standin::ResetInput();
    standin::CreateStandinWindow("FS98MAIN", kWindowThread);
    SendKeyChord(key.virtual_key, key.scan_code);
    EXPECT_EQ(standin::input.messages, ChordMessages<DeliveredMessage>(key.virtual_key, key.scan_code, BYTE{0x80}));
    ASSERT_EQ(standin::input.messages.size(), 3u);
    EXPECT_EQ(standin::input.messages[1].wparam, key.character);
  }
}

TEST_F(SendKeyChordTest, NoMainWindowDoesNothingAfterTheLookUp) {
  standin::CreateStandinWindow("OtherClass", kWindowThread);
  HWND gone = standin::CreateStandinWindow("FS98MAIN", kWindowThread);
  standin::DestroyStandinWindow(gone);
  standin::ThreadKeyboard(kHostThread) = WithKeys({{VK_SHIFT, 0x81}});
  SendKeyChord(0x4D, 0x32);
  EXPECT_EQ(standin::input.calls, std::vector<std::string>{"FindWindowA(FS98MAIN)"});
  EXPECT_TRUE(standin::input.messages.empty());
  EXPECT_EQ(standin::ThreadKeyboard(kHostThread), WithKeys({{VK_SHIFT, 0x81}}));
}

// Keys the user holds: Ctrl's and Shift's other bits stay, the high bit is added for the
// chord, and the user's whole state is back afterwards.
TEST_F(SendKeyChordTest, UserHeldModifiersKeepTheirBitsAndComeBack) {
  const KeyboardState user = WithKeys({{VK_SHIFT, 0x80}, {VK_CONTROL, 0x01}, {0xA0, 0x80}, {'Q', 0x81}});
  for (DWORD window_thread : {kWindowThread, kHostThread}) {
    SCOPED_TRACE(window_thread == kHostThread ? "window on the calling thread" : "window on another thread");
    standin::ResetInput();
    standin::CreateStandinWindow("FS98MAIN", window_thread);
    standin::ThreadKeyboard(window_thread) = user;
    SendKeyChord(0x54, 0x14);
    ASSERT_EQ(standin::input.installed.size(), 2u);
    KeyboardState chord = user;
    chord[VK_SHIFT] = 0x80;
    chord[VK_CONTROL] = 0x81;
    EXPECT_EQ(standin::input.installed[0], chord) << "only the Ctrl and Shift high bits are added";
    for (const DeliveredMessage& message : standin::input.messages) {
      EXPECT_EQ(message.control, 0x81);
      EXPECT_EQ(message.shift, 0x80);
    }
    EXPECT_EQ(standin::input.installed[1], user);
    EXPECT_EQ(standin::ThreadKeyboard(window_thread), user);
  }
}

// Whatever the window does to the keys while it handles the chord is undone.
TEST_F(SendKeyChordTest, WholeStateIsPutBackAfterTheHandlerChangedIt) {
  standin::CreateStandinWindow("FS98MAIN", kWindowThread,
                               [](UINT message, WPARAM, LPARAM, KeyboardState& keys) {
                                 if (message == WM_KEYDOWN) {
                                   keys['M'] = 0x80;
                                   keys[0x12] = 0x81;  // Alt
                                   keys[VK_SHIFT] = 0;
                                 }
                               });
  const KeyboardState user = WithKeys({{'Z', 0x01}});
  standin::ThreadKeyboard(kWindowThread) = user;
  SendKeyChord(0x4D, 0x32);
  EXPECT_EQ(standin::input.messages[1].shift, 0) << "the handler's change is seen while it lasts";
  EXPECT_EQ(standin::ThreadKeyboard(kWindowThread), user);
}

// On the window's own thread the same steps run: attach and detach with both ids the
// same, both refused, results ignored.
TEST_F(SendKeyChordTest, WindowOnTheCallingThread) {
  standin::CreateStandinWindow("FS98MAIN", kHostThread);
  SendKeyChord(0x4D, 0x32);
  ASSERT_EQ(standin::input.calls.size(), 11u);
  EXPECT_EQ(standin::input.calls[3], "AttachThreadInput(1, 1, TRUE)");
  EXPECT_EQ(standin::input.calls[10], "AttachThreadInput(1, 1, FALSE)");
  ASSERT_EQ(standin::input.messages.size(), 3u);
  EXPECT_EQ(standin::input.messages[0].control, 0x80);
  EXPECT_EQ(standin::input.messages[2].shift, 0x80);
  EXPECT_EQ(standin::ThreadKeyboard(kHostThread), KeyboardState{});
}

// A failed attach or state read changes nothing of the sequence; the copies start zeroed,
// so what gets installed is Ctrl and Shift alone, then nothing held.
TEST_F(SendKeyChordTest, FailuresDoNotStopTheSequence) {
  struct Failure {
    const char* name;
    bool attach, get_state;
  };
  for (const Failure& failure : {Failure{"attach", true, false}, Failure{"state read", false, true},
                                 Failure{"both", true, true}}) {
    SCOPED_TRACE(failure.name);
    standin::ResetInput();
    standin::CreateStandinWindow("FS98MAIN", kWindowThread);
    standin::input.fail_attach = failure.attach;
    standin::input.fail_get_state = failure.get_state;
    if (failure.get_state) {
      standin::ThreadKeyboard(kWindowThread) = WithKeys({{'X', 0x80}});
    }
    DirtyStack();
    SendKeyChord(0x4D, 0x32);
    ASSERT_EQ(standin::input.calls.size(), 11u);
    EXPECT_EQ(standin::input.calls.back(), "AttachThreadInput(1, 2, FALSE)");
    EXPECT_EQ(standin::input.messages.size(), 3u);
    if (failure.get_state) {
      ASSERT_EQ(standin::input.installed.size(), 2u);
      EXPECT_EQ(standin::input.installed[0], WithKeys({{VK_CONTROL, 0x80}, {VK_SHIFT, 0x80}}));
      EXPECT_EQ(standin::input.installed[1], KeyboardState{});
    }
  }
}

TEST_F(SendKeyChordTest, FailedStateWritesStillSendAndDetach) {
  standin::CreateStandinWindow("FS98MAIN", kWindowThread);
  standin::input.fail_set_state = true;
  SendKeyChord(0x4D, 0x32);
  EXPECT_EQ(standin::input.calls.size(), 11u);
  EXPECT_EQ(standin::input.messages.size(), 3u);
  EXPECT_TRUE(standin::input.attached_to.empty());
}

}  // namespace
