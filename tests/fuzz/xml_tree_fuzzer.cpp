// libFuzzer target: each input is a gauge file's text with the places a parser might give
// for a text in it, played through what the host does with the parser's tree without the
// parser: finding where a text starts, placing each byte of a decoded text, finding an
// attribute's value, and finding the panel variables a text reads and writes.
//
// The first five bytes: bit 0 of the first, whether the text is CDATA; then the line and
// column of the node before the text and of the place reported for it. The next byte is
// the length of the decoded text, taken from the rest, which is the whole document.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "tools/gauge_host/script/variable_reference.h"
#include "tools/gauge_host/xml/xml_tree.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
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

  const gauge_host::XmlPosition start = gauge_host::TextStart(document, previous, reported, value, cdata);
  if (start.line < 1 || start.column < 1) {
    Fail("a text's start outside the file");
  }
  if (gauge_host::DecodedTextPositions(document, start, value, cdata).size() != value.size()) {
    Fail("not one position for each byte of a decoded text");
  }
  const gauge_host::XmlPosition attribute = gauge_host::AttributeValueStart(document, reported);
  if (attribute.line < 1 || attribute.column < 1) {
    Fail("an attribute's value outside the file");
  }
  for (const gauge_host::VariableReference& reference : gauge_host::FindVariableReferences(document)) {
    if (reference.offset >= document.size() || document[reference.offset] != '(') {
      Fail("a variable reference that does not start at a '('");
    }
  }
  return 0;
}
