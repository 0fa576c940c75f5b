// Where a decoded text's characters stand in the file: references and line breaks shift
// the columns after them, and the start of a text is found whichever place the XML parser
// reports for it (Windows: its start; Wine: near its end).

#include <gtest/gtest.h>

#include "tools/gauge_host/xml/xml_tree.h"

namespace {

using gauge_host::AttributeValueStart;
using gauge_host::DecodedTextPositions;
using gauge_host::TextStart;
using gauge_host::XmlPosition;

std::string Where(XmlPosition position) { return std::to_string(position.line) + ":" + std::to_string(position.column); }

constexpr std::string_view kDocument =
    "<Gauge Name=\"A &amp; B\">\r\n"                 // 1
    "  <Click Kind='Left'>\r\n"                      // 2
    "    1 (&gt;L:Tvl_CallMayday, number)\r\n"       // 3
    "  </Click>\n"                                   // 4
    "  <M>a&#62;(L:B) <b/> caf\xC3\xA9 (L:C)</M>\n"  // 5
    "  <U><![CDATA[2 (>L:X, number)]]></U>\n"        // 6
    "</Gauge>\n";

TEST(XmlTreeTest, DecodedCharactersKeepTheirPlaceInTheFile) {
  struct Case {
    XmlPosition start;
    std::string value;
    bool cdata;
    char character;  // the first one of these in value
    std::string expected;
  };
  const Case cases[] = {
      {{2, 22}, "\n    1 (>L:Tvl_CallMayday, number)\n  ", false, '(', "3:7"},
      {{2, 22}, "\n    1 (>L:Tvl_CallMayday, number)\n  ", false, '>', "3:8"},
      {{2, 22}, "\n    1 (>L:Tvl_CallMayday, number)\n  ", false, 'L', "3:12"},
      {{2, 22}, "\r\n    1 (>L:Tvl_CallMayday, number)\r\n  ", false, 'L', "3:12"},  // "\r\n" passed on
      {{5, 6}, "a>(L:B) ", false, '(', "5:12"},
      {{5, 22}, " caf\xC3\xA9 (L:C)", false, '(', "5:28"},  // one column for the two bytes of é
      {{6, 15}, "2 (>L:X, number)", true, '>', "6:18"},
  };
  for (const Case& c : cases) {
    const std::vector<XmlPosition> positions = DecodedTextPositions(kDocument, c.start, c.value, c.cdata);
    ASSERT_EQ(positions.size(), c.value.size());
    EXPECT_EQ(Where(positions[c.value.find(c.character)]), c.expected) << c.value << " '" << c.character << "'";
  }
}

TEST(XmlTreeTest, TextStartWhateverPlaceTheParserReports) {
  struct Case {
    XmlPosition previous;
    XmlPosition reported;
    std::string value;
    bool cdata;
    std::string expected;
  };
  const Case cases[] = {
      {{2, 4}, {2, 22}, "\n    1 (>L:Tvl_CallMayday, number)\n  ", false, "2:22"},  // its start
      {{2, 4}, {4, 3}, "\n    1 (>L:Tvl_CallMayday, number)\n  ", false, "2:22"},   // its end
      {{5, 4}, {5, 16}, "a>(L:B) ", false, "5:6"},
      {{5, 18}, {5, 33}, " caf\xC3\xA9 (L:C)", false, "5:22"},  // after the empty element b
      {{6, 4}, {6, 35}, "2 (>L:X, number)", true, "6:15"},
      {{6, 4}, {6, 35}, "no such text", false, "6:35"},  // not found: the parser's place stands
      // Texts that do not read as the raw text at any place: the parser's place stands.
      {{2, 4}, {4, 3}, "    1 (>L:Tvl_CallMayday, number)", false, "4:3"},  // a line break missing
      {{5, 4}, {5, 16}, "a>(L:B) x", false, "5:16"},                          // longer than the text
      {{6, 4}, {6, 35}, "2 (>L:X, number", true, "6:35"},                    // CDATA not ended there
      {{1, 1}, {9, 1}, "A & B", false, "9:1"},                                // a place past the end
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Where(TextStart(kDocument, c.previous, c.reported, c.value, c.cdata)), c.expected) << c.value;
  }
}

// A reference without its ';' stands for itself, and a text cut by the end of the file
// keeps its places.
TEST(XmlTreeTest, BrokenReferencesAndCutTexts) {
  constexpr std::string_view kBroken = "<A>x &amp y</A>\n<B>\xC3";
  EXPECT_EQ(Where(TextStart(kBroken, {1, 1}, {1, 4}, "x &amp y", false)), "1:4");
  const std::vector<XmlPosition> cut = DecodedTextPositions(kBroken, {2, 4}, "\xC3\xA9 more", false);
  ASSERT_EQ(cut.size(), 7u);
  EXPECT_EQ(Where(cut.back()), "2:5");
}

TEST(XmlTreeTest, AttributeValueStartsAfterItsQuote) {
  EXPECT_EQ(Where(AttributeValueStart(kDocument, {1, 8})), "1:14");
  EXPECT_EQ(Where(AttributeValueStart(kDocument, {2, 10})), "2:16");
}

}  // namespace
