// libFuzzer target: each input is a gauge file's text with the places a parser might give
// for a text in it, played through what the host does with the parser's tree without the
// parser: finding where a text starts, placing each byte of a decoded text and finding an
// attribute's value. The document's
// index must find each of those places and of a decoded text's bytes, and the line and
// column before each, where a walk from the start one character at a time finds it.
//
// The first five bytes: bit 0 of the first, whether the text is CDATA; then the line and
// column of the node before the text and of the place reported for it. The next byte is
// the length of the decoded text, taken from the rest, which is the whole document.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "tools/gauge_host/xml/xml_tree.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

// Where `position` is in `document`, found the plain way, stepping from its start one at a time:
// a line break is "\r\n", "\n" or "\r" where a character starts, a character is as long as
// its first byte says (cut at the end), and the walk stops at the end or at the line's break.
gauge_host::XmlPlace WalkTo(std::string_view document, gauge_host::XmlPosition position) {
  gauge_host::XmlPlace place{0, {1, 1}};
  const auto line_break = [&] {
    if (document[place.offset] == '\r') {
      return place.offset + 1 < document.size() && document[place.offset + 1] == '\n' ? 2 : 1;
    }
    return document[place.offset] == '\n' ? 1 : 0;
  };
  const auto step = [&] {
    if (const int length = line_break(); length != 0) {
      place.offset += static_cast<std::size_t>(length);
      place.position = {place.position.line + 1, 1};
      return;
    }
    const auto lead = static_cast<unsigned char>(document[place.offset]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    place.offset = std::min(place.offset + length, document.size());
    ++place.position.column;
  };
  while (place.offset < document.size() && place.position.line < position.line) {
    step();
  }
  while (place.offset < document.size() && place.position.column < position.column && line_break() == 0) {
    step();
  }
  return place;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 6) {
    return 0;
  }
  const bool cdata = (data[0] & 1) != 0;
  const gauge_host::XmlPosition previous{data[1] % 16 + 1, data[2] % 64 + 1};
  const gauge_host::XmlPosition reported{data[3] % 16 + 1, data[4] % 64 + 1};
  const std::string_view document(reinterpret_cast<const char*>(data + 6), size - 6);
  const std::string_view value = document.substr(0, data[5] % (document.size() + 1));
  const gauge_host::XmlSource source{std::string(document)};

  const gauge_host::XmlPosition start = gauge_host::TextStart(source, previous, reported, value, cdata);
  if (start.line < 1 || start.column < 1) {
    Fail("a text's start outside the file");
  }
  std::vector<gauge_host::XmlPosition> positions = gauge_host::DecodedTextPositions(source, start, value, cdata);
  if (positions.size() != value.size()) {
    Fail("not one position for each byte of a decoded text");
  }
  const gauge_host::XmlPosition attribute = gauge_host::AttributeValueStart(source, reported);
  if (attribute.line < 1 || attribute.column < 1) {
    Fail("an attribute's value outside the file");
  }
  positions.insert(positions.end(), {previous, reported, start, attribute});
  for (const gauge_host::XmlPosition position : positions) {
    for (const gauge_host::XmlPosition wanted : {position, {position.line - 1, position.column - 1}}) {
      if (source.Find(wanted) != WalkTo(document, wanted)) {
        Fail("the index finds a place other than the walk from the start");
      }
    }
  }
  return 0;
}
