// --check's findings on presses of a command the module never sees. The module reads its
// variables once a frame, after the panel's gauges have run their scripts for that cycle,
// and sends a command's chord when it reads 1 after 0: a 1 written and taken back in one
// run of a script, or taken back by a script that runs on every cycle, is lost; a command
// switched like an on/off toggle sends its chord on every second click only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/gauge_host/common/diagnostic.h"
#include "tools/gauge_host/script/calculator.h"
#include "tools/gauge_host/xml/xml_tree.h"

namespace gauge_host {

// When a script runs: on a click, or on every cycle before the module's frame.
enum class RunsOn { kClick, kEveryCycle };

// A script of a gauge file, with what runs it.
struct PlacedScript {
  std::string file;
  std::string element;              // the element that gives it its part: "Update", "Click", "MouseClick", ...
  RunsOn runs = RunsOn::kClick;
  std::vector<std::string> events;  // a click's mouse events: its Kind, or its ClickType elements
  ScriptText text;
};

// The scripts of a gauge file of either schema, found by the names of the elements that
// hold them: <Update>, an element's <Value>, <Visible> and <Select>, their text or their
// <Script>, run on every cycle; <Click>, <MouseClick> and <CallbackCode> on a click. The
// gauge's macros are expanded in them, a macro's text placed where the script uses it.
std::vector<PlacedScript> ScriptsOf(const XmlElement& root, const std::string& file);

// The lost presses of all the scripts of the files checked together.
std::vector<Diagnostic> CheckLostPresses(const std::vector<PlacedScript>& scripts);

}  // namespace gauge_host
