// SendKeyChord against the real window and keyboard functions, with a real "FS98MAIN"
// window on the calling thread and on a thread of its own.

#include <gtest/gtest.h>

#include <array>

#include "keys/send_key_chord.h"
#include "standin/windows/main_window.h"
#include "tests/support/chord_messages.h"

namespace {

using standin::ReceivedMessage;

using Keys = std::array<BYTE, 256>;

Keys ReadKeys() {
  Keys keys{};
  EXPECT_TRUE(GetKeyboardState(keys.data()));
  return keys;
}

// The chord's three messages, each handled with Ctrl and Shift held.
void ExpectChord(std::uint32_t key, std::uint32_t scan_code) {
  EXPECT_EQ(standin::received_messages, ChordMessages<ReceivedMessage>(key, scan_code, true));
}

class SendKeyChordWin32Test : public ::testing::Test {
 protected:
  void SetUp() override { standin::received_messages.clear(); }
  void TearDown() override { standin::DestroyMainWindow(window_); }
  standin::MainWindow window_;
};

TEST_F(SendKeyChordWin32Test, WindowOnTheCallingThread) {
  window_ = standin::CreateMainWindow(false);
  ASSERT_NE(window_.handle, nullptr) << window_.problem;
  const Keys before = ReadKeys();
  SendKeyChord(0x4D, 0x32);
  ExpectChord(0x4D, 0x32);
  EXPECT_EQ(ReadKeys(), before);
}

// On its own thread the window sees the whole 32-bit character value.
TEST_F(SendKeyChordWin32Test, DigitKeyOnTheCallingThread) {
  window_ = standin::CreateMainWindow(false);
  ASSERT_NE(window_.handle, nullptr) << window_.problem;
  SendKeyChord(0x33, 0x04);
  ExpectChord(0x33, 0x04);
  EXPECT_EQ(standin::received_messages.at(1).wparam, 0xFFFFFFF3u);
}

// A Shift the user already holds stays held afterwards, with the rest of the state.
TEST_F(SendKeyChordWin32Test, UserHeldShiftComesBack) {
  window_ = standin::CreateMainWindow(false);
  ASSERT_NE(window_.handle, nullptr) << window_.problem;
  Keys user{};
  user[VK_SHIFT] = 0x80;
  user['Q'] = 0x01;
  ASSERT_TRUE(SetKeyboardState(user.data()));
  const Keys before = ReadKeys();
  ASSERT_NE(before[VK_SHIFT] & 0x80, 0);
  SendKeyChord(0x54, 0x14);
  ExpectChord(0x54, 0x14);
  EXPECT_EQ(ReadKeys(), before);
  EXPECT_NE(GetKeyState(VK_SHIFT) & 0x8000, 0);
  EXPECT_EQ(GetKeyState(VK_CONTROL) & 0x8000, 0);
}

TEST_F(SendKeyChordWin32Test, WindowOnAnotherThread) {
  window_ = standin::CreateMainWindow(true);
  ASSERT_NE(window_.handle, nullptr) << window_.problem;
  ASSERT_NE(window_.thread_id, GetCurrentThreadId());
  const Keys zero{};
  ASSERT_TRUE(SetKeyboardState(const_cast<BYTE*>(zero.data())));
  SendKeyChord(0x4D, 0x32);
  ExpectChord(0x4D, 0x32);
  EXPECT_EQ(ReadKeys(), zero);
}

// Sent to an ANSI window on another thread, the character arrives as its low byte.
TEST_F(SendKeyChordWin32Test, DigitKeyOnAnotherThread) {
  window_ = standin::CreateMainWindow(true);
  ASSERT_NE(window_.handle, nullptr) << window_.problem;
  SendKeyChord(0x31, 0x02);
  ASSERT_EQ(standin::received_messages.size(), 3u);
  EXPECT_EQ(standin::received_messages[0].wparam, 0x31u);
  EXPECT_EQ(standin::received_messages[1].wparam & 0xFF, 0xF1u);
  EXPECT_EQ(standin::received_messages[1].lparam, 0xE0020001u);
  EXPECT_TRUE(standin::received_messages[1].control_down);
  EXPECT_TRUE(standin::received_messages[1].shift_down);
}

TEST_F(SendKeyChordWin32Test, NoMainWindowDeliversNothing) {
  ASSERT_EQ(FindWindowA("FS98MAIN", nullptr), nullptr);
  Keys user{};
  user[VK_SHIFT] = 0x80;
  ASSERT_TRUE(SetKeyboardState(user.data()));
  const Keys before = ReadKeys();
  SendKeyChord(0x4D, 0x32);
  EXPECT_TRUE(standin::received_messages.empty());
  EXPECT_EQ(ReadKeys(), before);
}

}  // namespace
