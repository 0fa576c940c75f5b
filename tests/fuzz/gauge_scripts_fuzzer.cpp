// libFuzzer target: each input is a gauge's two macros and its update script, one a line
// (the script takes the rest), read as the host reads a gauge file, then run once when it
// runs. Expanding macros that use each other, themselves or their arguments in any way must
// end, every finding must name its place, every token must be used at a place of the
// script's own text (where --check reports it), and an error is always of a script that
// then does not run.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/gauge_host/script/gauge_scripts.h"

namespace {

gauge_host::XmlElement WithText(const std::string& name, std::string_view text, int line) {
  gauge_host::XmlElement element;
  element.name = name;
  element.position = {line, 1};
  const gauge_host::ScriptText placed = gauge_host::TextAt(text, {line, 1});
  element.texts.push_back({placed.text, placed.positions, {line, 1}});
  return element;
}

// The next line of the input, which moves past it.
std::string_view NextLine(std::string_view& input) {
  const std::size_t end = std::min(input.find('\n'), input.size());
  const std::string_view line = input.substr(0, end);
  input.remove_prefix(std::min(end + 1, input.size()));
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  gauge_host::XmlElement gauge;
  gauge.name = "Gauge";
  gauge.position = {1, 1};
  for (const char* name : {"M", "N"}) {
    gauge_host::XmlElement macro = WithText("Macro", NextLine(input), name[0] == 'M' ? 1 : 2);
    macro.attributes.push_back({"Name", {1, 1}, {name, {{1, 1}}, {1, 1}}});
    gauge.children.push_back(std::move(macro));
  }
  gauge.children.push_back(WithText("Update", input, 3));
  const gauge_host::GaugeScripts scripts = gauge_host::GaugeScriptsOf(gauge, "f.xml");
  for (const gauge_host::Diagnostic& finding : scripts.findings) {
    if (finding.position.line < 1 || finding.position.column < 1) {
      std::fprintf(stderr, "a finding without its place: %s\n", gauge_host::FormatDiagnostic(finding).c_str());
      std::abort();
    }
  }
  std::set<std::pair<int, int>> own_places;
  for (const gauge_host::XmlText& text : gauge.children.back().texts) {
    for (const gauge_host::ScriptPosition& place : text.positions) {
      own_places.emplace(place.line, place.column);
    }
  }
  std::size_t errors = 0;
  for (std::size_t index = 0; index < scripts.scripts.size(); ++index) {
    const gauge_host::Script& script = scripts.scripts[index].script;
    errors += script.errors.size();
    for (const gauge_host::Instruction& instruction : script.code) {
      if (!own_places.contains({instruction.use.line, instruction.use.column})) {
        std::fprintf(stderr, "a token used outside the script, at %d:%d: %s\n", instruction.use.line,
                     instruction.use.column, instruction.text.c_str());
        std::abort();
      }
    }
    if (scripts.Runs(index)) {
      gauge_host::ScriptWorld world;
      std::vector<gauge_host::Value> stack;
      gauge_host::RunScript(script, world, stack);
    }
  }
  if (errors != gauge_host::ErrorCount(scripts.findings)) {
    std::fprintf(stderr, "an error of the gauge's that is not of a script that does not run\n");
    std::abort();
  }
  return 0;
}
