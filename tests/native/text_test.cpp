// The host's text helpers as messages use them: the designer's input shown as it is where
// it is UTF-8 and escaped where it is not, names cut, and the nearest of a list of words.

#include <gtest/gtest.h>

#include "tools/gauge_host/common/text.h"

namespace {

TEST(TextTest, ShownKeepsUtf8AndEscapesTheRest) {
  const std::pair<std::string, std::string> cases[] = {
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x9B\xA9", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x9B\xA9"},
      {"\xC0\xAF", "\\xC0\\xAF"},              // an overlong '/'
      {"\xE0\x80\xAF", "\\xE0\\x80\\xAF"},     // overlong, three bytes
      {"\xED\xA0\x80", "\\xED\\xA0\\x80"},     // a surrogate
      {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},  // beyond U+10FFFF
      {"\xE2\x82", "\\xE2\\x82"},              // cut short
      {"\xE2\x28\xA1", "\\xE2(\\xA1"},         // a second byte that continues nothing
      {"\xF0\x9F\x9B\x28", "\\xF0\\x9F\\x9B("},
      {"tab\there", "tab\\x09here"},
  };
  for (const auto& [text, shown] : cases) {
    EXPECT_EQ(gauge_host::Shown(text), shown);
  }
  EXPECT_EQ(gauge_host::Shown("\xC3\xA9\xC3\xA9\xC3\xA9", 2), "\xC3\xA9\xC3\xA9…");
}

TEST(TextTest, WordsAndCounts) {
  EXPECT_EQ(gauge_host::Counted(1, "file") + ", " + gauge_host::Counted(0, "error"), "1 file, 0 errors");
  EXPECT_EQ(gauge_host::Trimmed(" \t\r\n\v\f"), "");
  EXPECT_EQ(gauge_host::Trimmed("\t a b \n"), "a b");
  EXPECT_TRUE(gauge_host::SameIgnoringCase("Tvl_", "tVL_"));
  EXPECT_FALSE(gauge_host::SameIgnoringCase("Tvl_", "Tvl"));
  EXPECT_EQ(gauge_host::EditDistance("frmae", "FRAME"), 2u);
  // The first of two as near.
  EXPECT_EQ(gauge_host::Closest("sat", {"set", "sit", "frame"}), "set");
  EXPECT_EQ(gauge_host::Closest("x", {}), "");
  EXPECT_EQ(gauge_host::Together({"a", "b", "c"}), "a, b and c");
}

// One key for every way of writing a path to one file; another file, another key.
TEST(TextTest, SameFileKeys) {
  const struct {
    const char* path;
    const char* key;
  } cases[] = {
      {"gauges/X.xml", "gauges/x.xml"},
      {"gauges\\X.xml", "gauges/x.xml"},
      {"./gauges//X.xml", "gauges/x.xml"},
      {".\\GAUGES\\.\\x.XML", "gauges/x.xml"},
      {"gauges/old/../X.xml", "gauges/x.xml"},
      {"../gauges/X.xml", "../gauges/x.xml"},
      {"../../X.xml", "../../x.xml"},
      {"/gauges/X.xml", "/gauges/x.xml"},
      {"\\gauges\\X.xml", "/gauges/x.xml"},
      {"C:\\Panel\\X.xml", "c:/panel/x.xml"},
      {"My Gauges/Cabin.xml", "my gauges/cabin.xml"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(gauge_host::SameFileKey(c.path), c.key) << c.path;
  }
}

}  // namespace
