#include "tools/gauge_host/variable_references.h"

#include <cctype>
#include <charconv>

namespace gauge_host {

namespace {

bool Space(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && Space(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && Space(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

// The number the script pushes just before `offset`, when the word there is one: the
// calculator's stack then holds it on top, and the write stores it.
std::optional<double> NumberBefore(std::string_view script, std::size_t offset) {
  std::size_t end = offset;
  while (end > 0 && Space(script[end - 1])) {
    --end;
  }
  std::size_t start = end;
  while (start > 0 && !Space(script[start - 1]) && script[start - 1] != '{' && script[start - 1] != '}') {
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

std::vector<VariableReference> FindVariableReferences(std::string_view script) {
  std::vector<VariableReference> references;
  for (std::size_t open = script.find('('); open != std::string_view::npos; open = script.find('(', open + 1)) {
    VariableReference reference;
    reference.offset = open;
    std::size_t at = open + 1;
    reference.write = at < script.size() && script[at] == '>';
    at += reference.write ? 1 : 0;
    if (script.substr(at, 2) != "L:") {
      continue;
    }
    at += 2;
    while (script.substr(at, 2) == "L:") {
      reference.doubled_prefix = true;
      at += 2;
    }
    const std::size_t end = script.find_first_of(",)(\n", at);
    if (end == std::string_view::npos || script[end] == '(' || script[end] == '\n') {
      continue;
    }
    reference.name = std::string(script.substr(at, end - at));
    if (script[end] == ',') {
      const std::size_t close = script.find_first_of(")(\n", end);
      if (close == std::string_view::npos || script[close] != ')') {
        continue;
      }
      reference.unit = std::string(Trimmed(script.substr(end + 1, close - end - 1)));
    }
    if (reference.write) {
      reference.written_value = NumberBefore(script, open);
    }
    references.push_back(std::move(reference));
  }
  return references;
}

}  // namespace gauge_host
