// The designer's gauges on the panel, apart from Windows: each gauge's own G: variables and
// its count of frames, the mouse button held down, the panel's clock, and which scripts a
// frame, a press and a release run, in order. The panel the module runs in
// (play/panel.cpp) runs what this schedules and traces it.
//
// A frame is one panel cycle, 1/18 s unless the scenario sets another rate. At its start
// the clock moves on one cycle; then, before the module's turn, run: the held button's
// click again, when it has Repeat="Yes" and was pressed before the previous frame; then,
// gauge after gauge in the order they joined the panel, its <Update> (on the first frame
// after it joined and every Frequency-th frame after that) and its elements' scripts in
// file order.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/gauge_host/script/calculator.h"
#include "tools/gauge_host/script/gauge_scripts.h"

namespace gauge_host {

struct GaugeOnPanel {
  const GaugeScripts* scripts = nullptr;
  std::array<double, 9> variables{};  // (G:Var1) to (G:Var9), its own
  std::uint64_t frames = 0;           // frames run since it joined the panel
};

// The mouse button held down on an area, from a press to its release.
struct HeldButton {
  std::size_t gauge = 0;  // among the gauges on the panel
  const MouseArea* area = nullptr;
  std::string event;  // the event that pressed it, LeftSingle
  double x = 0;       // where, in the gauge's pixels
  double y = 0;
  std::uint64_t frames = 0;  // frames run since the press
};

struct GaugePanel {
  std::vector<GaugeOnPanel> gauges;  // in the order they joined
  std::optional<HeldButton> held;
  std::uint64_t frames_at_rate = 0;  // frames run since the rate was last set
  double seconds_at_rate = 0;        // the clock then
};

// A script the panel is to run: whose, what the trace calls it, and the mouse it sees.
struct ScheduledScript {
  std::size_t gauge = 0;
  const Script* script = nullptr;
  std::string heading;      // "update gauges/Panel.xml", "press gauges/Panel.xml area 1 LeftSingle"
  std::string mouse_event;  // "" for a script that is not a click's
  double mouse_x = 0;
  double mouse_y = 0;
};

// Where a click is when the step does not say: its area's centre.
struct MousePoint {
  double x = 0;
  double y = 0;
};
MousePoint CentreOf(const MouseArea& area);

// The gauge joins the panel, its G: variables at 0.
void AddGauge(GaugePanel& panel, const GaugeScripts& gauge);

// The gauge's place among those on the panel; it is on it.
std::size_t GaugeIndex(const GaugePanel& panel, const GaugeScripts& gauge);

// Frames a second from the next frame on; the clock keeps the time it has reached.
void SetRate(GaugePanel& panel, ScriptWorld& world, double frames_per_second);

// Starts a frame: the clock moves one cycle on; the scripts the frame runs before the
// module's turn, in order.
std::vector<ScheduledScript> StartFrame(GaugePanel& panel, ScriptWorld& world);

// The click of a step (click, or the press that starts holding the button when held):
// the area answers the event.
ScheduledScript ClickOf(GaugePanel& panel, std::size_t gauge, const MouseArea& area, const std::string& event,
                        MousePoint point, bool held);

// Lets the held button go: the click of the event that ends it, when its area answers
// that event.
std::optional<ScheduledScript> Release(GaugePanel& panel);

// Runs a scheduled script on the world: the gauge's G: variables and the mouse are the
// script's. A script with an error does nothing.
ScriptRun RunScheduled(GaugePanel& panel, ScriptWorld& world, const ScheduledScript& scheduled);

}  // namespace gauge_host
