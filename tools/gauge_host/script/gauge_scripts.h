// The one reading of a designer's gauge file: one walk over either schema (the panel
// schema: <Gauge> with <Macro>, <Update>, <Element> and <Mouse>/<Area>/<Click>; the newer
// one: <SimBase.Document> holding <SimGauge.Gauge> with <Macro>/<MacroValue>,
// <Update>/<Script>, <Element> and <MouseArea>/<MouseClick>) yields every script the
// simulator runs, with what runs it, its macros expanded and each token at its place,
// compiled once. The run plays these scripts; --check reads the variables they read and
// write, and the presses they lose, from the same compiled form.
//
// What the simulator loads, this reads: a mistake in one script (a token no gauge may use)
// keeps that script from running, and only that one; a reading the simulator may take
// otherwise is a warning.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/gauge_host/script/calculator.h"
#include "tools/gauge_host/xml/xml_tree.h"

namespace gauge_host {

// The mouse events, as Kind and ClickType name them and (M:Event) reads them: the one table.
struct MouseEventRow {
  std::string_view name;         // "LeftSingle"
  std::string_view released_by;  // the event that ends holding it down; "" for one that is not held
};

// The row of the event named, or nothing when there is none.
const MouseEventRow* MouseEventNamed(std::string_view name);

// When the simulator runs a script of a gauge.
enum class RunsOn : std::uint8_t {
  kEveryCycle,  // <Update>, and what an element is drawn with, before the module's frame
  kClick,       // a mouse area's click, for the events it lists
  kHover,       // a tooltip's scripts, while the mouse rests on its area: no step of the host does that
  kKey,         // a <Keys> trap, when its key is pressed: no step of the host presses keys
};

// What a gauge's script is.
enum class ScriptKind : std::uint8_t {
  kUpdate,   // the gauge's <Update>
  kValue,    // an element's <Value> or <Expression>, outside a <Select>
  kVisible,  // an element's <Visible> or <Visibility>
  kSelect,   // the <Value> or <Expression> of an element's <Select>, which picks its <Case>
  kText,     // the %( )% scripts of a text an element draws: <String>, <GaugeString>, <FormattedText>
  kClick,    // a mouse area's <Click>, <MouseClick> or <CallbackCode>
  kTooltip,  // the %( )% scripts of a tooltip
  kKey,      // a key trap of <Keys>: its <On> and the <Visible> in it
};

struct GaugeScript {
  ScriptKind kind = ScriptKind::kValue;
  RunsOn runs = RunsOn::kEveryCycle;
  std::string_view element;  // the element that holds it, as the file names it: "Update", "Visibility", "MouseClick"
  int number = 0;            // its element's number, in document order from 1 (0 outside any); a click's or tooltip's area
  std::vector<std::string> events;  // a click's mouse events
  Script script;
};

struct MouseClick {
  std::vector<std::string> events;  // the mouse events it answers; LeftSingle when none is named
  bool repeat = false;              // Repeat="Yes": runs again every frame while the button is held
  std::size_t script = 0;           // among the gauge's scripts
};

struct MouseArea {
  int number = 0;        // in document order, from 1, nested areas after the one holding them
  std::string tooltip;   // "" when it has none
  std::string cursor;    // "Hand"; "" when it has none
  std::string help;      // its <Help> text or ID; "" when it has none
  double left = 0;       // in the gauge's pixels: a nested area lies within the one holding it
  double top = 0;
  double width = 0;      // an area that gives no size takes the size of the one holding it
  double height = 0;
  std::optional<MouseClick> click;
};

struct GaugeScripts {
  std::string file;                    // as the scenario or --check names it
  std::vector<GaugeScript> scripts;    // every script of the file, in document order
  std::optional<std::size_t> update;   // the <Update> among them
  std::uint32_t update_frequency = 1;  // Frequency="N": the update runs on every N-th frame
  std::vector<MouseArea> areas;
  // Why the simulator does not load the file as a gauge at all; nothing else is read then.
  std::optional<Diagnostic> unusable;
  // The errors of the scripts that do not run, and the warnings of readings the host chose,
  // of the file and of every script, in document order.
  std::vector<Diagnostic> findings;

  // Whether the script at index runs: the simulator runs none with an error.
  bool Runs(std::size_t index) const { return scripts[index].script.errors.empty(); }
};

// The scripts of a gauge file of either schema, read from its root element.
GaugeScripts GaugeScriptsOf(const XmlElement& root, const std::string& file);

// "area 2 (\"Mayday\")".
std::string DescribeArea(const MouseArea& area);

// Why the area a scenario names by number ("2") or by tooltip ("\"Mayday\"") cannot be
// clicked with event, or nothing when it can. The diagnostic's place is the caller's.
std::optional<Diagnostic> CheckClick(const GaugeScripts& gauge, std::string_view area, std::string_view event);

// The area named, once CheckClick has found nothing wrong with the click.
const MouseArea& ClickedArea(const GaugeScripts& gauge, std::string_view area);

// Whether the area's click answers the event.
bool Answers(const MouseArea& area, std::string_view event);

}  // namespace gauge_host
