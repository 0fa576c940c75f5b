#include "tools/gauge_host/scenario.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <optional>

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

struct LineWords {
  std::string text;  // the line without its comment
  std::vector<std::string> words;
  std::vector<std::size_t> offsets;
};

// Splits a line at white space, ending it at a '#'; a tooltip in double quotes or a
// variable in parentheses is one word, spaces and all.
LineWords SplitLine(const std::string& line) {
  LineWords split;
  std::size_t at = 0;
  const auto space = [&] { return line[at] == ' ' || line[at] == '\t' || line[at] == '\r'; };
  while (at < line.size() && line[at] != '#') {
    if (space()) {
      ++at;
      continue;
    }
    const std::size_t start = at;
    char closing = 0;
    for (; at < line.size() && (closing != 0 || (!space() && line[at] != '#')); ++at) {
      if (closing == 0 && (line[at] == '"' || line[at] == '(')) {
        closing = line[at] == '"' ? '"' : ')';
      } else if (line[at] == closing) {
        closing = 0;
      }
    }
    split.words.push_back(line.substr(start, at - start));
    split.offsets.push_back(start);
  }
  split.text = line.substr(0, at);
  return split;
}

// Parses one line's words into a step, or reports why it cannot.
class LineParser {
 public:
  LineParser(const std::string& file_name, int line, const LineWords& words, Scenario& scenario)
      : file_name_(file_name), line_(line), words_(words.words), offsets_(words.offsets), text_(words.text),
        scenario_(scenario) {}

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
      words_used_ = 3;
      if (Word(1).rfind("(", 0) == 0) {
        step.kind = StepKind::kSetSimulation;
        return SimulationVariable(step) && Decimal(2, "set " + Word(1), step.number);
      }
      step.kind = StepKind::kSet;
      return Name(1, "set", step.name) && Decimal(2, "set " + step.name, step.number);
    }
    if (verb == "gauge") {
      step.kind = StepKind::kGauge;
      words_used_ = 2;
      step.file = Word(1);
      return !step.file.empty() || Error("'gauge' is followed by the gauge's file, such as gauges/Tvl_Commands.xml");
    }
    if (verb == "click") {
      step.kind = StepKind::kClick;
      step.file = Word(1);
      step.area = Word(2);
      step.event = words_.size() > 3 ? Word(3) : "LeftSingle";
      words_used_ = std::max<std::size_t>(words_.size(), 3);
      if (step.area.empty()) {
        return Error("'click' is followed by the gauge's file, the area's number or \"tooltip\", and a mouse event "
                     "if not LeftSingle");
      }
      return words_.size() <= 4 || Error("unexpected '" + Shown(words_[4]) + "' at the end of the step");
    }
    if (verb == "eval") {
      step.kind = StepKind::kEval;
      words_used_ = words_.size();
      if (words_.size() < 2) {
        return Error("'eval' is followed by a script");
      }
      step.script = CompileScript(TextAt(std::string_view(text_).substr(offsets_[1]),
                                         {line_, static_cast<int>(offsets_[1]) + 1}),
                                  {file_name_, "the eval step"}, 0);
      for (const std::string& error : step.script.errors) {
        scenario_.diagnostics.push_back({line_, true, error});
      }
      return step.script.errors.empty();
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
                 Closest(verb, {"set", "frame", "frames", "addon", "window", "expect", "gauge", "click", "eval"}) +
                 "'?); the steps are set, frame, frames, addon, window, expect, gauge, click and eval");
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
    return Name(1, "expect", step.name) && Decimal(2, "expect " + step.name, step.number);
  }

  // (A:NAME, UNIT), as a script reads it.
  bool SimulationVariable(ScenarioStep& step) {
    const Script read = CompileScript(TextAt(words_[1], {line_, static_cast<int>(offsets_[1]) + 1}),
                                      {file_name_, "the set step"}, 0);
    if (read.errors.empty() && read.code.size() == 1 && read.code[0].op == Op::kReadSimulation) {
      step.name = read.code[0].name;
      return true;
    }
    return Error("'" + Shown(words_[1]) + "' is not a simulation variable: write (A:NAME, UNIT), or a panel "
                 "variable's name alone");
  }

  // A number as scripts write it, within the 32 bits the module reads.
  bool Decimal(std::size_t index, const std::string& after, double& value) {
    if (index >= words_.size()) {
      return Error("'" + after + "' needs a number");
    }
    const std::string& word = words_[index];
    const std::optional<double> number = ParseNumber(word[0] == '+' ? std::string_view(word).substr(1) : word);
    if (!number) {
      return Error("'" + Shown(word) + "' is not a number");
    }
    if (*number < std::numeric_limits<std::int32_t>::min() || *number > std::numeric_limits<std::int32_t>::max()) {
      return Error("'" + Shown(word) + "' is beyond 32 bits: a value is from -2147483648 to 2147483647");
    }
    value = *number;
    return true;
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
  std::vector<std::size_t> offsets_;  // of each word in text_
  std::string text_;                  // the line, without its comment
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
    const LineWords words = SplitLine(line);
    if (!words.words.empty()) {
      const std::size_t last = words.text.find_last_not_of(" \t\r");
      LineParser(file_name, line_number, words, scenario)
          .Parse(words.text.substr(words.offsets[0], last - words.offsets[0] + 1));
    }
  }
  return scenario;
}

}  // namespace gauge_host
