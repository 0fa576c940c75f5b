// Gauges made of scripts alone, as a test writes them: each script starts a line of its
// file, in the order given, and is compiled as the gauge reader compiles it.
#pragma once

#include <string>
#include <vector>

#include "tools/gauge_host/script/gauge_scripts.h"

struct TestScript {
  std::string file;
  gauge_host::ScriptKind kind = gauge_host::ScriptKind::kClick;
  std::string text;
  std::vector<std::string> events = {"LeftSingle"};  // a click's
};

inline std::vector<gauge_host::GaugeScripts> GaugesOf(const std::vector<TestScript>& scripts) {
  std::vector<gauge_host::GaugeScripts> gauges;
  int line = 0;
  for (const TestScript& written : scripts) {
    if (gauges.empty() || gauges.back().file != written.file) {
      gauges.emplace_back().file = written.file;
    }
    const bool click = written.kind == gauge_host::ScriptKind::kClick;
    gauge_host::GaugeScript script;
    script.kind = written.kind;
    script.runs = click ? gauge_host::RunsOn::kClick : gauge_host::RunsOn::kEveryCycle;
    script.element = click ? "Click" : written.kind == gauge_host::ScriptKind::kUpdate ? "Update" : "Value";
    script.events = click ? written.events : std::vector<std::string>{};
    script.script = gauge_host::CompileScript(gauge_host::TextAt(written.text, {++line, 1}),
                                              {written.file, "the <" + std::string(script.element) + "> script"}, 0);
    std::vector<gauge_host::Diagnostic>& findings = gauges.back().findings;
    findings.insert(findings.end(), script.script.errors.begin(), script.script.errors.end());
    findings.insert(findings.end(), script.script.warnings.begin(), script.script.warnings.end());
    gauges.back().scripts.push_back(std::move(script));
  }
  return gauges;
}

inline gauge_host::GaugeScripts GaugeOf(const std::string& file, const std::vector<std::string>& scripts) {
  std::vector<TestScript> written;
  for (const std::string& text : scripts) {
    written.push_back({file, gauge_host::ScriptKind::kClick, text});
  }
  std::vector<gauge_host::GaugeScripts> gauges = GaugesOf(written);
  if (gauges.empty()) {
    gauges.emplace_back().file = file;
  }
  return gauges.front();
}
