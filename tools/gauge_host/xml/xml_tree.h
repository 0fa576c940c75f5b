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

// A place in a document: the byte it starts at, and its line and column.
struct XmlPlace {
  std::size_t offset = 0;
  XmlPosition position;
  bool operator==(const XmlPlace&) const = default;
};

// A document's UTF-8 text, with the first byte of every character and the first character
// of every line, so that the place of a line and column is found at once however long the
// document or its lines. A column is one character (a UTF-8 sequence, as its first byte
// says); "\r\n", "\n" and "\r" end a line. Built once for each document read.
class XmlSource {
 public:
  explicit XmlSource(std::string text);

  std::string_view Text() const { return text_; }

  // Where `position` is, as a walk from the start one character at a time finds it: a line
  // of 0 or less is line 1, a line past the last is the end of the document, and a column
  // past the end of its line is that line's break (or the end of the document).
  XmlPlace Find(XmlPosition position) const;

  // The first ';' at or after `offset`, where a reference that starts there ends;
  // std::string_view::npos when there is none. Found without reading the text between.
  std::size_t SemicolonFrom(std::size_t offset) const;

 private:
  std::string text_;
  std::vector<std::size_t> character_starts_;  // a line break counts as one character; the text's size last
  std::vector<std::size_t> line_starts_;       // each line's first character, as an index of character_starts_
  std::vector<std::size_t> semicolons_;        // the offset of every ';', in order
};

// The positions of each byte of a decoded text whose raw form starts at `start` in
// `source`: every reference ("&gt;", "&#62;") or line break ("\r\n") stands for one
// decoded character. CDATA is taken as written, apart from its line breaks.
std::vector<XmlPosition> DecodedTextPositions(const XmlSource& source, XmlPosition start, std::string_view value,
                                              bool cdata);

// Where a text node's raw form starts. Parsers differ in the place they give for a text:
// Windows gives its start, Wine a place near its end. The start is the first place from
// `reported`, then every place after a tag's '>' or a "<![CDATA[" from `previous` (the
// node before it) up to `reported`, whose raw text reads as `value`.
XmlPosition TextStart(const XmlSource& source, XmlPosition previous, XmlPosition reported, std::string_view value,
                      bool cdata);

// Where an attribute's value starts: just after the quote that follows its name.
XmlPosition AttributeValueStart(const XmlSource& source, XmlPosition name);

}  // namespace gauge_host
