#include "tools/gauge_host/check/check_mode.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "tools/gauge_host/check/aircraft.h"
#include "tools/gauge_host/check/panel_check.h"
#include "tools/gauge_host/command_line/exit_status.h"
#include "tools/gauge_host/common/text.h"
#include "tools/gauge_host/script/gauge_scripts.h"
#include "tools/gauge_host/windows/cabinet.h"
#include "tools/gauge_host/windows/files.h"
#include "tools/gauge_host/xml/xml_reader.h"

namespace gauge_host {

namespace {

namespace fs = std::filesystem;

// Paths as the designer typed them, UTF-8 whatever the Windows code page.
fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }
std::string Utf8Of(const fs::path& path) {
  const std::u8string text = path.generic_u8string();
  return std::string(text.begin(), text.end());
}

bool IsPanelConfig(const fs::path& path) { return SameIgnoringCase(Utf8Of(path.filename()), "panel.cfg"); }
bool IsGauge(const fs::path& path) { return SameIgnoringCase(Utf8Of(path.extension()), ".xml"); }

std::optional<std::string> Contents(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return std::nullopt;
  }
  std::ostringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

void CheckGauge(const std::string& name, const std::string& bytes, CheckSummary& summary) {
  const XmlDocument document = ReadXmlDocument(bytes, name);
  if (document.not_well_formed) {
    summary.findings.push_back(*document.not_well_formed);
    return;
  }
  AddGauge(GaugeScriptsOf(document.root, name), summary);
}

// An aircraft on disk, as Windows finds it.
class AircraftOnDisk : public AircraftFiles {
 public:
  std::optional<std::vector<std::string>> FolderEntries(const std::string& folder) const override {
    return gauge_host::FolderEntries(folder);
  }
  std::optional<std::string> ReadFile(const std::string& path) const override {
    std::string contents;
    return ReadWholeFile(path, contents) ? std::nullopt : std::optional<std::string>(std::move(contents));
  }
  std::optional<std::vector<CabinetMember>> ReadCabinet(const std::string& path) const override {
    const std::optional<std::string> bytes = ReadFile(path);
    return bytes ? CabinetMembers(*bytes) : std::nullopt;
  }
};

int Unusable(const std::string& message) {
  std::fprintf(stderr, "%s\n", FormatDiagnostic({"tvl_gauge_host", {}, Severity::kError, message}).c_str());
  return kExitUnreadable;
}

int RunAircraftCheck(const std::string& folder, const std::string& gauges_folder) {
  const AircraftOnDisk files;
  if (!gauges_folder.empty() && !IsFolder(gauges_folder)) {
    std::fprintf(stderr, "%s\n",
                 FormatDiagnostic({Shown(gauges_folder), {}, Severity::kError, "cannot be read as a folder"}).c_str());
    return kExitUnreadable;
  }
  const AircraftCheck check = CheckAircraft(folder, gauges_folder, files, CheckGauge);
  std::fputs(check.report.c_str(), check.unreadable ? stderr : stdout);
  return check.unreadable ? kExitUnreadable : check.errors == 0 ? kExitNoError : kExitErrors;
}

}  // namespace

int RunCheck(const std::vector<std::string>& paths, const std::string& gauges_folder) {
  const AircraftOnDisk on_disk;
  const bool aircraft = std::any_of(paths.begin(), paths.end(),
                                    [&](const std::string& path) { return IsAircraftFolder(path, on_disk); });
  if (aircraft && paths.size() > 1) {
    return Unusable("an aircraft folder, one that holds aircraft.cfg, is checked alone");
  }
  if (aircraft) {
    return RunAircraftCheck(paths[0], gauges_folder);
  }
  if (!gauges_folder.empty()) {
    return Unusable("--gauges is for an aircraft folder, one that holds aircraft.cfg");
  }
  // Files named on the command line are checked whatever their names; in folders, only
  // gauges and panel configurations are.
  std::vector<fs::path> files;
  bool unreadable = false;
  for (const std::string& argument : paths) {
    std::error_code error;
    const fs::path path = PathOf(argument);
    if (fs::is_directory(path, error)) {
      std::vector<fs::path> found;
      for (fs::recursive_directory_iterator entry(path, error), end; !error && entry != end; entry.increment(error)) {
        if (entry->is_regular_file() && (IsGauge(entry->path()) || IsPanelConfig(entry->path()))) {
          found.push_back(entry->path());
        }
      }
      std::sort(found.begin(), found.end());
      files.insert(files.end(), found.begin(), found.end());
    } else if (fs::is_regular_file(path, error)) {
      files.push_back(path);
    } else {
      error = std::make_error_code(std::errc::no_such_file_or_directory);
    }
    if (error) {
      std::fprintf(stderr, "%s\n", FormatDiagnostic({Shown(argument), {}, Severity::kError, "cannot be read"}).c_str());
      unreadable = true;
    }
  }
  CheckSummary summary;
  for (const fs::path& path : files) {
    const std::string name = Utf8Of(path);
    const std::optional<std::string> contents = Contents(path);
    if (!contents) {
      std::fprintf(stderr, "%s\n", FormatDiagnostic({Shown(name), {}, Severity::kError, "cannot be read"}).c_str());
      unreadable = true;
    } else if (SameIgnoringCase(Utf8Of(path.extension()), ".cfg")) {
      // A panel.cfg that is only an alias stands for the panel it names, beside another
      // aircraft: that one is checked where it is, or with this aircraft's folder.
      if (const std::optional<std::string> alias = PanelAlias(*contents)) {
        summary.findings.push_back({name, {}, Severity::kNote,
                                    "an alias of " + Shown(*alias) +
                                        ", whose panel is checked where it is, or with --check AIRCRAFT_FOLDER"});
      } else {
        const std::vector<Diagnostic> findings = CheckPanelConfig(*contents, name);
        summary.findings.insert(summary.findings.end(), findings.begin(), findings.end());
      }
    } else {
      CheckGauge(name, *contents, summary);
    }
    ++summary.files;
  }
  if (unreadable) {
    return kExitUnreadable;
  }
  CheckGaugesTogether(summary);
  const int status = ErrorCount(summary.findings) == 0 ? kExitNoError : kExitErrors;
  std::fputs(Report(std::move(summary)).c_str(), stdout);
  return status;
}

}  // namespace gauge_host
