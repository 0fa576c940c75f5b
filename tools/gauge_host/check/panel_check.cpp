#include "tools/gauge_host/check/panel_check.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <tuple>

#include "host/module_names.h"
#include "tools/gauge_host/common/module_variables.h"
#include "tools/gauge_host/common/text.h"
#include "tools/gauge_host/script/variable_reference.h"

namespace gauge_host {

namespace {

// What is wrong with a name meant for the module, or "" when nothing is.
std::string NameProblem(const PlacedReference& reference) {
  const std::string& name = reference.name;
  const std::string closest = ClosestModuleVariable(name);
  if (reference.doubled_prefix) {
    return "'L:' is written twice, so the variable is not " + closest + "; write (" + (reference.write ? ">" : "") +
           "L:" + closest + ", number)";
  }
  if (IsModuleVariable(name)) {
    return "";
  }
  return "'" + name + "' is not one of the module's variables; did you mean " + closest + "?";
}

// The writes of each of the fifteen variables, across all files.
using WritesByName = std::map<std::string, std::vector<const PlacedReference*>>;

void CheckWrites(const std::string& name, const std::vector<const PlacedReference*>& writes,
                 std::vector<Diagnostic>& findings) {
  const auto written = [&](double value) {
    return std::any_of(writes.begin(), writes.end(),
                       [&](const PlacedReference* write) { return write->written_value == value; });
  };
  const bool computed = std::any_of(writes.begin(), writes.end(), [](const PlacedReference* write) {
    return !write->written_value.has_value();
  });
  const SwitchEntry* row = SwitchRowOf(name);
  for (const PlacedReference* write : writes) {
    const auto add = [&](Severity severity, const std::string& message) {
      findings.push_back({write->file, write->position, severity, message});
    };
    const std::optional<double> value = write->written_value;
    if (row != nullptr && row->kind == SWITCH_MOMENTARY && value == 1 && !written(0) && !computed) {
      add(Severity::kError, name + " is set to 1 and never back to 0: the module sends the chord when it goes from 0 "
                                   "to 1; nothing sets it back to 0, so it fires once");
    } else if (row != nullptr && row->kind == SWITCH_MOMENTARY && value == 2) {
      add(Severity::kWarning, "2 written to the command " + name +
                                  " sends nothing, and blocks its next press until it has been 0 again");
    } else if (row == nullptr && value == 2) {
      add(Severity::kWarning, "2 written to " + name +
                                  " differs from both states of the add-on's sign, so the module switches the sign "
                                  "over, whatever it was; write 0 or 1");
    } else if (row != nullptr && row->kind == SWITCH_TOGGLE && value == 2 && !written(0) && !written(1) && !computed) {
      add(Severity::kNote, name + " is only ever written 2, which brings the module's remembered state back in "
                                  "step without a chord; nothing here switches it on or off");
    }
  }
}

}  // namespace

bool LooksLikeModuleVariable(std::string_view name) {
  return SameIgnoringCase(Trimmed(name).substr(0, 4), "Tvl_");
}

std::vector<Diagnostic> CheckReferences(const std::vector<PlacedReference>& references) {
  std::vector<Diagnostic> findings;
  WritesByName writes;
  for (const PlacedReference& placed : references) {
    const PlacedReference& reference = placed;
    if (!LooksLikeModuleVariable(reference.name)) {
      continue;
    }
    const std::string problem = NameProblem(reference);
    if (!problem.empty()) {
      findings.push_back({placed.file, placed.position, Severity::kError, problem});
      continue;
    }
    if (!reference.unit.empty() && !SameIgnoringCase(reference.unit, "number")) {
      findings.push_back({placed.file, placed.position, Severity::kWarning,
                          "unit '" + reference.unit + "' on " + reference.name +
                              ": the module reads and writes it as number"});
    }
    if (reference.write) {
      writes[reference.name].push_back(&placed);
    }
  }
  for (const auto& [name, variable_writes] : writes) {
    CheckWrites(name, variable_writes, findings);
  }
  return findings;
}

namespace {

// A panel configuration read line by line: its windows, whether each starts hidden, and
// the lines that name the module's gauge.
class PanelConfigReader {
 public:
  explicit PanelConfigReader(const std::string& file) : file_(file) {}

  void Read(const ConfigEntry& entry) {
    line_number_ = entry.position.line;
    switch (entry.kind) {
      case ConfigEntry::Kind::kSection:
        window_ = entry.section;
        return;
      case ConfigEntry::Kind::kMalformed:
        Add(Severity::kError, 1, "this line is not a [section], a setting NAME=VALUE or a comment");
        return;
      case ConfigEntry::Kind::kSetting:
        break;
    }
    // visible= is a 2D window's; a virtual cockpit's panel is drawn whenever the crew is
    // in the virtual cockpit, whatever it says.
    if (SameIgnoringCase(entry.key, "visible") && !SameIgnoringCase(window_.substr(0, 8), "VCockpit")) {
      hidden_[window_] = entry.value == "0";
    }
    if (SameIgnoringCase(std::string_view(entry.key).substr(0, 5), "gauge")) {
      ReadGaugeLine(entry.key, entry.value, entry.position.column);
    }
  }

  std::vector<Diagnostic> Findings() {
    if (module_lines_.empty() && !misspelt_) {
      findings_.push_back({file_, {1, 1}, Severity::kError,
                           "no line for " + std::string(kPanelGaugeEntry) +
                               ", so the module never runs: add gaugeNN=" + std::string(kPanelGaugeEntry) +
                               ", 0, 0, 1, 1 to a window that is always drawn"});
    }
    const bool all_hidden = std::all_of(module_lines_.begin(), module_lines_.end(),
                                        [&](const GaugeLine& line) { return hidden_[line.window]; });
    for (std::size_t index = 0; index < module_lines_.size(); ++index) {
      const GaugeLine& line = module_lines_[index];
      if (all_hidden) {
        findings_.push_back({file_, line.position, Severity::kWarning,
                             "[" + line.window + "] starts hidden (visible=0): the module runs only while this window "
                                                 "is drawn"});
      }
      if (index > 0) {
        findings_.push_back({file_, line.position, Severity::kNote,
                             "Switches is also in [" + module_lines_[0].window + "] (line " +
                                 std::to_string(module_lines_[0].position.line) +
                                 "): the windows share the module's state, so this is safe"});
      }
    }
    return std::move(findings_);
  }

 private:
  struct GaugeLine {
    SourcePosition position;
    std::string window;
  };

  // gaugeNN=FILE!GAUGE, X, Y[, W, H]
  void ReadGaugeLine(std::string_view key, std::string_view value, int column) {
    const std::size_t comma = value.find(',');
    const std::string_view gauge = Trimmed(value.substr(0, comma));
    std::vector<std::string_view> fields;
    for (std::size_t at = comma; at != std::string_view::npos; at = value.find(',', at + 1)) {
      fields.push_back(Trimmed(value.substr(at + 1, value.find(',', at + 1) - at - 1)));
    }
    const auto number = [](std::string_view field) {
      return !field.empty() && field.find_first_not_of("-0123456789") == std::string_view::npos;
    };
    if (gauge.empty() || fields.size() < 2 || !number(fields[0]) || !number(fields[1])) {
      Add(Severity::kError, column, "malformed gauge line: write " + std::string(key) + "=FILE!GAUGE, X, Y[, W, H]");
    } else if (SameIgnoringCase(gauge, kPanelGaugeEntry)) {
      module_lines_.push_back({{line_number_, column}, window_});
    } else if (EditDistance(gauge, kPanelGaugeEntry) <= 4) {
      misspelt_ = true;
      Add(Severity::kError, column,
          "'" + std::string(gauge) + "' names no gauge of the module: write " + std::string(kPanelGaugeEntry));
    }
  }

  void Add(Severity severity, int column, const std::string& message) {
    findings_.push_back({file_, {line_number_, column}, severity, message});
  }

  const std::string& file_;
  int line_number_ = 0;
  std::string window_;
  std::map<std::string, bool> hidden_;  // windows by name, whether they start hidden
  std::vector<GaugeLine> module_lines_;
  bool misspelt_ = false;
  std::vector<Diagnostic> findings_;
};

}  // namespace

std::vector<ConfigEntry> ConfigEntries(std::string_view text) {
  std::vector<ConfigEntry> entries;
  std::string section;
  int line_number = 0;
  for (std::size_t start = 0, end = 0; start < text.size(); start = end + 1) {
    end = std::min(text.find('\n', start), text.size());
    const std::string_view raw = text.substr(start, end - start);
    const std::string_view line = Trimmed(raw);
    ++line_number;
    const auto column = [&](std::string_view part) { return static_cast<int>(part.data() - raw.data()) + 1; };
    if (line.empty() || line.starts_with(';') || line.starts_with("//")) {
      continue;
    }
    if (line.starts_with('[') && line.ends_with(']')) {
      section = std::string(Trimmed(line.substr(1, line.size() - 2)));
      entries.push_back({ConfigEntry::Kind::kSection, section, "", "", {line_number, column(line)}});
    } else if (const std::size_t equals = line.find('='); equals != std::string_view::npos) {
      const std::string_view value = Trimmed(line.substr(equals + 1));
      entries.push_back({ConfigEntry::Kind::kSetting, section, std::string(Trimmed(line.substr(0, equals))),
                         std::string(value),
                         {line_number, value.empty() ? column(line.substr(equals)) : column(value)}});
    } else {
      entries.push_back({ConfigEntry::Kind::kMalformed, section, "", "", {line_number, 1}});
    }
  }
  return entries;
}

std::vector<Diagnostic> CheckPanelConfig(std::string_view text, const std::string& file) {
  // Notepad's "Unicode" is UTF-16: one error for the file, not one for each of its lines.
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
    return {{file, {1, 1}, Severity::kError,
             "saved as UTF-16 (Notepad's \"Unicode\"), so its lines cannot be checked: save it as UTF-8 or ANSI"}};
  }
  if (text.starts_with("\xEF\xBB\xBF")) {
    text.remove_prefix(3);  // Notepad's UTF-8
  }
  PanelConfigReader reader(file);
  for (const ConfigEntry& entry : ConfigEntries(text)) {
    reader.Read(entry);
  }
  return reader.Findings();
}

std::string FindingLines(std::vector<Diagnostic> findings) {
  std::stable_sort(findings.begin(), findings.end(), [](const Diagnostic& a, const Diagnostic& b) {
    return std::tie(a.file, a.position.line, a.position.column) < std::tie(b.file, b.position.line, b.position.column);
  });
  std::string lines;
  for (const Diagnostic& finding : findings) {
    lines += FormatDiagnostic(finding) + "\n";
  }
  return lines;
}

std::string VariablesAndCounts(const CheckSummary& summary) {
  const std::vector<Diagnostic>& findings = summary.findings;
  std::size_t warnings = 0;
  for (const Diagnostic& finding : findings) {
    warnings += finding.severity == Severity::kWarning ? 1 : 0;
  }
  // Places as FILE:LINE, later lines of the same file as ",LINE".
  const auto places = [&](std::string_view name, bool write) {
    std::string text;
    std::string last_file;
    for (const PlacedReference& placed : summary.references) {
      if (placed.name != name || placed.write != write || placed.doubled_prefix) {
        continue;
      }
      if (placed.file == last_file) {
        text += ",";
      } else {
        text += (text.empty() ? "" : ", ") + placed.file + ":";
      }
      text += std::to_string(placed.position.line);
      last_file = placed.file;
    }
    return text;
  };
  std::string report = "The module's variables in these files:\n";
  for (const std::string& name : ModuleVariableNames()) {
    const std::string reads = places(name, false);
    const std::string writes = places(name, true);
    std::string padded = name;
    padded.resize(std::max<std::size_t>(padded.size(), 24), ' ');
    const std::string uses = (reads.empty() ? "read nowhere" : "read at " + reads) + "; " +
                             (writes.empty() ? "written nowhere" : "written at " + writes);
    report += "  " + padded + (reads.empty() && writes.empty() ? "not used" : uses) + "\n";
  }
  const auto used = static_cast<std::size_t>(std::count_if(summary.references.begin(), summary.references.end(),
                                                 [](const PlacedReference& placed) {
                                                   return LooksLikeModuleVariable(placed.name);
                                                 }));
  report += "\n" + Counted(static_cast<std::uint64_t>(summary.files), "file") + ", " + Counted(used, "reference") +
            ", " + Counted(ErrorCount(findings), "error") + ", " + Counted(warnings, "warning") + "\n";
  return report;
}

std::vector<PlacedReference> ReferencesOf(const GaugeScripts& gauge) {
  std::vector<PlacedReference> references;
  for (std::size_t index = 0; index < gauge.scripts.size(); ++index) {
    const std::vector<Instruction>& code = gauge.scripts[index].script.code;
    for (std::size_t at = 0; at < code.size() && gauge.Runs(index); ++at) {
      const Instruction& instruction = code[at];
      if (instruction.op != Op::kReadPanel && instruction.op != Op::kWritePanel) {
        continue;
      }
      PlacedReference reference;
      reference.file = gauge.file;
      reference.position = instruction.use;
      reference.write = instruction.op == Op::kWritePanel;
      reference.doubled_prefix = instruction.name.starts_with("L:");
      reference.name = reference.doubled_prefix
                           ? std::string(Trimmed(std::string_view(instruction.name).substr(instruction.name.rfind("L:") + 2)))
                           : instruction.name;
      reference.unit = ReadVariableToken(instruction.text)->unit;
      reference.written_value = reference.write ? WrittenNumber(code, at) : std::nullopt;
      references.push_back(std::move(reference));
    }
  }
  return references;
}

void AddGauge(GaugeScripts gauge, CheckSummary& summary) {
  if (gauge.unusable) {
    summary.findings.push_back(*gauge.unusable);
    return;
  }
  summary.findings.insert(summary.findings.end(), gauge.findings.begin(), gauge.findings.end());
  std::vector<PlacedReference> references = ReferencesOf(gauge);
  summary.references.insert(summary.references.end(), std::make_move_iterator(references.begin()),
                            std::make_move_iterator(references.end()));
  summary.gauges.push_back(std::move(gauge));
}

void CheckGaugesTogether(CheckSummary& summary) {
  const std::vector<Diagnostic> findings = CheckReferences(summary.references);
  summary.findings.insert(summary.findings.end(), findings.begin(), findings.end());
  const std::vector<Diagnostic> lost = CheckLostPresses(summary.gauges);
  summary.findings.insert(summary.findings.end(), lost.begin(), lost.end());
}

std::string Report(const CheckSummary& summary) {
  return FindingLines(summary.findings) + "\n" + VariablesAndCounts(summary);
}

}  // namespace gauge_host
