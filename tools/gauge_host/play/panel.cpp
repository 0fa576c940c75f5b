#include "tools/gauge_host/play/panel.h"

#include <windows.h>

#include <cstdio>
#include <cmath>
#include <cstring>
#include <vector>

#include "host/module_names.h"
#include "host/panel_services.h"
#include "host/registration.h"
#include "standin/shared/addon_record.h"
#include "standin/shared/key_message_text.h"
#include "standin/shared/panel_system.h"
#include "standin/windows/loaded_module.h"
#include "standin/windows/main_window.h"
#include "tools/gauge_host/common/module_variables.h"
#include "tools/gauge_host/common/text.h"
#include "tools/gauge_host/play/gauge_panel.h"
#include "tools/gauge_host/script/calculator.h"
#include "tools/gauge_host/script/variable_reference.h"
#include "tools/gauge_host/windows/files.h"

namespace gauge_host {

namespace {

// A chord the module set out to send: it looked for the main window.
struct ChordSent {
  char key;
  bool window_found;
};

struct Host {
  HMODULE module = nullptr;
  std::wstring module_path;
  const GaugeHeader* gauge_header = nullptr;  // of the gauge "Switches"
  PanelServices services{};  // the stand-in panel's table, its calculator traced
  int instances = 1;
  Trace* trace = nullptr;

  standin::MainWindow main_window;
  std::string addon_path;
  int addon_loads = 0;  // loads of the add-on's library by this host not yet freed
  AddonRecord* addon_record = nullptr;
  AddonRecord** addon_export = nullptr;
  bool addon_found = false;  // by the module

  // The panel's variables, as the module and the designer's gauges see them.
  ScriptWorld world;
  std::map<std::string, Script, std::less<>> module_expressions;  // each compiled once
  std::map<std::string, double, std::less<>> not_whole;            // warned about, by variable
  const GaugeFiles* gauges = nullptr;
  GaugePanel gauge_panel;  // the designer's gauges on it, the button held, the clock

  std::string last_read;  // the variable the module read last: a chord is that row's
  std::vector<ChordSent> chords_sent;
  std::vector<std::string> chords_received;  // since the last chord expectation
};

Host host;

// Reports the chords the module sent since the last look, each with the keyboard
// messages the window handled for it: a key-down and what follows it.
void TakeChords() {
  std::vector<standin::ReceivedMessage>& messages = standin::received_messages;
  std::size_t index = 0;
  for (const ChordSent& chord : host.chords_sent) {
    std::string text;
    const bool delivered = chord.window_found && index < messages.size();
    if (delivered) {
      const standin::ReceivedMessage& down = messages[index];
      host.chords_received.push_back(std::string(down.control_down ? "Ctrl+" : "") +
                                     (down.shift_down ? "Shift+" : "") + static_cast<char>(down.wparam));
      do {
        const standin::ReceivedMessage& message = messages[index];
        text += std::string(text.empty() ? "" : " ") +
                standin::KeyMessageText(message.message, message.wparam, message.lparam);
        ++index;
      } while (index < messages.size() && messages[index].message != WM_KEYDOWN);
    }
    TraceChord(*host.trace, chord.key, delivered, text);
  }
  host.chords_sent.clear();
  messages.clear();
}

// The variable of a read "(L:NAME, number)" or a write "VALUE (>L:NAME, number)".
std::string VariableOf(std::string_view expression) {
  const std::size_t open = expression.find('(');
  const std::optional<VariableToken> token =
      open == std::string_view::npos ? std::nullopt : ReadVariableToken(expression.substr(open));
  return token ? token->name : "";
}

double PanelValue(std::string_view name) {
  const auto variable = host.world.panel_variables.find(name);
  return variable == host.world.panel_variables.end() ? 0 : variable->second;
}

// As the module reads it.
std::int32_t VariableValue(std::string_view name) { return ModuleInteger(PanelValue(name)); }

// A value the module reads is a 64-bit float on the panel: say when it is not a whole
// number, once for each value.
void WarnIfNotWhole(std::string_view name, double value) {
  const std::int32_t read = ModuleInteger(value);
  if (read == value) {
    host.not_whole.erase(std::string(name));
    return;
  }
  const auto warned = host.not_whole.find(name);
  if (warned != host.not_whole.end() && warned->second == value) {
    return;
  }
  host.not_whole.insert_or_assign(std::string(name), value);
  TraceWarning(*host.trace, "warning: " + std::string(name) + " holds " + FormatNumber(value) +
                              (std::trunc(value) == value ? ", beyond 32 bits" : ", not a whole number") +
                              ": the module reads " + std::to_string(read));
}

// The panel's calculator entry: the module's expressions run as the gauges' scripts do,
// and a read gives the module the top of the stack as a 32-bit integer.
std::int32_t __stdcall TracingCalculator(const char* expression, double* float_result,
                                         std::int32_t* integer_result, const char** text_result) {
  TakeChords();
  const std::string name = VariableOf(expression);
  const std::int32_t before = VariableValue(name);
  auto compiled = host.module_expressions.find(expression);
  if (compiled == host.module_expressions.end()) {
    compiled = host.module_expressions
                   .emplace(expression, CompileScript(TextAt(expression, {1, 1}), {"the module", "its expression"}, 0))
                   .first;
  }
  std::vector<Value> stack;
  const std::optional<Diagnostic> error =
      !compiled->second.errors.empty() ? compiled->second.errors.front()
      : float_result != nullptr || text_result != nullptr
          ? Diagnostic{"the module", {}, Severity::kError, "a floating or text result asked for"}
          : RunScript(compiled->second, host.world, stack).error;
  if (error) {
    TraceWarning(*host.trace, "the panel refused an expression: \"" + Shown(expression) + "\": " + FormatDiagnostic(*error));
    return 0;
  }
  if (integer_result != nullptr) {
    const double* value = stack.empty() ? nullptr : std::get_if<double>(&stack.back());
    std::optional<std::int32_t> stored;
    if (value != nullptr) {
      stored = ModuleInteger(*value);
      *integer_result = *stored;
      WarnIfNotWhole(name, *value);
    }
    host.last_read = name;
    TraceRead(*host.trace, name, expression, stored);
  } else {
    TraceWrite(*host.trace, name, expression, before, VariableValue(name));
  }
  return 1;
}

// Runs a designer's script on the panel. One the host cannot run on (a division by zero,
// a loop without end) stops there, with one warning at its place; the panel, the other
// scripts and the module go on.
void RunGaugeScript(const ScheduledScript& scheduled, const std::string& label, bool always) {
  // Only the variables the script writes, "(>L:NAME, UNIT)": twenty gauges' scripts run
  // every frame of an hour, and a copy of every variable each time cost most of it.
  std::map<std::string, double, std::less<>> values_before;
  for (const Instruction& instruction : scheduled.script->code) {
    if (const auto value = instruction.op == Op::kWritePanel ? host.world.panel_variables.find(instruction.name)
                                                             : host.world.panel_variables.end();
        value != host.world.panel_variables.end()) {
      values_before.insert(*value);
    }
  }
  ScriptRun run = RunScheduled(host.gauge_panel, host.world, scheduled);
  if (run.error) {
    Diagnostic stopped = *run.error;
    stopped.severity = Severity::kWarning;
    stopped.message += ": that run of the script stops there";
    if (std::string text = FormatDiagnostic(stopped); host.world.warned.insert(text).second) {
      run.events.push_back({ScriptEvent::Kind::kWarning, std::move(text)});
    }
  }
  TraceScript(*host.trace, label, scheduled.heading, values_before, run, always);
}

// The module's only search for the main window is the start of a chord, for the row it
// read last.
HWND WINAPI WatchedFindWindow(LPCSTR window_class, LPCSTR window_name) {
  HWND window = FindWindowA(window_class, window_name);
  const SwitchEntry* row = SwitchRowOf(host.last_read);
  host.chords_sent.push_back({row != nullptr ? static_cast<char>(row->virtual_key) : '?', window != nullptr});
  return window;
}

// The module pins the add-on's library at the moment it finds its record. The pin is held
// as a reference that ends with the scenario, so that the next one starts without the add-on.
BOOL WINAPI WatchedGetModuleHandleEx(DWORD flags, LPCSTR name, HMODULE* module) {
  if ((flags & GET_MODULE_HANDLE_EX_FLAG_PIN) != 0 && !host.addon_found) {
    host.addon_found = true;
    TraceEvent(*host.trace, "add-on found: bridging from frame " + std::to_string(host.trace->frame));
  }
  return standin::GetModuleHandleExHoldingPin(flags, name, module);
}

void WatchModule(HMODULE module) {
  standin::RedirectImport(module, "user32.dll", "FindWindowA", reinterpret_cast<const void*>(&WatchedFindWindow));
  standin::RedirectImport(module, "kernel32.dll", "GetModuleHandleExA",
                          reinterpret_cast<const void*>(&WatchedGetModuleHandleEx));
}

bool AddonMapped() { return host.addon_record != nullptr && GetModuleHandleA(kAddonLibrary) != nullptr; }

// One frame of the panel: the gauges' scripts in their order, then the module; the error
// of a script that fails.
std::optional<Diagnostic> RunFrame() {
  Trace& trace = *host.trace;
  TraceFrameStart(trace);
  trace.updating = true;
  for (const ScheduledScript& scheduled : StartFrame(host.gauge_panel, host.world)) {
    RunGaugeScript(scheduled, "frame " + std::to_string(trace.frame), false);
  }
  trace.updating = false;
  if (!trace.module_window_hidden) {
    TraceModuleTurn(trace);
  }
  if (trace.timeline != nullptr) {
    if (trace.module_window_hidden) {
      RecordTimelineHiddenFrame(*trace.timeline, trace.frame);
    }
    std::vector<TimelineRow>& rows = trace.timeline->rows;
    for (std::size_t index = 0; index + 1 < rows.size(); ++index) {
      SampleTimelineRow(rows[index], trace.frame, VariableValue(rows[index].name));
    }
    SampleTimelineRow(rows.back(), trace.frame,
                      AddonMapped() ? std::optional<std::int32_t>(host.addon_record->seatbelt_sign) : std::nullopt);
  }
  // The simulator calls the gauge only when it is about to draw its window.
  for (int instance = 0; instance < host.instances && !trace.module_window_hidden; ++instance) {
    const bool mapped = AddonMapped();
    const std::int32_t field = mapped ? host.addon_record->seatbelt_sign : 0;
    // The host passes the gauge's header as its 32-bit word; the module ignores it.
    host.gauge_header->gauge_callback(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(host.gauge_header)),
                                      kFrameServiceCode, 0);
    TakeChords();
    if (mapped && host.addon_record->seatbelt_sign != field) {
      TraceAddonSign(trace, field, host.addon_record->seatbelt_sign);
    }
  }
  return std::nullopt;
}


std::string ChordList(const std::vector<std::string>& chords) {
  std::string text;
  for (const std::string& chord : chords) {
    text += (text.empty() ? "" : " ") + chord;
  }
  return text.empty() ? "none" : text;
}

// A failure of Windows under the host, in no file of the designer's.
Diagnostic WindowsFailure(const std::string& message) { return {"", {}, Severity::kError, message}; }

}  // namespace

std::optional<Diagnostic> LoadGaugeModule(const std::string& path) {
  const std::string shown = Shown(path, 4 * kShownCharacters);
  const auto problem = [&](const std::string& message) { return Diagnostic{shown, {}, Severity::kError, message}; };
  if (std::optional<Diagnostic> unreadable = FileProblem(path)) {
    return unreadable;
  }
  HMODULE module = LoadLibraryW(Wide(path).c_str());
  if (module == nullptr) {
    const DWORD code = GetLastError();
    return problem(code == ERROR_BAD_EXE_FORMAT ? "is not a 32-bit Windows DLL, as a gauge module is"
                   : code == ERROR_MOD_NOT_FOUND
                       ? "cannot be loaded: a library it needs is missing"
                       : "cannot be loaded (Windows error " + std::to_string(code) + ")");
  }
  auto* import_table = reinterpret_cast<ImportTableRecord*>(GetProcAddress(module, "ImportTable"));
  const auto* linkage = reinterpret_cast<const GaugeLinkage*>(GetProcAddress(module, "Linkage"));
  if (import_table == nullptr || linkage == nullptr ||
      import_table->panel_services.identifier != kPanelServicesIdentifier || linkage->module_id != kModuleIdentifier ||
      linkage->gauge_headers[0] == nullptr) {
    FreeLibrary(module);
    return problem("is not a gauge module: it lacks the ImportTable or Linkage the panel system reads");
  }
  const GaugeHeader* header = linkage->gauge_headers[0];
  if (header->header_version != kGaugeHeaderVersion || header->gauge_callback == nullptr) {
    FreeLibrary(module);
    return problem("has no first gauge with a callback the panel can call");
  }
  // The host plays the Tvl_ variables through the gauge Switches alone: another module's
  // gauge would be called with nothing it works on.
  if (header->gauge_name == nullptr || std::string_view(header->gauge_name) != kGaugeName) {
    // The name lives in the module: read before it is unloaded.
    const std::string name = header->gauge_name == nullptr ? "unnamed" : "\"" + Shown(header->gauge_name) + "\"";
    FreeLibrary(module);
    return problem("is not a build of Tvl_LvarSupport: its first gauge is " + name + ", not \"" + kGaugeName +
                   "\", and the gauge host runs only the gauge " + kGaugeName + ", which works the Tvl_ variables");
  }
  host.module = module;
  host.module_path = Wide(path);
  host.services = standin::panel_services;
  host.services.execute_calculator = TracingCalculator;
  import_table->panel_services.services = &host.services;
  host.gauge_header = header;
  WatchModule(module);
  return std::nullopt;
}

ModulePanel::ModulePanel(const std::string& addon_path, int instances, Trace& trace, const GaugeFiles& gauges,
                         const std::string& scenario_name)
    : scenario_name_(scenario_name) {
  standin::received_messages.clear();
  host.gauges = &gauges;
  host.addon_path = addon_path;
  host.instances = instances;
  host.trace = &trace;
  // A simulator always has its main window; a scenario may destroy it.
  host.main_window = standin::CreateMainWindow(false);
}

std::optional<Diagnostic> ModulePanel::End() {
  standin::DestroyMainWindow(host.main_window);
  for (; host.addon_loads > 0; --host.addon_loads) {
    FreeLibrary(GetModuleHandleA(kAddonLibrary));
  }
  FreeLibrary(host.module);
  standin::ReleaseHeldPins();
  const bool module_unloaded = GetModuleHandleW(host.module_path.c_str()) == nullptr;
  const bool addon_unloaded = GetModuleHandleA(kAddonLibrary) == nullptr;
  host = Host{};
  if (!module_unloaded) {
    return WindowsFailure("the module stays loaded after the scenario, so the next cannot load it afresh");
  }
  if (!addon_unloaded) {
    return WindowsFailure("the add-on stays loaded after the scenario, so the next cannot start without it");
  }
  return std::nullopt;
}

namespace {

void Note(const ScenarioStep& step, const std::string& what) { TraceStep(*host.trace, step.line, what, true); }

double PanelValueOf(const ScenarioStep& step) { return PanelValue(step.name); }

}  // namespace

std::optional<Diagnostic> ModulePanel::SetVariable(const ScenarioStep& step) {
  const double before = PanelValueOf(step);
  host.world.panel_variables[step.name] = step.number;
  TraceSet(*host.trace, step.line, step.name, before, step.number);
  return std::nullopt;
}

std::optional<Diagnostic> ModulePanel::SetSimulationVariable(const ScenarioStep& step) {
  const Value value = step.text_value ? Value(*step.text_value) : Value(step.number);
  if (step.type == "P" || step.type == "E") {
    SetSetting(host.world, step.name, step.unit, step.number);
  } else {
    SetKeptVariable(host.world, step.type, step.name, step.unit, value);
  }
  Note(step, "set (" + step.type + ":" + step.name + ", " + step.unit + ") " + FormatValue(value));
  return std::nullopt;
}

std::optional<Diagnostic> ModulePanel::AddGauge(const ScenarioStep& step) {
  const GaugeScripts& gauge = host.gauges->at(step.gauge);
  gauge_host::AddGauge(host.gauge_panel, gauge);
  const std::uint32_t frequency = gauge.update_frequency;
  std::size_t every_cycle = 0;
  std::size_t not_running = 0;
  for (std::size_t index = 0; index < gauge.scripts.size(); ++index) {
    every_cycle += gauge.scripts[index].runs == RunsOn::kEveryCycle && index != gauge.update ? 1 : 0;
    not_running += gauge.Runs(index) ? 0 : 1;
  }
  Note(step, "gauge " + gauge.file + " joins the panel: " + Counted(gauge.areas.size(), "mouse area") +
                 (!gauge.update     ? ", no update script"
                  : frequency == 1 ? ", an update script run every frame"
                                   : ", an update script run every " + std::to_string(frequency) + " frames") +
                 (every_cycle == 0 ? "" : ", " + Counted(every_cycle, "element script")) +
                 (not_running == 0 ? "" : "; " + Counted(not_running, "script") + " with an error, which " +
                                              (not_running == 1 ? "does" : "do") + " not run"));
  return std::nullopt;
}

namespace {

// The click or the press of a step, on the area it names, where it says or at its centre.
std::optional<Diagnostic> ClickStep(const ScenarioStep& step, bool held) {
  const GaugeScripts& gauge = host.gauges->at(step.gauge);
  const MouseArea& area = ClickedArea(gauge, step.area);
  const MousePoint at = step.mouse_at ? MousePoint{step.mouse_at->first, step.mouse_at->second} : CentreOf(area);
  RunGaugeScript(ClickOf(host.gauge_panel, GaugeIndex(host.gauge_panel, gauge), area, step.event, at, held),
                 "line " + std::to_string(step.line), true);
  return std::nullopt;
}

}  // namespace

std::optional<Diagnostic> ModulePanel::Click(const ScenarioStep& step) { return ClickStep(step, false); }

std::optional<Diagnostic> ModulePanel::Press(const ScenarioStep& step) { return ClickStep(step, true); }

std::optional<Diagnostic> ModulePanel::Release(const ScenarioStep& step) {
  const HeldButton held = *host.gauge_panel.held;
  if (const std::optional<ScheduledScript> release = gauge_host::Release(host.gauge_panel)) {
    RunGaugeScript(*release, "line " + std::to_string(step.line), true);
    return std::nullopt;
  }
  Note(step, "release " + host.gauge_panel.gauges[held.gauge].scripts->file + " " + DescribeArea(*held.area) +
                 ": its <Click> does not answer " + std::string(MouseEventNamed(held.event)->released_by));
  return std::nullopt;
}

std::optional<Diagnostic> ModulePanel::SetRate(const ScenarioStep& step) {
  gauge_host::SetRate(host.gauge_panel, host.world, step.value);
  Note(step, "rate " + std::to_string(step.value) + " frames a second from the next frame");
  return std::nullopt;
}

std::optional<Diagnostic> ModulePanel::Eval(const ScenarioStep& step) {
  // A script of no gauge: no mouse, no G: variables.
  host.world.mouse_event.clear();
  host.world.gauge_variables = nullptr;
  const std::map<std::string, double, std::less<>> values_before = host.world.panel_variables;
  std::vector<Value> stack;
  const ScriptRun run = RunScript(step.script, host.world, stack);
  std::string left;
  for (const Value& value : stack) {
    left += (left.empty() ? "" : " ") + FormatValue(value);
  }
  TraceScript(*host.trace, "line " + std::to_string(step.line), "eval", values_before, run, true);
  if (!left.empty()) {
    Note(step, "eval leaves " + left + " on the stack");
  }
  return run.error;
}

std::optional<Diagnostic> ModulePanel::RunFrames(const ScenarioStep& step) {
  for (std::uint32_t count = 0; count < step.frames; ++count) {
    if (std::optional<Diagnostic> error = RunFrame()) {
      return error;
    }
  }
  return std::nullopt;
}

std::optional<Diagnostic> ModulePanel::LoadAddon(const ScenarioStep& step) {
  HMODULE addon = LoadLibraryW(Wide(host.addon_path).c_str());
  if (addon == nullptr) {
    return WindowsFailure("the stand-in add-on '" + host.addon_path + "' cannot be loaded");
  }
  host.addon_record = reinterpret_cast<AddonRecord*>(GetProcAddress(addon, kStandinRecordExport));
  host.addon_export = reinterpret_cast<AddonRecord**>(GetProcAddress(addon, kAddonExport));
  // Another library in the stand-in's place: refused, rather than its missing exports read.
  std::vector<std::string> missing;
  for (const auto& [address, name] : {std::pair<const void*, const char*>{host.addon_export, kAddonExport},
                                      {host.addon_record, kStandinRecordExport}}) {
    if (address == nullptr) {
      missing.emplace_back(name);
    }
  }
  if (!missing.empty()) {
    FreeLibrary(addon);
    host.addon_record = nullptr;
    host.addon_export = nullptr;
    return WindowsFailure(Shown(host.addon_path, 4 * kShownCharacters) + " is not the stand-in add-on the host plays: " +
                          "it lacks the export" + (missing.size() == 1 ? " " : "s ") + Together(missing) +
                          "; put back the Travinel.dll that came with the host");
  }
  ++host.addon_loads;
  Note(step, *host.addon_export != nullptr ? "add-on loaded and ready" : "add-on loaded but not ready");
  return std::nullopt;
}

std::optional<Diagnostic> ModulePanel::FreeAddon(const ScenarioStep& step) {
  FreeLibrary(GetModuleHandleA(kAddonLibrary));
  --host.addon_loads;
  Note(step, !AddonMapped()          ? "add-on freed by the simulator, and unloaded"
             : host.addon_loads == 0 ? "add-on freed by the simulator; the module keeps the add-on loaded"
                                     : "add-on freed by the simulator; still loaded, as it was loaded more than once");
  return std::nullopt;
}

std::optional<Diagnostic> ModulePanel::SetAddonExport(const ScenarioStep& step) {
  *host.addon_export = step.text.ends_with("null") ? nullptr : host.addon_record;
  Note(step, *host.addon_export != nullptr ? "add-on ready" : "add-on loaded but not ready");
  return std::nullopt;
}

std::optional<Diagnostic> ModulePanel::SetAddonSeatbelt(const ScenarioStep& step) {
  host.addon_record->seatbelt_sign = step.value;
  Note(step, "add-on sets its seat-belt sign to " + std::to_string(step.value));
  return std::nullopt;
}

std::optional<Diagnostic> ModulePanel::CreateMainWindow(const ScenarioStep& step) {
  host.main_window = standin::CreateMainWindow(false);
  if (host.main_window.handle == nullptr) {
    return WindowsFailure("Windows could not create the main window");
  }
  Note(step, "main window created");
  return std::nullopt;
}

std::optional<Diagnostic> ModulePanel::DestroyMainWindow(const ScenarioStep& step) {
  standin::DestroyMainWindow(host.main_window);
  Note(step, "main window destroyed");
  return std::nullopt;
}

std::optional<Diagnostic> ModulePanel::HideModuleWindow(const ScenarioStep& step) {
  TraceModuleWindow(*host.trace, step.line, true);
  return std::nullopt;
}

std::optional<Diagnostic> ModulePanel::ShowModuleWindow(const ScenarioStep& step) {
  TraceModuleWindow(*host.trace, step.line, false);
  return std::nullopt;
}

namespace {

void Expect(const std::string& scenario_name, const ScenarioStep& step, bool met, const std::string& expected,
            const std::string& actual) {
  TraceExpectation(*host.trace, scenario_name + ":" + std::to_string(step.line) + ": ", step.line, step.text, met,
                   expected, actual);
}

}  // namespace

std::optional<Diagnostic> ModulePanel::ExpectVariable(const ScenarioStep& step) {
  // As a gauge reading it sees it: a variable never written reads 0.
  const bool written = host.world.panel_variables.count(step.name) != 0;
  const double value = PanelValueOf(step);
  Expect(scenario_name_, step, value == step.number, FormatNumber(step.number),
         FormatNumber(value) + (written ? "" : " (never written)"));
  return std::nullopt;
}

std::optional<Diagnostic> ModulePanel::ExpectAddonSeatbelt(const ScenarioStep& step) {
  const std::string actual = AddonMapped() ? std::to_string(host.addon_record->seatbelt_sign) : "no add-on loaded";
  Expect(scenario_name_, step, actual == std::to_string(step.value), std::to_string(step.value), actual);
  return std::nullopt;
}

std::optional<Diagnostic> ModulePanel::ExpectChords(const ScenarioStep& step) {
  std::vector<std::string> expected;
  for (char key : step.chord_keys) {
    expected.push_back(std::string("Ctrl+Shift+") + key);
  }
  Expect(scenario_name_, step, expected == host.chords_received, ChordList(expected), ChordList(host.chords_received));
  host.chords_received.clear();
  return std::nullopt;
}

}  // namespace gauge_host
