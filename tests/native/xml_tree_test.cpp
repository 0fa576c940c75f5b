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
using gauge_host::XmlSource;

std::string Where(XmlPosition position) { return std::to_string(position.line) + ":" + std::to_string(position.column); }

constexpr std::string_view kDocument =
    "<Gauge Name=\"A &amp; B\">\r\n"                 // 1
    "  <Click Kind='Left'>\r\n"                      // 2
    "    1 (&gt;L:Tvl_CallMayday, number)\r\n"       // 3
    "  </Click>\n"                                   // 4
    "  <M>a&#62;(L:B) <b/> caf\xC3\xA9 (L:C)</M>\n"  // 5
    "  <U><![CDATA[2 (>L:X, number)]]></U>\n"        // 6
    "</Gauge>\n";
const XmlSource kSource{std::string(kDocument)};

// Each line break kind ends a line; é is one column; a broken UTF-8 sequence takes in the
// '\n' after it, which then ends no line, as a walk from the start one character at a time
// finds.
TEST(XmlTreeTest, SourceFindsThePlaceOfALineAndColumn) {
  const XmlSource source{"ab\r\ncaf\xC3\xA9!\nx\ry\xC3\nz"};
  struct Case {
    XmlPosition wanted;
    std::size_t offset;
    std::string expected;
  };
  const Case cases[] = {
      {{1, 1}, 0, "1:1"},
      {{0, 5}, 2, "1:3"},    // line 0 is line 1, and its column 5 stops at its "\r\n"
      {{-3, 0}, 0, "1:1"},
      {{2, 0}, 4, "2:1"},
      {{2, 5}, 9, "2:5"},    // after the two bytes of é
      {{2, 99}, 10, "2:6"},  // at the "\n"
      {{3, 2}, 12, "3:2"},   // at the lone "\r"
      {{4, 3}, 16, "4:3"},   // after the broken sequence and its '\n'
      {{4, 9}, 17, "4:4"},   // past the last line's end
      {{5, 1}, 17, "4:4"},   // past the last line: the end
  };
  for (const Case& c : cases) {
    const gauge_host::XmlPlace place = source.Find(c.wanted);
    EXPECT_EQ(place.offset, c.offset) << Where(c.wanted);
    EXPECT_EQ(Where(place.position), c.expected) << Where(c.wanted);
  }
}

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
    const std::vector<XmlPosition> positions = DecodedTextPositions(kSource, c.start, c.value, c.cdata);
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
    EXPECT_EQ(Where(TextStart(kSource, c.previous, c.reported, c.value, c.cdata)), c.expected) << c.value;
  }
}

// A reference without its ';' stands for itself, and a text cut by the end of the file
// keeps its places.
TEST(XmlTreeTest, BrokenReferencesAndCutTexts) {
  const XmlSource broken{"<A>x &amp y</A>\n<B>\xC3"};
  EXPECT_EQ(Where(TextStart(broken, {1, 1}, {1, 4}, "x &amp y", false)), "1:4");
  const std::vector<XmlPosition> cut = DecodedTextPositions(broken, {2, 4}, "\xC3\xA9 more", false);
  ASSERT_EQ(cut.size(), 7u);
  EXPECT_EQ(Where(cut.back()), "2:5");
}

TEST(XmlTreeTest, AttributeValueStartsAfterItsQuote) {
  EXPECT_EQ(Where(AttributeValueStart(kSource, {1, 8})), "1:14");
  EXPECT_EQ(Where(AttributeValueStart(kSource, {2, 10})), "2:16");
}

}  // namespace
