#include "tools/gauge_host/scenario.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <optional>
#include <sstream>

#include "bridge/switch_table.h"
#include "tools/gauge_host/text.h"

namespace gauge_host {

std::vector<std::string> ModuleVariableNames() {
  std::vector<std::string> names = {"Tvl_SeatbeltSign"};
  for (const SwitchEntry* row = switch_table; row->kind != SWITCH_END; ++row) {
    names.push_back(row->var_name);
  }
  return names;
}

const SwitchEntry* SwitchRowOf(std::string_view name) {
  for (const SwitchEntry* row = switch_table; row->kind != SWITCH_END; ++row) {
    if (name == row->var_name) {
      return row;
    }
  }
  return nullptr;
}

bool IsModuleVariable(std::string_view name) { return name == "Tvl_SeatbeltSign" || SwitchRowOf(name) != nullptr; }

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> previous(b.size() + 1), current(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) {
    previous[j] = j;
  }
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t substitution = previous[j - 1] + (Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1);
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, substitution});
    }
    std::swap(previous, current);
  }
  return previous[b.size()];
}

namespace {

std::string Closest(std::string_view word, const std::vector<std::string>& candidates) {
  std::string best;
  std::size_t best_distance = std::numeric_limits<std::size_t>::max();
  for (const std::string& candidate : candidates) {
    const std::size_t distance = EditDistance(word, candidate);
    if (distance < best_distance) {
      best = candidate;
      best_distance = distance;
    }
  }
  return best;
}

bool IsChordKey(char key) {
  for (const SwitchEntry* row = switch_table; row->kind != SWITCH_END; ++row) {
    if (static_cast<char>(row->virtual_key) == key) {
      return true;
    }
  }
  return false;
}

bool IsVariableName(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
  });
}

// Parses one line's words into a step, or reports why it cannot.
class LineParser {
 public:
  LineParser(const std::string& file_name, int line, std::vector<std::string> words, Scenario& scenario)
      : file_name_(file_name), line_(line), words_(std::move(words)), scenario_(scenario) {}

  void Parse(std::string text) {
    ScenarioStep step;
    step.line = line_;
    step.text = std::move(text);
    if (ParseStep(step) && NoMoreWords()) {
      scenario_.steps.push_back(std::move(step));
    }
  }

 private:
  bool ParseStep(ScenarioStep& step) {
    const std::string& verb = words_[0];
    if (verb == "set") {
      step.kind = StepKind::kSet;
      words_used_ = 3;
      return Name(1, "set", step.name) && Number(2, "set " + step.name, step.value);
    }
    if (verb == "frame" || verb == "frames") {
      step.kind = StepKind::kFrames;
      words_used_ = words_.size() == 1 && verb == "frame" ? 1 : 2;
      if (words_used_ == 1) {
        return true;
      }
      std::int32_t count = 0;
      if (!Number(1, verb, count)) {
        return false;
      }
      if (count < 1 || static_cast<std::uint32_t>(count) > kMostFramesInAStep) {
        return Error("a frame count is from 1 to " + std::to_string(kMostFramesInAStep) + ", not " + Shown(words_[1]));
      }
      step.frames = static_cast<std::uint32_t>(count);
      return true;
    }
    if (verb == "addon") {
      return Addon(step);
    }
    if (verb == "window") {
      const std::string action = Word(1);
      if (action == "create" || action == "destroy") {
        step.kind = action == "create" ? StepKind::kWindowCreate : StepKind::kWindowDestroy;
        words_used_ = 2;
        return true;
      }
      return Error("'window' is followed by create or destroy" + Found(1));
    }
    if (verb == "expect") {
      return Expect(step);
    }
    return Error("unknown step '" + Shown(verb) + "' (did you mean '" +
                 Closest(verb, {"set", "frame", "frames", "addon", "window", "expect"}) +
                 "'?); the steps are set, frame, frames, addon, window and expect");
  }

  bool Addon(ScenarioStep& step) {
    const std::string action = Word(1);
    if (action == "load" || action == "free") {
      step.kind = action == "load" ? StepKind::kAddonLoad : StepKind::kAddonFree;
      words_used_ = 2;
      return true;
    }
    if (action == "export") {
      const std::string holds = Word(2);
      if (holds == "null" || holds == "record") {
        step.kind = holds == "null" ? StepKind::kAddonExportNull : StepKind::kAddonExportRecord;
        words_used_ = 3;
        return true;
      }
      return Error("'addon export' is followed by null or record" + Found(2));
    }
    if (action == "seatbelt") {
      step.kind = StepKind::kAddonSeatbelt;
      words_used_ = 3;
      return Number(2, "addon seatbelt", step.value);
    }
    return Error("'addon' is followed by load, free, export or seatbelt" + Found(1));
  }

  bool Expect(ScenarioStep& step) {
    const std::string what = Word(1);
    if (what == "chords") {
      step.kind = StepKind::kExpectChords;
      if (words_.size() < 3) {
        return Error("'expect chords' is followed by none or chords such as Ctrl+Shift+M");
      }
      if (words_[2] == "none") {
        words_used_ = 3;
        return true;
      }
      for (std::size_t index = 2; index < words_.size(); ++index) {
        const std::string& chord = words_[index];
        const std::string prefix = "ctrl+shift+";
        std::string lowered(chord.size(), ' ');
        std::transform(chord.begin(), chord.end(), lowered.begin(), Lower);
        if (lowered.size() != prefix.size() + 1 || lowered.compare(0, prefix.size(), prefix) != 0 ||
            std::isalnum(static_cast<unsigned char>(chord.back())) == 0) {
          return Error("'" + Shown(chord) + "' is not a chord: write Ctrl+Shift+ and one letter or digit");
        }
        const char key = static_cast<char>(std::toupper(static_cast<unsigned char>(chord.back())));
        if (!IsChordKey(key)) {
          Warning(std::string("no variable sends Ctrl+Shift+") + key + ", so the window never receives it");
        }
        step.chord_keys += key;
      }
      words_used_ = words_.size();
      return true;
    }
    if (what == "addon") {
      step.kind = StepKind::kExpectAddonSeatbelt;
      if (Word(2) != "seatbelt") {
        return Error("'expect addon' is followed by seatbelt and a value" + Found(2));
      }
      words_used_ = 4;
      return Number(3, "expect addon seatbelt", step.value);
    }
    step.kind = StepKind::kExpectVariable;
    words_used_ = 3;
    if (what.empty()) {
      return Error("'expect' is followed by a variable and its value, 'addon seatbelt' or 'chords'");
    }
    return Name(1, "expect", step.name) && Number(2, "expect " + step.name, step.value);
  }

  std::string Word(std::size_t index) const { return index < words_.size() ? words_[index] : ""; }

  std::string Found(std::size_t index) const {
    return index < words_.size() ? ", not '" + Shown(words_[index]) + "'" : "";
  }

  bool Name(std::size_t index, const std::string& after, std::string& name) {
    name = Word(index);
    if (name.empty()) {
      return Error("'" + after + "' needs a variable name");
    }
    if (name.size() > 2 && (name[0] == 'L' || name[0] == 'l') && name[1] == ':' && IsVariableName(name.substr(2))) {
      return Error("'" + Shown(name) + "' is not a variable name: write it without 'L:', as '" + Shown(name.substr(2)) +
                   "'");
    }
    if (!IsVariableName(name)) {
      return Error("'" + Shown(name) + "' is not a variable name: use letters, digits and underscores");
    }
    if (!IsModuleVariable(name)) {
      Warning("'" + Shown(name) + "' is not one of the module's variables; the closest is '" +
              Closest(name, ModuleVariableNames()) + "'");
    }
    return true;
  }

  bool Number(std::size_t index, const std::string& after, std::int32_t& value) {
    if (index >= words_.size()) {
      return Error("'" + after + "' needs a number");
    }
    const std::string& word = words_[index];
    std::size_t digits = word[0] == '-' || word[0] == '+' ? 1 : 0;
    if (digits == word.size() ||
        !std::all_of(word.begin() + static_cast<std::ptrdiff_t>(digits), word.end(),
                     [](char c) { return c >= '0' && c <= '9'; })) {
      return Error("'" + Shown(word) + "' is not a whole number");
    }
    std::int64_t magnitude = 0;
    for (; digits < word.size(); ++digits) {
      magnitude = magnitude * 10 + (word[digits] - '0');
      if (magnitude > std::int64_t{1} << 32) {
        break;
      }
    }
    const std::int64_t signed_value = word[0] == '-' ? -magnitude : magnitude;
    if (signed_value < std::numeric_limits<std::int32_t>::min() ||
        signed_value > std::numeric_limits<std::int32_t>::max()) {
      return Error("'" + Shown(word) + "' is beyond 32 bits: a value is from -2147483648 to 2147483647");
    }
    value = static_cast<std::int32_t>(signed_value);
    return true;
  }

  bool NoMoreWords() {
    if (words_.size() > words_used_) {
      return Error("unexpected '" + Shown(words_[words_used_]) + "' at the end of the step");
    }
    return true;
  }

  bool Error(const std::string& message) {
    scenario_.diagnostics.push_back(MakeDiagnostic(file_name_, line_, true, message));
    return false;
  }

  void Warning(const std::string& message) {
    scenario_.diagnostics.push_back(MakeDiagnostic(file_name_, line_, false, message));
  }

  const std::string& file_name_;
  int line_;
  std::vector<std::string> words_;
  Scenario& scenario_;
  std::size_t words_used_ = 0;  // by the step parsed, all of them for a well-formed line
};

}  // namespace

std::string ClosestModuleVariable(std::string_view name) { return Closest(name, ModuleVariableNames()); }

Diagnostic MakeDiagnostic(const std::string& file_name, int line, bool is_error, const std::string& message) {
  return {line, is_error, file_name + ":" + std::to_string(line) + (is_error ? ": error: " : ": warning: ") + message};
}

std::size_t ErrorCount(const Scenario& scenario) {
  return static_cast<std::size_t>(std::count_if(scenario.diagnostics.begin(), scenario.diagnostics.end(),
                                                [](const Diagnostic& diagnostic) { return diagnostic.is_error; }));
}

std::uint64_t FrameCount(const Scenario& scenario) {
  std::uint64_t frames = 0;
  for (const ScenarioStep& step : scenario.steps) {
    frames += step.kind == StepKind::kFrames ? step.frames : 0;
  }
  return frames;
}

Scenario ParseScenario(std::string_view text, const std::string& file_name) {
  Scenario scenario;
  // Notepad starts a UTF-8 file with a byte-order mark; its "Unicode" is UTF-16.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") {
    text.remove_prefix(3);
  } else if (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF") {
    scenario.diagnostics.push_back(MakeDiagnostic(file_name, 1, true, "saved as UTF-16: save it as UTF-8"));
    return scenario;
  }
  int line_number = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) {
      end = text.size();
    }
    std::string line(text.substr(start, end - start));
    start = end + 1;
    ++line_number;
    line = line.substr(0, line.find('#'));
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) {
      words.push_back(word);
    }
    if (!words.empty()) {
      const std::size_t first = line.find_first_not_of(" \t\r");
      const std::size_t last = line.find_last_not_of(" \t\r");
      LineParser(file_name, line_number, std::move(words), scenario).Parse(line.substr(first, last - first + 1));
    }
  }
  return scenario;
}

}  // namespace gauge_host
