// The scripts of a designer's gauge file, as the host runs them: its <Update> script and
// the <Click> script of each mouse <Area>, compiled when the scenario is checked.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/gauge_host/script/calculator.h"
#include "tools/gauge_host/xml/xml_tree.h"

namespace gauge_host {

struct MouseArea {
  int number = 0;                   // in document order, from 1
  std::string tooltip;              // "" when it has none
  std::vector<std::string> events;  // the mouse events its Kind lists
  std::optional<Script> click;
};

struct GaugeScripts {
  std::string file;  // as the scenario names it
  std::optional<Script> update;
  std::vector<MouseArea> areas;
  std::vector<Diagnostic> errors;  // of the file and of every script
};

void SetUpdateScript(GaugeScripts& gauge, const ScriptText& update);

// The next <Area> of the file: its tooltip, its Kind attribute when it has one, and its
// <Click> script when it has one.
void AddMouseArea(GaugeScripts& gauge, std::string_view tooltip, const std::optional<std::string>& kind,
                  const std::optional<ScriptText>& click);

// The scripts of a gauge of the older schema: the <Update> of its <Gauge>, and every
// <Area> under its <Mouse>, nested ones after the area that holds them.
GaugeScripts GaugeScriptsOf(const XmlElement& root, const std::string& file);

// Why the area a scenario names by number ("2") or by tooltip ("\"Mayday\"") cannot be
// clicked with event, or nothing when it can. The diagnostic's place is the caller's.
std::optional<Diagnostic> CheckClick(const GaugeScripts& gauge, std::string_view area, std::string_view event);

// The area named, once CheckClick has found nothing wrong with the click.
const MouseArea& ClickedArea(const GaugeScripts& gauge, std::string_view area);

}  // namespace gauge_host
