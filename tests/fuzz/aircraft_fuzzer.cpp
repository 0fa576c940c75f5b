// libFuzzer target: each input is, at once, an aircraft.cfg, every panel.cfg and every gauge
// of an aircraft whose every folder holds the same few names (panel folders, a gauge
// folder, a cabinet, a module), so that whatever panel folders, aliases and gauge lines the
// input names lead somewhere: checked as --check AIRCRAFT_FOLDER checks one. It ends, and
// every finding stands at a line of the input.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tests/support/script_gauges.h"
#include "tools/gauge_host/check/aircraft.h"

namespace {

class SameEverywhere : public gauge_host::AircraftFiles {
 public:
  explicit SameEverywhere(const std::string& text) : text_(text) {}
  std::optional<std::vector<std::string>> FolderEntries(const std::string& folder) const override {
    if (folder.ends_with(".cfg") || folder.ends_with(".xml") || folder.ends_with(".cab") || folder.size() > 200) {
      return std::nullopt;
    }
    return std::vector<std::string>{"aircraft.cfg", "panel", "panel.a", "panel.cfg", "A",
                                    "F",            "G.xml", "F.cab",   "M.gau"};
  }
  std::optional<std::string> ReadFile(const std::string&) const override { return text_; }
  std::optional<std::vector<gauge_host::CabinetMember>> ReadCabinet(const std::string&) const override {
    return std::vector<gauge_host::CabinetMember>{{"G.xml", text_}};
  }

 private:
  const std::string& text_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
  // A gauge is the input as one script, run on a click.
  const auto read_gauge = [](const std::string& file, const std::string& bytes, gauge_host::CheckSummary& into) {
    gauge_host::AddGauge(GaugeOf(file, {bytes}), into);
  };
  const gauge_host::AircraftCheck check = gauge_host::CheckAircraft("S/A", "S/G", SameEverywhere(text), read_gauge);
  // A finding is "FILE:LINE:COL: KIND: ..." at the start of a line, FILE one of the aircraft's
  // (all under S/, named by the folder listing above, so without a colon); a line past the
  // input's is one it cannot have. The listing of variations is indented and quotes the
  // input's titles, which may hold anything, finding-like text included.
  for (std::size_t start = 0, end = 0; start < check.report.size(); start = end + 1) {
    end = check.report.find('\n', start);
    const std::string line = check.report.substr(start, end - start);
    const std::size_t kind = std::min({line.find(": error: "), line.find(": warning: "), line.find(": note: ")});
    const std::size_t colon = line.find(':');
    if (line.starts_with("S/") && kind != std::string::npos && colon < kind &&
        std::atoi(line.c_str() + colon + 1) > lines) {
      std::fprintf(stderr, "a finding outside the file: %s\n", line.c_str());
      std::abort();
    }
  }
  return 0;
}
