// libFuzzer target: each input is a gauge's two macros and its update script, one a line
// (the script takes the rest), read as the host reads a gauge file and as --check reads
// it. Expanding macros that use each other, themselves or their arguments in any way must
// end, every error must name its place, and, read as --check reads it, every byte of the
// expanded script must stand at a place of the script's own text.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <utility>

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
  for (const gauge_host::Diagnostic& error : scripts.errors) {
    if (error.position.line < 1 || error.position.column < 1) {
      std::fprintf(stderr, "an error without its place: %s\n", gauge_host::FormatDiagnostic(error).c_str());
      std::abort();
    }
  }
  const gauge_host::ScriptText own = gauge_host::OwnText(gauge.children.back());
  std::set<std::pair<int, int>> own_places;
  for (const gauge_host::ScriptPosition& place : own.positions) {
    own_places.emplace(place.line, place.column);
  }
  const gauge_host::ScriptText expanded = gauge_host::ExpandedAtUses(gauge_host::MacrosOf(gauge), own);
  for (const gauge_host::ScriptPosition& place : expanded.positions) {
    if (expanded.positions.size() != expanded.text.size() || !own_places.contains({place.line, place.column})) {
      std::fprintf(stderr, "a byte placed outside the script, at %d:%d: %s\n", place.line, place.column,
                    expanded.text.c_str());
      std::abort();
    }
  }
  return 0;
}
