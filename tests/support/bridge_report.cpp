#include "tests/support/bridge_report.h"

#include <sstream>

namespace model {

namespace {

template <typename T>
std::string Join(const std::vector<T>& items) {
  std::ostringstream text;
  text << "[";
  for (std::size_t index = 0; index < items.size(); ++index) {
    text << (index ? ", " : "");
    if constexpr (std::is_same_v<T, Chord>) {
      text << "Ctrl+Shift+" << static_cast<char>(items[index].virtual_key) << "/" << items[index].scan_code;
    } else {
      text << items[index];
    }
  }
  return text.str() + "]";
}

std::string JoinVariables(const std::map<std::string, std::int32_t>& variables) {
  std::vector<std::string> items;
  for (const auto& [name, value] : variables) {
    items.push_back(name + "=" + std::to_string(value));
  }
  return Join(items);
}

std::string Field(const std::optional<std::int32_t>& field) {
  return field ? std::to_string(*field) : "unmapped";
}

}  // namespace

std::string Difference(const Outcome& expected, const Outcome& actual) {
  std::string text;
  const auto compare = [&](const char* what, const std::string& want, const std::string& got) {
    if (want != got) {
      text += std::string(what) + ":\n  expected " + want + "\n  actual   " + got + "\n";
    }
  };
  compare("expressions", Join(expected.expressions), Join(actual.expressions));
  compare("loader calls", Join(expected.loader_calls), Join(actual.loader_calls));
  compare("chords", Join(expected.chords), Join(actual.chords));
  compare("panel variables", JoinVariables(expected.variables), JoinVariables(actual.variables));
  compare("add-on field", Field(expected.addon_field), Field(actual.addon_field));
  return text;
}

std::string Describe(const Step& step) {
  static const char* const kEvents[] = {"", "load", "load with null export", "publish record",
                                        "null export", "free"};
  std::ostringstream text;
  text << "service code " << step.service_code;
  for (const auto& [index, value] : step.panel_sets) {
    text << "; " << VariableName(index) << " = " << (value ? std::to_string(*value) : "never written");
  }
  if (step.addon_event != AddonEvent::kNone) {
    text << "; add-on " << kEvents[static_cast<int>(step.addon_event)];
  }
  if (step.addon_sets_field) {
    text << "; add-on field = " << *step.addon_sets_field;
  }
  if (step.main_window) {
    text << (*step.main_window ? "; main window created" : "; main window destroyed");
  }
  return text.str();
}

}  // namespace model
