#include "tools/gauge_host/play/gauge_panel.h"

#include <algorithm>

namespace gauge_host {

namespace {

std::string AreaHeading(const GaugeScripts& gauge, const MouseArea& area, const std::string& event) {
  return gauge.file + " " + DescribeArea(area) + " " + event;
}

// "<Value> of element 2 of gauges/Panel.xml", "<GaugeString> of element 4 of ...".
std::string ElementHeading(const GaugeScripts& gauge, const GaugeScript& script) {
  const std::string tag = script.kind == ScriptKind::kSelect ? "<Select>" : "<" + std::string(script.element) + ">";
  return tag + (script.number > 0 ? " of element " + std::to_string(script.number) : "") + " of " + gauge.file;
}

const Script& ClickScript(const GaugeScripts& gauge, const MouseArea& area) {
  return gauge.scripts[area.click->script].script;
}

}  // namespace

MousePoint CentreOf(const MouseArea& area) { return {area.left + area.width / 2, area.top + area.height / 2}; }

void AddGauge(GaugePanel& panel, const GaugeScripts& gauge) { panel.gauges.push_back({&gauge, {}, 0}); }

std::size_t GaugeIndex(const GaugePanel& panel, const GaugeScripts& gauge) {
  return static_cast<std::size_t>(
      std::find_if(panel.gauges.begin(), panel.gauges.end(),
                   [&](const GaugeOnPanel& on_panel) { return on_panel.scripts == &gauge; }) -
      panel.gauges.begin());
}

void SetRate(GaugePanel& panel, ScriptWorld& world, double frames_per_second) {
  panel.seconds_at_rate = world.elapsed_seconds;
  panel.frames_at_rate = 0;
  world.frames_per_second = frames_per_second;
}

std::vector<ScheduledScript> StartFrame(GaugePanel& panel, ScriptWorld& world) {
  // Counted from the last change of rate, so that a time reads the same however long the run.
  ++panel.frames_at_rate;
  world.elapsed_seconds =
      panel.seconds_at_rate + static_cast<double>(panel.frames_at_rate) / world.frames_per_second;
  std::vector<ScheduledScript> scripts;
  if (panel.held) {
    HeldButton& held = *panel.held;
    if (held.frames > 0 && held.area->click->repeat) {
      scripts.push_back({held.gauge, &ClickScript(*panel.gauges[held.gauge].scripts, *held.area),
                         "held " + AreaHeading(*panel.gauges[held.gauge].scripts, *held.area, held.event), held.event,
                         held.x, held.y});
    }
    ++held.frames;
  }
  for (std::size_t index = 0; index < panel.gauges.size(); ++index) {
    GaugeOnPanel& gauge = panel.gauges[index];
    const GaugeScripts& scripts_of = *gauge.scripts;
    if (scripts_of.update && scripts_of.Runs(*scripts_of.update) && gauge.frames % scripts_of.update_frequency == 0) {
      scripts.push_back({index, &scripts_of.scripts[*scripts_of.update].script, "update " + scripts_of.file, "", 0, 0});
    }
    ++gauge.frames;
    for (std::size_t script = 0; script < scripts_of.scripts.size(); ++script) {
      const GaugeScript& element = scripts_of.scripts[script];
      if (element.runs == RunsOn::kEveryCycle && script != scripts_of.update && scripts_of.Runs(script)) {
        scripts.push_back({index, &element.script, ElementHeading(scripts_of, element), "", 0, 0});
      }
    }
  }
  return scripts;
}

ScheduledScript ClickOf(GaugePanel& panel, std::size_t gauge, const MouseArea& area, const std::string& event,
                        MousePoint point, bool held) {
  if (held) {
    panel.held = HeldButton{gauge, &area, event, point.x, point.y, 0};
  }
  return {gauge, &ClickScript(*panel.gauges[gauge].scripts, area),
          (held ? "press " : "click ") + AreaHeading(*panel.gauges[gauge].scripts, area, event),
          event, point.x, point.y};
}

std::optional<ScheduledScript> Release(GaugePanel& panel) {
  const HeldButton held = *panel.held;
  panel.held.reset();
  const std::string event(MouseEventNamed(held.event)->released_by);
  if (!Answers(*held.area, event)) {
    return std::nullopt;
  }
  return ScheduledScript{held.gauge, &ClickScript(*panel.gauges[held.gauge].scripts, *held.area),
                         "release " + AreaHeading(*panel.gauges[held.gauge].scripts, *held.area, event), event, held.x,
                         held.y};
}

ScriptRun RunScheduled(GaugePanel& panel, ScriptWorld& world, const ScheduledScript& scheduled) {
  world.gauge_variables = &panel.gauges[scheduled.gauge].variables;
  world.mouse_event = scheduled.mouse_event;
  world.mouse_x = scheduled.mouse_x;
  world.mouse_y = scheduled.mouse_y;
  ScriptRun run;
  if (const std::vector<Diagnostic>& errors = scheduled.script->errors; !errors.empty()) {
    // The simulator runs no script with an error in it.
    const Diagnostic& first = errors.front();
    run.events.push_back({ScriptEvent::Kind::kNote, "the script does not run, for its error at " + first.file + ":" +
                                                       std::to_string(first.position.line) + ":" +
                                                       std::to_string(first.position.column)});
  } else {
    std::vector<Value> stack;
    run = RunScript(*scheduled.script, world, stack);
  }
  world.gauge_variables = nullptr;
  return run;
}

}  // namespace gauge_host
