// The checks of a designer's own files, apart from reading them: what the references to
// the module's variables across all gauge files say, what a panel.cfg says, and the report
// that lists the findings compiler-style, the fifteen variables and a summary.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/gauge_host/check/lost_presses.h"
#include "tools/gauge_host/common/diagnostic.h"
#include "tools/gauge_host/script/gauge_scripts.h"

namespace gauge_host {

// A read or write of a panel variable, (L:NAME, UNIT) or (>L:NAME, UNIT), by a script the
// simulator runs.
struct PlacedReference {
  std::string file;
  SourcePosition position;  // where the script uses it: a macro's at the @NAME that brought it in
  bool write = false;
  std::string name;
  std::string unit;              // as written; empty when none is given
  bool doubled_prefix = false;   // "(L:L:NAME, ...)": name is then what follows the second "L:"
  std::optional<double> written_value;  // a write of the number just before it: "1 (>L:...)"
};

// The references of a gauge's scripts that run.
std::vector<PlacedReference> ReferencesOf(const GaugeScripts& gauge);

// Whether a name is meant for this module: "Tvl_" in any letter case.
bool LooksLikeModuleVariable(std::string_view name);

// Misspelt names, wrong units, and what the writes of all the files together do.
std::vector<Diagnostic> CheckReferences(const std::vector<PlacedReference>& references);

// One line of an aircraft.cfg or panel.cfg, as the simulator reads them: a [section], a
// setting NAME=VALUE inside one, or a line that is neither. Blank lines and comments are
// left out.
struct ConfigEntry {
  enum class Kind : std::uint8_t { kSection, kSetting, kMalformed };
  Kind kind = Kind::kSetting;
  std::string section;      // without its brackets
  std::string key;          // a setting's
  std::string value;
  SourcePosition position;  // of a setting's value (of its '=' when empty); of a section's '['; column 1 else
};

std::vector<ConfigEntry> ConfigEntries(std::string_view text);

// The gauge lines of one panel configuration.
std::vector<Diagnostic> CheckPanelConfig(std::string_view text, const std::string& file);

struct CheckSummary {
  int files = 0;
  std::vector<Diagnostic> findings;
  std::vector<PlacedReference> references;
  std::vector<GaugeScripts> gauges;  // checked together, whose presses and releases meet
};

// A gauge read into the summary: why the simulator does not load it, or the errors of its
// scripts that do not run and its warnings, the variables its scripts read and write, and
// the gauge itself for the checks of the gauges together.
void AddGauge(GaugeScripts gauge, CheckSummary& summary);

// What the gauges read into the summary say together, added to its findings: the names,
// units and writes of their references, and the presses their scripts lose.
void CheckGaugesTogether(CheckSummary& summary);

// The findings sorted by file and place, the fifteen variables with where they are read
// and written, and the counts.
std::string Report(const CheckSummary& summary);

// Report's parts: the findings sorted, a line each; the table of the variables and the counts.
std::string FindingLines(std::vector<Diagnostic> findings);
std::string VariablesAndCounts(const CheckSummary& summary);


}  // namespace gauge_host
