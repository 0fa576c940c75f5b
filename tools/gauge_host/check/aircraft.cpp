#include "tools/gauge_host/check/aircraft.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <set>

#include "tools/gauge_host/common/text.h"

namespace gauge_host {

namespace {

const ConfigEntry* FindSetting(const std::vector<ConfigEntry>& entries, std::string_view section,
                               std::string_view key) {
  const auto found = std::find_if(entries.begin(), entries.end(), [&](const ConfigEntry& entry) {
    return SameIgnoringCase(entry.section, section) && SameIgnoringCase(entry.key, key);
  });
  return found == entries.end() ? nullptr : &*found;
}

// A variation of the aircraft, as its [fltsim.N] section names it.
struct Variation {
  std::string section;       // "fltsim.0"
  std::string title;
  std::string panel_folder;  // "panel" for an empty panel=, "panel.NAME" for panel=NAME
  SourcePosition position;   // of panel='s value, or of the section when it has none
};

bool IsVariation(std::string_view section) {
  const std::string_view number = section.substr(std::min<std::size_t>(section.size(), 7));
  return SameIgnoringCase(section.substr(0, 7), "fltsim.") && !number.empty() &&
         std::all_of(number.begin(), number.end(), IsDigit);
}

std::vector<Variation> Variations(const std::vector<ConfigEntry>& entries) {
  std::vector<Variation> variations;
  for (const ConfigEntry& entry : entries) {
    if (entry.kind == ConfigEntry::Kind::kSection && IsVariation(entry.section)) {
      variations.push_back({entry.section, "", "panel", entry.position});
    } else if (!variations.empty() && entry.section == variations.back().section) {
      Variation& variation = variations.back();
      if (SameIgnoringCase(entry.key, "title")) {
        variation.title = entry.value;
      } else if (SameIgnoringCase(entry.key, "panel")) {
        variation.panel_folder = entry.value.empty() ? "panel" : "panel." + entry.value;
        variation.position = entry.position;
      }
    }
  }
  return variations;
}

// A gauge line of a panel.cfg: gaugeNN=Folder!Gauge, X, Y[, W, H].
struct GaugeLine {
  std::string key;    // "gauge00"
  std::string folder; // the name before '!': a folder, a cabinet or a module
  std::string gauge;  // the name after it; empty for a line without '!'
  SourcePosition position;
};

std::vector<GaugeLine> GaugeLines(const std::vector<ConfigEntry>& entries) {
  std::vector<GaugeLine> lines;
  for (const ConfigEntry& entry : entries) {
    const std::string name(Trimmed(std::string_view(entry.value).substr(0, entry.value.find(','))));
    if (!SameIgnoringCase(std::string_view(entry.key).substr(0, 5), "gauge") || name.empty()) {
      continue;
    }
    const std::size_t bang = name.find('!');
    lines.push_back({entry.key, name.substr(0, bang), bang == std::string::npos ? "" : name.substr(bang + 1),
                     entry.position});
  }
  return lines;
}

enum class Found { kGaugeFile, kInCabinet, kModule, kNowhere };

struct FoundGauge {
  Found found = Found::kNowhere;
  std::string path;   // as shown: inside a cabinet, the cabinet's path and the member's name
  std::string bytes;  // of a gauge file
};

// The panel a variation uses, after its aliases.
struct Panel {
  std::string folder;
  std::string config_path;
  std::string config;
  std::vector<std::string> variations;  // "[fltsim.0]"
};

// Reads an aircraft through AircraftFiles, finding names in any letter case, as Windows
// does, and shows paths joined with the separator the designer wrote.
class AircraftReader {
 public:
  AircraftReader(const std::string& folder, const std::string& gauges_folder, const AircraftFiles& files)
      : files_(files),
        separator_(folder.find('\\') != std::string::npos ? '\\' : '/'),
        folder_(folder),
        gauges_folder_(gauges_folder) {}

  AircraftCheck Check(const GaugeReader& read_gauge) {
    const std::optional<std::string> config_path = Entry(folder_, "aircraft.cfg");
    const std::optional<std::string> config = config_path ? files_.ReadFile(*config_path) : std::nullopt;
    if (!config) {
      const Diagnostic unreadable{Join(folder_, "aircraft.cfg"), {}, Severity::kError, "cannot be read"};
      return {FormatDiagnostic(unreadable) + "\n", 1, true};
    }
    files_read_.insert(*config_path);
    const std::vector<Variation> variations = Variations(ConfigEntries(*config));
    std::vector<Diagnostic> aircraft_findings;
    if (variations.empty()) {
      aircraft_findings.push_back({*config_path, {1, 1}, Severity::kError,
                                   "no variation: the simulator loads an aircraft by its [fltsim.0], [fltsim.1]... "
                                   "sections"});
    }
    std::string report = *config_path + ": " + Counted(variations.size(), "variation") + "\n";
    std::vector<Panel> panels;
    for (const Variation& variation : variations) {
      const std::string title = variation.title.empty() ? "(no title)" : Shown(variation.title);
      report += "  [" + variation.section + "] " + title + ": ";
      std::vector<std::string> aliases;
      const std::optional<Panel> panel = PanelOf(variation, *config_path, aliases, aircraft_findings);
      if (!panel) {
        report += "no panel\n";
        continue;
      }
      for (const std::string& alias : aliases) {
        report += alias + ", an alias of ";
      }
      report += panel->config_path + "\n";
      const auto same = std::find_if(panels.begin(), panels.end(),
                                     [&](const Panel& other) { return other.config_path == panel->config_path; });
      (same == panels.end() ? panels.emplace_back(*panel) : *same).variations.push_back("[" + variation.section + "]");
    }
    report += Findings(aircraft_findings);
    std::map<std::string, std::vector<PlacedReference>> references_by_file;
    for (const Panel& panel : panels) {
      report += "\n" + CheckPanel(panel, read_gauge, references_by_file);
    }
    CheckSummary summary;
    summary.files = static_cast<int>(files_read_.size());
    summary.findings = std::move(all_findings_);
    for (auto& [file, references] : references_by_file) {
      summary.references.insert(summary.references.end(), references.begin(), references.end());
    }
    const std::size_t errors = ErrorCount(summary.findings);
    return {report + "\n" + VariablesAndCounts(summary), errors, false};
  }

 private:
  std::string Join(const std::string& folder, std::string_view name) const {
    if (folder.empty() || folder == ".") {
      return std::string(name);
    }
    return folder + (folder.ends_with('/') || folder.ends_with('\\') ? "" : std::string(1, separator_)) +
           std::string(name);
  }

  // The folder's entries, read once; nothing when it is no folder.
  const std::optional<std::vector<std::string>>& Listing(const std::string& folder) {
    auto cached = folders_.find(folder);
    if (cached == folders_.end()) {
      cached = folders_.emplace(folder, files_.FolderEntries(folder.empty() ? "." : folder)).first;
    }
    return cached->second;
  }

  // The path of the folder's entry named so in any letter case, with its own letters.
  std::optional<std::string> Entry(const std::string& folder, std::string_view name) {
    const std::optional<std::vector<std::string>>& listing = Listing(folder);
    if (!listing) {
      return std::nullopt;
    }
    for (const std::string& entry : *listing) {
      if (SameIgnoringCase(entry, name)) {
        return Join(folder, entry);
      }
    }
    return std::nullopt;
  }

  // The folder that a path written Windows' way (OtherAircraft\panel) names inside `folder`.
  std::optional<std::string> Resolve(std::string folder, std::string_view relative) {
    for (std::size_t start = 0, end = 0; start <= relative.size(); start = end + 1) {
      end = std::min(relative.find_first_of("\\/", start), relative.size());
      const std::string_view part = Trimmed(relative.substr(start, end - start));
      if (part.empty() || part == ".") {
        continue;
      }
      std::optional<std::string> entry = Entry(folder, part);
      if (!entry) {
        return std::nullopt;
      }
      folder = std::move(*entry);
    }
    return folder;
  }

  // The simulator's aircraft folder: the one the aircraft folder is in.
  std::string AircraftParent() const {
    std::string folder = folder_;
    while (folder.size() > 1 && (folder.ends_with('/') || folder.ends_with('\\'))) {
      folder.pop_back();
    }
    const std::size_t separator = folder.find_last_of("\\/");
    const std::string last = folder.substr(separator == std::string::npos ? 0 : separator + 1);
    if (last.empty() || last == "." || last == ".." || last.ends_with(':')) {
      return Join(folder, "..");
    }
    return separator == std::string::npos ? "." : folder.substr(0, separator);
  }

  // The panel of a variation: its panel folder's panel.cfg, or the panel.cfg its aliases
  // lead to, each of them added to `aliases`; nothing, with why in the findings, if none.
  std::optional<Panel> PanelOf(const Variation& variation, const std::string& aircraft_config,
                               std::vector<std::string>& aliases, std::vector<Diagnostic>& findings) {
    std::optional<std::string> folder = Entry(folder_, variation.panel_folder);
    if (!folder || !Listing(*folder)) {
      findings.push_back({aircraft_config, variation.position, Severity::kError,
                          "[" + variation.section + "] has no panel folder " + variation.panel_folder +
                              " in the aircraft folder, so the module never runs in this variation"});
      return std::nullopt;
    }
    std::set<std::string> visited;
    while (true) {
      const std::optional<std::string> config_path = Entry(*folder, "panel.cfg");
      const std::optional<std::string> config = config_path ? files_.ReadFile(*config_path) : std::nullopt;
      if (!config) {
        findings.push_back({config_path.value_or(Join(*folder, "panel.cfg")), {}, Severity::kError,
                            config_path ? "cannot be read" : "no such file, so the panel folder has no panel"});
        return std::nullopt;
      }
      files_read_.insert(*config_path);
      const std::vector<ConfigEntry> entries = ConfigEntries(*config);
      const ConfigEntry* alias = FindSetting(entries, "fltsim", "alias");
      if (alias == nullptr) {
        return Panel{*folder, *config_path, *config, {}};
      }
      visited.insert(*folder);
      aliases.push_back(*config_path);
      const std::string parent = AircraftParent();
      folder = Resolve(parent, alias->value);
      if (!folder || !Entry(*folder, "panel.cfg")) {
        findings.push_back({*config_path, alias->position, Severity::kError,
                            "the alias " + Shown(alias->value) + " names no panel folder: it is taken from the " +
                                "simulator's aircraft folder, the one the aircraft is in (" + Shown(parent) + ")"});
        return std::nullopt;
      }
      if (visited.contains(*folder)) {
        findings.push_back({*config_path, alias->position, Severity::kError,
                            "the alias " + Shown(alias->value) + " leads back to a panel it started from"});
        return std::nullopt;
      }
    }
  }

  // Folder/Gauge.xml in a place.
  std::optional<FoundGauge> GaugeFileIn(const std::string& place, const GaugeLine& line,
                                        std::vector<Diagnostic>& findings) {
    const std::optional<std::string> folder = Entry(place, line.folder);
    const std::optional<std::string> file = folder ? Entry(*folder, line.gauge + ".xml") : std::nullopt;
    if (!file) {
      return std::nullopt;
    }
    std::optional<std::string> bytes = files_.ReadFile(*file);
    if (!bytes) {
      findings.push_back({*file, {}, Severity::kError, "cannot be read"});
      return std::nullopt;
    }
    return FoundGauge{Found::kGaugeFile, *file, std::move(*bytes)};
  }

  // Gauge.xml inside Folder.cab in a place.
  std::optional<FoundGauge> CabinetMemberIn(const std::string& place, const GaugeLine& line,
                                            std::vector<Diagnostic>& findings) {
    const std::optional<std::string> cabinet = Entry(place, line.folder + ".cab");
    if (!cabinet) {
      return std::nullopt;
    }
    auto cached = cabinets_.find(*cabinet);
    if (cached == cabinets_.end()) {
      cached = cabinets_.emplace(*cabinet, files_.ReadCabinet(*cabinet)).first;
    }
    if (!cached->second) {
      findings.push_back({*cabinet, {}, Severity::kError, "cannot be read as a cabinet (.cab) file"});
      return std::nullopt;
    }
    for (const CabinetMember& member : *cached->second) {
      if (SameIgnoringCase(member.name, line.gauge + ".xml")) {
        return FoundGauge{Found::kInCabinet, Join(*cabinet, member.name), member.bytes};
      }
    }
    return std::nullopt;
  }

  // A module Folder.gau or Folder.dll in a place.
  std::optional<FoundGauge> ModuleIn(const std::string& place, const GaugeLine& line) {
    for (const char* extension : {".gau", ".dll"}) {
      if (const std::optional<std::string> module = Entry(place, line.folder + extension)) {
        return FoundGauge{Found::kModule, *module, ""};
      }
    }
    return std::nullopt;
  }

  // Where the simulator finds the gauge of a line: in the panel folder, then in its gauges
  // folder; in each, Folder/Gauge.xml, then Gauge.xml inside Folder.cab, then a module
  // Folder.gau or Folder.dll.
  FoundGauge Find(const GaugeLine& line, const Panel& panel, std::vector<Diagnostic>& findings) {
    std::vector<std::string> places = {panel.folder};
    if (!gauges_folder_.empty()) {
      places.push_back(gauges_folder_);
    }
    for (const std::string& place : places) {
      std::optional<FoundGauge> found;
      if (!line.gauge.empty()) {
        found = GaugeFileIn(place, line, findings);
        found = found ? found : CabinetMemberIn(place, line, findings);
      }
      found = found ? found : ModuleIn(place, line);
      if (found) {
        return std::move(*found);
      }
    }
    const std::string gauge_file = line.gauge + ".xml";
    const std::string looked_for = (line.gauge.empty() ? "" : Join(line.folder, gauge_file) + ", " + gauge_file +
                                                                  " in " + line.folder + ".cab, ") +
                                   line.folder + ".gau or " + line.folder + ".dll";
    findings.push_back({panel.config_path, line.position, Severity::kWarning,
                        gauges_folder_.empty()
                            ? "no gauge for this line in the panel folder (" + looked_for +
                                  "); give the simulator's gauges folder with --gauges to look there too"
                            : "no gauge for this line in the panel folder or the gauges folder (" + looked_for + ")"});
    return {};
  }

  // The panel's gauge lines with where each gauge is, and the findings of its panel.cfg and
  // of the gauges it uses, together.
  std::string CheckPanel(const Panel& panel, const GaugeReader& read_gauge,
                         std::map<std::string, std::vector<PlacedReference>>& references_by_file) {
    std::string text = panel.config_path + ", the panel of " + Together(panel.variations) + ":\n";
    CheckSummary summary;
    summary.findings = CheckPanelConfig(panel.config, panel.config_path);
    const std::vector<GaugeLine> lines = GaugeLines(ConfigEntries(panel.config));
    std::size_t width = 0;
    for (const GaugeLine& line : lines) {
      width = std::max(width, line.key.size() + line.folder.size() + line.gauge.size() + 2);
    }
    std::set<std::string> read_here;
    for (const GaugeLine& line : lines) {
      const FoundGauge gauge = Find(line, panel, summary.findings);
      std::string shown = line.key + "=" + line.folder + (line.gauge.empty() ? "" : "!" + line.gauge);
      shown.resize(std::max(shown.size(), width), ' ');
      text += "  line " + std::to_string(line.position.line) + ": " + shown + "  " +
              (gauge.found == Found::kNowhere ? "not found"
               : gauge.found == Found::kModule ? gauge.path + " (a module: found, not read)"
                                               : gauge.path) +
              "\n";
      if ((gauge.found == Found::kGaugeFile || gauge.found == Found::kInCabinet) &&
          read_here.insert(gauge.path).second) {
        CheckSummary gauge_summary;
        read_gauge(gauge.path, gauge.bytes, gauge_summary);
        files_read_.insert(gauge.path);
        summary.findings.insert(summary.findings.end(), gauge_summary.findings.begin(), gauge_summary.findings.end());
        summary.references.insert(summary.references.end(), gauge_summary.references.begin(),
                                  gauge_summary.references.end());
        summary.gauges.insert(summary.gauges.end(), std::make_move_iterator(gauge_summary.gauges.begin()),
                              std::make_move_iterator(gauge_summary.gauges.end()));
        references_by_file[gauge.path] = std::move(gauge_summary.references);
      }
    }
    CheckGaugesTogether(summary);
    return text + Findings(summary.findings);
  }

  // The findings as report lines, each once, and once in the aircraft's totals.
  std::string Findings(const std::vector<Diagnostic>& findings) {
    std::vector<Diagnostic> distinct;
    for (const Diagnostic& finding : findings) {
      if (std::find(distinct.begin(), distinct.end(), finding) == distinct.end()) {
        distinct.push_back(finding);
      }
      if (std::find(all_findings_.begin(), all_findings_.end(), finding) == all_findings_.end()) {
        all_findings_.push_back(finding);
      }
    }
    return FindingLines(std::move(distinct));
  }

  const AircraftFiles& files_;
  const char separator_;
  const std::string folder_;
  const std::string gauges_folder_;
  std::map<std::string, std::optional<std::vector<std::string>>> folders_;
  std::map<std::string, std::optional<std::vector<CabinetMember>>> cabinets_;
  std::set<std::string> files_read_;
  std::vector<Diagnostic> all_findings_;
};

}  // namespace

bool IsAircraftFolder(const std::string& folder, const AircraftFiles& files) {
  const std::optional<std::vector<std::string>> entries = files.FolderEntries(folder);
  return entries && std::any_of(entries->begin(), entries->end(),
                                [](const std::string& entry) { return SameIgnoringCase(entry, "aircraft.cfg"); });
}

std::optional<std::string> PanelAlias(std::string_view panel_config) {
  const std::vector<ConfigEntry> entries = ConfigEntries(panel_config);
  const ConfigEntry* alias = FindSetting(entries, "fltsim", "alias");
  return alias == nullptr ? std::nullopt : std::optional<std::string>(alias->value);
}

AircraftCheck CheckAircraft(const std::string& folder, const std::string& gauges_folder, const AircraftFiles& files,
                            const GaugeReader& read_gauge) {
  return AircraftReader(folder, gauges_folder, files).Check(read_gauge);
}

}  // namespace gauge_host
