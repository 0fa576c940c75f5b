// The built Tvl_LvarSupport.gau as a host drives it, through the callback its gauge header
// names: the whole bridge with the stand-in add-on and a real "FS98MAIN" window; and what
// the file holds besides its records (exports, bitmap, version). Every test here runs in
// both Windows builds; the records read word by word are checked in gau_records_test.cpp.

#include <cstring>

#include "tests/support/chord_messages.h"
#include "tests/support/commands.h"
#include "tests/windows/gau_fixture.h"

namespace {

TEST_F(GauTest, ExportsByNameAndOrdinal) {
  EXPECT_EQ(GetProcAddress(module_, MAKEINTRESOURCEA(1)), reinterpret_cast<FARPROC>(import_table_));
  EXPECT_EQ(GetProcAddress(module_, MAKEINTRESOURCEA(2)), reinterpret_cast<FARPROC>(linkage_));
  EXPECT_EQ(GetProcAddress(module_, MAKEINTRESOURCEA(3)), nullptr);
  EXPECT_EQ(GetProcAddress(module_, "GaugeCallback"), nullptr);
}

TEST_F(GauTest, OtherServiceCodesDoNothing) {
  HandOverServiceTable();
  for (std::int32_t code : {0, 1, 9, 11, -1}) {
    CallGauge(code);
  }
  EXPECT_TRUE(standin::panel.calculator_calls.empty());
}

// The whole bridge: the add-on loaded before the first frame, and a chord to the window.
TEST_F(GauTest, BridgeWithTheAddonLoadedFirst) {
  HandOverServiceTable();
  HMODULE addon = LoadAddon();
  ASSERT_NE(addon, nullptr);
  AddonRecord* record = RecordOf(addon);
  record->seatbelt_sign = 1;
  window_ = standin::CreateMainWindow(true);
  ASSERT_NE(window_.handle, nullptr) << window_.problem;

  standin::panel.variables["Tvl_CallMayday"] = 1;
  RunFrame();
  EXPECT_EQ(standin::panel.variables["Tvl_SeatbeltSign"], 1) << "the add-on's sign is not on the panel";
  ASSERT_EQ(standin::received_messages.size(), 3u);
  EXPECT_EQ(standin::received_messages[0].wparam, static_cast<std::uint32_t>('M'));

  standin::panel.variables["Tvl_SeatbeltSign"] = 0;
  RunFrame();
  EXPECT_EQ(record->seatbelt_sign, 0) << "the panel's change did not reach the add-on";
  FreeLibrary(addon);
}

// The module as the library loads it: every command variable already 1 before the first
// frame sends every chord on that frame, in table order, and none on the next.
TEST_F(GauTest, FreshModuleSendsEveryCommandAlreadySet) {
  HandOverServiceTable();
  window_ = standin::CreateMainWindow(true);
  ASSERT_NE(window_.handle, nullptr) << window_.problem;
  std::vector<standin::ReceivedMessage> chords;
  for (const Command& command : kCommands) {
    standin::panel.variables[command.variable] = 1;
    const std::vector<standin::ReceivedMessage> chord =
        CharacterLowBytes(ChordMessages<standin::ReceivedMessage>(command.key, command.scan_code, true));
    chords.insert(chords.end(), chord.begin(), chord.end());
  }
  RunFrame();
  EXPECT_EQ(CharacterLowBytes(standin::received_messages), chords);
  standin::received_messages.clear();
  RunFrame();
  EXPECT_EQ(standin::received_messages, std::vector<standin::ReceivedMessage>{});
}

// Found late: searched for while absent and while its export holds null.
TEST_F(GauTest, BridgeWithTheAddonLoadedLate) {
  HandOverServiceTable();
  standin::panel.variables["Tvl_SeatbeltSign"] = 1;
  RunFrame();
  RunFrame();

  HMODULE addon = LoadAddon();
  ASSERT_NE(addon, nullptr);
  AddonRecord** tvl_export = reinterpret_cast<AddonRecord**>(GetProcAddress(addon, "TvlExport"));
  AddonRecord* record = RecordOf(addon);
  *tvl_export = nullptr;
  record->seatbelt_sign = 0;
  RunFrame();
  EXPECT_EQ(standin::panel.variables["Tvl_SeatbeltSign"], 1) << "a null export was taken for a record";
  EXPECT_TRUE(standin::held_pins.empty()) << "the add-on was pinned before its record was found";

  *tvl_export = record;
  RunFrame();
  // Compared against the 1 tracked on the frame before: unchanged, so the add-on wins.
  EXPECT_EQ(standin::panel.variables["Tvl_SeatbeltSign"], 0);
  EXPECT_EQ(record->seatbelt_sign, 0);
  FreeLibrary(addon);
}

// Freed by the host once the module has found it, the add-on stays mapped (the module
// pinned it) and the bridge goes on working on its record.
TEST_F(GauTest, AddonFreedAfterFoundStaysMapped) {
  HandOverServiceTable();
  HMODULE addon = LoadAddon();
  ASSERT_NE(addon, nullptr);
  AddonRecord* record = RecordOf(addon);
  RunFrame();
  EXPECT_EQ(standin::held_pins, std::vector<HMODULE>{addon}) << "the module did not pin the add-on once";
  ASSERT_TRUE(FreeLibrary(addon));
  ASSERT_EQ(GetModuleHandleA("Travinel"), addon) << "the add-on was unmapped under the module";

  record->seatbelt_sign = 1;
  RunFrame();
  EXPECT_EQ(standin::panel.variables["Tvl_SeatbeltSign"], 1);
  standin::panel.variables["Tvl_SeatbeltSign"] = 0;
  RunFrame();
  EXPECT_EQ(record->seatbelt_sign, 0);
}

TEST_F(GauTest, BitmapIsOneBlackPixel) {
  HRSRC found = FindResourceExA(module_, MAKEINTRESOURCEA(2) /* RT_BITMAP */, MAKEINTRESOURCEA(4096),
                                MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  ASSERT_NE(found, nullptr);
  const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module_, found)));
  ASSERT_NE(data, nullptr);
  ASSERT_EQ(SizeofResource(module_, found), sizeof(BITMAPINFOHEADER) + 256 * 4 + 4);
  BITMAPINFOHEADER info;
  std::memcpy(&info, data, sizeof info);
  EXPECT_EQ(info.biSize, sizeof(BITMAPINFOHEADER));
  EXPECT_EQ(info.biWidth, 1);
  EXPECT_EQ(info.biHeight, 1);
  EXPECT_EQ(info.biPlanes, 1);
  EXPECT_EQ(info.biBitCount, 8);
  EXPECT_EQ(info.biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(info.biXPelsPerMeter, 3780);
  EXPECT_EQ(info.biYPelsPerMeter, 3780);
  EXPECT_TRUE(info.biClrUsed == 256 || info.biClrUsed == 0) << "a palette of 256 entries";
  const BYTE* palette = data + sizeof info;
  EXPECT_EQ(palette[0] | palette[1] | palette[2], 0) << "palette entry 0 is not black";
  const BYTE* row = palette + 256 * 4;
  EXPECT_EQ(row[0] | row[1] | row[2] | row[3], 0);
}

// One block of the version resource: its key, its value, its children.
struct VersionBlock {
  std::wstring key;
  const BYTE* value;
  std::size_t value_length;
  std::vector<VersionBlock> children;
};

std::size_t Aligned(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

VersionBlock ParseBlock(const BYTE* data) {
  WORD length, value_length, type;
  std::memcpy(&length, data, 2);
  std::memcpy(&value_length, data + 2, 2);
  std::memcpy(&type, data + 4, 2);
  VersionBlock block;
  std::size_t offset = 6;
  for (wchar_t c; std::memcpy(&c, data + offset, 2), offset += 2, c != 0;) {
    block.key += c;
  }
  offset = Aligned(offset);
  block.value = data + offset;
  block.value_length = type == 1 ? value_length * 2u : value_length;  // text values count characters
  offset = Aligned(offset + block.value_length);
  while (offset < length) {
    VersionBlock child = ParseBlock(data + offset);
    WORD child_length;
    std::memcpy(&child_length, data + offset, 2);
    block.children.push_back(std::move(child));
    offset = Aligned(offset + child_length);
  }
  return block;
}

TEST_F(GauTest, VersionRecord) {
  char path[MAX_PATH];
  ASSERT_NE(GetModuleFileNameA(module_, path, MAX_PATH), 0u);
  const DWORD size = GetFileVersionInfoSizeA(path, nullptr);
  ASSERT_NE(size, 0u);
  std::vector<BYTE> data(size);
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, data.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
  EXPECT_EQ(fixed->dwFileFlags, 0u);
  EXPECT_EQ(fixed->dwFileOS, 0x00010004u);
  EXPECT_EQ(fixed->dwFileType, 1u);
  EXPECT_EQ(fixed->dwFileSubtype, 0u);
  EXPECT_EQ(fixed->dwFileDateMS, 0u);
  EXPECT_EQ(fixed->dwFileDateLS, 0u);

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 0x04B0);

  const std::pair<const char*, const char*> strings[] = {
      {"FileDescription", "Travinel Lvar support"}, {"FileVersion", "1.0.0"},
      {"ProductName", "Tvl_LvarSupport"}, {"ProductVersion", "1.0.0"}};
  for (const auto& [key, expected] : strings) {
    char* value = nullptr;
    std::string query = "\\StringFileInfo\\040904b0\\";
    query += key;
    ASSERT_TRUE(VerQueryValueA(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << key;
    EXPECT_STREQ(value, expected) << key;
  }

  // The raw resource: one string block, with exactly six strings in this order.
  HRSRC found = FindResourceExA(module_, MAKEINTRESOURCEA(16) /* RT_VERSION */, MAKEINTRESOURCEA(1),
                                MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  ASSERT_NE(found, nullptr);
  const VersionBlock root = ParseBlock(static_cast<const BYTE*>(LockResource(LoadResource(module_, found))));
  EXPECT_EQ(root.key, L"VS_VERSION_INFO");
  const VersionBlock* string_info = nullptr;
  for (const VersionBlock& child : root.children) {
    if (child.key == L"StringFileInfo") {
      string_info = &child;
    }
  }
  ASSERT_NE(string_info, nullptr);
  ASSERT_EQ(string_info->children.size(), 1u);
  EXPECT_EQ(string_info->children[0].key, L"040904b0");
  std::vector<std::wstring> keys;
  for (const VersionBlock& value : string_info->children[0].children) {
    keys.push_back(value.key);
  }
  const std::vector<std::wstring> expected_keys = {L"CompanyName", L"FileDescription", L"FileVersion",
                                                   L"LegalCopyright", L"ProductName", L"ProductVersion"};
  EXPECT_EQ(keys, expected_keys);
}

}  // namespace
