#include "tools/gauge_host/xml/xml_tree.h"

#include <algorithm>
#include <utility>

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
  const XmlSource& source;
  std::size_t offset = 0;
  XmlPosition position{1, 1};

  static Cursor At(const XmlSource& source, XmlPosition position) {
    const XmlPlace place = source.Find(position);
    return {source, place.offset, place.position};
  }

  bool AtEnd() const { return offset >= source.Text().size(); }
  char Character() const { return source.Text()[offset]; }

  // Steps over one character, or a line break, or (when `references`) a whole reference.
  void Step(bool references) {
    const std::string_view document = source.Text();
    const std::size_t line_break = LineBreakLength(document, offset);
    if (line_break != 0) {
      offset += line_break;
      position = {position.line + 1, 1};
      return;
    }
    const std::size_t reference_end =
        references && document[offset] == '&' ? source.SemicolonFrom(offset) : std::string_view::npos;
    if (reference_end != std::string_view::npos) {
      // A reference is written in ASCII: one column a byte.
      const std::size_t length = reference_end + 1 - offset;
      offset += length;
      position.column += static_cast<int>(length);
      return;
    }
    offset += CharacterLength(document, offset);
    ++position.column;
  }
};

// Whether the raw text at `offset` is the whole of a text node whose decoded value is
// `value`: each reference stands for one character and each line break for "\n".
bool RawTextReads(const XmlSource& source, std::size_t offset, std::string_view value, bool cdata) {
  const std::string_view document = source.Text();
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
      const std::size_t end = source.SemicolonFrom(raw);
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

XmlSource::XmlSource(std::string text) : text_(std::move(text)), line_starts_{0} {
  character_starts_.reserve(text_.size() + 1);
  for (std::size_t offset = 0; offset < text_.size();) {
    character_starts_.push_back(offset);
    const std::size_t line_break = LineBreakLength(text_, offset);
    offset += line_break != 0 ? line_break : CharacterLength(text_, offset);
    if (line_break != 0) {
      line_starts_.push_back(character_starts_.size());
    }
  }
  character_starts_.push_back(text_.size());
  // Every ';' byte, as a reference ends at the first one even inside a broken UTF-8 sequence.
  for (std::size_t offset = text_.find(';'); offset != std::string::npos; offset = text_.find(';', offset + 1)) {
    semicolons_.push_back(offset);
  }
}

XmlPlace XmlSource::Find(XmlPosition position) const {
  const std::size_t wanted_line = static_cast<std::size_t>(std::max(position.line, 1)) - 1;
  const std::size_t line = std::min(wanted_line, line_starts_.size() - 1);
  const std::size_t first = line_starts_[line];
  // Every line but the last ends in a break, its last character.
  const std::size_t end = line + 1 < line_starts_.size() ? line_starts_[line + 1] - 1 : character_starts_.size() - 1;
  const std::size_t wanted_column = static_cast<std::size_t>(std::max(position.column, 1)) - 1;
  const std::size_t column = wanted_line > line ? end - first : std::min(wanted_column, end - first);
  return {character_starts_[first + column], {static_cast<int>(line) + 1, static_cast<int>(column) + 1}};
}

std::size_t XmlSource::SemicolonFrom(std::size_t offset) const {
  const auto found = std::lower_bound(semicolons_.begin(), semicolons_.end(), offset);
  return found != semicolons_.end() ? *found : std::string_view::npos;
}

XmlPosition TextStart(const XmlSource& source, XmlPosition previous, XmlPosition reported, std::string_view value,
                      bool cdata) {
  const Cursor at_reported = Cursor::At(source, reported);
  if (RawTextReads(source, at_reported.offset, value, cdata)) {
    return reported;
  }
  constexpr std::string_view kCdataStart = "<![CDATA[";
  for (Cursor raw = Cursor::At(source, previous); !raw.AtEnd() && raw.offset <= at_reported.offset; raw.Step(false)) {
    const std::string_view before = source.Text().substr(0, raw.offset);
    const bool after_markup = cdata ? before.ends_with(kCdataStart) : before.ends_with('>');
    if (after_markup && RawTextReads(source, raw.offset, value, cdata)) {
      return raw.position;
    }
  }
  return reported;
}

std::vector<XmlPosition> DecodedTextPositions(const XmlSource& source, XmlPosition start, std::string_view value,
                                              bool cdata) {
  Cursor raw = Cursor::At(source, start);
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

XmlPosition AttributeValueStart(const XmlSource& source, XmlPosition name) {
  Cursor raw = Cursor::At(source, name);
  while (!raw.AtEnd() && raw.Character() != '"' && raw.Character() != '\'') {
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
