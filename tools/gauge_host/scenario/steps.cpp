// The table of steps, and the scenario reader, which parses each line by it.
#include "tools/gauge_host/scenario/steps.h"

#include <algorithm>
#include <array>
#include <limits>

#include "tools/gauge_host/common/module_variables.h"
#include "tools/gauge_host/common/text.h"
#include "tools/gauge_host/scenario/scenario.h"
#include "tools/gauge_host/script/variable_reference.h"

namespace gauge_host {

namespace {

// In the order --help lists them. Rows that share their words differ in their first
// argument: a simulation variable is written in parentheses.
constexpr std::array kStepRows = {
    StepRow{"set", "NAME VALUE", "a panel gauge writes a variable (decimals allowed)", &StepPlayer::SetVariable},
    StepRow{"set", "(A:NAME, UNIT) VALUE",
            "a variable a gauge script reads: of the simulation\n(A:), of another module (C:MODULE:NAME) or of the\n"
            "program (P:, E:); VALUE in UNIT, or 'TEXT' for string",
            &StepPlayer::SetSimulationVariable},
    StepRow{"frame", "[N]", "runs one frame, or N (1 to 1000000)", &StepPlayer::RunFrames},
    StepRow{"frames", "N", "runs N frames (1 to 1000000)", &StepPlayer::RunFrames},
    StepRow{"addon load", "", "the simulator loads the add-on", &StepPlayer::LoadAddon},
    StepRow{"addon free", "", "the simulator frees it (needs it loaded)", &StepPlayer::FreeAddon},
    StepRow{"addon export null", "", "it is loaded but not ready (needs it loaded)", &StepPlayer::SetAddonExport},
    StepRow{"addon export record", "", "it is ready again (needs it loaded)",
            &StepPlayer::SetAddonExport},
    StepRow{"addon seatbelt", "SIGN", "the add-on sets its seat-belt sign (needs it loaded)",
            &StepPlayer::SetAddonSeatbelt},
    StepRow{"window create", "", "the main window appears (needs it gone)", &StepPlayer::CreateMainWindow},
    StepRow{"window destroy", "", "the main window goes (needs it there, as at the start)", &StepPlayer::DestroyMainWindow},
    StepRow{"panel hide", "", "the panel window holding Switches is hidden: the\nmodule gets no frames; update scripts still run",
            &StepPlayer::HideModuleWindow},
    StepRow{"panel show", "", "it is drawn again (needs it hidden)", &StepPlayer::ShowModuleWindow},
    StepRow{"expect", "NAME VALUE", "the variable holds VALUE", &StepPlayer::ExpectVariable},
    StepRow{"expect addon seatbelt", "SIGN", "the add-on's seat-belt sign holds SIGN", &StepPlayer::ExpectAddonSeatbelt},
    StepRow{"expect chords", "KEYS|none",
            "the chords received since the last such step,\nsuch as Ctrl+Shift+M Ctrl+Shift+T",
            &StepPlayer::ExpectChords},
    StepRow{"gauge", "FILE.xml", "your gauge joins the panel: its <Update> (at its\nFrequency) and element scripts run every frame,\nbefore the module's turn",
            &StepPlayer::AddGauge},
    StepRow{"click", "FILE.xml AREA [EVENT] [X,Y]",
            "runs the <Click> script of AREA (its number from 1,\nor \"its tooltip\") for EVENT (default LeftSingle);\n"
            "(M:X) and (M:Y) read X,Y, by default the area's centre",
            &StepPlayer::Click},
    StepRow{"press", "FILE.xml AREA [EVENT] [X,Y]",
            "holds the mouse button down on AREA: runs its <Click>\nas click does; with Repeat=\"Yes\" it runs again at the\n"
            "start of every frame after the next, until released",
            &StepPlayer::Press},
    StepRow{"release", "FILE.xml AREA",
            "lets the held button go: runs the area's <Click> for\nthe press's release (LeftRelease after LeftSingle),\n"
            "if it answers it",
            &StepPlayer::Release},
    StepRow{"rate", "FPS", "frames a second from the next frame on (1 to 1000;\n18 at the start): each frame moves the clock\n"
            "(P:Absolute time, seconds) on by 1/FPS s",
            &StepPlayer::SetRate},
    StepRow{"eval", "SCRIPT", "runs the rest of the line as a gauge script", &StepPlayer::Eval},
};

std::vector<std::string_view> Split(std::string_view text) {
  std::vector<std::string_view> words;
  while (!text.empty()) {
    const std::size_t space = std::min(text.find(' '), text.size());
    words.push_back(text.substr(0, space));
    text.remove_prefix(std::min(space + 1, text.size()));
  }
  return words;
}

// "a, b or c".
std::string Alternatives(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t index = 0; index < items.size(); ++index) {
    text += (index == 0 ? "" : index + 1 == items.size() ? " or " : ", ") + items[index];
  }
  return text;
}

struct LineWords {
  std::string text;  // the line without its comment
  std::vector<std::string> words;
  std::vector<std::size_t> offsets;
};

// Splits a line at white space, ending it at a '#'; a tooltip in double quotes, a text in
// single quotes or a variable in parentheses is one word, spaces and all.
LineWords SplitLine(const std::string& line) {
  LineWords split;
  std::size_t offset = 0;
  const auto space = [&] { return line[offset] == ' ' || line[offset] == '\t' || line[offset] == '\r'; };
  while (offset < line.size() && line[offset] != '#') {
    if (space()) {
      ++offset;
      continue;
    }
    const std::size_t start = offset;
    char closing = 0;
    for (; offset < line.size() && (closing != 0 || (!space() && line[offset] != '#')); ++offset) {
      if (closing == 0 && (line[offset] == '"' || line[offset] == '\'' || line[offset] == '(')) {
        closing = line[offset] == '(' ? ')' : line[offset];
      } else if (line[offset] == closing) {
        closing = 0;
      }
    }
    split.words.push_back(line.substr(start, offset - start));
    split.offsets.push_back(start);
  }
  split.text = line.substr(0, offset);
  return split;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsVariableName(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  });
}

// The placeholders of a row's arguments: "(A:NAME, UNIT) VALUE" is two.
std::vector<std::string_view> Placeholders(std::string_view arguments) {
  std::vector<std::string_view> placeholders;
  while (!arguments.empty()) {
    const std::size_t end = arguments.starts_with('(') ? arguments.find(')') + 1 : arguments.find(' ');
    placeholders.push_back(arguments.substr(0, end));
    arguments.remove_prefix(std::min(end == std::string_view::npos ? arguments.size() : end + 1, arguments.size()));
  }
  return placeholders;
}

// What a placeholder stands for, in a message that says it is missing.
std::string Described(std::string_view placeholder) {
  static constexpr std::pair<std::string_view, std::string_view> kDescriptions[] = {
      {"NAME", "a variable name"},
      {"VALUE", "a number"},
      {"(A:NAME, UNIT)", "a variable, (A:NAME, UNIT), (C:MODULE:NAME, UNIT), (P:NAME, UNIT) or (E:NAME, UNIT)"},
      {"SIGN", "a number"},
      {"N", "a number of frames"},
      {"FILE.xml", "the gauge's file, such as gauges/Tvl_Commands.xml"},
      {"AREA", "the area's number or \"tooltip\""},
      {"SCRIPT", "a script"},
      {"KEYS|none", "none or chords such as Ctrl+Shift+M"},
      {"FPS", "a number of frames a second"},
  };
  for (const auto& [known, description] : kDescriptions) {
    if (known == placeholder) {
      return std::string(description);
    }
  }
  return std::string(placeholder);
}

// Parses one line's words into a step by the table, or reports why it cannot.
class LineReader {
 public:
  LineReader(const std::string& file_name, int line, const LineWords& words, Scenario& scenario)
      : file_name_(file_name), line_(line), words_(words.words), offsets_(words.offsets), text_(words.text),
        scenario_(scenario) {}

  void Read(std::string text) {
    ScenarioStep step;
    step.line = line_;
    step.text = std::move(text);
    step.row = FindRow();
    if (step.row == nullptr) {
      return;
    }
    next_ = Split(step.row->words).size();
    for (const std::string_view placeholder : Placeholders(step.row->arguments)) {
      if (!ReadArgument(step, placeholder)) {
        return;
      }
    }
    if (next_ < words_.size()) {
      // "gauge My Gauges/Cabin.xml": a path with spaces, unquoted.
      const bool after_path = step.row->arguments.ends_with("FILE.xml");
      Error("unexpected '" + Shown(words_[next_]) + "' at the end of the step" +
            (after_path ? "; write a path with spaces in double quotes" : ""));
      return;
    }
    scenario_.steps.push_back(std::move(step));
  }

 private:
  // How many of the row's words the line starts with.
  std::size_t WordsInCommon(const StepRow& row) const {
    const std::vector<std::string_view> row_words = Split(row.words);
    std::size_t count = 0;
    while (count < row_words.size() && count < words_.size() && row_words[count] == words_[count]) {
      ++count;
    }
    return count;
  }

  // The row the line's words name: of the rows whose words all start the line, the one
  // with the most; of two with as many, the one whose first argument is written as the
  // next word is. Where the words only start some rows, the error says what may follow.
  const StepRow* FindRow() {
    const StepRow* best = nullptr;
    std::size_t best_words = 0;
    std::size_t known = 0;  // the most of the line's words that start some row
    for (const StepRow& row : kStepRows) {
      const std::size_t common = WordsInCommon(row);
      known = std::max(known, common);
      if (common == 0 || common != Split(row.words).size()) {
        continue;
      }
      const bool parenthesised = row.arguments.starts_with('(');
      const bool next_parenthesised = common < words_.size() && words_[common].starts_with('(');
      if (common > best_words || (common == best_words && parenthesised == next_parenthesised)) {
        best = &row;
        best_words = common;
      }
    }
    if (known == 0) {
      UnknownStep();
      return nullptr;
    }
    // A row is taken when nothing longer starts as the line does, or when the line goes on
    // to its arguments; "expect" alone could begin three steps.
    if (best != nullptr && best_words == known &&
        (best_words < words_.size() || !HasLongerRow(known) || best->arguments.empty() ||
         best->arguments.starts_with('['))) {
      if (const std::string meant = LongerStepMeant(known); !meant.empty()) {
        Error("'" + Said(known + 1) + "' is not a step: did you mean '" + meant + "'?");
        return nullptr;
      }
      return best;
    }
    WhatMayFollow(known);
    return nullptr;
  }

  void UnknownStep() {
    std::vector<std::string> verbs;
    for (const StepRow& row : kStepRows) {
      const std::string verb(Split(row.words).front());
      if (std::find(verbs.begin(), verbs.end(), verb) == verbs.end()) {
        verbs.push_back(verb);
      }
    }
    Error("unknown step '" + Shown(words_[0]) + "' (did you mean '" + Closest(words_[0], verbs) +
          "'?); the steps are " + Together(verbs));
  }

  // The line's first `known` words start steps but name none: the words and arguments
  // that may follow them.
  void WhatMayFollow(std::size_t known) {
    std::vector<std::string> follows;
    for (const StepRow& row : kStepRows) {
      if (WordsInCommon(row) < known) {
        continue;
      }
      const std::vector<std::string_view> row_words = Split(row.words);
      std::string rest;
      for (std::size_t index = known; index < row_words.size(); ++index) {
        rest += (rest.empty() ? "" : " ") + std::string(row_words[index]);
      }
      rest += (rest.empty() || row.arguments.empty() ? "" : " ") + std::string(row.arguments);
      follows.push_back(rest);
    }
    Error("'" + Said(known) + "' is followed by " + Alternatives(follows) +
          (known < words_.size() ? ", not '" + Shown(words_[known]) + "'" : ""));
  }

  // The words of a longer step the line's next word nearly spells, as "expect chord" does
  // "expect chords", which would else be read as a variable named chord; or "".
  std::string LongerStepMeant(std::size_t count) const {
    if (count >= words_.size()) {
      return "";
    }
    for (const StepRow& row : kStepRows) {
      const std::vector<std::string_view> row_words = Split(row.words);
      if (row_words.size() > count && WordsInCommon(row) == count && EditDistance(words_[count], row_words[count]) <= 2) {
        return Said(count) + " " + std::string(row_words[count]);
      }
    }
    return "";
  }

  // Whether some row has more words than the count and starts as the line does.
  bool HasLongerRow(std::size_t count) const {
    return std::any_of(kStepRows.begin(), kStepRows.end(), [&](const StepRow& row) {
      return Split(row.words).size() > count && WordsInCommon(row) >= count;
    });
  }

  // The line's first words, as the designer wrote them.
  std::string Said(std::size_t count) const {
    std::string said;
    for (std::size_t index = 0; index < count && index < words_.size(); ++index) {
      said += (said.empty() ? "" : " ") + Shown(words_[index]);
    }
    return said;
  }

  // Reads the words the placeholder stands for; false after an error.
  bool ReadArgument(ScenarioStep& step, std::string_view placeholder) {
    // An event is a word; a place that follows without one is two numbers.
    if (placeholder == "[EVENT]" && (next_ >= words_.size() || !IsLetter(words_[next_][0]))) {
      step.event = "LeftSingle";  // a click without an event is a left click
      return true;
    }
    if (placeholder == "[X,Y]" && (next_ >= words_.size() || IsLetter(words_[next_][0]))) {
      return true;
    }
    if (next_ >= words_.size()) {
      return placeholder.starts_with('[') || Error("'" + Said(next_) + "' needs " + Described(placeholder));
    }
    if (placeholder == "KEYS|none") {
      return Chords(step.chord_keys);
    }
    const std::string& word = words_[next_];
    const std::size_t offset = offsets_[next_];
    ++next_;
    if (placeholder == "NAME") {
      return Name(word, step.name);
    }
    if (placeholder == "VALUE" && !step.type.empty()) {
      return Setting(word, step);
    }
    if (placeholder == "VALUE") {
      return Decimal(word, step.number);
    }
    if (placeholder == "(A:NAME, UNIT)") {
      return SimulationVariable(word, step);
    }
    if (placeholder == "SIGN") {
      return Whole(word, step.value);
    }
    if (placeholder == "N" || placeholder == "[N]") {
      return FrameCount(word, step.frames);
    }
    if (placeholder == "FPS") {
      return Rate(word, step.value);
    }
    if (placeholder == "[X,Y]") {
      return Point(word, step.mouse_at);
    }
    if (placeholder == "SCRIPT") {
      next_ = words_.size();
      return Script(offset, step.script);
    }
    if (placeholder == "FILE.xml") {
      return Path(word, step.file, step.gauge);
    }
    std::string& text = placeholder == "AREA" ? step.area : step.event;
    text = word;
    return true;
  }

  bool Name(const std::string& name, std::string& taken) {
    if (name.size() > 2 && (name[0] == 'L' || name[0] == 'l') && name[1] == ':' && IsVariableName(name.substr(2))) {
      return Error("'" + Shown(name) + "' is not a variable name: write it without 'L:', as '" + Shown(name.substr(2)) +
                   "'");
    }
    if (!IsVariableName(name)) {
      return Error("'" + Shown(name) + "' is not a variable name: use letters, digits and underscores");
    }
    if (!IsModuleVariable(name)) {
      Warning("'" + Shown(name) + "' is not one of the module's variables; the closest is '" +
              ClosestModuleVariable(name) + "'");
    }
    taken = name;
    return true;
  }

  // (A:NAME, UNIT), (C:MODULE:NAME, UNIT), (P:NAME, UNIT) or (E:NAME, UNIT), as a script
  // reads it; a P: or E: variable one the host does not take from its clock.
  bool SimulationVariable(const std::string& word, ScenarioStep& step) {
    const std::optional<VariableToken> token =
        word.starts_with('(') && word.ends_with(')') ? ReadVariableToken(word) : std::nullopt;
    const bool settable = token && (token->kind == "A" || token->kind == "C" || token->kind == "P" || token->kind == "E");
    if (!settable || token->name.empty() || token->unit.empty()) {
      return Error("'" + Shown(word) + "' is not a variable a scenario sets: write (A:NAME, UNIT), "
                   "(C:MODULE:NAME, UNIT), (P:NAME, UNIT) or (E:NAME, UNIT), or a panel variable's name alone");
    }
    if (token->kind == "P" || token->kind == "E") {
      if (const std::optional<std::string> problem = SettingProblem(token->kind, token->name, token->unit)) {
        return Error(*problem);
      }
    }
    step.type = token->kind;
    step.name = token->name;
    step.unit = token->unit;
    return true;
  }

  // The value of a variable in parentheses: 'TEXT' in the unit string, else a number.
  bool Setting(const std::string& word, ScenarioStep& step) {
    if (SameIgnoringCase(step.unit, "string")) {
      if (word.size() < 2 || word.front() != '\'' || word.back() != '\'') {
        return Error("'" + Shown(word) + "' is not a text: a variable in the unit string is set to 'TEXT'");
      }
      step.text_value = word.substr(1, word.size() - 2);
      return true;
    }
    if (UnicodeMinus(word)) {
      return false;
    }
    const std::optional<double> number = ParseNumber(word[0] == '+' ? std::string_view(word).substr(1) : word);
    if (!number) {
      return Error("'" + Shown(word) + "' is not a number");
    }
    step.number = *number;
    return true;
  }

  // A minus copied from a document, U+2212, looks like the ASCII one a number takes; true,
  // with the error, when the word holds one.
  bool UnicodeMinus(const std::string& word) {
    static constexpr std::string_view kMinusSign = "\xE2\x88\x92";
    std::string ascii = word;
    for (std::size_t at = ascii.find(kMinusSign); at != std::string::npos; at = ascii.find(kMinusSign, at)) {
      ascii.replace(at, kMinusSign.size(), "-");
    }
    if (ascii == word) {
      return false;
    }
    Error("'" + Shown(word) + "' has a Unicode minus sign (\xE2\x88\x92), not the ASCII '-': write " +
          Shown(ascii));
    return true;
  }

  // A number as scripts write it, within the 32 bits the module reads.
  bool Decimal(const std::string& word, double& value) {
    if (UnicodeMinus(word)) {
      return false;
    }
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

  bool Whole(const std::string& word, std::int32_t& value) {
    if (UnicodeMinus(word)) {
      return false;
    }
    std::size_t digits = word[0] == '-' || word[0] == '+' ? 1 : 0;
    if (digits == word.size() || !std::all_of(word.begin() + static_cast<std::ptrdiff_t>(digits), word.end(),
                                              IsDigit)) {
      return Error("'" + Shown(word) + "' is not a whole number");
    }
    std::int64_t magnitude = 0;
    for (; digits < word.size() && magnitude <= (std::int64_t{1} << 32); ++digits) {
      magnitude = magnitude * 10 + (word[digits] - '0');
    }
    const std::int64_t signed_value = word[0] == '-' ? -magnitude : magnitude;
    if (signed_value < std::numeric_limits<std::int32_t>::min() ||
        signed_value > std::numeric_limits<std::int32_t>::max()) {
      return Error("'" + Shown(word) + "' is beyond 32 bits: a value is from -2147483648 to 2147483647");
    }
    value = static_cast<std::int32_t>(signed_value);
    return true;
  }

  // A whole number within the allowed count, however far beyond it the word goes.
  bool FrameCount(const std::string& word, std::uint32_t& frames) {
    const std::size_t sign = word[0] == '-' || word[0] == '+' ? 1 : 0;
    std::string_view digits = std::string_view(word).substr(sign);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsDigit)) {
      std::int32_t ignored = 0;
      return Whole(word, ignored);  // says why it is not a whole number
    }
    digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
    const std::size_t most_digits = std::to_string(kMostFramesInAStep).size();
    std::uint32_t count = 0;
    for (std::size_t index = 0; index < digits.size() && digits.size() <= most_digits; ++index) {
      count = count * 10 + static_cast<std::uint32_t>(digits[index] - '0');
    }
    if (word[0] == '-' || count < 1 || digits.size() > most_digits || count > kMostFramesInAStep) {
      return Error("a frame count is from 1 to " + std::to_string(kMostFramesInAStep) + ", not " + Shown(word));
    }
    frames = count;
    return true;
  }

  // A gauge file's path, in double quotes when it holds spaces; and the file it names.
  bool Path(const std::string& word, std::string& path, std::string& gauge) {
    path = word;
    if (word.starts_with('"')) {
      if (word.size() < 2 || !word.ends_with('"')) {
        return Error("the double quote before '" + Shown(word.substr(1)) + "' is never closed");
      }
      path = word.substr(1, word.size() - 2);
      if (path.empty()) {
        return Error("an empty path: write the gauge's file between the double quotes");
      }
    }
    gauge = SameFileKey(path);
    return true;
  }

  bool Rate(const std::string& word, std::int32_t& rate) {
    if (!Whole(word, rate)) {
      return false;
    }
    return (rate >= 1 && rate <= kMostFramesASecond) ||
           Error("a rate is from 1 to " + std::to_string(kMostFramesASecond) + " frames a second, not " + Shown(word));
  }

  // "12,30.5": where a click is, in the gauge's pixels.
  bool Point(const std::string& word, std::optional<std::pair<double, double>>& point) {
    point = ParseNumberPair(word);
    return point || Error("'" + Shown(word) + "' is not a place in the gauge: write X,Y, as 12,30");
  }

  // The scenario's own script: a reading the host would choose for a gauge's is an error here.
  bool Script(std::size_t offset, gauge_host::Script& script) {
    script = CompileScript(TextAt(std::string_view(text_).substr(offset), {line_, static_cast<int>(offset) + 1}),
                           {file_name_, "the eval step"}, 0);
    for (Diagnostic warning : script.warnings) {
      warning.severity = Severity::kError;
      script.errors.push_back(std::move(warning));
    }
    scenario_.diagnostics.insert(scenario_.diagnostics.end(), script.errors.begin(), script.errors.end());
    return script.errors.empty();
  }

  // KEYS|none: the chords from the current word to the end of the line.
  bool Chords(std::string& keys) {
    if (words_[next_] == "none") {
      ++next_;
      return true;
    }
    for (; next_ < words_.size(); ++next_) {
      const std::string& chord = words_[next_];
      const std::string_view prefix = "ctrl+shift+";
      if (chord.size() != prefix.size() + 1 || Lowered(chord).compare(0, prefix.size(), prefix) != 0 ||
          !IsVariableName(chord.substr(chord.size() - 1)) || chord.back() == '_') {
        return Error("'" + Shown(chord) + "' is not a chord: write Ctrl+Shift+ and one letter or digit");
      }
      const char key = chord.back() >= 'a' && chord.back() <= 'z' ? static_cast<char>(chord.back() - 'a' + 'A')
                                                                  : chord.back();
      if (SwitchRowOfKey(key) == nullptr) {
        Warning(std::string("no variable sends Ctrl+Shift+") + key + ", so the window never receives it");
      }
      keys += key;
    }
    return true;
  }

  bool Error(const std::string& message) {
    scenario_.diagnostics.push_back({file_name_, {line_, 0}, Severity::kError, message});
    return false;
  }

  void Warning(const std::string& message) {
    scenario_.diagnostics.push_back({file_name_, {line_, 0}, Severity::kWarning, message});
  }

  const std::string& file_name_;
  int line_;
  std::vector<std::string> words_;
  std::vector<std::size_t> offsets_;  // of each word in text_
  std::string text_;                  // the line, without its comment
  Scenario& scenario_;
  std::size_t next_ = 0;  // the word the next argument is read from
};

}  // namespace

std::optional<Diagnostic> PlayStep(StepPlayer& player, const ScenarioStep& step) { return (player.*step.row->play)(step); }

bool IsStep(const ScenarioStep& step, PlayFunction play) { return step.row->play == play; }

std::string StepsHelp() {
  std::string help;
  for (const StepRow& row : kStepRows) {
    std::string usage = "  " + std::string(row.words) + (row.arguments.empty() ? "" : " " + std::string(row.arguments));
    // A usage too long for its column stands on a line of its own.
    if (usage.size() < 32) {
      usage.append(32 - usage.size(), ' ');
    } else {
      usage += '\n';
      usage.append(32, ' ');
    }
    std::string_view text = row.help;
    for (bool first = true; !text.empty(); first = false) {
      const std::size_t end = std::min(text.find('\n'), text.size());
      help += (first ? usage : std::string(32, ' ')) + std::string(text.substr(0, end)) + "\n";
      text.remove_prefix(std::min(end + 1, text.size()));
    }
  }
  return help;
}

std::uint64_t FrameCount(const Scenario& scenario) {
  std::uint64_t frames = 0;
  for (const ScenarioStep& step : scenario.steps) {
    frames += IsStep(step, &StepPlayer::RunFrames) ? step.frames : 0;
  }
  return frames;
}

Scenario ParseScenario(std::string_view text, const std::string& file_name) {
  Scenario scenario;
  // Notepad starts a UTF-8 file with a byte-order mark; its "Unicode" is UTF-16.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") {
    text.remove_prefix(3);
  } else if (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF") {
    scenario.diagnostics.push_back({file_name, {1, 0}, Severity::kError, "saved as UTF-16: save it as UTF-8"});
    return scenario;
  }
  int line_number = 0;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string line(text.substr(start, end - start));
    start = end + 1;
    ++line_number;
    const LineWords words = SplitLine(line);
    if (!words.words.empty()) {
      const std::size_t last = words.text.find_last_not_of(" \t\r");
      LineReader(file_name, line_number, words, scenario)
          .Read(words.text.substr(words.offsets[0], last - words.offsets[0] + 1));
    }
  }
  return scenario;
}

}  // namespace gauge_host
