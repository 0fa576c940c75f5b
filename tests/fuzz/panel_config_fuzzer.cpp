// libFuzzer target: each input is a panel.cfg, or a gauge's text, checked as --check
// checks a designer's files: the panel configuration's lines, the variable references of
// the text and what their writes say, the text as a script run on every cycle and on a
// click, and the report. Every finding stands at a line of the file.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tools/gauge_host/check/lost_presses.h"
#include "tools/gauge_host/check/panel_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
  const auto check_places = [&](const std::vector<gauge_host::Diagnostic>& findings) {
    for (const gauge_host::Diagnostic& finding : findings) {
      if (finding.position.line < 1 || finding.position.line > lines || finding.position.column < 1) {
        std::fprintf(stderr, "a finding outside the file: %s\n", gauge_host::FormatDiagnostic(finding).c_str());
        std::abort();
      }
    }
  };
  gauge_host::CheckSummary summary;
  summary.files = 1;
  summary.findings = gauge_host::CheckPanelConfig(text, "panel.cfg");
  check_places(summary.findings);
  // The text is a gauge's update and its click at once.
  gauge_host::GaugeScripts gauge;
  gauge.file = "g.xml";
  for (const gauge_host::ScriptKind kind : {gauge_host::ScriptKind::kUpdate, gauge_host::ScriptKind::kClick}) {
    const bool click = kind == gauge_host::ScriptKind::kClick;
    gauge.scripts.push_back({kind, click ? gauge_host::RunsOn::kClick : gauge_host::RunsOn::kEveryCycle,
                             click ? "Click" : "Update", 0, click ? std::vector<std::string>{"LeftSingle"}
                                                                  : std::vector<std::string>{},
                             gauge_host::CompileScript(gauge_host::TextAt(text, {1, 1}), {"g.xml", "the script"}, 0)});
    check_places(gauge.scripts.back().script.errors);
    check_places(gauge.scripts.back().script.warnings);
  }
  check_places(gauge_host::CheckLostPresses({gauge}));
  summary.references = gauge_host::ReferencesOf(gauge);
  const std::vector<gauge_host::Diagnostic> findings = gauge_host::CheckReferences(summary.references);
  summary.findings.insert(summary.findings.end(), findings.begin(), findings.end());
  gauge_host::Report(summary);
  return 0;
}
