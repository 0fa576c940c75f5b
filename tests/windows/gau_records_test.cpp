// The records of the built Tvl_LvarSupport.gau read as the simulator reads them: 32-bit
// words at fixed offsets, followed from address to address, without the module's own
// names for them. This is the layout the simulator relies on, so it is checked in the
// 32-bit build, the one that is shipped; the 64-bit test build lays the same records out
// with 64-bit addresses.

#include <algorithm>
#include <cstring>

#include "tests/windows/gau_fixture.h"

namespace {

using Words = const std::uint32_t*;

Words At(std::uint32_t address) { return reinterpret_cast<Words>(static_cast<std::uintptr_t>(address)); }
std::uint32_t AddressOf(const void* pointer) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

using Routine = void(__stdcall*)();
using ArgumentRoutine = void(__stdcall*)(std::uint32_t);

// The zero words of a record, all but those listed.
void ExpectZeroExcept(Words record, std::size_t words, std::vector<std::size_t> listed) {
  for (std::size_t index = 0; index < words; ++index) {
    if (std::find(listed.begin(), listed.end(), index * 4) == listed.end()) {
      EXPECT_EQ(record[index], 0u) << "word at offset 0x" << std::hex << index * 4;
    }
  }
}

// The records as words, reached from the two exports alone.
class GauRecordsTest : public GauTest {
 protected:
  void SetUp() override {
    GauTest::SetUp();
    import_words_ = reinterpret_cast<std::uint32_t*>(import_table_);
    linkage_words_ = reinterpret_cast<Words>(linkage_);
    header_words_ = At(linkage_words_[0x18 / 4]);
    element_ = At(At(header_words_[0x08 / 4])[0]);
  }

  std::uint32_t* import_words_ = nullptr;
  Words linkage_words_ = nullptr;
  Words header_words_ = nullptr;
  Words element_ = nullptr;
};

TEST_F(GauRecordsTest, ImportTableWaitsForTheServiceTable) {
  const std::uint32_t expected[4] = {0x0000000F, 0, 0, 0};
  EXPECT_EQ(std::memcmp(import_words_, expected, sizeof expected), 0);
}

TEST_F(GauRecordsTest, LinkageRecord) {
  EXPECT_EQ(linkage_words_[0], 0x00000013u);
  EXPECT_NE(linkage_words_[1], 0u);
  EXPECT_NE(linkage_words_[2], 0u);
  EXPECT_EQ(linkage_words_[3], 0u);
  EXPECT_EQ(linkage_words_[4], 0u);
  EXPECT_EQ(linkage_words_[5], 0x00000900u);
  EXPECT_NE(linkage_words_[6], 0u);
  EXPECT_EQ(linkage_words_[7], 0u);
}

TEST_F(GauRecordsTest, GaugeHeaderOfSwitches) {
  EXPECT_EQ(header_words_[0], 800u);
  EXPECT_STREQ(reinterpret_cast<const char*>(At(header_words_[1])), "Switches");
  for (std::size_t routine = 0x0C / 4; routine <= 0x24 / 4; ++routine) {
    EXPECT_NE(header_words_[routine], 0u) << "routine at word " << routine;
  }
  EXPECT_EQ(header_words_[0x2C / 4], 100u);
  EXPECT_NE(header_words_[0x50 / 4], 0u);
  EXPECT_NE(header_words_[0x54 / 4], 0u);
  ExpectZeroExcept(header_words_, 52, {0x00, 0x04, 0x08, 0x0C, 0x10, 0x14, 0x18, 0x1C, 0x20, 0x24, 0x2C, 0x50, 0x54});
}

TEST_F(GauRecordsTest, ElementListAndElement) {
  Words list = At(header_words_[0x08 / 4]);
  EXPECT_NE(list[0], 0u);
  EXPECT_EQ(list[1], 0u);
  EXPECT_EQ(element_[0], 0u);
  EXPECT_EQ(element_[1], 0x1000u);
  EXPECT_EQ(element_[0x20 / 4], AddressOf(header_words_));
  EXPECT_EQ(element_[0x30 / 4], 1u);
  ExpectZeroExcept(element_, 24, {0x04, 0x20, 0x30});
}

TEST_F(GauRecordsTest, MouseRectanglesAreAnEmptyArea) {
  Words rectangles = At(header_words_[0x50 / 4]);
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
TEST_F(GauRecordsTest, RecordsLieInWritableData) {
  const std::pair<const char*, const void*> records[] = {
      {"ImportTable", import_words_}, {"Linkage", linkage_words_}, {"gauge header", header_words_},
      {"element list", At(header_words_[0x08 / 4])}, {"element", element_}, {"mouse rectangles", At(header_words_[0x50 / 4])}};
  for (const auto& [name, record] : records) {
    MEMORY_BASIC_INFORMATION memory{};
    ASSERT_NE(VirtualQuery(record, &memory, sizeof memory), 0u);
    EXPECT_TRUE(memory.Protect == PAGE_READWRITE || memory.Protect == PAGE_WRITECOPY) << name;
  }
}

// Each routine, called through the header's address with the host's convention, hands
// the element to its own entry; install and generate pass their argument on unchanged.
TEST_F(GauRecordsTest, RoutinesHandTheElementToTheHost) {
  HandOverServiceTable();
  GaugeElement* element = reinterpret_cast<GaugeElement*>(const_cast<std::uint32_t*>(element_));
  const std::uint32_t arguments[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
  std::vector<standin::ElementCall> expected;
  for (std::uint32_t argument : arguments) {
    reinterpret_cast<Routine>(header_words_[0x0C / 4])();
    reinterpret_cast<ArgumentRoutine>(header_words_[0x10 / 4])(argument);
    reinterpret_cast<Routine>(header_words_[0x14 / 4])();
    reinterpret_cast<Routine>(header_words_[0x18 / 4])();
    reinterpret_cast<ArgumentRoutine>(header_words_[0x1C / 4])(argument);
    reinterpret_cast<Routine>(header_words_[0x20 / 4])();
    reinterpret_cast<Routine>(header_words_[0x24 / 4])();
    const std::vector<standin::ElementCall> calls = {
        {24, element, std::nullopt}, {25, element, argument}, {26, element, std::nullopt},
        {27, element, std::nullopt}, {28, element, argument}, {29, element, std::nullopt},
        {31, element, std::nullopt}};
    expected.insert(expected.end(), calls.begin(), calls.end());
  }
  EXPECT_EQ(standin::panel.element_calls, expected);
  // The module entries of Linkage take nothing and do nothing.
  reinterpret_cast<Routine>(linkage_words_[1])();
  reinterpret_cast<Routine>(linkage_words_[2])();
  EXPECT_EQ(standin::panel.element_calls.size(), expected.size());
  EXPECT_TRUE(standin::panel.calculator_calls.empty());
}

}  // namespace
