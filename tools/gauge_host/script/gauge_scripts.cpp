#include "tools/gauge_host/script/gauge_scripts.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "tools/gauge_host/common/text.h"

namespace gauge_host {

namespace {

constexpr std::array kMouseEvents = {
    MouseEventRow{"LeftSingle", "LeftRelease"},   MouseEventRow{"LeftRelease", ""},
    MouseEventRow{"LeftDouble", "LeftRelease"},   MouseEventRow{"LeftDrag", "LeftRelease"},
    MouseEventRow{"RightSingle", "RightRelease"}, MouseEventRow{"RightRelease", ""},
    MouseEventRow{"RightDouble", "RightRelease"}, MouseEventRow{"RightDrag", "RightRelease"},
    MouseEventRow{"MiddleSingle", "MiddleRelease"}, MouseEventRow{"MiddleRelease", ""},
    MouseEventRow{"WheelUp", ""},                 MouseEventRow{"WheelDown", ""},
    MouseEventRow{"Move", ""},                    MouseEventRow{"Leave", ""},
};

std::vector<std::string> MouseEventNames() {
  std::vector<std::string> names;
  names.reserve(kMouseEvents.size());
  for (const MouseEventRow& row : kMouseEvents) {
    names.emplace_back(row.name);
  }
  return names;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

const XmlElement* FirstChild(const XmlElement& parent, std::string_view name) {
  for (const XmlElement& child : parent.children) {
    if (child.name == name) {
      return &child;
    }
  }
  return nullptr;
}

// A script's text: that of its <Script> child in the newer schema, else its own.
ScriptText ScriptTextOf(const XmlElement& element) {
  const XmlElement* script = FirstChild(element, "Script");
  return OwnText(script != nullptr ? *script : element);
}

// The child's own text, trimmed; "" when there is no such child.
std::string ChildText(const XmlElement& parent, std::string_view name) {
  const XmlElement* child = FirstChild(parent, name);
  return child != nullptr ? std::string(Trimmed(OwnText(*child).text)) : "";
}

// The child's attribute, as <Cursor Type="Hand"/> gives it, or else its text, trimmed; ""
// when there is no such child.
std::string ChildAttributeOrText(const XmlElement& parent, std::string_view name, std::string_view attribute_name) {
  const XmlElement* child = FirstChild(parent, name);
  const XmlAttribute* attribute = child != nullptr ? child->Attribute(attribute_name) : nullptr;
  return attribute != nullptr ? std::string(Trimmed(attribute->value.value)) : ChildText(parent, name);
}

bool IsNameCharacter(char c) { return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }

// More uses of macros than any script needs: macros built of macros that each use the next
// twice would otherwise grow a script beyond memory.
constexpr int kMostMacroUses = 10000;

// Expands @NAME and @NAME(x,y) in a script's text, @1 and @2 within a macro standing for
// its arguments. Each byte keeps the place it was written at: in the script, in the
// macro's <Macro>, or in the argument; or, placed at uses, a byte of a macro's body takes
// the place of the outermost @NAME that brought it in.
class MacroExpander {
 public:
  enum class BodyPlaces : std::uint8_t { kInMacro, kAtUse };

  MacroExpander(const std::vector<Macro>& macros, const std::string& file, const std::string& script_name,
                BodyPlaces body_places = BodyPlaces::kInMacro)
      : macros_(macros), file_(file), script_name_(script_name), body_places_(body_places) {}

  ScriptText Expand(const ScriptText& source, const std::vector<ScriptText>* arguments) {
    ScriptText out;
    const std::string& text = source.text;
    std::size_t index = 0;
    while (index < text.size() && !stopped_) {
      std::size_t end = NameEnd(text, index);
      if (end == index + 1) {
        Append(out, source, index, 1);
        ++index;
        continue;
      }
      const std::string name = text.substr(index + 1, end - index - 1);
      const ScriptPosition position = PositionOf(source, index);
      if (std::all_of(name.begin(), name.end(), IsDigit)) {
        AppendArgument(out, name, position, arguments);
      } else if (!AppendMacro(out, source, end, name, position, arguments)) {
        return out;
      }
      index = end;
    }
    return out;
  }

  std::vector<Diagnostic>& errors() { return errors_; }

 private:
  // Past the name of the @NAME at index; index + 1 when no name follows or the character is no '@'.
  static std::size_t NameEnd(const std::string& text, std::size_t index) {
    std::size_t end = index + 1;
    while (text[index] == '@' && end < text.size() && IsNameCharacter(text[end])) {
      ++end;
    }
    return end;
  }

  // @1, @2, ...: the macro's argument of that number.
  void AppendArgument(ScriptText& out, const std::string& name, ScriptPosition position,
                      const std::vector<ScriptText>* arguments) {
    const std::size_t number = std::stoul(name.substr(0, 3));
    if (arguments != nullptr && number >= 1 && number <= arguments->size()) {
      const ScriptText& argument = (*arguments)[number - 1];
      Append(out, argument, 0, argument.text.size());
    } else if (arguments == nullptr) {
      Error(position, "'@" + name + "' stands for an argument of a macro, outside any macro");
    } else {
      Error(position, "'@" + name + "' stands for argument " + name + " of a macro given " +
                          Counted(arguments->size(), "argument"));
    }
  }

  // @NAME or @NAME(x,y): the macro expanded, its arguments read from end on; end moves past
  // them. False when they are never closed, which ends the expansion.
  bool AppendMacro(ScriptText& out, const ScriptText& source, std::size_t& end, const std::string& name,
                   ScriptPosition position, const std::vector<ScriptText>* arguments) {
    std::vector<ScriptText> macro_arguments;
    if (end < source.text.size() && source.text[end] == '(' && !ReadArguments(source, end, arguments, macro_arguments)) {
      Error(position, "the arguments of '@" + name + "(' are never closed by ')'");
      return false;
    }
    const Macro* macro = MacroNamed(name);
    if (macro == nullptr) {
      Error(position, "'@" + name + "' is not a macro of this gauge" +
                          (macros_.empty() ? std::string(": it has no <Macro>")
                                           : " (did you mean '@" + Closest(name, MacroNames()) + "'?)"));
    } else if (std::find(expanding_.begin(), expanding_.end(), name) != expanding_.end()) {
      Error(position, "'@" + name + "' expands into itself");
    } else if (++uses_ > kMostMacroUses) {
      Error(position, "the macros expand into more than " + std::to_string(kMostMacroUses) + " uses of macros");
      stopped_ = true;
    } else {
      expanding_.push_back(name);
      ScriptText expanded = Expand(macro->text, &macro_arguments);
      expanding_.pop_back();
      if (body_places_ == BodyPlaces::kAtUse && expanding_.empty()) {
        PlaceBodyAtUse(expanded, source, position);
      }
      Append(out, expanded, 0, expanded.text.size());
    }
    return true;
  }

  // The bytes of an outermost use's expansion that were not written in the script's own
  // text, between its first and last byte, came from macros' bodies: they take the use's place.
  static void PlaceBodyAtUse(ScriptText& expanded, const ScriptText& script, ScriptPosition use) {
    const auto before = [](ScriptPosition a, ScriptPosition b) {
      return a.line != b.line ? a.line < b.line : a.column < b.column;
    };
    const ScriptPosition first = script.positions.empty() ? use : script.positions.front();
    const ScriptPosition last = script.positions.empty() ? use : script.positions.back();
    for (ScriptPosition& place : expanded.positions) {
      if (before(place, first) || before(last, place)) {
        place = use;
      }
    }
  }

  const Macro* MacroNamed(const std::string& name) const {
    for (const Macro& macro : macros_) {
      if (macro.name == name) {
        return &macro;
      }
    }
    return nullptr;
  }

  // The arguments of @NAME( at offset, split at its commas outside parentheses, trimmed and
  // expanded where they stand; offset moves past the ')'. False when it is never closed.
  bool ReadArguments(const ScriptText& source, std::size_t& offset, const std::vector<ScriptText>* arguments,
                     std::vector<ScriptText>& read) {
    const std::string& text = source.text;
    int nesting = 0;
    std::size_t start = offset + 1;
    for (std::size_t index = start; index < text.size(); ++index) {
      const char c = text[index];
      nesting += c == '(' ? 1 : 0;
      if ((c == ',' || c == ')') && nesting == 0) {
        std::size_t first = start;
        std::size_t last = index;
        while (first < last && IsSpace(text[first])) {
          ++first;
        }
        while (last > first && IsSpace(text[last - 1])) {
          --last;
        }
        ScriptText argument;
        Append(argument, source, first, last - first);
        read.push_back(Expand(argument, arguments));
        start = index + 1;
        if (c == ')') {
          offset = index + 1;
          return true;
        }
      }
      nesting -= c == ')' ? 1 : 0;
    }
    return false;
  }

  static ScriptPosition PositionOf(const ScriptText& source, std::size_t offset) {
    return offset < source.positions.size() ? source.positions[offset] : ScriptPosition{};
  }

  static void Append(ScriptText& out, const ScriptText& source, std::size_t offset, std::size_t count) {
    out.text.append(source.text, offset, count);
    for (std::size_t index = offset; index < offset + count; ++index) {
      out.positions.push_back(PositionOf(source, index));
    }
  }

  std::vector<std::string> MacroNames() const {
    std::vector<std::string> names;
    for (const Macro& macro : macros_) {
      names.push_back(macro.name);
    }
    return names;
  }

  void Error(ScriptPosition position, const std::string& message) {
    errors_.push_back({file_, position, Severity::kError, message + " in " + script_name_});
  }

  const std::vector<Macro>& macros_;
  const std::string& file_;
  const std::string& script_name_;
  BodyPlaces body_places_;
  std::vector<std::string> expanding_;  // the macros being expanded, outermost first
  int uses_ = 0;
  bool stopped_ = false;  // by a macro that never ends
  std::vector<Diagnostic> errors_;
};

// The gauge's <Macro>s, a macro's text its own in the panel schema and its <MacroValue>'s
// in the newer one; what is wrong with them into errors.
std::vector<Macro> ReadMacros(const XmlElement& gauge, bool newer_schema, const std::string& file,
                              std::vector<Diagnostic>& errors) {
  std::vector<Macro> macros;
  for (const XmlElement& child : gauge.children) {
    if (child.name != "Macro") {
      continue;
    }
    const XmlAttribute* name = child.Attribute("Name");
    name = name != nullptr ? name : child.Attribute("id");
    if (name == nullptr || Trimmed(name->value.value).empty()) {
      errors.push_back({file, child.position, Severity::kError, "a <Macro> without a Name"});
      continue;
    }
    const std::string macro_name(Trimmed(name->value.value));
    if (std::any_of(macros.begin(), macros.end(), [&](const Macro& macro) { return macro.name == macro_name; })) {
      errors.push_back({file, name->value.start, Severity::kError, "the macro " + macro_name + " is defined twice"});
      continue;
    }
    const XmlElement* text = newer_schema ? FirstChild(child, "MacroValue") : &child;
    macros.push_back({macro_name, text != nullptr ? OwnText(*text) : ScriptText{}});
  }
  return macros;
}

// The gauge element of a file's root: <Gauge> itself, or the <SimGauge.Gauge> of a
// <SimBase.Document>; nullptr when it is neither.
const XmlElement* NewerGauge(const XmlElement& root) {
  return root.name == "SimBase.Document" ? FirstChild(root, "SimGauge.Gauge") : nullptr;
}

// A rectangle in the gauge's pixels.
struct Rectangle {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
};

// Reads one gauge file of either schema into its GaugeScripts.
class GaugeReader {
 public:
  explicit GaugeReader(GaugeScripts& gauge) : gauge_(gauge) {}

  void ReadPanelSchema(const XmlElement& root) {
    macros_ = ReadMacros(root, false, gauge_.file, gauge_.errors);
    ReadUpdate(root);
    for (const XmlElement& child : root.children) {
      if (child.name == "Element") {
        ReadElement(child);
      } else if (child.name == "Mouse") {
        ReadPanelAreas(child, {});
      }
    }
  }

  void ReadNewerSchema(const XmlElement& gauge) {
    macros_ = ReadMacros(gauge, true, gauge_.file, gauge_.errors);
    ReadUpdate(gauge);
    Rectangle whole;
    if (const XmlElement* size = FirstChild(gauge, "Size")) {
      ReadPair(*size, whole.width, whole.height);
    }
    for (const XmlElement& child : gauge.children) {
      if (child.name == "Element") {
        ReadElement(child);
      } else if (child.name == "MouseArea") {
        ReadNewerArea(child, whole);
      }
    }
  }

 private:
  void ReadUpdate(const XmlElement& gauge) {
    const XmlElement* update = FirstChild(gauge, "Update");
    if (update == nullptr) {
      return;
    }
    if (const XmlAttribute* frequency = update->Attribute("Frequency")) {
      const std::string_view given = Trimmed(frequency->value.value);
      const std::optional<double> number = ParseNumber(given);
      if (!number || *number < 1 || *number > 1000000 || *number != static_cast<std::uint32_t>(*number)) {
        Error(frequency->value.start, "Frequency=\"" + Shown(given) +
                                          "\": the update runs on every N-th panel cycle, N a whole number "
                                          "from 1 to 1000000");
      } else {
        gauge_.update_frequency = static_cast<std::uint32_t>(*number);
      }
    }
    gauge_.update = Compiled(ScriptTextOf(*update), "the <Update> script");
  }

  // The element's scripts, then those of the elements it holds, in document order.
  void ReadElement(const XmlElement& element) {
    const int number = ++elements_;
    ReadElementScripts(element, number, false);
  }

  void ReadElementScripts(const XmlElement& parent, int number, bool in_select) {
    for (const XmlElement& child : parent.children) {
      if (child.name == "Element") {
        ReadElement(child);
      } else if (child.name == "Value" || child.name == "Visible") {
        const ScriptKind kind = child.name == "Visible" ? ScriptKind::kVisible
                                : in_select             ? ScriptKind::kSelect
                                                        : ScriptKind::kValue;
        const std::string tag = kind == ScriptKind::kSelect ? "<Select>" : "<" + child.name + ">";
        gauge_.elements.push_back(
            {kind, number, Compiled(ScriptTextOf(child), "the " + tag + " script of element " + std::to_string(number))});
      } else {
        ReadElementScripts(child, number, child.name == "Select");
      }
    }
  }

  // Every <Area> under parent, nested ones after the area that holds them, within holder.
  void ReadPanelAreas(const XmlElement& parent, const Rectangle& holder) {
    for (const XmlElement& child : parent.children) {
      if (child.name != "Area") {
        continue;
      }
      MouseArea area = NewArea(holder);
      ReadPanelPlace(child, holder, area);
      area.tooltip = ChildText(child, "Tooltip");
      area.cursor = ChildAttributeOrText(child, "Cursor", "Type");
      area.help = ChildAttributeOrText(child, "Help", "ID");
      if (const XmlElement* click = FirstChild(child, "Click")) {
        MouseClick read;
        if (const XmlAttribute* kind = click->Attribute("Kind")) {
          AddEvents(kind->value.value, kind->value.start, read.events);
        }
        if (const XmlAttribute* repeat = click->Attribute("Repeat")) {
          read.repeat = SameIgnoringCase(Trimmed(repeat->value.value), "Yes");
          if (!read.repeat && !SameIgnoringCase(Trimmed(repeat->value.value), "No")) {
            Error(repeat->value.start, "Repeat=\"" + Shown(repeat->value.value) + "\": write Yes or No");
          }
        }
        AddClick(area, read, ScriptTextOf(*click));
      }
      const Rectangle place{area.left, area.top, area.width, area.height};
      gauge_.areas.push_back(std::move(area));
      ReadPanelAreas(child, place);
    }
  }

  // Left, Top and Width, Height or Right, Bottom, within the holder; what is not given is
  // the holder's.
  void ReadPanelPlace(const XmlElement& area_element, const Rectangle& holder, MouseArea& area) {
    const auto read = [&](std::string_view name, double& value) {
      const XmlAttribute* attribute = area_element.Attribute(name);
      if (attribute == nullptr) {
        return false;
      }
      const std::optional<double> number = ParseNumber(Trimmed(attribute->value.value));
      if (!number) {
        Error(attribute->value.start, std::string(name) + "=\"" + Shown(attribute->value.value) + "\" is not a number");
        return false;
      }
      value = *number;
      return true;
    };
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    read("Left", left);
    read("Top", top);
    area.left = holder.left + left;
    area.top = holder.top + top;
    if (read("Right", right)) {
      area.width = right - left;
    }
    if (read("Bottom", bottom)) {
      area.height = bottom - top;
    }
    read("Width", area.width);
    read("Height", area.height);
  }

  void ReadNewerArea(const XmlElement& element, const Rectangle& holder) {
    MouseArea area = NewArea(holder);
    double x = 0;
    double y = 0;
    if (const XmlElement* position = FirstChild(element, "FloatPosition")) {
      ReadPair(*position, x, y);
    }
    area.left = holder.left + x;
    area.top = holder.top + y;
    if (const XmlElement* size = FirstChild(element, "Size")) {
      ReadPair(*size, area.width, area.height);
    }
    area.tooltip = ChildText(element, "TooltipText");
    area.cursor = ChildText(element, "CursorType");
    if (const XmlElement* click = FirstChild(element, "MouseClick")) {
      MouseClick read;
      for (const XmlElement& type : click->children) {
        if (type.name == "ClickType") {
          AddEvents(OwnText(type).text, type.position, read.events);
        }
      }
      AddClick(area, read, ScriptTextOf(*click));
    }
    const Rectangle place{area.left, area.top, area.width, area.height};
    gauge_.areas.push_back(std::move(area));
    for (const XmlElement& child : element.children) {
      if (child.name == "MouseArea") {
        ReadNewerArea(child, place);
      }
    }
  }

  MouseArea NewArea(const Rectangle& holder) const {
    MouseArea area;
    area.number = static_cast<int>(gauge_.areas.size()) + 1;
    area.width = holder.width;
    area.height = holder.height;
    return area;
  }

  void AddClick(MouseArea& area, MouseClick& click, const ScriptText& text) {
    if (click.events.empty()) {
      click.events.emplace_back("LeftSingle");  // a click that names no event is for LeftSingle
    }
    click.script = Compiled(text, "the <Click> script of " + DescribeArea(area));
    area.click = std::move(click);
  }

  // "LeftSingle+LeftRelease": each a mouse event of the table.
  void AddEvents(std::string_view events, XmlPosition position, std::vector<std::string>& added) {
    for (const std::string_view event : ListedEvents(events)) {
      if (MouseEventNamed(event) == nullptr) {
        Error(position, "'" + Shown(event) + "' is not a mouse event (did you mean '" + Closest(event, MouseEventNames()) +
                      "'?)");
      } else {
        added.emplace_back(event);
      }
    }
  }

  // "12.5,30": two numbers and a comma, as the newer schema writes a position or a size.
  void ReadPair(const XmlElement& element, double& first, double& second) {
    const ScriptText text = OwnText(element);
    const std::optional<std::pair<double, double>> pair = ParseNumberPair(text.text);
    if (!pair) {
      Error(element.position, "<" + element.name + ">" + Shown(Trimmed(text.text)) + "</" + element.name + "> is not two numbers, as 0,0");
      return;
    }
    std::tie(first, second) = *pair;
  }

  Script Compiled(const ScriptText& text, const std::string& name) {
    MacroExpander expander(macros_, gauge_.file, name);
    const ScriptText expanded = expander.Expand(text, nullptr);
    if (!expander.errors().empty()) {
      gauge_.errors.insert(gauge_.errors.end(), expander.errors().begin(), expander.errors().end());
      return Script{{gauge_.file, name}, {}, expander.errors()};
    }
    Script script = CompileScript(expanded, {gauge_.file, name}, 0);
    gauge_.errors.insert(gauge_.errors.end(), script.errors.begin(), script.errors.end());
    return script;
  }

  void Error(XmlPosition position, const std::string& message) {
    gauge_.errors.push_back({gauge_.file, position, Severity::kError, message});
  }

  GaugeScripts& gauge_;
  std::vector<Macro> macros_;
  int elements_ = 0;
};

}  // namespace

// An element's own text, its pieces joined as the XML reader gave them.
ScriptText OwnText(const XmlElement& element) {
  ScriptText joined;
  for (const XmlText& text : element.texts) {
    joined.text += text.value;
    joined.positions.insert(joined.positions.end(), text.positions.begin(), text.positions.end());
  }
  return joined;
}

const MouseEventRow* MouseEventNamed(std::string_view name) {
  const auto* const row = std::find_if(kMouseEvents.begin(), kMouseEvents.end(),
                                       [&](const MouseEventRow& candidate) { return candidate.name == name; });
  return row == kMouseEvents.end() ? nullptr : row;
}

std::vector<std::string_view> ListedEvents(std::string_view listed) {
  std::vector<std::string_view> events;
  while (!listed.empty()) {
    const std::size_t plus = std::min(listed.find('+'), listed.size());
    if (const std::string_view event = Trimmed(listed.substr(0, plus)); !event.empty()) {
      events.push_back(event);
    }
    listed.remove_prefix(std::min(plus + 1, listed.size()));
  }
  return events;
}

std::string DescribeArea(const MouseArea& area) {
  return "area " + std::to_string(area.number) + (area.tooltip.empty() ? "" : " (" + Quoted(Shown(area.tooltip)) + ")");
}

GaugeScripts GaugeScriptsOf(const XmlElement& root, const std::string& file) {
  GaugeScripts gauge;
  gauge.file = file;
  GaugeReader reader(gauge);
  const XmlElement* newer = NewerGauge(root);
  if (root.name == "Gauge") {
    reader.ReadPanelSchema(root);
  } else if (newer != nullptr) {
    reader.ReadNewerSchema(*newer);
  } else {
    gauge.errors.push_back({file, root.position, Severity::kError,
                            root.name == "SimBase.Document"
                                ? "<SimBase.Document> holds no <SimGauge.Gauge>, so it is not a gauge"
                                : "<" + root.name + "> is not a gauge: a gauge file holds <Gauge>, or "
                                  "<SimBase.Document> with <SimGauge.Gauge>"});
  }
  return gauge;
}

std::vector<Macro> MacrosOf(const XmlElement& root) {
  std::vector<Diagnostic> errors;  // the run's to report
  const XmlElement* newer = NewerGauge(root);
  return newer != nullptr ? ReadMacros(*newer, true, "", errors) : ReadMacros(root, false, "", errors);
}

ScriptText ExpandedAtUses(const std::vector<Macro>& macros, const ScriptText& text) {
  if (macros.empty() || text.text.find('@') == std::string::npos) {
    return text;
  }
  // What cannot be expanded is the run's to report.
  const std::string unreported;
  MacroExpander expander(macros, unreported, unreported, MacroExpander::BodyPlaces::kAtUse);
  return expander.Expand(text, nullptr);
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

bool Answers(const MouseArea& area, std::string_view event) {
  return area.click && std::find(area.click->events.begin(), area.click->events.end(), event) != area.click->events.end();
}

std::optional<Diagnostic> CheckClick(const GaugeScripts& gauge, std::string_view area, std::string_view event) {
  const auto problem = [](const std::string& message) { return Diagnostic{"", {}, Severity::kError, message}; };
  // An unquoted tooltip reads as an area and an event: the hint to quote it comes first.
  const std::vector<const MouseArea*> found = AreasNamed(gauge, area);
  const bool by_tooltip = area.starts_with('"');
  if (found.empty() && !by_tooltip && !std::all_of(area.begin(), area.end(), IsDigit)) {
    return problem(gauge.file + " has no area " + std::string(area) + ": " + TooltipHint(gauge, area, event));
  }
  if (MouseEventNamed(event) == nullptr) {
    return problem("'" + Shown(event) + "' is not a mouse event (did you mean '" + Closest(event, MouseEventNames()) +
                   "'?)");
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
    return problem(DescribeArea(chosen) + " of " + gauge.file + " has no <Click> script");
  }
  if (!Answers(chosen, event)) {
    std::string listed;
    for (const std::string& name : chosen.click->events) {
      listed += (listed.empty() ? "" : "+") + name;
    }
    return problem("the <Click> of " + DescribeArea(chosen) + " of " + gauge.file + " is not for " + std::string(event) +
                   ": its Kind lists " + listed);
  }
  return std::nullopt;
}

const MouseArea& ClickedArea(const GaugeScripts& gauge, std::string_view area) { return *AreasNamed(gauge, area).front(); }

}  // namespace gauge_host
