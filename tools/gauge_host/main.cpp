// A gauge host that runs the real module offline: it loads a .gau as the simulator's
// panel system does, plays the panel (a service table, panel variables, frames), owns a
// real "FS98MAIN" window and provides the stand-in add-on "Travinel.dll", while it plays a
// scenario and prints a trace of everything the module does.
//
//   tvl_gauge_host [--gau FILE] [SCENARIO]
//   tvl_gauge_host --check PATH...   (a designer's gauges and panel.cfg; check_mode.h)
//
// Exit status: 0 when every expectation is met, 1 when one is not, 2 when the scenario or
// the module cannot be used. With --check: 0 without errors, 1 with one, 2 when a path
// cannot be read.

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "default_scenario.h"
#include "standin/main_window.h"
#include "standin/panel_system.h"
#include "tools/gauge_host/check_mode.h"
#include "tools/gauge_host/scenario.h"

namespace {

using gauge_host::ScenarioStep;
using gauge_host::StepKind;

using Callback = void(__stdcall*)(std::uint32_t gauge, std::int32_t service_code, std::uint32_t extra);

constexpr std::int32_t kFrameServiceCode = 10;

// The add-on's record as the add-on lays it out; the second word is the seat-belt sign.
struct AddonRecord {
  std::int32_t first_word;
  std::int32_t seatbelt_sign;
};

std::uint32_t Address(const void* pointer) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}
const std::uint32_t* Words(std::uint32_t address) {
  return reinterpret_cast<const std::uint32_t*>(static_cast<std::uintptr_t>(address));
}

std::string Hex(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

struct Host {
  std::string scenario_name;
  std::uint32_t gauge_header = 0;
  Callback callback = nullptr;
  PanelServices services{};  // the stand-in panel's table, its calculator traced

  std::uint32_t frame = 0;
  standin::MainWindow main_window;
  std::string addon_path;
  int addon_loads = 0;  // loads of the add-on's library by this host not yet freed
  AddonRecord* addon_record = nullptr;
  AddonRecord** addon_export = nullptr;

  std::vector<std::string> chords;  // received since the last chord expectation
  int expectations = 0;
  std::vector<int> unmet_lines;
};

Host host;

void Trace(const std::string& event) { std::printf("frame %-4u %s\n", host.frame, event.c_str()); }

const char* MessageName(UINT message) {
  switch (message) {
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_CHAR: return "WM_CHAR";
    case WM_KEYUP: return "WM_KEYUP";
    default: return "message";
  }
}

// Prints the keyboard messages the window handled since the last look, a chord to a line:
// a key-down names the chord after the modifiers held and its key.
void TakeChords() {
  std::vector<standin::ReceivedMessage>& messages = standin::received_messages;
  for (std::size_t index = 0; index < messages.size();) {
    std::string name;
    if (messages[index].message == WM_KEYDOWN) {
      name = std::string(messages[index].control_down ? "Ctrl+" : "") + (messages[index].shift_down ? "Shift+" : "") +
             static_cast<char>(messages[index].wparam);
      host.chords.push_back(name);
    }
    std::string line = "chord " + (name.empty() ? std::string("(none)") : name) + " ";
    const std::size_t end = std::min(messages.size(), index + 3);
    do {
      const standin::ReceivedMessage& message = messages[index];
      line += std::string(" ") + MessageName(message.message) + " " + Hex(message.wparam, 2) + " " +
              Hex(message.lparam, 8);
      ++index;
    } while (index < end && messages[index].message != WM_KEYDOWN);
    Trace(line);
  }
  messages.clear();
}

std::int32_t __stdcall TracingCalculator(const char* expression, double* float_result,
                                         std::int32_t* integer_result, const char** text_result) {
  TakeChords();
  const std::size_t errors = standin::panel.errors.size();
  const std::int32_t result =
      standin::panel_services.execute_calculator(expression, float_result, integer_result, text_result);
  const standin::CalculatorCall& call = standin::panel.calculator_calls.back();
  if (integer_result != nullptr) {
    Trace("read  " + call.expression + " -> " +
          (call.stored ? std::to_string(*call.stored) : std::string("nothing stored")));
  } else {
    Trace("write " + call.expression);
  }
  for (std::size_t index = errors; index < standin::panel.errors.size(); ++index) {
    Trace("host error: " + standin::panel.errors[index]);
  }
  standin::panel.calculator_calls.clear();
  return result;
}

bool AddonMapped() { return host.addon_record != nullptr && GetModuleHandleA("Travinel.dll") != nullptr; }

void RunFrame() {
  ++host.frame;
  const bool mapped = AddonMapped();
  const std::int32_t field = mapped ? host.addon_record->seatbelt_sign : 0;
  host.callback(host.gauge_header, kFrameServiceCode, 0);
  TakeChords();
  if (mapped && host.addon_record->seatbelt_sign != field) {
    Trace("add-on seat-belt field " + std::to_string(field) + " -> " +
          std::to_string(host.addon_record->seatbelt_sign));
  }
}

// Loads the gauge module and hands it the panel's service table, as the simulator does,
// reading its records by their word offsets.
bool LoadGaugeModule(const std::string& path, std::string& error) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) {
    error = "cannot load '" + path + "' (Windows error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  auto* import_table = reinterpret_cast<std::uint32_t*>(GetProcAddress(module, "ImportTable"));
  const auto* linkage = reinterpret_cast<const std::uint32_t*>(GetProcAddress(module, "Linkage"));
  if (import_table == nullptr || linkage == nullptr || import_table[0] != 0x0000000F || linkage[0] != 0x00000013 ||
      linkage[6] == 0) {
    error = "'" + path + "' is not a gauge module: it lacks the ImportTable or Linkage the panel system reads";
    return false;
  }
  const std::uint32_t* header = Words(linkage[6]);
  if (header[0] != 800 || header[1] == 0 || std::string(reinterpret_cast<const char*>(Words(header[1]))) != "Switches" ||
      header[0x54 / 4] == 0) {
    error = "'" + path + "' has no gauge \"Switches\" with a callback";
    return false;
  }
  host.services = standin::panel_services;
  host.services.execute_calculator = TracingCalculator;
  import_table[1] = Address(&host.services);
  host.gauge_header = linkage[6];
  host.callback = reinterpret_cast<Callback>(static_cast<std::uintptr_t>(header[0x54 / 4]));
  return true;
}

std::string Where(const ScenarioStep& step) { return host.scenario_name + ":" + std::to_string(step.line) + ": "; }

void Expectation(const ScenarioStep& step, bool met, const std::string& expected, const std::string& actual) {
  ++host.expectations;
  if (met) {
    std::printf("line %-5d %s: met\n", step.line, step.text.c_str());
    return;
  }
  host.unmet_lines.push_back(step.line);
  std::printf("%sexpectation not met: %s: expected %s, actual %s\n", Where(step).c_str(), step.text.c_str(),
              expected.c_str(), actual.c_str());
}

std::string ChordList(const std::vector<std::string>& chords) {
  std::string text;
  for (const std::string& chord : chords) {
    text += (text.empty() ? "" : " ") + chord;
  }
  return text.empty() ? "none" : text;
}

// Plays one step; false, with the reason, when the step cannot be played.
bool Play(const ScenarioStep& step, std::string& error) {
  const auto note = [&](const std::string& what) { std::printf("line %-5d %s\n", step.line, what.c_str()); };
  switch (step.kind) {
    case StepKind::kSet:
      standin::panel.variables[step.name] = step.value;
      note("set " + step.name + " = " + std::to_string(step.value));
      return true;
    case StepKind::kFrames:
      for (std::uint32_t count = 0; count < step.frames; ++count) {
        RunFrame();
      }
      return true;
    case StepKind::kAddonLoad: {
      HMODULE addon = LoadLibraryA(host.addon_path.c_str());
      if (addon == nullptr) {
        error = "cannot load the stand-in add-on '" + host.addon_path + "'";
        return false;
      }
      ++host.addon_loads;
      host.addon_record = reinterpret_cast<AddonRecord*>(GetProcAddress(addon, "TvlRecord"));
      host.addon_export = reinterpret_cast<AddonRecord**>(GetProcAddress(addon, "TvlExport"));
      note(std::string("add-on loaded, its export holding ") + (*host.addon_export != nullptr ? "its record" : "null"));
      return true;
    }
    case StepKind::kAddonFree:
      if (host.addon_loads == 0) {
        error = "the add-on is not loaded";
        return false;
      }
      FreeLibrary(GetModuleHandleA("Travinel.dll"));
      --host.addon_loads;
      note(AddonMapped() ? "add-on freed, and still mapped" : "add-on freed and unmapped");
      return true;
    case StepKind::kAddonExportNull:
    case StepKind::kAddonExportRecord:
    case StepKind::kAddonSeatbelt:
      if (!AddonMapped()) {
        error = "the add-on is not loaded";
        return false;
      }
      if (step.kind == StepKind::kAddonSeatbelt) {
        host.addon_record->seatbelt_sign = step.value;
        note("add-on sets its seat-belt field to " + std::to_string(step.value));
      } else {
        *host.addon_export = step.kind == StepKind::kAddonExportNull ? nullptr : host.addon_record;
        note(std::string("add-on export now holds ") + (*host.addon_export != nullptr ? "its record" : "null"));
      }
      return true;
    case StepKind::kWindowCreate:
      if (host.main_window.handle != nullptr) {
        error = "the main window is already there";
        return false;
      }
      host.main_window = standin::CreateMainWindow(false);
      if (host.main_window.handle == nullptr) {
        error = "cannot create the main window";
        return false;
      }
      note("main window created");
      return true;
    case StepKind::kWindowDestroy:
      if (host.main_window.handle == nullptr) {
        error = "there is no main window";
        return false;
      }
      standin::DestroyMainWindow(host.main_window);
      note("main window destroyed");
      return true;
    case StepKind::kExpectVariable: {
      // As a gauge reading it sees it: a variable never written reads 0.
      const auto variable = standin::panel.variables.find(step.name);
      const std::int32_t value = variable == standin::panel.variables.end() ? 0 : variable->second;
      Expectation(step, value == step.value, std::to_string(step.value),
                  std::to_string(value) + (variable == standin::panel.variables.end() ? " (never written)" : ""));
      return true;
    }
    case StepKind::kExpectAddonSeatbelt: {
      const std::string actual = AddonMapped() ? std::to_string(host.addon_record->seatbelt_sign) : "no add-on loaded";
      Expectation(step, actual == std::to_string(step.value), std::to_string(step.value), actual);
      return true;
    }
    case StepKind::kExpectChords: {
      std::vector<std::string> expected;
      for (char key : step.chord_keys) {
        expected.push_back(std::string("Ctrl+Shift+") + key);
      }
      Expectation(step, expected == host.chords, ChordList(expected), ChordList(host.chords));
      host.chords.clear();
      return true;
    }
  }
  return true;
}

std::string ExecutableDirectory() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string directory(path, length);
  return directory.substr(0, directory.find_last_of("\\/"));
}

int Usage(const char* problem) {
  std::fprintf(stderr,
               "%s\nusage: tvl_gauge_host [--gau FILE] [SCENARIO]\n"
               "       tvl_gauge_host --check PATH...   checks gauge files (*.xml) and panel.cfg, folders searched;\n"
               "                                        exit 0 without errors, 1 with one, 2 when a path cannot be read\n",
               problem);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // Lines end as on the terminal that shows them, without carriage returns.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::setvbuf(stdout, nullptr, _IOLBF, 1 << 16);

  const std::string directory = ExecutableDirectory();
  std::string gau_path = directory + "\\Tvl_LvarSupport.gau";
  std::string scenario_path;
  for (int index = 1; index < argc; ++index) {
    const std::string argument = argv[index];
    if (argument == "--gau" && index + 1 < argc) {
      gau_path = argv[++index];
    } else if (argument == "--check" && index + 1 < argc) {
      return gauge_host::RunCheck(std::vector<std::string>(argv + index + 1, argv + argc));
    } else if (argument == "--help" || argument == "-h") {
      return Usage("Runs the gauge module offline through a scenario (the built-in one when none is given).");
    } else if (!argument.empty() && argument[0] == '-') {
      return Usage(("unknown option '" + argument + "'").c_str());
    } else if (scenario_path.empty()) {
      scenario_path = argument;
    } else {
      return Usage("give at most one scenario");
    }
  }

  std::string text = kDefaultScenario;
  host.scenario_name = "default.scn";
  if (!scenario_path.empty()) {
    std::ifstream file(scenario_path, std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "%s: error: cannot open the scenario\n", scenario_path.c_str());
      return 2;
    }
    std::ostringstream contents;
    contents << file.rdbuf();
    text = contents.str();
    host.scenario_name = scenario_path;
  }
  const gauge_host::Scenario scenario = gauge_host::ParseScenario(text, host.scenario_name);
  for (const std::string& warning : scenario.warnings) {
    std::fprintf(stderr, "%s\n", warning.c_str());
  }
  for (const std::string& error : scenario.errors) {
    std::fprintf(stderr, "%s\n", error.c_str());
  }
  if (!scenario.errors.empty()) {
    std::fprintf(stderr, "%s: %zu error(s); nothing was run\n", host.scenario_name.c_str(), scenario.errors.size());
    return 2;
  }

  std::string error;
  if (!LoadGaugeModule(gau_path, error)) {
    std::fprintf(stderr, "error: %s\n", error.c_str());
    return 2;
  }
  host.addon_path = directory + "\\Travinel.dll";
  // A simulator always has its main window; a scenario may destroy it.
  host.main_window = standin::CreateMainWindow(false);
  std::printf("module %s, scenario %s\n", gau_path.c_str(), host.scenario_name.c_str());

  for (const ScenarioStep& step : scenario.steps) {
    if (!Play(step, error)) {
      std::fprintf(stderr, "%serror: %s: %s\n", Where(step).c_str(), step.text.c_str(), error.c_str());
      return 2;
    }
  }
  std::fflush(stdout);
  if (host.unmet_lines.empty()) {
    std::printf("%s: all %d expectations met in %u frames\n", host.scenario_name.c_str(), host.expectations, host.frame);
    return 0;
  }
  std::string lines;
  for (int line : host.unmet_lines) {
    lines += (lines.empty() ? "" : ", ") + std::to_string(line);
  }
  std::printf("%s: %zu of %d expectations not met (line %s) in %u frames\n", host.scenario_name.c_str(),
              host.unmet_lines.size(), host.expectations, lines.c_str(), host.frame);
  return 1;
}
