#include "tools/gauge_host/script/calculator.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

#include "tools/gauge_host/common/text.h"
#include "tools/gauge_host/script/variable_reference.h"

namespace gauge_host {

namespace {

// How an operator meets the stack.
enum class Shape : std::uint8_t {
  kNumbers,    // as many numbers as `takes` says for a number
  kDivide,     // two numbers for a number, refusing a zero divisor
  kValues,     // strings and numbers, as `takes` says, for one value
  kChoose,     // f t c ?: t when c is not 0, else f
  kDuplicate,  // d
  kPop,        // p
  kSwap,       // r
  kClear,      // c
  kStore,      // sN
  kStorePop,   // spN
  kLoad,       // lN
  kIf,         // if{: jump is where to go when the value popped is zero
  kEls,        // els{: only ever jumped past or into
  kEnd,        // }: jump is past the els{ block that follows, if any, else the next token
  kQuit,       // quit
  kGoto,       // gN: jump is its label
  kLabel,      // :N
  kCase,       // vK ... v1 K i case
};

using NumberFunction = double (*)(const double* x);  // x[0] was pushed first
using ValueFunction = Value (*)(const Value* x);

struct OperatorRow {
  std::string_view word;  // a word ending in N ("sN") is its prefix and a number
  Shape shape;
  std::string_view takes;  // a letter for each value it takes, deepest first: n number, s string, v either
  NumberFunction numbers = nullptr;  // kNumbers and kDivide
  ValueFunction values = nullptr;    // kValues
};

constexpr OperatorRow Numbers(std::string_view word, std::string_view takes, NumberFunction apply) {
  return {word, Shape::kNumbers, takes, apply};
}

constexpr OperatorRow Divide(std::string_view word, NumberFunction apply) { return {word, Shape::kDivide, "nn", apply}; }

constexpr OperatorRow Values(std::string_view word, std::string_view takes, ValueFunction apply) {
  return {word, Shape::kValues, takes, nullptr, apply};
}

constexpr OperatorRow Word(std::string_view word, Shape shape, std::string_view takes = "") { return {word, shape, takes}; }

double Truth(bool condition) { return condition ? 1 : 0; }

// The value into 0 <= a < period.
double Wrapped(double value, double period) {
  const double rest = std::fmod(value, period);
  const double wrapped = rest < 0 ? rest + period : rest;
  return wrapped >= period ? 0 : wrapped;
}

std::int32_t Bits(double value) { return ModuleInteger(value); }

const std::string& Text(const Value& value) { return std::get<std::string>(value); }

double Order(int comparison) { return comparison < 0 ? -1 : comparison > 0 ? 1 : 0; }

std::string Raised(std::string_view text) {
  std::string raised(text);
  for (char& c : raised) {
    c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return raised;
}

// A count or an index taken from a number, within 0 to limit.
std::size_t Clamped(double value, std::size_t limit) {
  return !(value > 0) ? 0 : value >= static_cast<double>(limit) ? limit : static_cast<std::size_t>(value);
}

constexpr double kPi = std::numbers::pi;

// The meanings of the operators the language spells two ways ("==" and "eq"), one each.
constexpr NumberFunction kNegated = [](const double* x) { return -x[0]; };
constexpr NumberFunction kDegreesWrapped = [](const double* x) { return Wrapped(x[0], 360); };
constexpr NumberFunction kEqual = [](const double* x) { return Truth(x[0] == x[1]); };
constexpr NumberFunction kNotEqual = [](const double* x) { return Truth(x[0] != x[1]); };
constexpr NumberFunction kGreater = [](const double* x) { return Truth(x[0] > x[1]); };
constexpr NumberFunction kLess = [](const double* x) { return Truth(x[0] < x[1]); };
constexpr NumberFunction kGreaterOrEqual = [](const double* x) { return Truth(x[0] >= x[1]); };
constexpr NumberFunction kLessOrEqual = [](const double* x) { return Truth(x[0] <= x[1]); };
constexpr NumberFunction kNot = [](const double* x) { return Truth(x[0] == 0); };
constexpr NumberFunction kAnd = [](const double* x) { return Truth(x[0] != 0 && x[1] != 0); };
constexpr NumberFunction kOr = [](const double* x) { return Truth(x[0] != 0 || x[1] != 0); };

// The one home of the operators: the compiler finds a word here and the runner does what
// its row says; the guide's reference is checked against it.
constexpr std::array kOperators = {
    // Arithmetic.
    Numbers("+", "nn", [](const double* x) { return x[0] + x[1]; }),
    Numbers("-", "nn", [](const double* x) { return x[0] - x[1]; }),
    Numbers("*", "nn", [](const double* x) { return x[0] * x[1]; }),
    Divide("/", [](const double* x) { return x[0] / x[1]; }),
    Divide("%", [](const double* x) { return std::fmod(x[0], x[1]); }),
    Divide("div", [](const double* x) { return std::trunc(x[0] / x[1]); }),
    Numbers("/-/", "n", kNegated),
    Numbers("neg", "n", kNegated),
    Numbers("++", "n", [](const double* x) { return x[0] + 1; }),
    Numbers("--", "n", [](const double* x) { return x[0] - 1; }),
    // Numbers.
    Numbers("abs", "n", [](const double* x) { return std::fabs(x[0]); }),
    Numbers("int", "n", [](const double* x) { return std::trunc(x[0]); }),
    Numbers("flr", "n", [](const double* x) { return std::floor(x[0]); }),
    Numbers("ceil", "n", [](const double* x) { return std::ceil(x[0]); }),
    Numbers("near", "n", [](const double* x) { return std::round(x[0]); }),
    Numbers("min", "nn", [](const double* x) { return std::min(x[0], x[1]); }),
    Numbers("max", "nn", [](const double* x) { return std::max(x[0], x[1]); }),
    Numbers("sqr", "n", [](const double* x) { return x[0] * x[0]; }),
    Numbers("sqrt", "n", [](const double* x) { return std::sqrt(x[0]); }),
    Numbers("pow", "nn", [](const double* x) { return std::pow(x[0], x[1]); }),
    Numbers("exp", "n", [](const double* x) { return std::exp(x[0]); }),
    Numbers("ln", "n", [](const double* x) { return std::log(x[0]); }),
    Numbers("lg", "n", [](const double* x) { return std::log10(x[0]); }),
    Numbers("log", "nn", [](const double* x) { return std::log(x[0]) / std::log(x[1]); }),
    Numbers("pi", "", [](const double*) { return kPi; }),
    Numbers("rng", "nnn", [](const double* x) { return Truth(x[1] <= x[0] && x[0] <= x[2]); }),
    // Angles, in radians, and their conversions.
    Numbers("sin", "n", [](const double* x) { return std::sin(x[0]); }),
    Numbers("cos", "n", [](const double* x) { return std::cos(x[0]); }),
    Numbers("tg", "n", [](const double* x) { return std::tan(x[0]); }),
    Numbers("ctg", "n", [](const double* x) { return 1 / std::tan(x[0]); }),
    Numbers("asin", "n", [](const double* x) { return std::asin(x[0]); }),
    Numbers("acos", "n", [](const double* x) { return std::acos(x[0]); }),
    Numbers("atg", "n", [](const double* x) { return std::atan(x[0]); }),
    Numbers("atg2", "nn", [](const double* x) { return std::atan2(x[0], x[1]); }),
    Numbers("dgrd", "n", [](const double* x) { return x[0] * kPi / 180; }),
    Numbers("rddg", "n", [](const double* x) { return x[0] * 180 / kPi; }),
    Numbers("dnor", "n", kDegreesWrapped),
    Numbers("d360", "n", kDegreesWrapped),
    Numbers("rnor", "n", [](const double* x) { return Wrapped(x[0], 2 * kPi); }),
    // Comparison.
    Numbers("==", "nn", kEqual),
    Numbers("!=", "nn", kNotEqual),
    Numbers(">", "nn", kGreater),
    Numbers("<", "nn", kLess),
    Numbers(">=", "nn", kGreaterOrEqual),
    Numbers("<=", "nn", kLessOrEqual),
    Numbers("eq", "nn", kEqual),
    Numbers("ne", "nn", kNotEqual),
    Numbers("gt", "nn", kGreater),
    Numbers("lt", "nn", kLess),
    Numbers("ge", "nn", kGreaterOrEqual),
    Numbers("le", "nn", kLessOrEqual),
    Word("?", Shape::kChoose, "vvn"),
    // Logic: any number but 0 is true.
    Numbers("!", "n", kNot),
    Numbers("not", "n", kNot),
    Numbers("&&", "nn", kAnd),
    Numbers("and", "nn", kAnd),
    Numbers("||", "nn", kOr),
    Numbers("or", "nn", kOr),
    // Bits, on the values as the module would read them: 32-bit integers.
    Numbers("&", "nn", [](const double* x) { return double(Bits(x[0]) & Bits(x[1])); }),
    Numbers("|", "nn", [](const double* x) { return double(Bits(x[0]) | Bits(x[1])); }),
    Numbers("^", "nn", [](const double* x) { return double(Bits(x[0]) ^ Bits(x[1])); }),
    Numbers("~", "n", [](const double* x) { return double(~Bits(x[0])); }),
    Numbers(">>", "nn", [](const double* x) { return double(Bits(x[0]) >> (Bits(x[1]) & 31)); }),
    Numbers("<<", "nn",
            [](const double* x) {
              return double(static_cast<std::int32_t>(static_cast<std::uint32_t>(Bits(x[0])) << (Bits(x[1]) & 31)));
            }),
    // Stack and registers.
    Word("d", Shape::kDuplicate, "v"),
    Word("p", Shape::kPop, "v"),
    Word("r", Shape::kSwap, "vv"),
    Word("c", Shape::kClear),
    Word("sN", Shape::kStore, "v"),
    Word("spN", Shape::kStorePop, "v"),
    Word("lN", Shape::kLoad),
    // Strings.
    Values("scat", "ss", [](const Value* x) { return Value(Text(x[0]) + Text(x[1])); }),
    Values("scmp", "ss", [](const Value* x) { return Value(Order(Text(x[0]).compare(Text(x[1])))); }),
    Values("scmi", "ss", [](const Value* x) { return Value(Order(Lowered(Text(x[0])).compare(Lowered(Text(x[1]))))); }),
    Values("lc", "s", [](const Value* x) { return Value(Lowered(Text(x[0]))); }),
    Values("uc", "s", [](const Value* x) { return Value(Raised(Text(x[0]))); }),
    Values("cap", "s",
           [](const Value* x) {
             const std::string& text = Text(x[0]);
             return Value(Raised(text.substr(0, 1)) + text.substr(std::min<std::size_t>(1, text.size())));
           }),
    Values("slen", "s", [](const Value* x) { return Value(double(Text(x[0]).size())); }),
    Values("chr", "n",
           [](const Value* x) { return Value(std::string(1, static_cast<char>(Bits(std::get<double>(x[0])) & 0xFF))); }),
    Values("ord", "s",
           [](const Value* x) {
             const std::string& text = Text(x[0]);
             return Value(text.empty() ? 0.0 : double(static_cast<unsigned char>(text[0])));
           }),
    Values("symb", "sn",
           [](const Value* x) {
             const std::string& text = Text(x[0]);
             return Value(text.substr(Clamped(std::get<double>(x[1]), text.size()), 1));
           }),
    Values("ssub", "snn",
           [](const Value* x) {
             const std::string& text = Text(x[0]);
             return Value(text.substr(Clamped(std::get<double>(x[1]), text.size()),
                                      Clamped(std::get<double>(x[2]), text.size())));
           }),
    Values("sstr", "ss",
           [](const Value* x) {
             const std::size_t found = Text(x[0]).find(Text(x[1]));
             return Value(found == std::string::npos ? -1.0 : double(found));
           }),
    // Flow.
    Word("if{", Shape::kIf, "n"),
    Word("els{", Shape::kEls),
    Word("}", Shape::kEnd),
    Word("quit", Shape::kQuit),
    Word("gN", Shape::kGoto),
    Word(":N", Shape::kLabel),
    Word("case", Shape::kCase, "nn"),
};

constexpr std::size_t kRegisters = 50;

bool Numbered(const OperatorRow& row) { return row.word.size() > 1 && row.word.back() == 'N'; }

// The families of units a value converts within: a value in a family's unit is
// value * scale + offset in its base unit.
enum class Family : std::uint8_t { kPlain, kTime, kLength, kAngle, kSpeed, kRatio, kFrequency, kPressure, kTemperature };

struct UnitRow {
  std::string_view name;  // lowered
  Family family;
  double scale;
  double offset = 0;
};

constexpr double kFeet = 0.3048;

// The one home of the units scripts name.
constexpr std::array kUnits = {
    UnitRow{"number", Family::kPlain, 1},
    UnitRow{"numbers", Family::kPlain, 1},
    UnitRow{"bool", Family::kPlain, 1},
    UnitRow{"boolean", Family::kPlain, 1},
    UnitRow{"enum", Family::kPlain, 1},
    UnitRow{"second", Family::kTime, 1},
    UnitRow{"seconds", Family::kTime, 1},
    UnitRow{"minute", Family::kTime, 60},
    UnitRow{"minutes", Family::kTime, 60},
    UnitRow{"hour", Family::kTime, 3600},
    UnitRow{"hours", Family::kTime, 3600},
    UnitRow{"meter", Family::kLength, 1},
    UnitRow{"meters", Family::kLength, 1},
    UnitRow{"foot", Family::kLength, kFeet},
    UnitRow{"feet", Family::kLength, kFeet},
    UnitRow{"kilometer", Family::kLength, 1000},
    UnitRow{"kilometers", Family::kLength, 1000},
    UnitRow{"nautical mile", Family::kLength, 1852},
    UnitRow{"nautical miles", Family::kLength, 1852},
    UnitRow{"radian", Family::kAngle, 1},
    UnitRow{"radians", Family::kAngle, 1},
    UnitRow{"degree", Family::kAngle, kPi / 180},
    UnitRow{"degrees", Family::kAngle, kPi / 180},
    UnitRow{"meters per second", Family::kSpeed, 1},
    UnitRow{"knot", Family::kSpeed, 1852.0 / 3600},
    UnitRow{"knots", Family::kSpeed, 1852.0 / 3600},
    UnitRow{"kilometers per hour", Family::kSpeed, 1000.0 / 3600},
    UnitRow{"feet per minute", Family::kSpeed, kFeet / 60},
    UnitRow{"percent over 100", Family::kRatio, 1},
    UnitRow{"percent", Family::kRatio, 0.01},
    UnitRow{"hz", Family::kFrequency, 1},
    UnitRow{"hertz", Family::kFrequency, 1},
    UnitRow{"khz", Family::kFrequency, 1e3},
    UnitRow{"kilohertz", Family::kFrequency, 1e3},
    UnitRow{"mhz", Family::kFrequency, 1e6},
    UnitRow{"megahertz", Family::kFrequency, 1e6},
    UnitRow{"millibar", Family::kPressure, 1},
    UnitRow{"millibars", Family::kPressure, 1},
    UnitRow{"mbar", Family::kPressure, 1},
    UnitRow{"inhg", Family::kPressure, 33.8638866667},
    UnitRow{"inches of mercury", Family::kPressure, 33.8638866667},
    UnitRow{"celsius", Family::kTemperature, 1},
    UnitRow{"fahrenheit", Family::kTemperature, 5.0 / 9, -32 * 5.0 / 9},
    UnitRow{"farenheit", Family::kTemperature, 5.0 / 9, -32 * 5.0 / 9},  // as published gauges spell it
};

constexpr std::size_t kUnknownUnit = kUnits.size();

// The row of a lowered unit, or kUnknownUnit.
std::size_t UnitRowOf(std::string_view unit) {
  for (std::size_t row = 0; row < kUnits.size(); ++row) {
    if (kUnits[row].name == unit) {
      return row;
    }
  }
  return kUnknownUnit;
}

// What the host's clock gives P: and E: variables.
enum class Clock : std::uint8_t { kAbsolute, kLocalTimeOfDay, kZuluTimeOfDay, kSimulationRate };

struct ClockRow {
  std::string_view type;  // "P" or "E"
  std::string_view name;  // as the simulator spells it; read ignoring case
  Clock clock;
};

constexpr std::array kClocks = {
    ClockRow{"P", "Absolute time", Clock::kAbsolute},
    ClockRow{"P", "Local time", Clock::kLocalTimeOfDay},
    ClockRow{"P", "Zulu time", Clock::kZuluTimeOfDay},
    ClockRow{"P", "Simulation rate", Clock::kSimulationRate},
    ClockRow{"E", "ABSOLUTE TIME", Clock::kAbsolute},
    ClockRow{"E", "SIMULATION TIME", Clock::kAbsolute},
    ClockRow{"E", "LOCAL TIME", Clock::kLocalTimeOfDay},
    ClockRow{"E", "ZULU TIME", Clock::kZuluTimeOfDay},
};

constexpr double kSecondsInADay = 86400;

double ClockReading(Clock clock, const ScriptWorld& world) {
  switch (clock) {
    case Clock::kAbsolute: return kClockStartSeconds + world.elapsed_seconds;
    case Clock::kLocalTimeOfDay: return Wrapped(kLocalTimeOfDayAtStart + world.elapsed_seconds, kSecondsInADay);
    case Clock::kZuluTimeOfDay: return Wrapped(kZuluTimeOfDayAtStart + world.elapsed_seconds, kSecondsInADay);
    case Clock::kSimulationRate: return 1;
  }
  return 0;
}

// Values an instruction needs on the stack, and values it leaves in their place; case
// needs more than this, as its count says.
struct StackEffect {
  std::size_t needs;
  std::size_t leaves;
};

StackEffect EffectOf(const Instruction& instruction) {
  switch (instruction.op) {
    case Op::kWritePanel:
    case Op::kWriteGauge:
      return {1, 0};
    case Op::kKeyEvent:  // takes a value only when there is one
      return {0, 0};
    case Op::kOperator: {
      const OperatorRow& row = kOperators[instruction.row];
      const std::size_t takes = row.takes.size();
      switch (row.shape) {
        case Shape::kDuplicate: return {1, 2};
        case Shape::kSwap: return {2, 2};
        case Shape::kStore: return {1, 1};
        case Shape::kPop:
        case Shape::kStorePop:
        case Shape::kIf:
        case Shape::kClear:
        case Shape::kEls:
        case Shape::kEnd:
        case Shape::kQuit:
        case Shape::kGoto:
        case Shape::kLabel: return {takes, 0};
        case Shape::kNumbers:
        case Shape::kDivide:
        case Shape::kValues:
        case Shape::kChoose:
        case Shape::kLoad:
        case Shape::kCase: return {takes, 1};
      }
      break;
    }
    default:
      break;
  }
  return {0, 1};
}

Shape ShapeOf(const Instruction& instruction) {
  return instruction.op == Op::kOperator ? kOperators[instruction.row].shape : Shape::kNumbers;
}

bool AllDigits(std::string_view text, bool hexadecimal) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [&](char c) {
    return (c >= '0' && c <= '9') || (hexadecimal && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
  });
}

// A word of a numbered row, "s12" or ":3": the row and the number; the reason a number is refused.
std::optional<std::pair<std::size_t, std::size_t>> ParseNumbered(std::string_view word, std::string& error) {
  for (std::size_t row = 0; row < kOperators.size(); ++row) {
    const std::string_view prefix = kOperators[row].word.substr(0, kOperators[row].word.size() - 1);
    if (!Numbered(kOperators[row]) || !word.starts_with(prefix) || !AllDigits(word.substr(prefix.size()), false)) {
      continue;
    }
    const std::string_view digits = word.substr(prefix.size());
    std::size_t number = kRegisters;
    std::from_chars(digits.data(), digits.data() + digits.size(), number);
    const Shape shape = kOperators[row].shape;
    const bool a_register = shape == Shape::kStore || shape == Shape::kStorePop || shape == Shape::kLoad;
    if (a_register && (number >= kRegisters || digits.size() > 2)) {
      error = "there is no register " + std::string(digits) + " in '" + std::string(word) + "': the registers are 0 to " +
              std::to_string(kRegisters - 1);
    } else if (!a_register && digits.size() > 4) {
      error = "'" + std::string(word) + "': a label's number has at most 4 digits";
    }
    return std::pair{row, number};
  }
  return std::nullopt;
}

std::string KnownClocks(std::string_view type) {
  std::string known;
  for (const ClockRow& row : kClocks) {
    if (row.type == type) {
      known += (known.empty() ? "" : ", ") + std::string(row.name);
    }
  }
  return known;
}

// A P: or E: variable: its clock and the seconds of its unit.
std::string ParseClock(Instruction& instruction, const VariableToken& token) {
  const std::string& text = instruction.text;
  const auto* const row = std::find_if(kClocks.begin(), kClocks.end(), [&](const ClockRow& candidate) {
    return candidate.type == token.kind && SameIgnoringCase(candidate.name, token.name);
  });
  if (row == kClocks.end()) {
    return "the gauge host does not know the variable '" + text + "'; its " + token.kind + ": variables are " +
           KnownClocks(token.kind);
  }
  const bool rate = row->clock == Clock::kSimulationRate;
  if (token.unit.empty()) {
    return "'" + text + "' has no unit, as in (" + token.kind + ":" + std::string(row->name) +
           (rate ? ", number)" : ", seconds)");
  }
  const std::size_t unit = UnitRowOf(instruction.unit);
  const Family wanted = rate ? Family::kPlain : Family::kTime;
  if (unit == kUnknownUnit || kUnits[unit].family != wanted) {
    return "'" + text + "': " + (rate ? "a rate is read as a number" : "a time is read in seconds, minutes or hours") +
           ", not in '" + token.unit + "'";
  }
  instruction.op = Op::kReadClock;
  instruction.index = static_cast<std::size_t>(row->clock);
  instruction.number = kUnits[unit].scale;
  return "";
}

bool Writes(const VariableToken& token) { return token.kind.starts_with('>'); }

// An L: variable, read or written.
std::string ParsePanelVariable(Instruction& instruction, const VariableToken& token) {
  instruction.op = Writes(token) ? Op::kWritePanel : Op::kReadPanel;
  return token.unit.empty() ? "'" + instruction.text + "' has no unit, as in (L:" + instruction.name + ", number)" : "";
}

// A K: event, only ever sent.
std::string ParseKeyEvent(Instruction& instruction, const VariableToken& token) {
  instruction.op = Op::kKeyEvent;
  if (!Writes(token)) {
    return "'" + instruction.text + "': a key event is sent with (>K:" + instruction.name + ")";
  }
  return token.has_unit ? "'" + instruction.text + "': a key event takes no unit" : "";
}

// An A: variable, read in the unit it names.
std::string ParseSimulationVariable(Instruction& instruction, const VariableToken& token) {
  instruction.op = Op::kReadSimulation;
  instruction.index = UnitRowOf(instruction.unit);
  return token.unit.empty() ? "'" + instruction.text + "' has no unit, as in (A:" + instruction.name + ", bool)" : "";
}

// A G: variable, one of the gauge's own nine.
std::string ParseGaugeVariable(Instruction& instruction, const VariableToken& token) {
  const std::string_view name = instruction.name;
  if (name.size() != 4 || !SameIgnoringCase(name.substr(0, 3), "var") || name[3] < '1' || name[3] > '9') {
    return "'" + instruction.text + "': a gauge's own variables are (G:Var1) to (G:Var9)";
  }
  instruction.op = Writes(token) ? Op::kWriteGauge : Op::kReadGauge;
  instruction.index = static_cast<std::size_t>(name[3] - '1');
  return "";
}

// An M: variable: the event of the click, or where it is.
std::string ParseMouseVariable(Instruction& instruction, const VariableToken& /*token*/) {
  const std::string_view name = instruction.name;
  instruction.op = SameIgnoringCase(name, "Event") ? Op::kMouseEvent
                   : SameIgnoringCase(name, "X")   ? Op::kMouseX
                   : SameIgnoringCase(name, "Y")   ? Op::kMouseY
                                                   : Op::kNumber;
  return instruction.op != Op::kNumber ? ""
                                       : "'" + instruction.text + "': the mouse variables are (M:Event), (M:X) and (M:Y)";
}

// The types of variable a script names, in the order the refusal of an unknown type lists them.
struct VariableTypeRow {
  std::string_view type;
  // Null when a script may write the variable (or, for K:, only writes it); otherwise what
  // follows "X: variables are read only" in the refusal of a write.
  const char* read_only_reason;
  std::string (*parse)(Instruction& instruction, const VariableToken& token);
};

constexpr std::array kVariableTypes = {
    VariableTypeRow{"L", nullptr, ParsePanelVariable},
    VariableTypeRow{"A", "; the scenario sets them", ParseSimulationVariable},
    VariableTypeRow{"K", nullptr, ParseKeyEvent},
    VariableTypeRow{"P", "", ParseClock},
    VariableTypeRow{"E", "", ParseClock},
    VariableTypeRow{"G", nullptr, ParseGaugeVariable},
    VariableTypeRow{"M", "", ParseMouseVariable},
};

// "L:, A:, ... and M:": the types of kVariableTypes.
std::string KnownVariableTypes() {
  std::string known;
  for (std::size_t row = 0; row < kVariableTypes.size(); ++row) {
    if (row > 0) {
      known += row + 1 == kVariableTypes.size() ? " and " : ", ";
    }
    known += kVariableTypes[row].type;
    known += ':';
  }
  return known;
}

// Fills in a variable token "(...)"; the reason it is refused otherwise.
std::string ParseVariable(Instruction& instruction) {
  const std::string& text = instruction.text;
  const std::optional<VariableToken> token = ReadVariableToken(text);
  if (!token) {
    return "'" + text + "' is not a variable: write (L:NAME, UNIT), (A:NAME, UNIT), (>K:EVENT) or (M:Event)";
  }
  const bool writes = Writes(*token);
  const std::string_view type = std::string_view(token->kind).substr(writes ? 1 : 0);
  instruction.name = token->name;
  instruction.unit = Lowered(token->unit);
  if (instruction.name.empty()) {
    return "'" + text + "' names no variable";
  }
  const auto* const row = std::find_if(kVariableTypes.begin(), kVariableTypes.end(),
                                       [&](const VariableTypeRow& candidate) { return candidate.type == type; });
  if (row == kVariableTypes.end()) {
    return "'" + text + "': the gauge host does not know variables of type " + std::string(type) + ":; it knows " +
           KnownVariableTypes();
  }
  if (writes && row->read_only_reason != nullptr) {
    return "'" + text + "': " + std::string(type) + ": variables are read only" + row->read_only_reason;
  }
  return row->parse(instruction, *token);
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
  if (text.front() == '@') {
    return "'" + text + "' is a macro the gauge does not define";
  }
  for (std::size_t row = 0; row < kOperators.size(); ++row) {
    if (!Numbered(kOperators[row]) && kOperators[row].word == text) {
      instruction.op = Op::kOperator;
      instruction.row = row;
      return "";
    }
  }
  std::string error;
  if (const auto numbered = ParseNumbered(text, error)) {
    instruction.op = Op::kOperator;
    instruction.row = numbered->first;
    instruction.index = numbered->second;
    return error;
  }
  if (const std::optional<double> number = ParseNumber(text)) {
    instruction.op = Op::kNumber;
    instruction.number = *number;
    return "";
  }
  return "the gauge host does not know the token '" + text + "'";
}

// A problem at the instruction, in the script named by origin.
Diagnostic At(const ScriptOrigin& origin, const Instruction& instruction, Severity severity, const std::string& message) {
  return {origin.file, instruction.position, severity, message + " in " + origin.name};
}

// The depths the stack may have at one place, over every path that reaches it.
constexpr std::size_t kUnbounded = std::numeric_limits<std::size_t>::max() / 4;

struct DepthRange {
  std::size_t lowest;
  std::size_t highest;  // kUnbounded once a loop may grow it without end

  bool operator==(const DepthRange&) const = default;
};

// After taking `needs` values and leaving `leaves`; a path short of values runs no further.
std::size_t After(std::size_t depth, StackEffect effect) {
  return depth >= kUnbounded ? kUnbounded : std::max(depth, effect.needs) - effect.needs + effect.leaves;
}

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
      instruction.needs = EffectOf(instruction).needs;
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

  // Matches the blocks and the jumps with their labels, setting where each goes on.
  void MatchBlocks() {
    std::vector<Instruction>& code = script_.code;
    std::vector<std::size_t> open;  // the openers of the blocks not yet closed
    std::optional<std::size_t> just_closed_if;
    std::map<std::size_t, std::size_t> labels;
    for (std::size_t index = 0; index < code.size(); ++index) {
      Instruction& instruction = code[index];
      instruction.jump = index + 1;
      const Shape shape = ShapeOf(instruction);
      std::optional<std::size_t> closed_if;
      if (shape == Shape::kIf) {
        open.push_back(index);
      } else if (shape == Shape::kEls && !just_closed_if) {
        Error(instruction, "'els{' must come right after the '}' of an if{ block");
      } else if (shape == Shape::kEls) {
        code[*just_closed_if].jump = index + 1;
        open.push_back(index);
      } else if (shape == Shape::kEnd && open.empty()) {
        Error(instruction, "'}' closes no block");
      } else if (shape == Shape::kEnd) {
        const std::size_t opener = open.back();
        open.pop_back();
        // An if{ goes on past its block when its value is 0; the '}' before an els{ past the els{ block.
        code[ShapeOf(code[opener]) == Shape::kIf ? opener : opener - 1].jump = index + 1;
        closed_if = ShapeOf(code[opener]) == Shape::kIf ? std::optional(opener) : std::nullopt;
      } else if (shape == Shape::kLabel && !labels.emplace(instruction.index, index).second) {
        Error(instruction, "the label '" + instruction.text + "' is written twice; a gN must know where it goes");
      }
      just_closed_if = closed_if;
    }
    for (const std::size_t opener : open) {
      Error(code[opener], "'" + code[opener].text + "' is never closed by '}'");
    }
    for (Instruction& instruction : code) {
      if (ShapeOf(instruction) == Shape::kGoto) {
        const auto label = labels.find(instruction.index);
        if (label == labels.end()) {
          Error(instruction, "'" + instruction.text + "' jumps to the label ':" + std::to_string(instruction.index) +
                                 "', which the script does not have");
        } else {
          instruction.jump = label->second;
        }
      }
    }
  }

  // Follows the stack's depth along every path the script can take, and reports a token
  // that would find too few values whichever way the script went to reach it.
  void FollowStack(std::size_t depth_at_start) {
    const std::vector<Instruction>& code = script_.code;
    std::vector<std::optional<DepthRange>> before(code.size() + 1);
    std::vector<int> widened(code.size() + 1);
    before[0] = DepthRange{depth_at_start, depth_at_start};
    std::vector<std::size_t> pending{0};
    while (!pending.empty()) {
      const std::size_t index = pending.back();
      pending.pop_back();
      if (index == code.size()) {
        continue;
      }
      const DepthRange after = Through(index, *before[index]);
      for (const std::size_t next : NextOf(index)) {
        std::optional<DepthRange>& reached = before[next];
        const DepthRange merged = reached ? DepthRange{std::min(reached->lowest, after.lowest),
                                                       std::max(reached->highest, after.highest)}
                                          : after;
        if (reached == merged) {
          continue;
        }
        // A loop that grows the stack every time round: its depth is bounded no more.
        reached = ++widened[next] > 4 ? DepthRange{merged.lowest, kUnbounded} : merged;
        pending.push_back(next);
      }
    }
    for (std::size_t index = 0; index < code.size(); ++index) {
      if (!before[index]) {
        continue;  // never reached
      }
      const DepthRange depth = *before[index];
      script_.stack_followed = script_.stack_followed && depth.lowest == depth.highest &&
                               !(ShapeOf(code[index]) == Shape::kCase && !CaseCount(index));
      const std::size_t needs = Needs(index);
      if (depth.highest < needs) {
        Error(code[index], "'" + code[index].text + "' needs " + Counted(needs, "value") + " but the stack holds " +
                               (depth.highest == 0 ? "none" : "at most " + Counted(depth.highest, "value")) + " here");
      }
    }
  }

 private:
  // The count of a case when the script gives it as a number right before the value that chooses.
  std::optional<std::size_t> CaseCount(std::size_t index) const {
    const std::vector<Instruction>& code = script_.code;
    if (index < 2 || code[index - 2].op != Op::kNumber || code[index - 2].number < 0 ||
        code[index - 2].number > kMostTokensInARun) {
      return std::nullopt;
    }
    const StackEffect chooser = EffectOf(code[index - 1]);
    if (chooser.needs != 0 || chooser.leaves != 1 || ShapeOf(code[index - 1]) == Shape::kLabel) {
      return std::nullopt;
    }
    return static_cast<std::size_t>(code[index - 2].number);
  }

  std::size_t Needs(std::size_t index) const {
    const std::size_t needs = EffectOf(script_.code[index]).needs;
    return ShapeOf(script_.code[index]) == Shape::kCase ? needs + CaseCount(index).value_or(0) : needs;
  }

  DepthRange Through(std::size_t index, DepthRange depth) const {
    const Instruction& instruction = script_.code[index];
    const Shape shape = ShapeOf(instruction);
    if (instruction.op == Op::kKeyEvent) {
      return {depth.lowest == 0 ? 0 : depth.lowest - 1, depth.highest == 0 ? 0 : After(depth.highest, {1, 0})};
    }
    if (shape == Shape::kClear) {
      return {0, 0};
    }
    StackEffect effect = EffectOf(instruction);
    effect.needs = Needs(index);
    if (shape == Shape::kCase && !CaseCount(index)) {
      // Any count: from taking all but the one it leaves to taking the two it always takes.
      return {std::min<std::size_t>(1, After(depth.lowest, effect)), After(depth.highest, effect)};
    }
    return {After(depth.lowest, effect), After(depth.highest, effect)};
  }

  std::vector<std::size_t> NextOf(std::size_t index) const {
    const Instruction& instruction = script_.code[index];
    switch (ShapeOf(instruction)) {
      case Shape::kIf: return {index + 1, instruction.jump};
      case Shape::kEnd:
      case Shape::kGoto: return {instruction.jump};
      case Shape::kQuit: return {};
      default: return {index + 1};
    }
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
    const std::vector<Instruction>& code = script_.code;
    std::size_t index = 0;
    for (std::size_t tokens = 1; index < code.size() && !run_.error; ++tokens) {
      if (tokens > kMostTokensInARun) {
        Error(code[index], "the script ran " + std::to_string(kMostTokensInARun) +
                               " tokens in one run and was stopped here: does a gN loop without end?");
        break;
      }
      index = Step(code[index], index);
    }
    return std::move(run_);
  }

 private:
  Value& Register(std::size_t number) {
    if (registers_.empty()) {
      registers_.resize(kRegisters);  // every register reads 0 until stored
    }
    return registers_[number];
  }

  std::array<double, 9>& GaugeVariables() {
    return world_.gauge_variables != nullptr ? *world_.gauge_variables : world_.gaugeless_variables;
  }

  // Runs one instruction; where the run goes on.
  std::size_t Step(const Instruction& instruction, std::size_t index) {
    const std::size_t next = index + 1;
    if (stack_.size() < instruction.needs) {
      Short(instruction, instruction.needs, stack_.size());
      return next;
    }
    switch (instruction.op) {
      case Op::kNumber:
        stack_.emplace_back(instruction.number);
        return next;
      case Op::kString:
        stack_.emplace_back(instruction.name);
        return next;
      case Op::kReadPanel: {
        const auto variable = world_.panel_variables.find(instruction.name);
        stack_.emplace_back(variable == world_.panel_variables.end() ? 0.0 : variable->second);
        return next;
      }
      case Op::kWritePanel:
        if (const std::optional<double> value = PopNumber(instruction)) {
          world_.panel_variables[instruction.name] = *value;
          run_.events.push_back({ScriptEvent::Kind::kWrite, "write " + instruction.name + " = " + FormatNumber(*value),
                                 instruction.name, *value});
        }
        return next;
      case Op::kReadSimulation:
        stack_.emplace_back(ReadSimulation(instruction));
        return next;
      case Op::kKeyEvent: {
        std::string text = "key event " + instruction.name;
        if (!stack_.empty()) {
          if (const std::optional<double> value = PopNumber(instruction)) {
            text += " " + FormatNumber(*value);
          }
        }
        run_.events.push_back({ScriptEvent::Kind::kKeyEvent, text});
        return next;
      }
      case Op::kMouseEvent:
        stack_.emplace_back(world_.mouse_event);
        return next;
      case Op::kMouseX:
        stack_.emplace_back(world_.mouse_x);
        return next;
      case Op::kMouseY:
        stack_.emplace_back(world_.mouse_y);
        return next;
      case Op::kReadGauge:
        stack_.emplace_back(GaugeVariables()[instruction.index]);
        return next;
      case Op::kWriteGauge:
        if (const std::optional<double> value = PopNumber(instruction)) {
          GaugeVariables()[instruction.index] = *value;
        }
        return next;
      case Op::kReadClock:
        stack_.emplace_back(ClockReading(static_cast<Clock>(instruction.index), world_) / instruction.number);
        return next;
      case Op::kOperator:
        return Operate(instruction, kOperators[instruction.row], index);
    }
    return next;
  }

  std::size_t Operate(const Instruction& instruction, const OperatorRow& row, std::size_t index) {
    const std::size_t next = index + 1;
    switch (row.shape) {
      case Shape::kNumbers:
      case Shape::kDivide:
        if (Typed(instruction, row.takes)) {
          std::array<double, 3> numbers{};
          const std::size_t base = stack_.size() - row.takes.size();
          for (std::size_t argument = 0; argument < row.takes.size(); ++argument) {
            numbers[argument] = std::get<double>(stack_[base + argument]);
          }
          stack_.resize(base);
          if (row.shape == Shape::kDivide && numbers[1] == 0) {
            Error(instruction, "'" + instruction.text + "' divides " + FormatNumber(numbers[0]) + " by zero");
            return next;
          }
          stack_.emplace_back(row.numbers(numbers.data()));
        }
        return next;
      case Shape::kValues:
        if (Typed(instruction, row.takes)) {
          const std::size_t base = stack_.size() - row.takes.size();
          Value result = row.values(&stack_[base]);
          stack_.resize(base);
          stack_.push_back(std::move(result));
        }
        return next;
      case Shape::kChoose:
        if (Typed(instruction, row.takes)) {
          const std::size_t base = stack_.size() - 3;
          if (std::get<double>(stack_[base + 2]) != 0) {
            stack_[base] = std::move(stack_[base + 1]);
          }
          stack_.resize(base + 1);
        }
        return next;
      case Shape::kDuplicate:
        stack_.push_back(stack_.back());
        return next;
      case Shape::kPop:
        stack_.pop_back();
        return next;
      case Shape::kSwap:
        std::swap(stack_[stack_.size() - 1], stack_[stack_.size() - 2]);
        return next;
      case Shape::kClear:
        stack_.clear();
        return next;
      case Shape::kStore:
        Register(instruction.index) = stack_.back();
        return next;
      case Shape::kStorePop:
        Register(instruction.index) = std::move(stack_.back());
        stack_.pop_back();
        return next;
      case Shape::kLoad:
        stack_.push_back(Register(instruction.index));
        return next;
      case Shape::kIf: {
        const std::optional<double> condition = PopNumber(instruction);
        return condition && *condition == 0 ? instruction.jump : next;
      }
      case Shape::kEnd:
      case Shape::kGoto:
        return instruction.jump;
      case Shape::kQuit:
        return script_.code.size();
      case Shape::kCase:
        Case(instruction);
        return next;
      case Shape::kEls:
      case Shape::kLabel:
        break;
    }
    return next;
  }

  // vK ... v1 K i case: v(i+1) when 0 <= i < K, else 0.
  void Case(const Instruction& instruction) {
    const std::optional<double> chosen = PopNumber(instruction);
    const std::optional<double> count = chosen ? PopNumber(instruction) : std::nullopt;
    if (!count) {
      return;
    }
    const double whole = std::trunc(*count);  // as the count is read: 2.5 values are 2
    if (!(whole >= 0)) {
      Error(instruction, "'" + instruction.text + "' is given a count of " + FormatNumber(*count) +
                             " values: the count is 0 or more");
      return;
    }
    if (whole > static_cast<double>(stack_.size())) {
      Short(instruction, Clamped(whole, kUnbounded) + 2, stack_.size() + 2);
      return;
    }
    const std::size_t base = stack_.size() - static_cast<std::size_t>(whole);
    const bool within = *chosen >= 0 && *chosen < whole;
    Value result = within ? std::move(stack_[stack_.size() - 1 - static_cast<std::size_t>(*chosen)]) : Value(0.0);
    stack_.resize(base);
    stack_.push_back(std::move(result));
  }

  double ReadSimulation(const Instruction& instruction) {
    const auto variable = world_.simulation_variables.find(instruction.name);
    if (variable == world_.simulation_variables.end()) {
      if (world_.unset_simulation_reads.insert(instruction.name).second) {
        Warn(instruction, instruction.text + " was never set by the scenario; it reads 0");
      }
      return 0;
    }
    const auto set_unit = world_.simulation_units.find(instruction.name);
    if (set_unit == world_.simulation_units.end() || set_unit->second == instruction.unit) {
      return variable->second;
    }
    const std::size_t set_row = UnitRowOf(set_unit->second);
    const std::size_t read_row = instruction.index;
    const bool plain = (set_row != kUnknownUnit && kUnits[set_row].family == Family::kPlain) ||
                       (read_row != kUnknownUnit && kUnits[read_row].family == Family::kPlain);
    if (set_row != kUnknownUnit && read_row != kUnknownUnit && kUnits[set_row].family == kUnits[read_row].family) {
      const UnitRow& from = kUnits[set_row];
      const UnitRow& target = kUnits[read_row];
      return (variable->second * from.scale + from.offset - target.offset) / target.scale;
    }
    if (!plain && world_.unconverted_simulation_reads.insert(instruction.text).second) {
      Warn(instruction, instruction.text + " reads " + FormatNumber(variable->second) + " as the scenario set it, in " +
                            set_unit->second + ": the gauge host does not convert " + set_unit->second + " to " +
                            instruction.unit);
    }
    return variable->second;
  }

  // The types of the values the operator takes, deepest first; the error on the first, from the top, that is not.
  bool Typed(const Instruction& instruction, std::string_view takes) {
    const std::size_t base = stack_.size() - takes.size();
    for (std::size_t argument = takes.size(); argument-- > 0;) {
      const Value& value = stack_[base + argument];
      const bool number = std::holds_alternative<double>(value);
      if ((takes[argument] == 'n' && !number) || (takes[argument] == 's' && number)) {
        Error(instruction, "'" + instruction.text + "' needs a " + (number ? "string, not the number " : "number, not the string ") +
                               FormatValue(value));
        return false;
      }
    }
    return true;
  }

  std::optional<double> PopNumber(const Instruction& instruction) {
    if (!Typed(instruction, "n")) {
      return std::nullopt;
    }
    const double number = std::get<double>(stack_.back());
    stack_.pop_back();
    return number;
  }

  void Short(const Instruction& instruction, std::size_t needs, std::size_t holds) {
    Error(instruction, "'" + instruction.text + "' needs " + Counted(needs, "value") + " but the stack holds " +
                           std::to_string(holds));
  }

  void Warn(const Instruction& instruction, const std::string& message) {
    run_.events.push_back({ScriptEvent::Kind::kWarning,
                           FormatDiagnostic({script_.origin.file, instruction.position, Severity::kWarning, message})});
  }

  void Error(const Instruction& instruction, const std::string& message) {
    if (!run_.error) {
      run_.error = At(script_.origin, instruction, Severity::kError, message);
    }
  }

  const Script& script_;
  ScriptWorld& world_;
  std::vector<Value>& stack_;
  std::vector<Value> registers_;  // made on the first use: most scripts use none
  ScriptRun run_;
};

}  // namespace

std::vector<std::string_view> OperatorWords() {
  std::vector<std::string_view> words;
  words.reserve(kOperators.size());
  for (const OperatorRow& row : kOperators) {
    words.push_back(row.word);
  }
  return words;
}

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
  compiler.MatchBlocks();
  compiler.FollowStack(depth_at_start);
  return script;
}

ScriptRun RunScript(const Script& script, ScriptWorld& world, std::vector<Value>& stack) {
  return Runner(script, world, stack).Run();
}

void SetSimulationVariable(ScriptWorld& world, std::string_view name, std::string_view unit, double value) {
  world.simulation_variables.insert_or_assign(std::string(name), value);
  world.simulation_units.insert_or_assign(std::string(name), Lowered(Trimmed(unit)));
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
    // Digits, a point, digits (one side at least), then an exponent if any: "1e3", "2.5E-2".
    const std::size_t exponent_at = std::min(text.find_first_of("eE"), text.size());
    const std::string_view mantissa = text.substr(0, exponent_at);
    std::string_view exponent = text.substr(std::min(exponent_at + 1, text.size()));
    if (!exponent.empty() && (exponent[0] == '-' || exponent[0] == '+')) {
      exponent.remove_prefix(1);
    }
    const std::size_t point = mantissa.find('.');
    const std::string_view whole = mantissa.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view{} : mantissa.substr(point + 1);
    if ((whole.empty() && fraction.empty()) || (!whole.empty() && !AllDigits(whole, false)) ||
        (!fraction.empty() && !AllDigits(fraction, false)) || (exponent_at < text.size() && !AllDigits(exponent, false)) ||
        std::from_chars(text.data(), text.data() + text.size(), magnitude).ptr != text.data() + text.size()) {
      return std::nullopt;
    }
  }
  return negative ? -magnitude : magnitude;
}

std::optional<std::pair<double, double>> ParseNumberPair(std::string_view text) {
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) {
    return std::nullopt;
  }
  const std::optional<double> first = ParseNumber(Trimmed(text.substr(0, comma)));
  const std::optional<double> second = ParseNumber(Trimmed(text.substr(comma + 1)));
  if (!first || !second) {
    return std::nullopt;
  }
  return std::pair{*first, *second};
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
