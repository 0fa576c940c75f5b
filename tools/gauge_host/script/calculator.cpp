#include "tools/gauge_host/script/calculator.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "tools/gauge_host/common/text.h"
#include "tools/gauge_host/script/variable_reference.h"

namespace gauge_host {

namespace {

// How an operator meets the stack.
enum class Shape : std::uint8_t {
  kUnary,       // a number for a number
  kBinary,      // two numbers for a number; the first argument is the deeper one
  kDivide,      // as kBinary, refusing a zero divisor
  kDuplicate,   // d
  kPop,         // p
  kSwap,        // r
  kClear,       // c
  kCompareStrings,  // scmp
};

struct OperatorRow {
  std::string_view word;
  Shape shape;
  double (*apply)(double below, double top);  // kUnary, kBinary and kDivide; unary ones take top
};

double Truth(bool condition) { return condition ? 1 : 0; }

constexpr std::array kOperators = {
    OperatorRow{"+", Shape::kBinary, [](double a, double b) { return a + b; }},
    OperatorRow{"-", Shape::kBinary, [](double a, double b) { return a - b; }},
    OperatorRow{"*", Shape::kBinary, [](double a, double b) { return a * b; }},
    OperatorRow{"/", Shape::kDivide, [](double a, double b) { return a / b; }},
    OperatorRow{"%", Shape::kDivide, [](double a, double b) { return std::fmod(a, b); }},
    OperatorRow{"neg", Shape::kUnary, [](double, double b) { return -b; }},
    OperatorRow{"abs", Shape::kUnary, [](double, double b) { return std::fabs(b); }},
    OperatorRow{"min", Shape::kBinary, [](double a, double b) { return std::min(a, b); }},
    OperatorRow{"max", Shape::kBinary, [](double a, double b) { return std::max(a, b); }},
    OperatorRow{"flr", Shape::kUnary, [](double, double b) { return std::floor(b); }},
    OperatorRow{"ceil", Shape::kUnary, [](double, double b) { return std::ceil(b); }},
    OperatorRow{"near", Shape::kUnary, [](double, double b) { return std::round(b); }},
    OperatorRow{"==", Shape::kBinary, [](double a, double b) { return Truth(a == b); }},
    OperatorRow{"!=", Shape::kBinary, [](double a, double b) { return Truth(a != b); }},
    OperatorRow{">", Shape::kBinary, [](double a, double b) { return Truth(a > b); }},
    OperatorRow{"<", Shape::kBinary, [](double a, double b) { return Truth(a < b); }},
    OperatorRow{">=", Shape::kBinary, [](double a, double b) { return Truth(a >= b); }},
    OperatorRow{"<=", Shape::kBinary, [](double a, double b) { return Truth(a <= b); }},
    OperatorRow{"&&", Shape::kBinary, [](double a, double b) { return Truth(a != 0 && b != 0); }},
    OperatorRow{"and", Shape::kBinary, [](double a, double b) { return Truth(a != 0 && b != 0); }},
    OperatorRow{"||", Shape::kBinary, [](double a, double b) { return Truth(a != 0 || b != 0); }},
    OperatorRow{"or", Shape::kBinary, [](double a, double b) { return Truth(a != 0 || b != 0); }},
    OperatorRow{"!", Shape::kUnary, [](double, double b) { return Truth(b == 0); }},
    OperatorRow{"not", Shape::kUnary, [](double, double b) { return Truth(b == 0); }},
    // Bitwise operators work on the values as the module would read them.
    OperatorRow{"&", Shape::kBinary,
                [](double a, double b) { return double(ModuleInteger(a) & ModuleInteger(b)); }},
    OperatorRow{"|", Shape::kBinary,
                [](double a, double b) { return double(ModuleInteger(a) | ModuleInteger(b)); }},
    OperatorRow{"^", Shape::kBinary,
                [](double a, double b) { return double(ModuleInteger(a) ^ ModuleInteger(b)); }},
    OperatorRow{"~", Shape::kUnary, [](double, double b) { return double(~ModuleInteger(b)); }},
    OperatorRow{"d", Shape::kDuplicate, nullptr},
    OperatorRow{"p", Shape::kPop, nullptr},
    OperatorRow{"r", Shape::kSwap, nullptr},
    OperatorRow{"c", Shape::kClear, nullptr},
    OperatorRow{"scmp", Shape::kCompareStrings, nullptr},
};

constexpr std::size_t kRegisters = 50;

// Values an instruction needs on the stack, and values it leaves in their place.
struct StackEffect {
  std::size_t needs;
  std::size_t leaves;
};

StackEffect EffectOf(const Instruction& instruction) {
  switch (instruction.op) {
    case Op::kWritePanel:
    case Op::kIf:
    case Op::kStorePop:
      return {1, 0};
    case Op::kStore:
      return {1, 1};
    case Op::kEls:
    case Op::kEnd:
    case Op::kQuit:
    case Op::kKeyEvent:  // takes a value only when there is one
      return {0, 0};
    case Op::kOperator:
      switch (kOperators[instruction.index].shape) {
        case Shape::kUnary: return {1, 1};
        case Shape::kBinary:
        case Shape::kDivide:
        case Shape::kCompareStrings: return {2, 1};
        case Shape::kDuplicate: return {1, 2};
        case Shape::kPop: return {1, 0};
        case Shape::kSwap: return {2, 2};
        case Shape::kClear: return {0, 0};
      }
      break;
    default:
      break;
  }
  return {0, 1};
}

bool AllDigits(std::string_view text, bool hexadecimal) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [&](char c) {
    return (c >= '0' && c <= '9') || (hexadecimal && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
  });
}

// The register of sN, spN or lN, when the word is one.
std::optional<std::pair<Op, std::size_t>> ParseRegister(std::string_view word, std::string& error) {
  Op register_op = Op::kStore;
  std::string_view digits;
  if (word.rfind("sp", 0) == 0) {
    register_op = Op::kStorePop;
    digits = word.substr(2);
  } else if (word[0] == 's' || word[0] == 'l') {
    register_op = word[0] == 's' ? Op::kStore : Op::kLoad;
    digits = word.substr(1);
  }
  if (!AllDigits(digits, false)) {
    return std::nullopt;
  }
  std::size_t index = kRegisters;
  std::from_chars(digits.data(), digits.data() + digits.size(), index);
  if (index >= kRegisters || digits.size() > 2) {
    error = "there is no register " + std::string(digits) + " in '" + std::string(word) +
            "': the registers are 0 to " + std::to_string(kRegisters - 1);
  }
  return std::pair{register_op, index};
}

// Fills in a variable token "(...)"; the reason it is refused otherwise.
std::string ParseVariable(Instruction& instruction) {
  const std::string& text = instruction.text;
  const std::optional<VariableToken> token = ReadVariableToken(text);
  if (!token) {
    return "'" + text + "' is not a variable: write (L:NAME, UNIT), (A:NAME, UNIT), (>K:EVENT) or (M:Event)";
  }
  const std::string& kind = token->kind;
  const std::string& unit = token->unit;
  const bool no_unit = !token->has_unit;
  instruction.name = token->name;
  if (instruction.name.empty()) {
    return "'" + text + "' names no variable";
  }
  if (kind == "L" || kind == ">L") {
    instruction.op = kind == "L" ? Op::kReadPanel : Op::kWritePanel;
    if (unit.empty()) {
      return "'" + text + "' has no unit: panel variables take number, bool or enum, as in (L:" + instruction.name +
             ", number)";
    }
    const std::string lowered = Lowered(unit);
    if (lowered != "number" && lowered != "bool" && lowered != "enum") {
      return "'" + text + "': panel variables take the unit number, bool or enum, not '" + unit + "'";
    }
    return "";
  }
  if (kind == "A") {
    instruction.op = Op::kReadSimulation;
    return unit.empty() ? "'" + text + "' has no unit, as in (A:" + instruction.name + ", bool)" : "";
  }
  if (kind == ">A") {
    return "'" + text + "': simulation variables are read only here; the scenario sets them";
  }
  if (kind == ">K") {
    instruction.op = Op::kKeyEvent;
    return no_unit ? "" : "'" + text + "': a key event takes no unit";
  }
  if (kind == "K") {
    return "'" + text + "': a key event is sent with (>K:" + instruction.name + ")";
  }
  if (kind == "M" && instruction.name == "Event" && no_unit) {
    instruction.op = Op::kMouseEvent;
    return "";
  }
  if (kind == "M") {
    return "'" + text + "': the only mouse variable known here is (M:Event)";
  }
  return "'" + text + "': variables of kind '" + kind + ":' are not known here; the kinds are L:, A:, >K: and M:";
}

// Fills in the instruction for its token; the reason it is refused otherwise.
std::string Classify(Instruction& instruction) {
  const std::string& text = instruction.text;
  if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'' &&
      text.find('\'', 1) == text.size() - 1) {
    instruction.op = Op::kString;
    instruction.name = text.substr(1, text.size() - 2);
    return "";
  }
  if (text.front() == '(' && text.back() == ')') {
    return ParseVariable(instruction);
  }
  if (text == "if{" || text == "els{" || text == "}" || text == "quit") {
    instruction.op = text == "if{" ? Op::kIf : text == "els{" ? Op::kEls : text == "}" ? Op::kEnd : Op::kQuit;
    return "";
  }
  for (std::size_t row = 0; row < kOperators.size(); ++row) {
    if (kOperators[row].word == text) {
      instruction.op = Op::kOperator;
      instruction.index = row;
      return "";
    }
  }
  std::string error;
  if (const auto store = ParseRegister(text, error)) {
    instruction.op = store->first;
    instruction.index = store->second;
    return error;
  }
  if (const std::optional<double> number = ParseNumber(text)) {
    instruction.op = Op::kNumber;
    instruction.number = *number;
    return "";
  }
  if ((text[0] == 'g' || text[0] == ':') && AllDigits(std::string_view(text).substr(1), false)) {
    return "'" + text + "': jumps and labels are not supported; use if{ } and els{ }";
  }
  return "unknown token '" + text + "'";
}

// A problem at the instruction, in the script named by origin.
Diagnostic At(const ScriptOrigin& origin, const Instruction& instruction, Severity severity, const std::string& message) {
  return {origin.file, instruction.position, severity, message + " in " + origin.name};
}

struct DepthRange {
  std::size_t lowest;
  std::size_t highest;
};

DepthRange Merge(DepthRange a, DepthRange b) {
  return {std::min(a.lowest, b.lowest), std::max(a.highest, b.highest)};
}

struct OpenBlock {
  std::size_t opener;
  DepthRange at_start;      // if{: after its value was taken; els{: as its if{ block began
  DepthRange after_then;    // els{ only: as its if{ block ended
};

class Compiler {
 public:
  Compiler(const ScriptOrigin& origin, Script& script) : origin_(origin), script_(script) {}

  void Tokenize(const ScriptText& source) {
    const std::string_view text = source.text;
    std::size_t offset = 0;
    while (offset < text.size()) {
      if (IsSpace(text[offset])) {
        ++offset;
        continue;
      }
      Instruction instruction;
      instruction.position = offset < source.positions.size() ? source.positions[offset] : ScriptPosition{};
      const std::size_t start = offset;
      const char opening = text[offset];
      if ((opening == '\'' || opening == '(') && !SkipEnclosed(text, offset, instruction)) {
        return;
      }
      while (offset < text.size() && !IsSpace(text[offset])) {
        ++offset;
      }
      instruction.text = text.substr(start, offset - start);
      if (const std::string error = Classify(instruction); !error.empty()) {
        Error(instruction, error);
      }
      script_.code.push_back(std::move(instruction));
    }
  }

  // A string or a variable runs from its opening character at offset to its closing one,
  // spaces included: offset moves past it. False, after the error, when it never closes.
  bool SkipEnclosed(std::string_view text, std::size_t& offset, Instruction& instruction) {
    const std::size_t start = offset;
    const char opening = text[offset];
    const char closing = opening == '\'' ? '\'' : ')';
    int depth = 0;
    do {
      depth += opening == '(' && text[offset] == '(' ? 1 : 0;
      ++offset;
    } while (offset < text.size() && !(text[offset] == closing && (opening == '\'' || --depth == 0)));
    if (offset == text.size()) {
      instruction.text = text.substr(start, std::min<std::size_t>(offset - start, 40));
      Error(instruction, opening == '\'' ? "the string " + instruction.text + " has no closing quote"
                                         : "'" + instruction.text + "' has no closing ')'");
      return false;
    }
    ++offset;
    return true;
  }

  // Matches the blocks and follows the stack's depth along every path, reporting a token
  // that would find too few values whichever way the script went to reach it.
  void CheckBlocks(std::size_t depth_at_start) {
    std::vector<Instruction>& code = script_.code;
    std::vector<OpenBlock> open;
    DepthRange depth{depth_at_start, depth_at_start};
    std::optional<OpenBlock> just_closed_if;  // with after_then set, for an els{ next
    for (std::size_t index = 0; index < code.size(); ++index) {
      Instruction& instruction = code[index];
      instruction.jump = index + 1;
      std::optional<OpenBlock> closed_if;
      const StackEffect effect = EffectOf(instruction);
      if (depth.highest < effect.needs) {
        Error(instruction, "'" + instruction.text + "' needs " + Counted(effect.needs, "value") +
                               " but the stack holds " +
                               (depth.highest == 0 ? "none" : "at most " + Counted(depth.highest, "value")) + " here");
      }
      depth.lowest = std::max(depth.lowest, effect.needs) - effect.needs + effect.leaves;
      depth.highest = std::max(depth.highest, effect.needs) - effect.needs + effect.leaves;
      if (instruction.op == Op::kKeyEvent) {
        depth = {depth.lowest == 0 ? 0 : depth.lowest - 1, depth.highest == 0 ? 0 : depth.highest - 1};
      } else if (instruction.op == Op::kOperator && kOperators[instruction.index].shape == Shape::kClear) {
        depth = {0, 0};
      } else if (instruction.op == Op::kIf) {
        open.push_back({index, depth, {}});
      } else if (instruction.op == Op::kEls) {
        if (!just_closed_if) {
          Error(instruction, "'els{' must come right after the '}' of an if{ block");
        } else {
          code[just_closed_if->opener].jump = index + 1;
          open.push_back({index, just_closed_if->at_start, depth});
          depth = just_closed_if->at_start;
        }
      } else if (instruction.op == Op::kEnd) {
        closed_if = CloseBlock(index, open, depth);
      }
      just_closed_if = closed_if;
    }
    for (const OpenBlock& block : open) {
      Error(code[block.opener], "'" + code[block.opener].text + "' is never closed by '}'");
    }
  }

 private:
  // The '}' at index closes the innermost open block: the jumps of its opener are set and
  // the depth after it merges its paths. The if{ block it closed, for an els{ next.
  std::optional<OpenBlock> CloseBlock(std::size_t index, std::vector<OpenBlock>& open, DepthRange& depth) {
    std::vector<Instruction>& code = script_.code;
    if (open.empty()) {
      Error(code[index], "'}' closes no block");
      return std::nullopt;
    }
    const OpenBlock block = open.back();
    open.pop_back();
    if (code[block.opener].op == Op::kIf) {
      code[block.opener].jump = index + 1;
      const OpenBlock closed{block.opener, block.at_start, depth};
      depth = Merge(block.at_start, depth);
      return closed;
    }
    code[block.opener - 1].jump = index + 1;
    depth = Merge(block.after_then, depth);
    return std::nullopt;
  }

  void Error(const Instruction& instruction, const std::string& message) {
    script_.errors.push_back(At(origin_, instruction, Severity::kError, message));
  }

  const ScriptOrigin& origin_;
  Script& script_;
};

// One run of a compiled script.
class Runner {
 public:
  Runner(const Script& script, ScriptWorld& world, std::vector<Value>& stack)
      : script_(script), world_(world), stack_(stack) {}

  ScriptRun Run() {
    std::size_t index = 0;
    while (index < script_.code.size() && !run_.error) {
      const Instruction& instruction = script_.code[index];
      if (instruction.op == Op::kQuit) {
        break;
      }
      index = Step(instruction) ? instruction.jump : index + 1;
    }
    return std::move(run_);
  }

 private:
  // Runs one instruction; true when it goes on at its jump rather than at the next one.
  bool Step(const Instruction& instruction) {
    const StackEffect effect = EffectOf(instruction);
    if (stack_.size() < effect.needs) {
      Error(instruction, "'" + instruction.text + "' needs " + Counted(effect.needs, "value") + " but the stack holds " +
                             std::to_string(stack_.size()));
      return false;
    }
    switch (instruction.op) {
      case Op::kNumber:
        stack_.emplace_back(instruction.number);
        return false;
      case Op::kString:
        stack_.emplace_back(instruction.name);
        return false;
      case Op::kReadPanel: {
        const auto variable = world_.panel_variables.find(instruction.name);
        stack_.emplace_back(variable == world_.panel_variables.end() ? 0.0 : variable->second);
        return false;
      }
      case Op::kWritePanel:
        if (const std::optional<double> value = PopNumber(instruction)) {
          world_.panel_variables[instruction.name] = *value;
          run_.events.push_back({ScriptEvent::Kind::kWrite, "write " + instruction.name + " = " + FormatNumber(*value),
                                 instruction.name, *value});
        }
        return false;
      case Op::kReadSimulation: {
        const auto variable = world_.simulation_variables.find(instruction.name);
        if (variable == world_.simulation_variables.end() && world_.unset_simulation_reads.insert(instruction.name).second) {
          run_.events.push_back({ScriptEvent::Kind::kWarning,
                                 FormatDiagnostic({script_.origin.file, instruction.position, Severity::kWarning,
                                                   instruction.text + " was never set by the scenario; it reads 0"})});
        }
        stack_.emplace_back(variable == world_.simulation_variables.end() ? 0.0 : variable->second);
        return false;
      }
      case Op::kKeyEvent: {
        std::string text = "key event " + instruction.name;
        if (!stack_.empty()) {
          if (const std::optional<double> value = PopNumber(instruction)) {
            text += " " + FormatNumber(*value);
          }
        }
        run_.events.push_back({ScriptEvent::Kind::kKeyEvent, text});
        return false;
      }
      case Op::kMouseEvent:
        stack_.emplace_back(world_.mouse_event);
        return false;
      case Op::kIf: {
        const std::optional<double> condition = PopNumber(instruction);
        return condition && *condition == 0;
      }
      case Op::kEnd:
        return true;
      case Op::kStore:
        registers_[instruction.index] = stack_.back();
        return false;
      case Op::kStorePop:
        registers_[instruction.index] = stack_.back();
        stack_.pop_back();
        return false;
      case Op::kLoad:
        stack_.push_back(registers_[instruction.index]);
        return false;
      case Op::kOperator:
        Operate(instruction, kOperators[instruction.index]);
        return false;
      case Op::kEls:
      case Op::kQuit:
        break;
    }
    return false;
  }

  void Operate(const Instruction& instruction, const OperatorRow& row) {
    switch (row.shape) {
      case Shape::kUnary:
        if (const std::optional<double> top = PopNumber(instruction)) {
          stack_.emplace_back(row.apply(0, *top));
        }
        return;
      case Shape::kBinary:
      case Shape::kDivide: {
        const std::optional<double> top = PopNumber(instruction);
        const std::optional<double> below = top ? PopNumber(instruction) : std::nullopt;
        if (!below) {
          return;
        }
        if (row.shape == Shape::kDivide && *top == 0) {
          Error(instruction, "'" + instruction.text + "' divides " + FormatNumber(*below) + " by zero");
          return;
        }
        stack_.emplace_back(row.apply(*below, *top));
        return;
      }
      case Shape::kDuplicate:
        stack_.push_back(stack_.back());
        return;
      case Shape::kPop:
        stack_.pop_back();
        return;
      case Shape::kSwap:
        std::swap(stack_[stack_.size() - 1], stack_[stack_.size() - 2]);
        return;
      case Shape::kClear:
        stack_.clear();
        return;
      case Shape::kCompareStrings: {
        const std::optional<std::string> top = PopString(instruction);
        const std::optional<std::string> below = top ? PopString(instruction) : std::nullopt;
        if (below) {
          const int order = below->compare(*top);
          stack_.emplace_back(order < 0 ? -1.0 : order > 0 ? 1.0 : 0.0);
        }
        return;
      }
    }
  }

  std::optional<double> PopNumber(const Instruction& instruction) {
    Value value = std::move(stack_.back());
    stack_.pop_back();
    if (const double* number = std::get_if<double>(&value)) {
      return *number;
    }
    Error(instruction, "'" + instruction.text + "' needs a number, not the string " + FormatValue(value));
    return std::nullopt;
  }

  std::optional<std::string> PopString(const Instruction& instruction) {
    Value value = std::move(stack_.back());
    stack_.pop_back();
    if (std::string* text = std::get_if<std::string>(&value)) {
      return std::move(*text);
    }
    Error(instruction, "'" + instruction.text + "' needs a string, not the number " + FormatValue(value));
    return std::nullopt;
  }

  void Error(const Instruction& instruction, const std::string& message) {
    if (!run_.error) {
      run_.error = At(script_.origin, instruction, Severity::kError, message);
    }
  }

  const Script& script_;
  ScriptWorld& world_;
  std::vector<Value>& stack_;
  std::array<Value, kRegisters> registers_{};
  ScriptRun run_;
};

}  // namespace

ScriptText TextAt(std::string_view text, ScriptPosition start) {
  ScriptText placed{std::string(text), {}};
  for (const char character : text) {
    placed.positions.push_back(start);
    start = character == '\n' ? ScriptPosition{start.line + 1, 1} : ScriptPosition{start.line, start.column + 1};
  }
  return placed;
}

Script CompileScript(const ScriptText& text, const ScriptOrigin& origin, std::size_t depth_at_start) {
  Script script;
  script.origin = origin;
  Compiler compiler(script.origin, script);
  compiler.Tokenize(text);
  compiler.CheckBlocks(depth_at_start);
  return script;
}

ScriptRun RunScript(const Script& script, ScriptWorld& world, std::vector<Value>& stack) {
  return Runner(script, world, stack).Run();
}

std::optional<double> ParseNumber(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) {
    text.remove_prefix(1);
  }
  double magnitude = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    std::uint64_t integer = 0;
    if (!AllDigits(text, true) || std::from_chars(text.data(), text.data() + text.size(), integer, 16).ec != std::errc{}) {
      return std::nullopt;
    }
    magnitude = static_cast<double>(integer);
  } else {
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if ((whole.empty() && fraction.empty()) || (!whole.empty() && !AllDigits(whole, false)) ||
        (!fraction.empty() && !AllDigits(fraction, false)) ||
        std::from_chars(text.data(), text.data() + text.size(), magnitude, std::chars_format::fixed).ec != std::errc{}) {
      return std::nullopt;
    }
  }
  return negative ? -magnitude : magnitude;
}

std::int32_t ModuleInteger(double value) {
  const double truncated = std::trunc(value);
  if (!(truncated >= std::numeric_limits<std::int32_t>::min() && truncated <= std::numeric_limits<std::int32_t>::max())) {
    return std::numeric_limits<std::int32_t>::min();
  }
  return static_cast<std::int32_t>(truncated);
}

std::string FormatNumber(double value) {
  std::array<char, 32> text{};
  // Whole numbers in full up to where doubles stop holding every integer: "3000000000", not "3e+09".
  const bool whole = std::trunc(value) == value && std::fabs(value) < 0x1p53;
  value = value == 0 ? 0 : value;  // "0 neg" is 0 to a designer, not "-0"
  const std::to_chars_result end =
      whole ? std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed)
            : std::to_chars(text.data(), text.data() + text.size(), value);
  return {text.data(), end.ptr};
}

std::string FormatValue(const Value& value) {
  if (const double* number = std::get_if<double>(&value)) {
    return FormatNumber(*number);
  }
  return "'" + std::get<std::string>(value) + "'";
}

}  // namespace gauge_host
