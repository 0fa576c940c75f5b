// A stand-in host for the built Tvl_LvarSupport.gau: it loads the file with LoadLibraryA,
// finds the exports, hands over its service table, and reads every record by raw word
// offsets, the way the simulator does, without the module's own headers. It drives the
// gauge through the addresses it read, with the stand-in add-on "Travinel.dll" and a real
// "FS98MAIN" window.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "standin/win32/main_window.h"
#include "standin/shared/panel_system.h"
#include "tests/support/chord_messages.h"
#include "tests/support/commands.h"

namespace {

using Words = const std::uint32_t*;

Words At(std::uint32_t address) { return reinterpret_cast<Words>(static_cast<std::uintptr_t>(address)); }
std::uint32_t AddressOf(const void* pointer) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

using Routine = void(__stdcall*)();
using ArgumentRoutine = void(__stdcall*)(std::uint32_t);
using Callback = void(__stdcall*)(std::uint32_t, std::int32_t, std::uint32_t);

// The add-on's record as the add-on lays it out; the second word is the seat-belt sign.
struct AddonRecord {
  std::int32_t first_word;
  std::int32_t seatbelt_sign;
};

// The zero words of a record, all but those listed.
void ExpectZeroExcept(Words record, std::size_t words, std::vector<std::size_t> listed) {
  for (std::size_t index = 0; index < words; ++index) {
    if (std::find(listed.begin(), listed.end(), index * 4) == listed.end()) {
      EXPECT_EQ(record[index], 0u) << "word at offset 0x" << std::hex << index * 4;
    }
  }
}

class GauTest : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::ResetPanel();
    standin::received_messages.clear();
    module_ = LoadLibraryA("Tvl_LvarSupport.gau");
    ASSERT_NE(module_, nullptr) << "LoadLibraryA failed: " << GetLastError();
    import_table_ = reinterpret_cast<std::uint32_t*>(GetProcAddress(module_, "ImportTable"));
    linkage_ = reinterpret_cast<Words>(GetProcAddress(module_, "Linkage"));
    ASSERT_NE(import_table_, nullptr);
    ASSERT_NE(linkage_, nullptr);
    header_ = At(linkage_[0x18 / 4]);
    element_ = At(At(header_[0x08 / 4])[0]);
  }

  void TearDown() override {
    EXPECT_EQ(standin::panel.errors, std::vector<std::string>{});
    standin::DestroyMainWindow(window_);
    if (module_ != nullptr) {
      FreeLibrary(module_);
    }
  }

  // What the host does once it has loaded the module, before any call into it.
  void HandOverServiceTable() { import_table_[1] = AddressOf(&standin::panel_services); }

  void RunFrame() {
    reinterpret_cast<Callback>(header_[0x54 / 4])(AddressOf(header_), kFrameServiceCode, 0);
  }

  HMODULE module_ = nullptr;
  std::uint32_t* import_table_ = nullptr;
  Words linkage_ = nullptr;
  Words header_ = nullptr;
  Words element_ = nullptr;
  standin::MainWindow window_;
};

TEST_F(GauTest, ExportsByNameAndOrdinal) {
  EXPECT_EQ(GetProcAddress(module_, MAKEINTRESOURCEA(1)), reinterpret_cast<FARPROC>(import_table_));
  EXPECT_EQ(GetProcAddress(module_, MAKEINTRESOURCEA(2)), reinterpret_cast<FARPROC>(linkage_));
  EXPECT_EQ(GetProcAddress(module_, MAKEINTRESOURCEA(3)), nullptr);
  EXPECT_EQ(GetProcAddress(module_, "GaugeCallback"), nullptr);
}

TEST_F(GauTest, ImportTableWaitsForTheServiceTable) {
  const std::uint32_t expected[4] = {0x0000000F, 0, 0, 0};
  EXPECT_EQ(std::memcmp(import_table_, expected, sizeof expected), 0);
}

TEST_F(GauTest, LinkageRecord) {
  EXPECT_EQ(linkage_[0], 0x00000013u);
  EXPECT_NE(linkage_[1], 0u);
  EXPECT_NE(linkage_[2], 0u);
  EXPECT_EQ(linkage_[3], 0u);
  EXPECT_EQ(linkage_[4], 0u);
  EXPECT_EQ(linkage_[5], 0x00000900u);
  EXPECT_NE(linkage_[6], 0u);
  EXPECT_EQ(linkage_[7], 0u);
}

TEST_F(GauTest, GaugeHeaderOfSwitches) {
  EXPECT_EQ(header_[0], 800u);
  EXPECT_STREQ(reinterpret_cast<const char*>(At(header_[1])), "Switches");
  for (std::size_t routine = 0x0C / 4; routine <= 0x24 / 4; ++routine) {
    EXPECT_NE(header_[routine], 0u) << "routine at word " << routine;
  }
  EXPECT_EQ(header_[0x2C / 4], 100u);
  EXPECT_NE(header_[0x50 / 4], 0u);
  EXPECT_NE(header_[0x54 / 4], 0u);
  ExpectZeroExcept(header_, 52, {0x00, 0x04, 0x08, 0x0C, 0x10, 0x14, 0x18, 0x1C, 0x20, 0x24, 0x2C, 0x50, 0x54});
}

TEST_F(GauTest, ElementListAndElement) {
  Words list = At(header_[0x08 / 4]);
  EXPECT_NE(list[0], 0u);
  EXPECT_EQ(list[1], 0u);
  EXPECT_EQ(element_[0], 0u);
  EXPECT_EQ(element_[1], 0x1000u);
  EXPECT_EQ(element_[0x20 / 4], AddressOf(header_));
  EXPECT_EQ(element_[0x30 / 4], 1u);
  ExpectZeroExcept(element_, 24, {0x04, 0x20, 0x30});
}

TEST_F(GauTest, MouseRectanglesAreAnEmptyArea) {
  Words rectangles = At(header_[0x50 / 4]);
  const std::uint32_t kinds[3] = {1, 3, 0};
  for (std::size_t index = 0; index < 3; ++index) {
    SCOPED_TRACE(testing::Message() << "rectangle " << index);
    Words rectangle = rectangles + index * 11;
    EXPECT_EQ(rectangle[0], kinds[index]);
    EXPECT_EQ(rectangle[5], 0xFFFFFFFFu);
    ExpectZeroExcept(rectangle, 11, {0x00, 0x14});
  }
}

// The host writes into ImportTable, and may into the other records: all are writable.
TEST_F(GauTest, RecordsLieInWritableData) {
  const std::pair<const char*, const void*> records[] = {
      {"ImportTable", import_table_}, {"Linkage", linkage_},   {"gauge header", header_},
      {"element list", At(header_[0x08 / 4])}, {"element", element_}, {"mouse rectangles", At(header_[0x50 / 4])}};
  for (const auto& [name, record] : records) {
    MEMORY_BASIC_INFORMATION memory{};
    ASSERT_NE(VirtualQuery(record, &memory, sizeof memory), 0u);
    EXPECT_TRUE(memory.Protect == PAGE_READWRITE || memory.Protect == PAGE_WRITECOPY) << name;
  }
}

// Each routine, called through the header's address with the host's convention, hands
// the element to its own entry; install and generate pass their argument on unchanged.
TEST_F(GauTest, RoutinesHandTheElementToTheHost) {
  HandOverServiceTable();
  GaugeElement* element = reinterpret_cast<GaugeElement*>(const_cast<std::uint32_t*>(element_));
  const std::uint32_t arguments[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
  std::vector<standin::ElementCall> expected;
  for (std::uint32_t argument : arguments) {
    reinterpret_cast<Routine>(header_[0x0C / 4])();
    reinterpret_cast<ArgumentRoutine>(header_[0x10 / 4])(argument);
    reinterpret_cast<Routine>(header_[0x14 / 4])();
    reinterpret_cast<Routine>(header_[0x18 / 4])();
    reinterpret_cast<ArgumentRoutine>(header_[0x1C / 4])(argument);
    reinterpret_cast<Routine>(header_[0x20 / 4])();
    reinterpret_cast<Routine>(header_[0x24 / 4])();
    const std::vector<standin::ElementCall> calls = {
        {24, element, std::nullopt}, {25, element, argument}, {26, element, std::nullopt},
        {27, element, std::nullopt}, {28, element, argument}, {29, element, std::nullopt},
        {31, element, std::nullopt}};
    expected.insert(expected.end(), calls.begin(), calls.end());
  }
  EXPECT_EQ(standin::panel.element_calls, expected);
  // The module entries of Linkage take nothing and do nothing.
  reinterpret_cast<Routine>(linkage_[1])();
  reinterpret_cast<Routine>(linkage_[2])();
  EXPECT_EQ(standin::panel.element_calls.size(), expected.size());
  EXPECT_TRUE(standin::panel.calculator_calls.empty());
}

TEST_F(GauTest, OtherServiceCodesDoNothing) {
  HandOverServiceTable();
  for (std::int32_t code : {0, 1, 9, 11, -1}) {
    reinterpret_cast<Callback>(header_[0x54 / 4])(AddressOf(header_), code, 0);
  }
  EXPECT_TRUE(standin::panel.calculator_calls.empty());
}

// The whole bridge: the add-on loaded before the first frame, and a chord to the window.
TEST_F(GauTest, BridgeWithTheAddonLoadedFirst) {
  HandOverServiceTable();
  HMODULE addon = LoadLibraryA("Travinel.dll");
  ASSERT_NE(addon, nullptr);
  AddonRecord* record = reinterpret_cast<AddonRecord*>(GetProcAddress(addon, "TvlRecord"));
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

  HMODULE addon = LoadLibraryA("Travinel.dll");
  ASSERT_NE(addon, nullptr);
  AddonRecord** tvl_export = reinterpret_cast<AddonRecord**>(GetProcAddress(addon, "TvlExport"));
  AddonRecord* record = reinterpret_cast<AddonRecord*>(GetProcAddress(addon, "TvlRecord"));
  *tvl_export = nullptr;
  record->seatbelt_sign = 0;
  RunFrame();
  EXPECT_EQ(standin::panel.variables["Tvl_SeatbeltSign"], 1) << "a null export was taken for a record";

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
  HMODULE addon = LoadLibraryA("Travinel.dll");
  ASSERT_NE(addon, nullptr);
  AddonRecord* record = reinterpret_cast<AddonRecord*>(GetProcAddress(addon, "TvlRecord"));
  RunFrame();
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
