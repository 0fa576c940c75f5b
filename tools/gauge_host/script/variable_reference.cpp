#include "tools/gauge_host/script/variable_reference.h"

#include <charconv>

#include "tools/gauge_host/common/text.h"

namespace gauge_host {

namespace {

// The number the script pushes just before `offset`, when the word there is one: the
// calculator's stack then holds it on top, and the write stores it.
std::optional<double> NumberBefore(std::string_view script, std::size_t offset) {
  std::size_t end = offset;
  while (end > 0 && IsSpace(script[end - 1])) {
    --end;
  }
  std::size_t start = end;
  while (start > 0 && !IsSpace(script[start - 1]) && script[start - 1] != '{' && script[start - 1] != '}') {
    --start;
  }
  const std::string_view word = script.substr(start, end - start);
  double value = 0;
  const char* first = word.data() + (word.starts_with('+') ? 1 : 0);
  const auto [last, error] = std::from_chars(first, word.data() + word.size(), value);
  if (word.empty() || error != std::errc() || last != word.data() + word.size()) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<VariableToken> ReadVariableToken(std::string_view token) {
  const std::string_view inside = token.substr(1, token.size() < 2 ? 0 : token.size() - 2);
  const std::size_t colon = inside.find(':');
  if (colon == std::string_view::npos) {
    return std::nullopt;
  }
  VariableToken variable;
  // "> K", "l": the type letter's case and the white space after '>' are not part of it.
  for (const char c : inside.substr(0, colon)) {
    if (!IsSpace(c)) {
      variable.kind += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
  }
  const std::string_view rest = inside.substr(colon + 1);
  const std::size_t comma = rest.find(',');
  variable.name = Trimmed(rest.substr(0, comma));
  variable.has_unit = comma != std::string_view::npos;
  variable.unit = variable.has_unit ? Trimmed(rest.substr(comma + 1)) : std::string_view{};
  variable.doubled_prefix = variable.name.starts_with("L:");
  return variable;
}

std::vector<VariableReference> FindVariableReferences(std::string_view text) {
  std::vector<VariableReference> references;
  for (std::size_t open = text.find('('); open != std::string_view::npos; open = text.find('(', open + 1)) {
    // A variable token ends at its ')', on its own line, with no '(' inside.
    const std::size_t close = text.find_first_of(")(\n", open + 1);
    if (close == std::string_view::npos || text[close] != ')') {
      continue;
    }
    const std::optional<VariableToken> token = ReadVariableToken(text.substr(open, close - open + 1));
    if (!token || (token->kind != "L" && token->kind != ">L")) {
      continue;
    }
    VariableReference reference;
    reference.offset = open;
    reference.write = token->kind == ">L";
    reference.doubled_prefix = token->doubled_prefix;
    reference.name = token->doubled_prefix ? std::string(Trimmed(token->name.substr(token->name.rfind("L:") + 2)))
                                           : token->name;
    reference.unit = token->unit;
    if (reference.write) {
      reference.written_value = NumberBefore(text, open);
    }
    references.push_back(std::move(reference));
  }
  return references;
}

}  // namespace gauge_host
