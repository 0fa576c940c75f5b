#include "tools/gauge_host/script/gauge_scripts.h"

#include <algorithm>

#include "tools/gauge_host/common/text.h"

namespace gauge_host {

namespace {

Script Compiled(GaugeScripts& gauge, const ScriptText& text, const std::string& name) {
  Script script = CompileScript(text, {gauge.file, name}, 0);
  gauge.errors.insert(gauge.errors.end(), script.errors.begin(), script.errors.end());
  return script;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string Describe(const MouseArea& area) {
  return "area " + std::to_string(area.number) + (area.tooltip.empty() ? "" : " (" + Quoted(area.tooltip) + ")");
}

// An element's own text, its pieces joined as the XML reader gave them.
ScriptText OwnText(const XmlElement& element) {
  ScriptText joined;
  for (const XmlText& text : element.texts) {
    joined.text += text.value;
    joined.positions.insert(joined.positions.end(), text.positions.begin(), text.positions.end());
  }
  return joined;
}

const XmlElement* FirstChild(const XmlElement& parent, std::string_view name) {
  for (const XmlElement& child : parent.children) {
    if (child.name == name) {
      return &child;
    }
  }
  return nullptr;
}

// Every <Area> under element, nested ones after the area that holds them.
void AddAreas(GaugeScripts& gauge, const XmlElement& element) {
  for (const XmlElement& child : element.children) {
    if (child.name == "Area") {
      const XmlElement* tooltip = FirstChild(child, "Tooltip");
      const XmlElement* click = FirstChild(child, "Click");
      const XmlAttribute* kind = click != nullptr ? click->Attribute("Kind") : nullptr;
      AddMouseArea(gauge, tooltip != nullptr ? OwnText(*tooltip).text : "",
                   kind != nullptr ? std::optional<std::string>(kind->value.value) : std::nullopt,
                   click != nullptr ? std::optional<ScriptText>(OwnText(*click)) : std::nullopt);
    }
    AddAreas(gauge, child);
  }
}

}  // namespace

void SetUpdateScript(GaugeScripts& gauge, const ScriptText& update) {
  gauge.update = Compiled(gauge, update, "the <Update> script");
}

void AddMouseArea(GaugeScripts& gauge, std::string_view tooltip, const std::optional<std::string>& kind,
                  const std::optional<ScriptText>& click) {
  MouseArea area;
  area.number = static_cast<int>(gauge.areas.size()) + 1;
  area.tooltip = Trimmed(tooltip);
  // Kind="LeftSingle+LeftRelease"; a click without a Kind is for LeftSingle.
  std::string_view events = kind ? std::string_view(*kind) : std::string_view("LeftSingle");
  while (!events.empty()) {
    const std::size_t plus = std::min(events.find('+'), events.size());
    if (const std::string_view event = Trimmed(events.substr(0, plus)); !event.empty()) {
      area.events.emplace_back(event);
    }
    events.remove_prefix(std::min(plus + 1, events.size()));
  }
  if (click) {
    area.click = Compiled(gauge, *click, "the <Click> script of " + Describe(area));
  }
  gauge.areas.push_back(std::move(area));
}

GaugeScripts GaugeScriptsOf(const XmlElement& root, const std::string& file) {
  GaugeScripts gauge;
  gauge.file = file;
  if (root.name != "Gauge") {
    gauge.errors.push_back({file, root.position, Severity::kError,
                            "<" + root.name + "> is not a gauge of the older schema, <Gauge> with <Mouse>, "
                            "<Area> and <Update>, the only one the gauge host runs"});
    return gauge;
  }
  if (const XmlElement* update = FirstChild(root, "Update")) {
    SetUpdateScript(gauge, OwnText(*update));
  }
  for (const XmlElement& child : root.children) {
    if (child.name == "Mouse") {
      AddAreas(gauge, child);
    }
  }
  return gauge;
}

namespace {

// For an area named by a word that is not a number: a tooltip with spaces, unquoted, reads
// as its first word, and the next as the event ("click f.xml Call mayday"). The tooltip
// nearest to either, and all of them.
std::string TooltipHint(const GaugeScripts& gauge, std::string_view word, std::string_view next) {
  std::vector<std::string> tooltips;
  std::vector<std::string> listed;
  for (const MouseArea& candidate : gauge.areas) {
    if (!candidate.tooltip.empty() &&
        std::find(tooltips.begin(), tooltips.end(), candidate.tooltip) == tooltips.end()) {
      tooltips.push_back(candidate.tooltip);
      listed.push_back(Quoted(Shown(candidate.tooltip)));
    }
  }
  const std::string numbers = "write an area's number, from 1 to " + std::to_string(gauge.areas.size());
  if (tooltips.empty()) {
    return numbers + "; it has no tooltips";
  }
  const std::string joined = std::string(word) + " " + std::string(next);
  const std::string near_word = Closest(word, tooltips);
  const std::string near_joined = Closest(joined, tooltips);
  const std::string nearest =
      EditDistance(joined, near_joined) <= EditDistance(word, near_word) ? near_joined : near_word;
  return numbers + ", or its tooltip in double quotes, such as " + Quoted(Shown(nearest)) + "; its tooltips are " +
         Together(listed);
}

std::vector<const MouseArea*> AreasNamed(const GaugeScripts& gauge, std::string_view area) {
  std::vector<const MouseArea*> found;
  const bool by_tooltip = area.size() >= 2 && area.front() == '"' && area.back() == '"';
  const std::string_view tooltip = by_tooltip ? area.substr(1, area.size() - 2) : std::string_view{};
  for (const MouseArea& candidate : gauge.areas) {
    if (by_tooltip ? candidate.tooltip == tooltip : std::to_string(candidate.number) == area) {
      found.push_back(&candidate);
    }
  }
  return found;
}

}  // namespace

std::optional<Diagnostic> CheckClick(const GaugeScripts& gauge, std::string_view area, std::string_view event) {
  const auto problem = [](const std::string& message) { return Diagnostic{"", {}, Severity::kError, message}; };
  const std::vector<const MouseArea*> found = AreasNamed(gauge, area);
  const bool by_tooltip = area.starts_with('"');
  if (found.empty() && !by_tooltip && !std::all_of(area.begin(), area.end(), IsDigit)) {
    return problem(gauge.file + " has no area " + std::string(area) + ": " + TooltipHint(gauge, area, event));
  }
  if (found.empty()) {
    return problem(gauge.file + " has no area " + (by_tooltip ? "with the tooltip " : "") + std::string(area) + "; its " +
                   Counted(gauge.areas.size(), "area") + (gauge.areas.size() == 1 ? " is" : " are") +
                   " numbered from 1 in document order");
  }
  if (found.size() > 1) {
    return problem(gauge.file + " has " + std::to_string(found.size()) + " areas with the tooltip " + std::string(area) +
                   ", areas " + std::to_string(found[0]->number) + " and " + std::to_string(found[1]->number) +
                   ": click one by its number");
  }
  const MouseArea& chosen = *found.front();
  if (!chosen.click) {
    return problem(Describe(chosen) + " of " + gauge.file + " has no <Click> script");
  }
  if (std::find(chosen.events.begin(), chosen.events.end(), event) == chosen.events.end()) {
    std::string listed;
    for (const std::string& name : chosen.events) {
      listed += (listed.empty() ? "" : "+") + name;
    }
    return problem("the <Click> of " + Describe(chosen) + " of " + gauge.file + " is not for " + std::string(event) +
                   ": its Kind lists " + (listed.empty() ? "no event" : listed));
  }
  return std::nullopt;
}

const MouseArea& ClickedArea(const GaugeScripts& gauge, std::string_view area) { return *AreasNamed(gauge, area).front(); }

}  // namespace gauge_host
