// A stand-in for the simulator's panel system: a service table whose calculator entry
// evaluates exactly the two expression forms the module uses against a store of named
// 32-bit variables, and whose element entries record their calls. Everything it sees is
// kept for a test to read; any expression it does not know is recorded as an error.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/panel_services.h"

namespace standin {

// What a read of a variable that was never written stores in the caller's integer.
enum class UnsetRead {
  kStoresZero,     // what the simulator does
  kStoresNothing,  // the caller's integer keeps what it held
};

struct ElementCall {
  int entry;                              // 24 to 31
  GaugeElement* element;
  std::optional<std::uint32_t> argument;  // install and generate only
  bool operator==(const ElementCall& other) const {
    return entry == other.entry && element == other.element && argument == other.argument;
  }
};

struct CalculatorCall {
  std::string expression;
  std::optional<std::int32_t> stored;  // what a read stored in the caller's integer
};

struct PanelSystem {
  std::map<std::string, std::int32_t, std::less<>> variables;
  std::vector<CalculatorCall> calculator_calls;  // every expression, in order
  std::vector<std::string> errors;               // anything not a well-formed read or write
  std::vector<ElementCall> element_calls;
  UnsetRead unset_read = UnsetRead::kStoresZero;
};

// The one panel system, as the host has one: the service table's entries reach it.
extern PanelSystem panel;
extern PanelServices panel_services;

// Back to an empty panel system with default settings.
void ResetPanel();

// The expression texts of panel.calculator_calls, in order.
std::vector<std::string> Expressions();

// "entry 25, element 0x..., argument 7" and "(L:Tvl_PlayMusic, number) stored 1", for a
// failed expectation.
void PrintTo(const ElementCall& call, std::ostream* out);
void PrintTo(const CalculatorCall& call, std::ostream* out);

}  // namespace standin
