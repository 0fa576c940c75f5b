#include "standin/shared/panel_system.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <ostream>
#include <string_view>

namespace standin {

PanelSystem panel;

namespace {

// A variable name as the module writes them: letters, digits and underscores.
bool IsVariableName(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  });
}

// A decimal 32-bit signed integer, optionally negative, nothing else.
std::optional<std::int32_t> ParseInteger(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) {
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 10) {
    return std::nullopt;
  }
  std::int64_t magnitude = 0;
  for (char c : text) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    magnitude = magnitude * 10 + (c - '0');
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

// Removes prefix and suffix from text; false if either is not there.
bool Strip(std::string_view& text, std::string_view prefix, std::string_view suffix) {
  if (text.size() < prefix.size() + suffix.size() || text.substr(0, prefix.size()) != prefix ||
      text.substr(text.size() - suffix.size()) != suffix) {
    return false;
  }
  text = text.substr(prefix.size(), text.size() - prefix.size() - suffix.size());
  return true;
}

std::int32_t HOST_CALL Calculate(const char* expression, double* float_result,
                                 std::int32_t* integer_result, const char** text_result) {
  panel.calculator_calls.push_back({expression, std::nullopt});
  CalculatorCall& call = panel.calculator_calls.back();
  const auto fail = [&](const char* why) {
    panel.errors.push_back(std::string(why) + ": \"" + expression + "\"");
    return 0;
  };
  if (float_result != nullptr || text_result != nullptr) {
    return fail("floating or text result asked for");
  }

  std::string_view text = expression;
  if (Strip(text, "(L:", ", number)")) {
    if (!IsVariableName(text)) {
      return fail("malformed variable name");
    }
    if (integer_result == nullptr) {
      return fail("read without an integer result");
    }
    const auto variable = panel.variables.find(text);
    if (variable == panel.variables.end() && panel.unset_read == UnsetRead::kStoresNothing) {
      return 1;
    }
    *integer_result = variable == panel.variables.end() ? 0 : variable->second;
    call.stored = *integer_result;
    return 1;
  }

  const std::size_t separator = text.find(" (>L:");
  if (separator != std::string_view::npos) {
    const std::optional<std::int32_t> value = ParseInteger(text.substr(0, separator));
    std::string_view name = text.substr(separator);
    if (!value || !Strip(name, " (>L:", ", number)") || !IsVariableName(name)) {
      return fail("malformed write");
    }
    if (integer_result != nullptr) {
      return fail("write with an integer result");
    }
    panel.variables.insert_or_assign(std::string(name), *value);
    return 1;
  }
  return fail("unknown expression");
}

template <int kEntry>
void HOST_CALL RecordElement(GaugeElement* element) {
  panel.element_calls.push_back({kEntry, element, std::nullopt});
}

template <int kEntry>
void HOST_CALL RecordElementArgument(GaugeElement* element, std::uint32_t argument) {
  panel.element_calls.push_back({kEntry, element, argument});
}

PanelServices MakeServices() {
  PanelServices services{};
  services.gauge_query = RecordElement<24>;
  services.element_install = RecordElementArgument<25>;
  services.element_initialize = RecordElement<26>;
  services.element_update = RecordElement<27>;
  services.element_generate = RecordElementArgument<28>;
  services.element_draw = RecordElement<29>;
  services.element_kill = RecordElement<31>;
  services.execute_calculator = Calculate;
  return services;
}

}  // namespace

PanelServices panel_services = MakeServices();

void ResetPanel() { panel = PanelSystem{}; }

void PrintTo(const ElementCall& call, std::ostream* out) {
  *out << "entry " << call.entry << ", element " << static_cast<const void*>(call.element);
  if (call.argument) {
    *out << ", argument " << *call.argument;
  }
}

void PrintTo(const CalculatorCall& call, std::ostream* out) {
  *out << call.expression;
  if (call.stored) {
    *out << " stored " << *call.stored;
  }
}

std::vector<std::string> Expressions() {
  std::vector<std::string> texts;
  for (const CalculatorCall& call : panel.calculator_calls) {
    texts.push_back(call.expression);
  }
  return texts;
}

}  // namespace standin
