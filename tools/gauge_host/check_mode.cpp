#include "tools/gauge_host/check_mode.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "tools/gauge_host/panel_check.h"
#include "tools/gauge_host/xml_reader.h"

namespace gauge_host {

namespace {

namespace fs = std::filesystem;

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
  return text;
}

bool IsPanelConfig(const fs::path& path) { return Lowered(path.filename().string()) == "panel.cfg"; }
bool IsGauge(const fs::path& path) { return Lowered(path.extension().string()) == ".xml"; }

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
  const XmlDocument document = ReadXmlDocument(bytes);
  if (!document.well_formed) {
    summary.findings.push_back({name, document.error_position, Severity::kError,
                                "not well-formed XML: " + document.error + "; the simulator will not load this gauge"});
    return;
  }
  ForEachText(document.root, [&](const XmlText& text) {
    for (VariableReference& reference : FindVariableReferences(text.value)) {
      const XmlPosition position = text.At(reference.offset);
      summary.references.push_back({name, position, std::move(reference)});
    }
  });
}

}  // namespace

int RunCheck(const std::vector<std::string>& paths) {
  // Files named on the command line are checked whatever their names; in folders, only
  // gauges and panel configurations are.
  std::vector<fs::path> files;
  bool unreadable = false;
  for (const std::string& argument : paths) {
    std::error_code error;
    const fs::path path(argument);
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
      std::fprintf(stderr, "%s: error: cannot be read\n", argument.c_str());
      unreadable = true;
    }
  }
  CheckSummary summary;
  for (const fs::path& path : files) {
    const std::string name = path.generic_string();
    const std::optional<std::string> contents = Contents(path);
    if (!contents) {
      std::fprintf(stderr, "%s: error: cannot be read\n", name.c_str());
      unreadable = true;
    } else if (Lowered(path.extension().string()) == ".cfg") {
      const std::vector<Finding> findings = CheckPanelConfig(*contents, name);
      summary.findings.insert(summary.findings.end(), findings.begin(), findings.end());
    } else {
      CheckGauge(name, *contents, summary);
    }
    ++summary.files;
  }
  if (unreadable) {
    return 2;
  }
  const std::vector<Finding> findings = CheckReferences(summary.references);
  summary.findings.insert(summary.findings.end(), findings.begin(), findings.end());
  const int status = CheckStatus(summary.findings);
  std::fputs(Report(std::move(summary)).c_str(), stdout);
  return status;
}

}  // namespace gauge_host
