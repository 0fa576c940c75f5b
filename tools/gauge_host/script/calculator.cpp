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

// What P: and E: variables read: the host's clock, or a value that stands still unless the
// scenario sets it. The simulator takes either letter for each of them.
enum class Clock : std::uint8_t { kAbsolute, kLocalTimeOfDay, kZuluTimeOfDay, kSetting };

struct EnvironmentRow {
  std::string_view name;  // as the simulator spells it; read ignoring case
  Clock clock;
  std::string_view unit;   // the unit it holds: a time's seconds, a setting's own
  double start;            // a setting's value until the scenario sets it
  std::string_view meaning;
};

// The host's day: Monday 15 June 2026, 12:00 local time and 10:00 zulu at the start.
constexpr double kYear = 2026;
constexpr double kMonth = 6;
constexpr double kDayOfMonth = 15;
constexpr double kDayOfYear = 165;  // counted from 0 on 1 January
constexpr double kDayOfWeek = 1;    // counted from 0 on Sunday

// The one home of the P: and E: variables the host gives.
constexpr std::array kEnvironment = {
    EnvironmentRow{"ABSOLUTE TIME", Clock::kAbsolute, "seconds", 0, "1000 at the start, one frame's time more each frame"},
    EnvironmentRow{"SIMULATION TIME", Clock::kAbsolute, "seconds", 0, "the same as ABSOLUTE TIME"},
    EnvironmentRow{"LOCAL TIME", Clock::kLocalTimeOfDay, "seconds", 0, "the time of day, 12:00:00 at the start"},
    EnvironmentRow{"ZULU TIME", Clock::kZuluTimeOfDay, "seconds", 0, "the time of day, 10:00:00 at the start"},
    EnvironmentRow{"SIMULATION RATE", Clock::kSetting, "number", 1, "real time"},
    EnvironmentRow{"TIME OF DAY", Clock::kSetting, "enum", 1, "0 dawn, 1 day, 2 dusk, 3 night"},
    EnvironmentRow{"UNITS OF MEASURE", Clock::kSetting, "enum", 0, "0 English, 1 metric with feet, 2 metric with meters"},
    EnvironmentRow{"TIME ZONE OFFSET", Clock::kSetting, "seconds", -7200, "zulu time less local time"},
    EnvironmentRow{"LOCAL YEAR", Clock::kSetting, "number", kYear, ""},
    EnvironmentRow{"LOCAL MONTH OF YEAR", Clock::kSetting, "number", kMonth, "1 for January"},
    EnvironmentRow{"LOCAL DAY OF MONTH", Clock::kSetting, "number", kDayOfMonth, ""},
    EnvironmentRow{"LOCAL DAY OF YEAR", Clock::kSetting, "number", kDayOfYear, "0 for 1 January"},
    EnvironmentRow{"LOCAL DAY OF WEEK", Clock::kSetting, "number", kDayOfWeek, "0 for Sunday"},
    EnvironmentRow{"ZULU YEAR", Clock::kSetting, "number", kYear, ""},
    EnvironmentRow{"ZULU MONTH OF YEAR", Clock::kSetting, "number", kMonth, "1 for January"},
    EnvironmentRow{"ZULU DAY OF MONTH", Clock::kSetting, "number", kDayOfMonth, ""},
    EnvironmentRow{"ZULU DAY OF YEAR", Clock::kSetting, "number", kDayOfYear, "0 for 1 January"},
    EnvironmentRow{"ZULU DAY OF WEEK", Clock::kSetting, "number", kDayOfWeek, "0 for Sunday"},
};

constexpr double kSecondsInADay = 86400;

double ClockReading(Clock clock, const ScriptWorld& world) {
  switch (clock) {
    case Clock::kAbsolute: return kClockStartSeconds + world.elapsed_seconds;
    case Clock::kLocalTimeOfDay: return Wrapped(kLocalTimeOfDayAtStart + world.elapsed_seconds, kSecondsInADay);
    case Clock::kZuluTimeOfDay: return Wrapped(kZuluTimeOfDayAtStart + world.elapsed_seconds, kSecondsInADay);
    case Clock::kSetting: break;
  }
  return 0;
}

const EnvironmentRow* EnvironmentRowOf(std::string_view name) {
  const auto* const row = std::find_if(kEnvironment.begin(), kEnvironment.end(), [&](const EnvironmentRow& candidate) {
    return SameIgnoringCase(candidate.name, name);
  });
  return row == kEnvironment.end() ? nullptr : row;
}

// " (did you mean LOCAL TIME?)" for a name a slip away from one the host gives; "" else.
std::string Misspelt(std::string_view name) {
  std::vector<std::string> names;
  names.reserve(kEnvironment.size());
  for (const EnvironmentRow& row : kEnvironment) {
    names.emplace_back(row.name);
  }
  const std::string closest = Closest(name, names);
  return EditDistance(name, closest) <= 2 ? " (did you mean " + closest + "?)" : "";
}

bool IsPlain(std::size_t unit) { return unit != kUnknownUnit && kUnits[unit].family == Family::kPlain; }

// A value held in one unit read in another: converted within a family; a plain unit
// ("number", "bool", "enum") reads any value as it is held, and so does a unit of another
// family or one the host does not know, which `converted` then says.
double InUnit(double value, std::size_t held, std::size_t read, bool& converted) {
  converted = true;
  if (held != kUnknownUnit && read != kUnknownUnit && kUnits[held].family == kUnits[read].family) {
    return (value * kUnits[held].scale + kUnits[held].offset - kUnits[read].offset) / kUnits[read].scale;
  }
  converted = held == read || IsPlain(held) || IsPlain(read);
  return value;
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
    case Op::kWriteKept:
      return {1, 0};
    case Op::kKeyEvent:  // takes a value only when there is one
    case Op::kDrop:
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

// What the compiler found in a token: an error stops the script from running; a warning
// says how the host reads it.
struct TokenFinding {
  Severity severity = Severity::kError;
  std::string message;
};
using Finding = std::optional<TokenFinding>;

Finding Refused(std::string message) { return TokenFinding{Severity::kError, std::move(message)}; }
Finding Read(std::string message) { return TokenFinding{Severity::kWarning, std::move(message)}; }

// A word of a numbered row, "s12" or ":3": the row and the number; what is wrong with the number.
std::optional<std::pair<std::size_t, std::size_t>> ParseNumbered(std::string_view word, Finding& finding) {
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
      finding = Refused("there is no register " + std::string(digits) + " in '" + std::string(word) +
                        "': the registers are 0 to " + std::to_string(kRegisters - 1));
    } else if (!a_register && digits.size() > 4) {
      finding = Refused("'" + std::string(word) + "': a label's number has at most 4 digits");
    }
    return std::pair{row, number};
  }
  return std::nullopt;
}

bool Writes(const VariableToken& token) { return token.kind.starts_with('>'); }

// A P: or E: variable: the clock, or a setting, in the unit it is read in.
Finding ParseEnvironmentVariable(Instruction& instruction, const VariableToken& token) {
  const EnvironmentRow* row = EnvironmentRowOf(token.name);
  if (row == nullptr) {
    instruction.op = Op::kReadNothing;
    return Read("the gauge host does not know '" + instruction.text + "'" + Misspelt(token.name) + "; it reads 0");
  }
  const std::size_t held = UnitRowOf(row->unit);
  instruction.op = row->clock == Clock::kSetting ? Op::kReadSetting : Op::kReadClock;
  instruction.index = row->clock == Clock::kSetting ? static_cast<std::size_t>(row - kEnvironment.begin())
                                                    : static_cast<std::size_t>(row->clock);
  instruction.number = 1;
  if (token.unit.empty()) {
    return Read("'" + instruction.text + "' has no unit; it reads in " + std::string(row->unit) + ", as in (" +
                token.kind + ":" + std::string(row->name) + ", " + std::string(row->unit) + ")");
  }
  const std::size_t unit = UnitRowOf(instruction.unit);
  const bool same_family = unit != kUnknownUnit && kUnits[unit].family == kUnits[held].family;
  instruction.number = same_family ? kUnits[unit].scale / kUnits[held].scale : 1;  // a reading is the value over this
  if (!same_family && !IsPlain(unit)) {
    return Read("'" + instruction.text + "' is read in " + std::string(row->unit) + ": the gauge host does not read " +
                std::string(row->name) + " in '" + token.unit + "'");
  }
  return std::nullopt;
}

// An L: variable, read or written; one without a unit is a number, as any L: variable is.
Finding ParsePanelVariable(Instruction& instruction, const VariableToken& token) {
  instruction.op = Writes(token) ? Op::kWritePanel : Op::kReadPanel;
  return std::nullopt;
}

// A K: event, only ever sent: a unit after it means nothing.
Finding ParseKeyEvent(Instruction& instruction, const VariableToken& token) {
  if (!Writes(token)) {
    instruction.op = Op::kReadNothing;
    return Read("'" + instruction.text + "': a key event is sent with (>K:" + instruction.name + "), not read; it reads 0");
  }
  instruction.op = Op::kKeyEvent;
  return std::nullopt;
}

// An A: variable of the simulation, or a C: variable another module keeps: read in the
// unit it names, as the scenario set it or a script wrote it.
Finding ParseKeptVariable(Instruction& instruction, const VariableToken& token) {
  const std::string type = token.kind.substr(Writes(token) ? 1 : 0);
  instruction.op = Writes(token) ? Op::kWriteKept : Op::kReadKept;
  instruction.index = UnitRowOf(instruction.unit);
  instruction.name = type + ":" + instruction.name;
  if (token.unit.empty() && type == "A") {
    return Read("'" + instruction.text + "' has no unit; it reads as the scenario set it, as in (A:" +
                token.name + ", bool)");
  }
  return std::nullopt;
}

// A G: variable, one of the gauge's own nine.
Finding ParseGaugeVariable(Instruction& instruction, const VariableToken& token) {
  const std::string_view name = instruction.name;
  if (name.size() != 4 || !SameIgnoringCase(name.substr(0, 3), "var") || name[3] < '1' || name[3] > '9') {
    instruction.op = Writes(token) ? Op::kDrop : Op::kReadNothing;
    return Read("'" + instruction.text + "': a gauge's own variables are (G:Var1) to (G:Var9); " +
                (Writes(token) ? "the value written is dropped" : "it reads 0"));
  }
  instruction.op = Writes(token) ? Op::kWriteGauge : Op::kReadGauge;
  instruction.index = static_cast<std::size_t>(name[3] - '1');
  return std::nullopt;
}

// An M: variable: the event of a click, or where it is; (M:Key), the key a <Keys> script
// answers, reads 0, as the host presses no keys.
Finding ParseMouseVariable(Instruction& instruction, const VariableToken& /*token*/) {
  const std::string_view name = instruction.name;
  instruction.op = SameIgnoringCase(name, "Event") ? Op::kMouseEvent
                   : SameIgnoringCase(name, "X")   ? Op::kMouseX
                   : SameIgnoringCase(name, "Y")   ? Op::kMouseY
                                                   : Op::kReadNothing;
  if (instruction.op != Op::kReadNothing || SameIgnoringCase(name, "Key")) {
    return std::nullopt;
  }
  return Read("'" + instruction.text + "': the mouse variables are (M:Event), (M:X) and (M:Y); it reads 0");
}

// An R: string of the simulator's resources, which the host does not hold: it reads ''.
Finding ParseResourceString(Instruction& instruction, const VariableToken& /*token*/) {
  instruction.op = Op::kReadNothing;
  instruction.unit = "string";
  return std::nullopt;
}

// The types of variable a script names, in the order the guide lists them.
struct VariableTypeRow {
  std::string_view type;
  bool read_only;
  Finding (*parse)(Instruction& instruction, const VariableToken& token);
};

constexpr std::array kVariableTypes = {
    VariableTypeRow{"L", false, ParsePanelVariable},   VariableTypeRow{"A", false, ParseKeptVariable},
    VariableTypeRow{"C", false, ParseKeptVariable},    VariableTypeRow{"K", false, ParseKeyEvent},
    VariableTypeRow{"P", true, ParseEnvironmentVariable}, VariableTypeRow{"E", true, ParseEnvironmentVariable},
    VariableTypeRow{"G", false, ParseGaugeVariable},   VariableTypeRow{"M", true, ParseMouseVariable},
    VariableTypeRow{"R", true, ParseResourceString},
};

// "L:, A:, ... and R:": the types of kVariableTypes.
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

// Fills in a variable token "(...)"; what the compiler found in it.
Finding ParseVariable(Instruction& instruction) {
  const std::string& text = instruction.text;
  const std::optional<VariableToken> token = ReadVariableToken(text);
  if (!token) {
    return Refused("'" + text + "' is not a variable: write (L:NAME, UNIT), (A:NAME, UNIT), (>K:EVENT) or (M:Event)");
  }
  const bool writes = Writes(*token);
  const std::string_view type = std::string_view(token->kind).substr(writes ? 1 : 0);
  instruction.name = token->name;
  instruction.unit = Lowered(token->unit);
  if (instruction.name.empty()) {
    return Refused("'" + text + "' names no variable");
  }
  const auto* const row = std::find_if(kVariableTypes.begin(), kVariableTypes.end(),
                                       [&](const VariableTypeRow& candidate) { return candidate.type == type; });
  if (row == kVariableTypes.end()) {
    instruction.op = writes ? Op::kDrop : Op::kReadNothing;
    return Read("'" + text + "': the gauge host does not know variables of type " + std::string(type) + ": (it knows " +
                KnownVariableTypes() + "); " + (writes ? "the value written is dropped" : "it reads 0"));
  }
  if (writes && row->read_only) {
    instruction.op = Op::kDrop;
    return Read("'" + text + "': " + std::string(type) + ": variables are read only; the value written is dropped");
  }
  return row->parse(instruction, *token);
}

// Fills in the instruction for its token; what the compiler found in it.
Finding Classify(Instruction& instruction) {
  const std::string& text = instruction.text;
  if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'' && text.find('\'', 1) == text.size() - 1) {
    instruction.op = Op::kString;
    instruction.name = text.substr(1, text.size() - 2);
    return std::nullopt;
  }
  if (text.front() == '(' && text.back() == ')') {
    return ParseVariable(instruction);
  }
  if (text.front() == '@') {
    return Refused("'" + text + "' is a macro the gauge does not define");
  }
  for (std::size_t row = 0; row < kOperators.size(); ++row) {
    if (!Numbered(kOperators[row]) && kOperators[row].word == text) {
      instruction.op = Op::kOperator;
      instruction.row = row;
      return std::nullopt;
    }
  }
  Finding finding;
  if (const auto numbered = ParseNumbered(text, finding)) {
    instruction.op = Op::kOperator;
    instruction.row = numbered->first;
    instruction.index = numbered->second;
    return finding;
  }
  if (const std::optional<double> number = ParseNumber(text)) {
    instruction.op = Op::kNumber;
    instruction.number = *number;
    return std::nullopt;
  }
  return Refused("'" + text + "' is not a word of the calculator language");
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

// After taking `needs` values and leaving `leaves`; values missing read 0, so a path short
// of values goes on with what the instruction leaves.
std::size_t After(std::size_t depth, StackEffect effect) {
  return depth >= kUnbounded ? kUnbounded : std::max(depth, effect.needs) - effect.needs + effect.leaves;
}

constexpr std::string_view kMissingReadZero = "; the host reads 0 for each value missing";

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
      instruction.use = offset < source.uses.size() ? source.uses[offset] : instruction.position;
      const std::size_t start = offset;
      const char opening = text[offset];
      if ((opening == '\'' || opening == '(') && !SkipEnclosed(text, offset, instruction)) {
        return;
      }
      while (offset < text.size() && !IsSpace(text[offset])) {
        ++offset;
      }
      instruction.text = text.substr(start, offset - start);
      if (const Finding finding = Classify(instruction)) {
        Add(instruction, finding->severity, finding->message);
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
      Add(instruction, Severity::kError,
          opening == '\'' ? "the string " + instruction.text + " has no closing quote"
                          : "'" + instruction.text + "' has no closing ')'");
      return false;
    }
    ++offset;
    return true;
  }

  // Matches the blocks and the jumps with their labels, setting where each goes on. Where
  // the simulator's reading is not known, the host reads what the author most likely meant
  // and says so: a '}' that closes no block is passed over, a block never closed runs to
  // the end, an els{ after no if{ block is passed over, a jump to no label ends the run.
  void MatchBlocks() {
    std::vector<Instruction>& code = script_.code;
    struct Open {
      std::size_t index;
      bool after_if;  // an els{ right after an if{ block's '}'
    };
    std::vector<Open> open;  // the openers of the blocks not yet closed
    std::optional<std::size_t> just_closed_if;
    std::map<std::size_t, std::size_t> labels;
    for (std::size_t index = 0; index < code.size(); ++index) {
      Instruction& instruction = code[index];
      instruction.jump = index + 1;
      const Shape shape = ShapeOf(instruction);
      std::optional<std::size_t> closed_if;
      if (shape == Shape::kIf) {
        open.push_back({index, false});
      } else if (shape == Shape::kEls) {
        if (!just_closed_if) {
          Add(instruction, Severity::kWarning, "'els{' follows no if{ block: it is passed over and its block runs");
        } else {
          code[*just_closed_if].jump = index + 1;
        }
        open.push_back({index, just_closed_if.has_value()});
      } else if (shape == Shape::kEnd && open.empty()) {
        Add(instruction, Severity::kWarning, "'}' closes no block: it is passed over");
      } else if (shape == Shape::kEnd) {
        const Open opener = open.back();
        open.pop_back();
        // An if{ goes on past its block when its value is 0; the '}' before an els{ past the els{ block.
        if (ShapeOf(code[opener.index]) == Shape::kIf) {
          code[opener.index].jump = index + 1;
          closed_if = opener.index;
        } else if (opener.after_if) {
          code[opener.index - 1].jump = index + 1;
        }
      } else if (shape == Shape::kLabel && !labels.emplace(instruction.index, index).second) {
        Add(instruction, Severity::kWarning,
            "the label '" + instruction.text + "' is written twice: a jump to it goes to the first");
      }
      just_closed_if = closed_if;
    }
    for (const Open& opener : open) {
      Add(code[opener.index], Severity::kWarning,
          "'" + code[opener.index].text + "' is never closed by '}': its block runs to the end of the script");
      if (ShapeOf(code[opener.index]) == Shape::kIf) {
        code[opener.index].jump = code.size();
      } else if (opener.after_if) {
        code[opener.index - 1].jump = code.size();
      }
    }
    MatchJumps(labels);
  }

  // Each jump gN with its label :N; one to no label ends the run.
  void MatchJumps(const std::map<std::size_t, std::size_t>& labels) {
    for (Instruction& instruction : script_.code) {
      if (ShapeOf(instruction) != Shape::kGoto) {
        continue;
      }
      const auto label = labels.find(instruction.index);
      if (label == labels.end()) {
        Add(instruction, Severity::kWarning,
            "'" + instruction.text + "' jumps to the label ':" + std::to_string(instruction.index) +
                "', which the script does not have: the run ends there");
        instruction.jump = script_.code.size();
      } else {
        instruction.jump = label->second;
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
      const std::array<std::size_t, 2> next = NextOf(index);
      for (const std::size_t successor : next) {
        if (successor == kNowhere) {
          continue;
        }
        std::optional<DepthRange>& reached = before[successor];
        const DepthRange merged = reached ? DepthRange{std::min(reached->lowest, after.lowest),
                                                       std::max(reached->highest, after.highest)}
                                          : after;
        if (reached == merged) {
          continue;
        }
        // A loop that grows the stack every time round: its depth is bounded no more.
        reached = ++widened[successor] > 4 ? DepthRange{merged.lowest, kUnbounded} : merged;
        pending.push_back(successor);
      }
    }
    WarnOfShortStacks(before);
  }

  // A token that finds too few values on every way to it.
  void WarnOfShortStacks(const std::vector<std::optional<DepthRange>>& before) {
    std::vector<Instruction>& code = script_.code;
    for (std::size_t index = 0; index < code.size(); ++index) {
      if (!before[index]) {
        continue;  // never reached
      }
      const DepthRange depth = *before[index];
      script_.stack_followed = script_.stack_followed && depth.lowest == depth.highest &&
                               !(ShapeOf(code[index]) == Shape::kCase && !CaseCount(index));
      const std::size_t needs = Needs(index);
      if (depth.highest < needs) {
        code[index].short_of_values = true;
        Add(code[index], Severity::kWarning,
            "'" + code[index].text + "' needs " + Counted(needs, "value") + " but the stack holds " +
                (depth.highest == 0 ? "none" : "at most " + Counted(depth.highest, "value")) + " here" +
                std::string(kMissingReadZero));
      }
    }
  }

 private:
  static constexpr std::size_t kNowhere = std::numeric_limits<std::size_t>::max();

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
    if (instruction.op == Op::kKeyEvent || instruction.op == Op::kDrop) {
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

  std::array<std::size_t, 2> NextOf(std::size_t index) const {
    const Instruction& instruction = script_.code[index];
    switch (ShapeOf(instruction)) {
      case Shape::kIf: return {index + 1, instruction.jump};
      case Shape::kEnd:
      case Shape::kGoto: return {instruction.jump, kNowhere};
      case Shape::kQuit: return {kNowhere, kNowhere};
      default: return {index + 1, kNowhere};
    }
  }

  // An error is a token no gauge may use: the simulator does not run the script.
  void Add(const Instruction& instruction, Severity severity, const std::string& message) {
    if (severity == Severity::kError) {
      script_.errors.push_back({origin_.file, instruction.position, severity,
                                message + ", so " + origin_.name + " does not run"});
    } else {
      script_.warnings.push_back(At(origin_, instruction, severity, message));
    }
  }

  const ScriptOrigin& origin_;
  Script& script_;
};

// One run of a compiled script. What the simulator's reading cannot be known of, the host
// reads leniently and warns of, once at each place: a value missing from the stack reads 0,
// a string where a number is taken reads as the number it spells (0 when none), a number
// where a string is taken as its text. A division by zero or a loop without end stops the
// run, with the error, for the caller to report.
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
      FillMissing(instruction, instruction.needs);
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
      case Op::kWritePanel: {
        const double value = PopNumber(instruction);
        world_.panel_variables[instruction.name] = value;
        run_.events.push_back(
            {ScriptEvent::Kind::kWrite, "write " + instruction.name + " = " + FormatNumber(value), instruction.name, value});
        return next;
      }
      case Op::kReadKept:
        stack_.push_back(ReadKept(instruction));
        return next;
      case Op::kWriteKept: {
        KeptValue& kept = world_.kept_variables[instruction.name];
        kept.value = std::move(stack_.back());
        kept.unit = instruction.unit;
        stack_.pop_back();
        run_.events.push_back({ScriptEvent::Kind::kKept, "write " + instruction.text + " = " + FormatValue(kept.value)});
        return next;
      }
      case Op::kKeyEvent: {
        std::string text = "key event " + instruction.name;
        if (!stack_.empty()) {
          text += " " + FormatNumber(PopNumber(instruction));
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
        GaugeVariables()[instruction.index] = PopNumber(instruction);
        return next;
      case Op::kReadClock:
        stack_.emplace_back(ClockReading(static_cast<Clock>(instruction.index), world_) / instruction.number);
        return next;
      case Op::kReadSetting: {
        const auto set = world_.settings.find(instruction.index);
        stack_.emplace_back((set != world_.settings.end() ? set->second : kEnvironment[instruction.index].start) /
                            instruction.number);
        return next;
      }
      case Op::kReadNothing:
        stack_.push_back(instruction.unit == "string" ? Value(std::string()) : Value(0.0));
        return next;
      case Op::kDrop:
        if (!stack_.empty()) {
          stack_.pop_back();
        }
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
      case Shape::kDivide: {
        Coerce(instruction, row.takes);
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
        return next;
      }
      case Shape::kValues: {
        Coerce(instruction, row.takes);
        const std::size_t base = stack_.size() - row.takes.size();
        Value result = row.values(&stack_[base]);
        stack_.resize(base);
        stack_.push_back(std::move(result));
        return next;
      }
      case Shape::kChoose: {
        Coerce(instruction, row.takes);
        const std::size_t base = stack_.size() - 3;
        if (std::get<double>(stack_[base + 2]) != 0) {
          stack_[base] = std::move(stack_[base + 1]);
        }
        stack_.resize(base + 1);
        return next;
      }
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
      case Shape::kIf:
        return PopNumber(instruction) == 0 ? instruction.jump : next;
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
    const double chosen = PopNumber(instruction);
    const double count = PopNumber(instruction);
    const double whole = std::trunc(count);  // as the count is read: 2.5 values are 2
    if (!(whole >= 0)) {
      Error(instruction, "'" + instruction.text + "' is given a count of " + FormatNumber(count) +
                             " values: the count is 0 or more");
      return;
    }
    if (whole > static_cast<double>(stack_.size())) {
      FillMissing(instruction, Clamped(whole, kMostTokensInARun));
    }
    const std::size_t values = Clamped(whole, stack_.size());
    const std::size_t base = stack_.size() - values;
    const bool within = chosen >= 0 && chosen < static_cast<double>(values);
    Value result = within ? std::move(stack_[stack_.size() - 1 - static_cast<std::size_t>(chosen)]) : Value(0.0);
    stack_.resize(base);
    stack_.push_back(std::move(result));
  }

  // An A: or C: variable, as the scenario set it or a script wrote it, in the unit read.
  Value ReadKept(const Instruction& instruction) {
    const auto variable = world_.kept_variables.find(instruction.name);
    if (variable == world_.kept_variables.end()) {
      const bool text = instruction.unit == "string";
      if (world_.warned.insert("never set " + instruction.name).second) {
        Warn(instruction, instruction.text + " was never set by the scenario; it reads " + (text ? "''" : "0"));
      }
      return text ? Value(std::string()) : Value(0.0);
    }
    const KeptValue& kept = variable->second;
    const double* number = std::get_if<double>(&kept.value);
    if (number == nullptr || kept.unit == instruction.unit || instruction.unit.empty()) {
      return kept.value;
    }
    bool converted = true;
    const double value = InUnit(*number, UnitRowOf(kept.unit), instruction.index, converted);
    if (!converted) {
      Warn(instruction, instruction.text + " reads " + FormatNumber(*number) + " as it was set, in " + kept.unit +
                            ": the gauge host does not convert " + kept.unit + " to " + instruction.unit);
    }
    return value;
  }

  // The values the operator takes, deepest first, made the types it takes: a string where
  // a number is taken reads as the number it spells, else 0; a number where a string is
  // taken, as its text.
  void Coerce(const Instruction& instruction, std::string_view takes) {
    const std::size_t base = stack_.size() - takes.size();
    for (std::size_t argument = takes.size(); argument-- > 0;) {
      Value& value = stack_[base + argument];
      const bool number = std::holds_alternative<double>(value);
      if (takes[argument] == 'n' && !number) {
        const std::optional<double> spelt = ParseNumber(Trimmed(Text(value)));
        Warn(instruction, "'" + instruction.text + "' takes a number, not the string " + FormatValue(value) +
                              "; it reads " + FormatNumber(spelt.value_or(0)));
        value = spelt.value_or(0);
      } else if (takes[argument] == 's' && number) {
        Warn(instruction, "'" + instruction.text + "' takes a string, not the number " + FormatValue(value) +
                              "; it reads '" + FormatNumber(std::get<double>(value)) + "'");
        value = FormatNumber(std::get<double>(value));
      }
    }
  }

  // The number on top, which is there: the instruction's needs were met before it ran.
  double PopNumber(const Instruction& instruction) {
    Coerce(instruction, "n");
    const double number = std::get<double>(stack_.back());
    stack_.pop_back();
    return number;
  }

  // The values missing below what the instruction needs read 0.
  void FillMissing(const Instruction& instruction, std::size_t needs) {
    if (!instruction.short_of_values) {
      Warn(instruction, "'" + instruction.text + "' needs " + Counted(needs, "value") + " but the stack holds " +
                            std::to_string(stack_.size()) + std::string(kMissingReadZero));
    }
    stack_.insert(stack_.begin(), needs - stack_.size(), Value(0.0));
  }

  // Each warning once in the world's life: a script run every frame says it once. The
  // trace names the script it runs.
  void Warn(const Instruction& instruction, const std::string& message) {
    std::string text = FormatDiagnostic({script_.origin.file, instruction.position, Severity::kWarning, message});
    if (world_.warned.insert(text).second) {
      run_.events.push_back({ScriptEvent::Kind::kWarning, std::move(text)});
    }
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
  ScriptText placed{std::string(text), {}, {}};
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

std::optional<double> WrittenNumber(const std::vector<Instruction>& code, std::size_t write) {
  return write > 0 && code[write - 1].op == Op::kNumber ? std::optional(code[write - 1].number) : std::nullopt;
}

void SetKeptVariable(ScriptWorld& world, std::string_view type, std::string_view name, std::string_view unit,
                     const Value& value) {
  world.kept_variables.insert_or_assign(std::string(type) + ":" + std::string(name),
                                        KeptValue{value, Lowered(Trimmed(unit))});
}

std::optional<std::string> SettingProblem(std::string_view type, std::string_view name, std::string_view unit) {
  const EnvironmentRow* row = EnvironmentRowOf(name);
  const std::string variable = "(" + std::string(type) + ":" + std::string(name) + ", " + std::string(unit) + ")";
  if (row == nullptr) {
    return "the gauge host does not know " + variable + Misspelt(name);
  }
  if (row->clock != Clock::kSetting) {
    return "the host's clock gives " + variable + ": " + std::string(row->meaning);
  }
  const std::size_t held = UnitRowOf(row->unit);
  const std::size_t given = UnitRowOf(Lowered(Trimmed(unit)));
  if (given == kUnknownUnit || (kUnits[given].family != kUnits[held].family && !IsPlain(given))) {
    return std::string(row->name) + " is set in " + std::string(row->unit) + ", not in '" + std::string(unit) + "'";
  }
  return std::nullopt;
}

void SetSetting(ScriptWorld& world, std::string_view name, std::string_view unit, double value) {
  const EnvironmentRow* row = EnvironmentRowOf(name);
  bool converted = true;
  world.settings[static_cast<std::size_t>(row - kEnvironment.begin())] =
      InUnit(value, UnitRowOf(Lowered(Trimmed(unit))), UnitRowOf(row->unit), converted);
}

std::vector<std::string> EnvironmentRows() {
  std::vector<std::string> rows;
  for (const EnvironmentRow& row : kEnvironment) {
    const std::string start = row.clock == Clock::kSetting ? FormatNumber(row.start) : "the clock";
    rows.push_back(std::string(row.name) + "|" + std::string(row.unit) + "|" + start +
                   (row.meaning.empty() ? "" : ": " + std::string(row.meaning)));
  }
  return rows;
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
