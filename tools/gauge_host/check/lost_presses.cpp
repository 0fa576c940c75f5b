#include "tools/gauge_host/check/lost_presses.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

#include "tools/gauge_host/common/module_variables.h"
#include "tools/gauge_host/common/text.h"
#include "tools/gauge_host/script/gauge_scripts.h"

namespace gauge_host {

namespace {

// A script the module's presses meet in: what holds it, in which file.
struct PlacedScript {
  const std::string& file;
  const GaugeScript& script;
};

bool IsCommand(std::string_view name) {
  const SwitchEntry* row = SwitchRowOf(name);
  return row != nullptr && row->kind == SWITCH_MOMENTARY;
}

// The word of the operator table an instruction is ("if{", "quit", "spN", "gN", "+"), or
// "" for a number, a string or a variable.
std::string_view WordOf(const Instruction& instruction) {
  static const std::vector<std::string_view> words = OperatorWords();
  return instruction.op == Op::kOperator ? words[instruction.row] : std::string_view{};
}

// quit, or a jump "gN": what follows it may not run.
bool LeavesTheWay(const Instruction& instruction) {
  const std::string_view word = WordOf(instruction);
  return word == "quit" || word == "gN";
}

// A token after which the values on the stack belong to the next statement.
bool EndsStatement(const Instruction& instruction) {
  if (instruction.op == Op::kWritePanel || instruction.op == Op::kKeyEvent || instruction.op == Op::kWriteGauge) {
    return true;
  }
  const std::string_view word = WordOf(instruction);
  return word == "spN" || word == "if{" || word == "els{" || word == "}" || word == "quit";
}

// The tokens that compute the condition of an if{ block, or of the els{ block after it.
struct Condition {
  std::size_t begin = 0;
  std::size_t end = 0;
  bool is_if = true;
};

// Where each token of a script stands: the first token of its statement, and the
// conditions of the blocks it is in. The values a statement works on are taken to be
// those pushed since the last write, register store, key event or block edge.
struct TokenPlace {
  std::size_t statement = 0;
  std::vector<Condition> conditions;
};

std::vector<TokenPlace> PlacesOf(const std::vector<Instruction>& code) {
  std::vector<TokenPlace> places;
  std::vector<Condition> open;
  std::optional<Condition> closed_if;
  std::size_t statement = 0;
  for (std::size_t index = 0; index < code.size(); ++index) {
    places.push_back({statement, open});
    const std::string_view kind = WordOf(code[index]);
    std::optional<Condition> closed;
    if (kind == "if{") {
      open.push_back({statement, index, true});
    } else if (kind == "els{" && closed_if) {
      open.push_back({closed_if->begin, closed_if->end, false});
    } else if (kind == "}" && !open.empty()) {
      closed = open.back().is_if ? std::optional<Condition>(open.back()) : std::nullopt;
      open.pop_back();
    }
    closed_if = closed;
    statement = EndsStatement(code[index]) ? index + 1 : statement;
  }
  return places;
}

// Whether a condition reads nothing but the command `name` (and numbers): it cannot hold
// the command's 1 for a frame, as it holds whenever the command does. A timer, the mouse
// event or any other variable in it makes the block conditional.
bool ReadsOnly(const std::vector<Instruction>& code, const Condition& condition, std::string_view name) {
  return condition.begin < condition.end &&
         std::all_of(code.begin() + static_cast<std::ptrdiff_t>(condition.begin),
                     code.begin() + static_cast<std::ptrdiff_t>(condition.end), [&](const Instruction& instruction) {
                       return (instruction.op == Op::kReadPanel && instruction.name == name) ||
                              instruction.op == Op::kNumber ||
                              (instruction.op == Op::kOperator && WordOf(instruction) != "lN");
                     });
}

// Whether the token at index runs on every run of its script that finds the command
// `name` at 1: no condition other than the command's own stands before it, nor a quit or
// jump under one.
bool RunsWheneverTheCommandHolds(const std::vector<Instruction>& code, const std::vector<TokenPlace>& places,
                                 std::size_t index, std::string_view name) {
  const auto unconditional = [&](const TokenPlace& place) {
    return std::all_of(place.conditions.begin(), place.conditions.end(),
                       [&](const Condition& condition) { return ReadsOnly(code, condition, name); });
  };
  for (std::size_t before = 0; before < index; ++before) {
    if (LeavesTheWay(code[before]) && (places[before].conditions.empty() || !unconditional(places[before]))) {
      return false;
    }
  }
  return unconditional(places[index]);
}

// The ways a script flips a variable between 0 and 1, X standing for a read of it and a
// number for itself, however it is written ("1", "1.0", "0x1").
constexpr std::array<std::string_view, 5> kFlips = {"X !", "X not", "1 X -", "X 1 r -", "X 0 =="};

bool Flips(const std::vector<Instruction>& code, std::size_t statement, std::size_t write) {
  return std::any_of(kFlips.begin(), kFlips.end(), [&](std::string_view flip) {
    std::size_t index = statement;
    for (std::string_view rest = flip; !rest.empty(); ++index) {
      const std::size_t space = std::min(rest.find(' '), rest.size());
      const std::string_view word = rest.substr(0, space);
      rest.remove_prefix(std::min(space + 1, rest.size()));
      if (index >= write) {
        return false;
      }
      const Instruction& token = code[index];
      const std::optional<double> number = ParseNumber(word);
      const bool matched = word == "X"   ? token.op == Op::kReadPanel && token.name == code[write].name
                           : number ? token.op == Op::kNumber && token.number == *number
                                    : WordOf(token) == word;
      if (!matched) {
        return false;
      }
    }
    return index == write;
  });
}

std::string Place(const PlacedScript& script, const std::string& file, SourcePosition position) {
  return (file == script.file ? "line " : file + ":") + std::to_string(position.line);
}

std::string Tag(const PlacedScript& script) { return "<" + std::string(script.script.element) + ">"; }

// How a click should take a command back: on the mouse button coming up.
std::string ReleaseOnTheMouse(const std::vector<std::string>& events) {
  if (std::find(events.begin(), events.end(), "LeftRelease") != events.end()) {
    return "write 0 only on LeftRelease, when the mouse button comes up";
  }
  return "write 1 on LeftSingle and 0 on LeftRelease, when the mouse button comes up (Kind=\"LeftSingle+LeftRelease\")";
}

struct CommandWrite {
  PlacedScript script;
  const Instruction* write;
};

// The commands a script sets to 1 and back to 0 on one way through it, before the module
// can read the 1: every way through its blocks is followed, all of them forward.
void CheckOneRun(const PlacedScript& script, std::vector<Diagnostic>& findings) {
  const std::vector<Instruction>& code = script.script.script.code;
  // Before each token, the commands some way to it has left at 1, with where.
  std::vector<std::map<std::string, SourcePosition>> pressed(code.size() + 1);
  for (std::size_t index = 0; index < code.size(); ++index) {
    std::map<std::string, SourcePosition> after = pressed[index];
    const Instruction& instruction = code[index];
    if (instruction.op == Op::kWritePanel && IsCommand(instruction.name)) {
      const std::optional<double> value = WrittenNumber(code, index);
      const auto press = after.find(instruction.name);
      if (value == 0 && press != after.end()) {
        findings.push_back(
            {script.file, instruction.use, Severity::kError,
             instruction.name + " is set to 1 at " + Place(script, script.file, press->second) +
                 " and back to 0 in the same run of this " + Tag(script) +
                 " script: the module reads it once a frame, so it never sees the 1 and sends no chord; " +
                 (script.script.runs == RunsOn::kClick ? ReleaseOnTheMouse(script.script.events)
                                                : "leave the 1 for a frame and write 0 on a later cycle, after a "
                                                  "timer")});
      }
      after.erase(instruction.name);
      if (value == 1) {
        after.emplace(instruction.name, instruction.use);
      }
    }
    std::vector<std::size_t> next;
    if (WordOf(instruction) == "if{") {
      next = {index + 1, instruction.jump};
    } else if (WordOf(instruction) == "}") {
      next = {instruction.jump};
    } else if (!LeavesTheWay(instruction)) {
      next = {index + 1};
    }
    for (const std::size_t successor : next) {
      pressed[std::min(successor, code.size())].insert(after.begin(), after.end());
    }
  }
}

struct Writes {
  std::vector<CommandWrite> presses;  // of 1, by a click
  std::vector<CommandWrite> resets;   // of 0, on every cycle whenever the command holds 1
};

// Each write of a command in a script: a flip warned about, a press or reset kept.
void CheckWrites(const PlacedScript& script, Writes& writes, std::vector<Diagnostic>& findings) {
  const std::vector<Instruction>& code = script.script.script.code;
  const std::vector<TokenPlace> places = PlacesOf(code);
  for (std::size_t index = 0; index < code.size(); ++index) {
    const Instruction& write = code[index];
    if (write.op != Op::kWritePanel || !IsCommand(write.name)) {
      continue;
    }
    if (Flips(code, places[index].statement, index)) {
      findings.push_back({script.file, write.use, Severity::kWarning,
                          write.name + " is switched like an on/off toggle, but it is a command: the module sends "
                                       "its chord when it goes from 0 to 1, so on every second click only; press "
                                       "and release it instead: " +
                              ReleaseOnTheMouse({})});
    }
    const std::optional<double> value = WrittenNumber(code, index);
    if (script.script.runs == RunsOn::kClick && value == 1) {
      writes.presses.push_back({script, &write});
    }
    if (script.script.runs == RunsOn::kEveryCycle && value == 0 &&
        RunsWheneverTheCommandHolds(code, places, index, write.name)) {
      writes.resets.push_back({script, &write});
    }
  }
}

// Each reset on every cycle of a command that a click presses.
void CheckResets(const Writes& writes, std::vector<Diagnostic>& findings) {
  for (const CommandWrite& reset : writes.resets) {
    // The click of the same gauge, when it has one, is the one its designer means.
    const CommandWrite* press = nullptr;
    for (const CommandWrite& candidate : writes.presses) {
      const bool nearer = press == nullptr ||
                          (candidate.script.file == reset.script.file && press->script.file != reset.script.file);
      press = candidate.write->name == reset.write->name && nearer ? &candidate : press;
    }
    if (press == nullptr) {
      continue;
    }
    const PlacedScript& script = reset.script;
    findings.push_back({script.file, reset.write->use, Severity::kError,
                        "this " + Tag(script) + " script sets " + reset.write->name +
                            " to 0 on every cycle, before the module's frame, so the module may never see the 1 that "
                            "the " + Tag(press->script) + " at " +
                            Place(script, press->script.file, press->write->use) +
                            " writes; release it on the mouse event instead, " +
                            ReleaseOnTheMouse(press->script.script.events) + ", or after a timer"});
  }
}

}  // namespace

std::vector<Diagnostic> CheckLostPresses(const std::vector<GaugeScripts>& gauges) {
  std::vector<Diagnostic> findings;
  Writes writes;
  for (const GaugeScripts& gauge : gauges) {
    for (std::size_t index = 0; index < gauge.scripts.size(); ++index) {
      const GaugeScript& script = gauge.scripts[index];
      // Only what runs before the module's frame or on a click meets its presses.
      if (!gauge.Runs(index) || (script.runs != RunsOn::kClick && script.runs != RunsOn::kEveryCycle)) {
        continue;
      }
      const PlacedScript placed{gauge.file, script};
      CheckOneRun(placed, findings);
      CheckWrites(placed, writes, findings);
    }
  }
  CheckResets(writes, findings);
  return findings;
}

}  // namespace gauge_host
