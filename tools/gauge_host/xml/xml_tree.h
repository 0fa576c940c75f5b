// A gauge file as a plain tree of elements, with where each piece stands in the file, so
// that a finding inside a script can name its line and column. Texts and attribute values
// are decoded ("&gt;" is ">"), and each byte of a decoded text keeps the position of the
// character or reference it came from.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <optional>
#include <vector>

#include "tools/gauge_host/common/diagnostic.h"

namespace gauge_host {

using XmlPosition = SourcePosition;

struct XmlText {
  std::string value;                   // decoded, UTF-8
  std::vector<XmlPosition> positions;  // one for each byte of value
  XmlPosition start;                   // where the text starts in the file
  XmlPosition At(std::size_t offset) const { return offset < positions.size() ? positions[offset] : start; }
};

struct XmlAttribute {
  std::string name;
  XmlPosition position;  // of the name
  XmlText value;
};

struct XmlElement {
  std::string name;
  XmlPosition position;
  std::vector<XmlAttribute> attributes;
  std::vector<XmlText> texts;  // its own character data, CDATA included, in order; blank runs left out
  std::vector<XmlElement> children;
  const XmlAttribute* Attribute(std::string_view attribute_name) const;
};

struct XmlDocument {
  XmlElement root;
  std::optional<Diagnostic> not_well_formed;  // where the parser stopped, and what it found there
};

// "not well-formed XML: WHAT; the simulator will not load this gauge", at the place given.
Diagnostic NotWellFormed(const std::string& file, XmlPosition position, const std::string& what);

// The positions of each byte of a decoded text whose raw form starts at `start` in the
// UTF-8 `document`: every reference ("&gt;", "&#62;") or line break ("\r\n") stands for
// one decoded character. CDATA is taken as written, apart from its line breaks.
std::vector<XmlPosition> DecodedTextPositions(std::string_view document, XmlPosition start, std::string_view value,
                                              bool cdata);

// Where a text node's raw form starts. Parsers differ in the place they give for a text:
// Windows gives its start, Wine a place near its end. The start is the first place from
// `reported`, then every place after a tag's '>' or a "<![CDATA[" from `previous` (the
// node before it) up to `reported`, whose raw text reads as `value`.
XmlPosition TextStart(std::string_view document, XmlPosition previous, XmlPosition reported, std::string_view value,
                      bool cdata);

// Where an attribute's value starts: just after the quote that follows its name.
XmlPosition AttributeValueStart(std::string_view document, XmlPosition name);

}  // namespace gauge_host
