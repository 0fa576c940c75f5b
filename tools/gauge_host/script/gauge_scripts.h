// The scripts of a designer's gauge file, as the host runs them, from either schema: the
// panel schema (<Gauge> with <Macro>, <Update>, <Element> and <Mouse>/<Area>/<Click>) and
// the newer one (<SimBase.Document> holding <SimGauge.Gauge> with <Macro>/<MacroValue>,
// <Update>/<Script>, <Element> and <MouseArea>/<MouseClick>). Macros are expanded before a
// script is compiled, each token keeping its place in the file; everything is compiled
// when the scenario is checked.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/gauge_host/script/calculator.h"
#include "tools/gauge_host/xml/xml_tree.h"

namespace gauge_host {

// An element's own text, its pieces joined as the XML reader gave them, each byte with its
// place in the file.
ScriptText OwnText(const XmlElement& element);

// The mouse events, as Kind and ClickType name them and (M:Event) reads them: the one table.
struct MouseEventRow {
  std::string_view name;         // "LeftSingle"
  std::string_view released_by;  // the event that ends holding it down; "" for one that is not held
};

// The row of the event named, or nothing when there is none.
const MouseEventRow* MouseEventNamed(std::string_view name);

// The events a Kind="LeftSingle+LeftRelease" or <ClickType>s list: split at each '+',
// trimmed, empty ones left out.
std::vector<std::string_view> ListedEvents(std::string_view listed);

// What a gauge's script is, for those who walk them by kind.
enum class ScriptKind : std::uint8_t {
  kUpdate,   // the gauge's <Update>
  kValue,    // an element's <Value>, outside a <Select>
  kVisible,  // an element's <Visible>
  kSelect,   // the <Value> of an element's <Select>, which picks its <Case>
  kClick,    // a mouse area's <Click> or <MouseClick>
};

// A script an <Element> runs every frame.
struct ElementScript {
  ScriptKind kind = ScriptKind::kValue;
  int element = 0;  // the element's number, in document order from 1, nested ones counted
  Script script;
};

struct MouseClick {
  std::vector<std::string> events;  // the mouse events it answers; LeftSingle when none is named
  bool repeat = false;              // Repeat="Yes": runs again every frame while the button is held
  Script script;
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
  std::string file;  // as the scenario names it
  std::optional<Script> update;
  std::uint32_t update_frequency = 1;  // Frequency="N": the update runs on every N-th frame
  std::vector<ElementScript> elements;  // in file order
  std::vector<MouseArea> areas;
  std::vector<Diagnostic> errors;  // of the file and of every script
};

// The scripts of a gauge file of either schema, read from its root element.
GaugeScripts GaugeScriptsOf(const XmlElement& root, const std::string& file);

// A gauge's macro: @NAME in its scripts stands for the text.
struct Macro {
  std::string name;
  ScriptText text;
};

// The macros of a gauge file of either schema, read from its root element; those with
// no name or a name taken already are left out (the run reports them).
std::vector<Macro> MacrosOf(const XmlElement& root);

// A text of the gauge with its macros expanded, for --check, which reads a gauge's texts
// as the simulator runs them without running them: a byte of a macro's body takes the
// place of the outermost @NAME that brought it in, so that a finding in it points where
// the text uses the macro; a byte of an argument keeps its own. A use that cannot be
// expanded (a macro the gauge lacks, arguments never closed) is left out.
ScriptText ExpandedAtUses(const std::vector<Macro>& macros, const ScriptText& text);

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
