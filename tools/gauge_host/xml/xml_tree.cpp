#include "tools/gauge_host/xml/xml_tree.h"

#include <algorithm>

namespace gauge_host {

namespace {

std::size_t CharacterLength(std::string_view text, std::size_t offset) {
  const auto lead = static_cast<unsigned char>(text[offset]);
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  return std::min(length, text.size() - offset);
}

// Length of the line break at `offset` ("\r\n", "\n" or "\r"), 0 when there is none.
std::size_t LineBreakLength(std::string_view text, std::size_t offset) {
  if (text[offset] == '\r') {
    return offset + 1 < text.size() && text[offset + 1] == '\n' ? 2 : 1;
  }
  return text[offset] == '\n' ? 1 : 0;
}

// Steps over one raw character of a document, keeping its position.
struct Cursor {
  std::string_view document;
  std::size_t offset = 0;
  XmlPosition position{1, 1};

  bool AtEnd() const { return offset >= document.size(); }

  // Steps over one character, or a line break, or (when `references`) a whole reference.
  void Step(bool references) {
    const std::size_t line_break = LineBreakLength(document, offset);
    if (line_break != 0) {
      offset += line_break;
      position = {position.line + 1, 1};
      return;
    }
    if (references && document[offset] == '&' && document.find(';', offset) != std::string_view::npos) {
      // A reference is written in ASCII: one column a byte.
      const std::size_t length = document.find(';', offset) + 1 - offset;
      offset += length;
      position.column += static_cast<int>(length);
      return;
    }
    offset += CharacterLength(document, offset);
    ++position.column;
  }

  static Cursor At(std::string_view document, XmlPosition position) {
    Cursor cursor{document};
    while (!cursor.AtEnd() && cursor.position.line < position.line) {
      cursor.Step(false);
    }
    while (!cursor.AtEnd() && cursor.position.column < position.column && LineBreakLength(document, cursor.offset) == 0) {
      cursor.Step(false);
    }
    return cursor;
  }
};

// Whether the raw text at `offset` is the whole of a text node whose decoded value is
// `value`: each reference stands for one character and each line break for "\n".
bool RawTextReads(std::string_view document, std::size_t offset, std::string_view value, bool cdata) {
  std::size_t raw = offset;
  for (std::size_t index = 0; index < value.size();) {
    if (raw >= document.size()) {
      return false;
    }
    const std::size_t line_break = LineBreakLength(document, raw);
    if (line_break != 0) {
      // Parsers differ in whether they pass "\r\n" on as it is.
      const std::size_t value_break = LineBreakLength(value, index);
      if (value_break == 0) {
        return false;
      }
      raw += line_break;
      index += value_break;
    } else if (!cdata && document[raw] == '&') {
      const std::size_t end = document.find(';', raw);
      if (end == std::string_view::npos) {
        return false;
      }
      raw = end + 1;
      index += CharacterLength(value, index);
    } else if (document[raw++] != value[index++]) {
      return false;
    }
  }
  return cdata ? document.substr(raw, 3) == "]]>" : raw == document.size() || document[raw] == '<';
}

}  // namespace

XmlPosition TextStart(std::string_view document, XmlPosition previous, XmlPosition reported, std::string_view value,
                      bool cdata) {
  const Cursor at_reported = Cursor::At(document, reported);
  if (RawTextReads(document, at_reported.offset, value, cdata)) {
    return reported;
  }
  constexpr std::string_view kCdataStart = "<![CDATA[";
  for (Cursor raw = Cursor::At(document, previous); !raw.AtEnd() && raw.offset <= at_reported.offset; raw.Step(false)) {
    const std::string_view before = document.substr(0, raw.offset);
    const bool after_markup = cdata ? before.ends_with(kCdataStart) : before.ends_with('>');
    if (after_markup && RawTextReads(document, raw.offset, value, cdata)) {
      return raw.position;
    }
  }
  return reported;
}

std::vector<XmlPosition> DecodedTextPositions(std::string_view document, XmlPosition start, std::string_view value,
                                              bool cdata) {
  Cursor raw = Cursor::At(document, start);
  std::vector<XmlPosition> positions;
  positions.reserve(value.size());
  for (std::size_t offset = 0; offset < value.size();) {
    const std::size_t line_break = LineBreakLength(value, offset);
    const std::size_t length = line_break != 0 ? line_break : CharacterLength(value, offset);
    positions.insert(positions.end(), length, raw.position);
    offset += length;
    if (!raw.AtEnd()) {
      raw.Step(!cdata);
    }
  }
  return positions;
}

XmlPosition AttributeValueStart(std::string_view document, XmlPosition name) {
  Cursor raw = Cursor::At(document, name);
  while (!raw.AtEnd() && document[raw.offset] != '"' && document[raw.offset] != '\'') {
    raw.Step(false);
  }
  if (!raw.AtEnd()) {
    raw.Step(false);
  }
  return raw.position;
}

Diagnostic NotWellFormed(const std::string& file, XmlPosition position, const std::string& what) {
  return {file, position, Severity::kError, "not well-formed XML: " + what + "; the simulator will not load this gauge"};
}

const XmlAttribute* XmlElement::Attribute(std::string_view attribute_name) const {
  for (const XmlAttribute& attribute : attributes) {
    if (attribute.name == attribute_name) {
      return &attribute;
    }
  }
  return nullptr;
}

}  // namespace gauge_host
