#include "tools/gauge_host/script/gauge_scripts.h"

#include <algorithm>
#include <array>
#include <map>
#include <tuple>

#include "tools/gauge_host/common/text.h"

namespace gauge_host {

namespace {

constexpr std::array kMouseEvents = {
    MouseEventRow{"LeftSingle", "LeftRelease"},     MouseEventRow{"LeftRelease", ""},
    MouseEventRow{"LeftDouble", "LeftRelease"},     MouseEventRow{"LeftDrag", "LeftRelease"},
    MouseEventRow{"RightSingle", "RightRelease"},   MouseEventRow{"RightRelease", ""},
    MouseEventRow{"RightDouble", "RightRelease"},   MouseEventRow{"RightDrag", "RightRelease"},
    MouseEventRow{"MiddleSingle", "MiddleRelease"}, MouseEventRow{"MiddleRelease", ""},
    MouseEventRow{"MiddleDouble", "MiddleRelease"}, MouseEventRow{"MiddleDrag", "MiddleRelease"},
    MouseEventRow{"WheelUp", ""},                   MouseEventRow{"WheelDown", ""},
    MouseEventRow{"Move", ""},                      MouseEventRow{"Leave", ""},
    MouseEventRow{"DownRepeat", ""},
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

// An element's own text, its pieces joined as the XML reader gave them.
ScriptText OwnText(const XmlElement& element) {
  ScriptText joined;
  for (const XmlText& text : element.texts) {
    joined.text += text.value;
    joined.positions.insert(joined.positions.end(), text.positions.begin(), text.positions.end());
  }
  return joined;
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

// A gauge's macros by name: @NAME in its scripts stands for the text.
using Macros = std::map<std::string, ScriptText, std::less<>>;

// More uses of macros than any script needs: macros built of macros that each use the next
// twice would otherwise grow a script beyond memory.
constexpr int kMostMacroUses = 10000;

// Expands @NAME and @NAME(x,y) in a script's text, as text, wherever they stand; inside a
// macro, @1 to @9 stand for its arguments, whatever follows them ("@1_4" is the first
// argument and "_4"). Each byte keeps the place it was written at (in the script, in the
// macro's <Macro>, or in the argument) and the place the script uses it at: for a byte
// of a macro's body, the outermost @NAME that brought it in.
class MacroExpander {
 public:
  MacroExpander(const Macros& macros, const ScriptOrigin& origin) : macros_(macros), origin_(origin) {}

  // use: the outermost @NAME being expanded, when the source is a macro's body.
  ScriptText Expand(const ScriptText& source, const std::vector<ScriptText>* arguments,
                    std::optional<ScriptPosition> use) {
    ScriptText out;
    const std::string& text = source.text;
    std::size_t index = 0;
    while (index < text.size() && !stopped_) {
      const std::size_t next_at = text.find('@', index);
      Append(out, source, index, std::min(next_at, text.size()) - index, use);
      if (next_at == std::string::npos) {
        break;
      }
      index = next_at;
      const ScriptPosition position = PositionOf(source, index);
      const char next = index + 1 < text.size() ? text[index + 1] : '\0';
      if (next >= '1' && next <= '9') {
        AppendArgument(out, static_cast<std::size_t>(next - '0'), position, arguments);
        index += 2;
        continue;
      }
      std::size_t end = index + 1;
      while (end < text.size() && IsNameCharacter(text[end])) {
        ++end;
      }
      if (end == index + 1) {
        Append(out, source, index, 1, use);  // an '@' that starts no name is itself
        ++index;
        continue;
      }
      const std::string name = text.substr(index + 1, end - index - 1);
      // Where the script uses this @NAME: an argument's bytes may be written in a macro's body.
      const ScriptPosition used = use ? *use : index < source.uses.size() ? source.uses[index] : position;
      if (!AppendMacro(out, source, end, name, position, used, arguments, use)) {
        return out;
      }
      index = end;
    }
    return out;
  }

  std::vector<Diagnostic>& errors() { return errors_; }
  std::vector<Diagnostic>& warnings() { return warnings_; }

 private:
  // @1 to @9: the macro's argument of that number.
  void AppendArgument(ScriptText& out, std::size_t number, ScriptPosition position,
                      const std::vector<ScriptText>* arguments) {
    if (arguments == nullptr) {
      Error(position, "'@" + std::to_string(number) + "' stands for an argument of a macro, outside any macro");
    } else if (number <= arguments->size()) {
      const ScriptText& argument = (*arguments)[number - 1];
      Append(out, argument, 0, argument.text.size(), std::nullopt);
    } else {
      Warning(position, "'@" + std::to_string(number) + "' stands for argument " + std::to_string(number) +
                            " of a macro given " + Counted(arguments->size(), "argument") + "; it stands for nothing");
    }
  }

  // @NAME or @NAME(x,y): the macro expanded, its arguments read from end on; end moves past
  // them. False when they are never closed, which ends the expansion.
  bool AppendMacro(ScriptText& out, const ScriptText& source, std::size_t& end, const std::string& name,
                   ScriptPosition position, ScriptPosition used, const std::vector<ScriptText>* arguments,
                   std::optional<ScriptPosition> use) {
    std::vector<ScriptText> macro_arguments;
    if (end < source.text.size() && source.text[end] == '(' &&
        !ReadArguments(source, end, arguments, use, macro_arguments)) {
      Error(position, "the arguments of '@" + name + "(' are never closed by ')'");
      return false;
    }
    const auto macro = macros_.find(name);
    if (macro == macros_.end()) {
      std::vector<std::string> names;
      for (const auto& [known, ignored] : macros_) {
        names.push_back(known);
      }
      Error(position, "'@" + name + "' is not a macro of this gauge" +
                          (names.empty() ? std::string(": it has no <Macro>")
                                         : " (did you mean '@" + Closest(name, names) + "'?)"));
    } else if (std::find(expanding_.begin(), expanding_.end(), name) != expanding_.end()) {
      Error(position, "'@" + name + "' expands into itself");
    } else if (++uses_ > kMostMacroUses) {
      Error(position, "the macros expand into more than " + std::to_string(kMostMacroUses) + " uses of macros");
      stopped_ = true;
    } else {
      expanding_.push_back(name);
      const ScriptText expanded = Expand(macro->second, &macro_arguments, used);
      expanding_.pop_back();
      Append(out, expanded, 0, expanded.text.size(), std::nullopt);
    }
    return true;
  }

  // The arguments of @NAME( at offset, split at its commas outside parentheses, trimmed and
  // expanded where they stand; offset moves past the ')'. False when it is never closed.
  bool ReadArguments(const ScriptText& source, std::size_t& offset, const std::vector<ScriptText>* arguments,
                     std::optional<ScriptPosition> use, std::vector<ScriptText>& read) {
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
        Append(argument, source, first, last - first, use);
        read.push_back(Expand(argument, arguments, std::nullopt));
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

  // Appends bytes of source; placed, when use is given, at the use.
  static void Append(ScriptText& out, const ScriptText& source, std::size_t offset, std::size_t count,
                     std::optional<ScriptPosition> use) {
    out.text.append(source.text, offset, count);
    for (std::size_t index = offset; index < offset + count; ++index) {
      const ScriptPosition written = index < source.positions.size() ? source.positions[index] : ScriptPosition{};
      out.positions.push_back(written);
      out.uses.push_back(use ? *use : index < source.uses.size() ? source.uses[index] : written);
    }
  }

  void Error(ScriptPosition position, const std::string& message) {
    errors_.push_back({origin_.file, position, Severity::kError, message + ", so " + origin_.name + " does not run"});
  }

  void Warning(ScriptPosition position, const std::string& message) {
    warnings_.push_back({origin_.file, position, Severity::kWarning, message + " in " + origin_.name});
  }

  const Macros& macros_;
  const ScriptOrigin& origin_;
  std::vector<std::string> expanding_;  // the macros being expanded, outermost first
  int uses_ = 0;
  bool stopped_ = false;  // by macros that never end
  std::vector<Diagnostic> errors_;
  std::vector<Diagnostic> warnings_;
};

// Where the script of the "%(" at start ends: at the ')' that closes its '(', strings passed
// over (a '%' after a ')' may be the modulo operator); the end of the text when none does.
std::size_t EmbeddedScriptEnd(const std::string& text, std::size_t start) {
  int depth = 0;
  bool quoted = false;
  for (std::size_t end = start + 1; end < text.size(); ++end) {
    quoted = text[end] == '\'' ? !quoted : quoted;
    if (!quoted && (text[end] == '(' || text[end] == ')')) {
      depth += text[end] == '(' ? 1 : -1;
    }
    if (depth == 0) {
      return end;
    }
  }
  return text.size();
}

// Appends to `into` the bytes of `from` from `begin` to `end`, with their places.
void AppendRange(ScriptText& into, const ScriptText& from, std::size_t begin, std::size_t end) {
  const auto first = static_cast<std::ptrdiff_t>(begin);
  const auto last = static_cast<std::ptrdiff_t>(end);
  const std::vector<ScriptPosition>& uses = from.uses.empty() ? from.positions : from.uses;
  into.text.append(from.text, begin, end - begin);
  into.positions.insert(into.positions.end(), from.positions.begin() + first, from.positions.begin() + last);
  into.uses.insert(into.uses.end(), uses.begin() + first, uses.begin() + last);
}

// The scripts a text holds as %( SCRIPT ), joined with a space between: they run in order
// on one stack, as the simulator draws the text. The rest of the text is drawn as written.
ScriptText EmbeddedScripts(const ScriptText& text) {
  ScriptText scripts;
  for (std::size_t start = text.text.find("%("); start != std::string::npos; start = text.text.find("%(", start)) {
    const std::size_t begin = start + 2;
    const std::size_t end = EmbeddedScriptEnd(text.text, start);
    if (!scripts.text.empty() && begin < end) {
      AppendRange(scripts, text, begin, begin + 1);
      scripts.text.back() = ' ';  // placed where the next script starts
    }
    AppendRange(scripts, text, begin, end);
    start = end;
  }
  return scripts;
}

// The elements that hold scripts, in both schemas: the one home of where scripts stand.
struct ScriptElementRow {
  std::string_view name;
  std::string_view within;  // the element it must stand in; "" for any
  ScriptKind kind;
  bool embedded;  // its text is drawn, the scripts in it written %( )%
};

constexpr std::array kScriptElements = {
    ScriptElementRow{"Update", "", ScriptKind::kUpdate, false},
    ScriptElementRow{"Value", "Select", ScriptKind::kSelect, false},
    ScriptElementRow{"Expression", "Select", ScriptKind::kSelect, false},
    ScriptElementRow{"Value", "", ScriptKind::kValue, false},
    ScriptElementRow{"Expression", "", ScriptKind::kValue, false},
    ScriptElementRow{"Visible", "On", ScriptKind::kKey, false},
    ScriptElementRow{"Visible", "", ScriptKind::kVisible, false},
    ScriptElementRow{"Visibility", "", ScriptKind::kVisible, false},
    ScriptElementRow{"String", "", ScriptKind::kText, true},
    ScriptElementRow{"GaugeString", "", ScriptKind::kText, true},
    ScriptElementRow{"FormattedText", "", ScriptKind::kText, true},
    ScriptElementRow{"Click", "", ScriptKind::kClick, false},
    ScriptElementRow{"MouseClick", "", ScriptKind::kClick, false},
    ScriptElementRow{"CallbackCode", "MouseArea", ScriptKind::kClick, false},
    ScriptElementRow{"Tooltip", "", ScriptKind::kTooltip, true},
    ScriptElementRow{"TooltipText", "", ScriptKind::kTooltip, true},
    ScriptElementRow{"DefaultScript", "Tooltip", ScriptKind::kTooltip, true},
    ScriptElementRow{"On", "Keys", ScriptKind::kKey, false},
};

const ScriptElementRow* ScriptElementRowOf(std::string_view name, std::string_view parent) {
  for (const ScriptElementRow& row : kScriptElements) {
    if (row.name == name && (row.within.empty() || row.within == parent)) {
      return &row;
    }
  }
  return nullptr;
}

RunsOn RunsOnOf(ScriptKind kind) {
  switch (kind) {
    case ScriptKind::kClick: return RunsOn::kClick;
    case ScriptKind::kTooltip: return RunsOn::kHover;
    case ScriptKind::kKey: return RunsOn::kKey;
    default: return RunsOn::kEveryCycle;
  }
}

// The gauge element of a file's root: <Gauge> itself, or the <SimGauge.Gauge> of a
// <SimBase.Document>; nullptr when it is neither.
const XmlElement* GaugeElementOf(const XmlElement& root) {
  return root.name == "Gauge" ? &root : root.name == "SimBase.Document" ? FirstChild(root, "SimGauge.Gauge") : nullptr;
}

// A rectangle in the gauge's pixels.
struct Rectangle {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
};

// Where the walk stands: the <Element> it is in, and the mouse area.
struct WalkPlace {
  int element = 0;
  std::optional<std::size_t> area;  // among the gauge's areas
  const XmlElement* area_element = nullptr;
};

// Reads one gauge file of either schema into its GaugeScripts, in one walk of its tree.
class GaugeReader {
 public:
  explicit GaugeReader(GaugeScripts& gauge) : gauge_(gauge) {}

  void Read(const XmlElement& gauge) {
    ReadMacros(gauge);
    Rectangle whole;
    if (const XmlElement* size = FirstChild(gauge, "Size")) {
      ReadPair(*size, whole.width, whole.height);
    }
    whole_ = whole;
    Walk(gauge, {0, std::nullopt, nullptr});
  }

 private:
  // The gauge's <Macro>s, a macro's text its own in the panel schema and its <MacroValue>'s
  // in the newer one.
  void ReadMacros(const XmlElement& gauge) {
    for (const XmlElement& child : gauge.children) {
      if (child.name != "Macro") {
        continue;
      }
      const XmlAttribute* name = child.Attribute("Name");
      name = name != nullptr ? name : child.Attribute("id");
      if (name == nullptr || Trimmed(name->value.value).empty()) {
        Warn(child.position, "a <Macro> without a Name, which no script can use");
        continue;
      }
      const std::string macro_name(Trimmed(name->value.value));
      const XmlElement* text = FirstChild(child, "MacroValue");
      if (!macros_.emplace(macro_name, OwnText(text != nullptr ? *text : child)).second) {
        std::string message = "the macro " + macro_name;
        message += " is defined twice: @" + macro_name + " is the first";
        Warn(name->value.start, message);
      }
    }
  }

  void Walk(const XmlElement& parent, const WalkPlace& place) {
    for (const XmlElement& child : parent.children) {
      WalkPlace inner = place;
      if (child.name == "Macro") {
        continue;
      }
      if (child.name == "Element") {
        inner.element = ++elements_;
      } else if (child.name == "MouseArea" || (child.name == "Area" && (parent.name == "Mouse" || parent.name == "Area")) ||
                 (child.name == "Mouse" && FirstChild(child, "Click") != nullptr)) {
        // A <Mouse> with a <Click> of its own is an area too: the whole gauge's.
        inner.area = AddArea(child, place.area);
        inner.area_element = &child;
      } else if (const ScriptElementRow* row = ScriptElementRowOf(child.name, parent.name)) {
        AddScript(*row, child, inner);
      }
      Walk(child, inner);
    }
  }

  void AddScript(const ScriptElementRow& row, const XmlElement& element, const WalkPlace& place) {
    if (row.kind == ScriptKind::kClick && (!place.area || gauge_.areas[*place.area].click)) {
      if (place.area) {
        Warn(element.position, "a second click of " + DescribeArea(gauge_.areas[*place.area]) +
                                   ", which the simulator passes over: an area has one");
      }
      return;
    }
    ScriptText text = ScriptTextOf(element);
    if (row.kind == ScriptKind::kUpdate) {
      ReadFrequency(element);
    }
    const int number = place.area && (row.kind == ScriptKind::kClick || row.kind == ScriptKind::kTooltip)
                           ? gauge_.areas[*place.area].number
                           : place.element;
    GaugeScript script;
    script.kind = row.kind;
    script.runs = RunsOnOf(row.kind);
    script.element = row.name;
    script.number = number;
    const ScriptOrigin origin{gauge_.file, Named(row, element, place)};
    MacroExpander expander(macros_, origin);
    ScriptText expanded = expander.Expand(text, nullptr, std::nullopt);
    if (row.embedded) {
      if (expanded.text.find("%(") == std::string::npos) {
        return;  // a text drawn as it is written
      }
      expanded = EmbeddedScripts(expanded);
    }
    if (row.kind == ScriptKind::kClick) {
      MouseClick click;
      click.events = EventsOf(element, *place.area_element);
      click.repeat = RepeatOf(element);
      click.script = gauge_.scripts.size();
      script.events = click.events;
      gauge_.areas[*place.area].click = std::move(click);
    } else if (row.kind == ScriptKind::kUpdate && !gauge_.update) {
      gauge_.update = gauge_.scripts.size();
    }
    script.script = expander.errors().empty() ? CompileScript(expanded, origin, 0) : Script{origin, {}, {}, {}};
    Script& compiled = script.script;
    compiled.errors.insert(compiled.errors.begin(), expander.errors().begin(), expander.errors().end());
    compiled.warnings.insert(compiled.warnings.begin(), expander.warnings().begin(), expander.warnings().end());
    gauge_.findings.insert(gauge_.findings.end(), compiled.errors.begin(), compiled.errors.end());
    gauge_.findings.insert(gauge_.findings.end(), compiled.warnings.begin(), compiled.warnings.end());
    gauge_.scripts.push_back(std::move(script));
  }

  // What messages and the trace call a script: "the <Update> script", "the <Select> script
  // of element 3", "the <Click> script of area 2 (\"Mayday\")".
  std::string Named(const ScriptElementRow& row, const XmlElement& element, const WalkPlace& place) const {
    if (row.kind == ScriptKind::kKey) {
      const XmlAttribute* key = row.name == "On" ? element.Attribute("Key") : nullptr;
      key = key != nullptr || row.name != "On" ? key : element.Attribute("Event");
      return "the <" + std::string(row.name) + "> script of a key trap" +
             (key != nullptr ? " (" + key->name + "=" + Quoted(Shown(Trimmed(key->value.value))) + ")" : "");
    }
    const std::string tag = row.kind == ScriptKind::kSelect ? "<Select>" : "<" + std::string(row.name) + ">";
    if (place.area && (row.kind == ScriptKind::kClick || row.kind == ScriptKind::kTooltip)) {
      return "the " + tag + " script of " + DescribeArea(gauge_.areas[*place.area]);
    }
    return "the " + tag + " script" + (place.element > 0 ? " of element " + std::to_string(place.element) : "");
  }

  // A script's text: that of its <Script> child in the newer schema (or <CallbackCode>), else
  // its own; a click that sends a key event by name, Event="NAME" or <KeyEvent>NAME, sends it
  // after the script.
  static ScriptText ScriptTextOf(const XmlElement& element) {
    const XmlElement* script = FirstChild(element, "Script");
    script = script != nullptr ? script : FirstChild(element, "CallbackCode");
    ScriptText text = OwnText(script != nullptr ? *script : element);
    const XmlAttribute* event = element.Attribute("Event");
    const XmlElement* key_event = FirstChild(element, "KeyEvent");
    if (event != nullptr || key_event != nullptr) {
      const std::string name(Trimmed(event != nullptr ? event->value.value : OwnText(*key_event).text));
      const ScriptPosition named_at = event != nullptr ? event->value.start : key_event->position;
      const std::string sent = " (>K:" + name + ")";
      text.text += sent;
      text.positions.insert(text.positions.end(), sent.size(), named_at);
    }
    return text;
  }

  // A click's events: its Kind="LeftSingle+LeftRelease", or the <ClickType> elements in it,
  // or else in its area; LeftSingle when it names none.
  std::vector<std::string> EventsOf(const XmlElement& click, const XmlElement& area) {
    std::vector<std::string> events;
    if (const XmlAttribute* kind = click.Attribute("Kind")) {
      AddEvents(kind->value.value, kind->value.start, events);
    }
    for (const XmlElement* holder : {&click, &area}) {
      for (const XmlElement& child : holder->children) {
        if (child.name == "ClickType") {
          AddEvents(OwnText(child).text, child.position, events);
        }
      }
      if (!events.empty()) {
        break;
      }
    }
    if (events.empty()) {
      events.emplace_back("LeftSingle");  // a click that names no event is for LeftSingle
    }
    return events;
  }

  // "LeftSingle+LeftRelease": each a mouse event of the table; another is left out.
  void AddEvents(std::string_view listed, XmlPosition position, std::vector<std::string>& events) {
    while (!listed.empty()) {
      const std::size_t plus = std::min(listed.find('+'), listed.size());
      const std::string_view event = Trimmed(listed.substr(0, plus));
      if (event.empty()) {
        // "LeftSingle+" names nothing more.
      } else if (MouseEventNamed(event) == nullptr) {
        Warn(position, "'" + Shown(event) + "' is not a mouse event the gauge host knows (did you mean '" +
                           Closest(event, MouseEventNames()) + "'?); the click is read without it");
      } else if (std::find(events.begin(), events.end(), event) == events.end()) {
        events.emplace_back(event);
      }
      listed.remove_prefix(std::min(plus + 1, listed.size()));
    }
  }

  bool RepeatOf(const XmlElement& click) {
    const XmlAttribute* repeat = click.Attribute("Repeat");
    if (repeat == nullptr) {
      return false;
    }
    const std::string_view given = Trimmed(repeat->value.value);
    if (!SameIgnoringCase(given, "Yes") && !SameIgnoringCase(given, "No")) {
      Warn(repeat->value.start, "Repeat=\"" + Shown(repeat->value.value) + "\" is read as No: write Yes or No");
    }
    return SameIgnoringCase(given, "Yes");
  }

  // Frequency="N", or <Frequency>N</Frequency> in the newer schema.
  void ReadFrequency(const XmlElement& update) {
    const XmlAttribute* attribute = update.Attribute("Frequency");
    const XmlElement* element = FirstChild(update, "Frequency");
    if (attribute == nullptr && element == nullptr) {
      return;
    }
    const std::string given(Trimmed(attribute != nullptr ? attribute->value.value : OwnText(*element).text));
    const XmlPosition given_at = attribute != nullptr ? attribute->value.start : element->position;
    const std::optional<double> number = ParseNumber(given);
    if (!number || *number < 1 || *number > 1000000 || *number != static_cast<std::uint32_t>(*number)) {
      Warn(given_at, "Frequency=\"" + Shown(given) +
                   "\" is read as 1: the update runs on every N-th panel cycle, N a whole number from 1 to 1000000");
    } else {
      gauge_.update_frequency = static_cast<std::uint32_t>(*number);
    }
  }

  // An area of either schema, within the one holding it (the whole gauge for the outermost).
  std::size_t AddArea(const XmlElement& element, std::optional<std::size_t> holder_index) {
    const Rectangle holder = holder_index ? Rectangle{gauge_.areas[*holder_index].left, gauge_.areas[*holder_index].top,
                                                      gauge_.areas[*holder_index].width, gauge_.areas[*holder_index].height}
                                          : Rectangle{0, 0, whole_.width, whole_.height};
    MouseArea area;
    area.number = static_cast<int>(gauge_.areas.size()) + 1;
    area.width = holder.width;
    area.height = holder.height;
    if (element.name == "Area" || element.name == "Mouse") {
      ReadPanelPlace(element, holder, area);
      area.tooltip = ChildText(element, "Tooltip");
      area.cursor = ChildAttributeOrText(element, "Cursor", "Type");
      area.help = ChildAttributeOrText(element, "Help", "ID");
    } else {
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
    }
    gauge_.areas.push_back(std::move(area));
    return gauge_.areas.size() - 1;
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
        Warn(attribute->value.start,
             std::string(name) + "=\"" + Shown(attribute->value.value) + "\" is not a number; it is read as 0");
        value = 0;
        return true;
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

  // "12.5,30": two numbers and a comma, as the newer schema writes a position or a size.
  void ReadPair(const XmlElement& element, double& first, double& second) {
    const ScriptText text = OwnText(element);
    const std::optional<std::pair<double, double>> pair = ParseNumberPair(text.text);
    if (!pair) {
      Warn(element.position, "<" + element.name + ">" + Shown(Trimmed(text.text)) + "</" + element.name +
                                 "> is not two numbers, as 0,0; it is read as 0,0");
      return;
    }
    std::tie(first, second) = *pair;
  }

  void Warn(XmlPosition position, const std::string& message) {
    gauge_.findings.push_back({gauge_.file, position, Severity::kWarning, message});
  }

  GaugeScripts& gauge_;
  Macros macros_;
  Rectangle whole_;
  int elements_ = 0;
};

}  // namespace

const MouseEventRow* MouseEventNamed(std::string_view name) {
  const auto* const row = std::find_if(kMouseEvents.begin(), kMouseEvents.end(),
                                       [&](const MouseEventRow& candidate) { return candidate.name == name; });
  return row == kMouseEvents.end() ? nullptr : row;
}

std::string DescribeArea(const MouseArea& area) {
  return "area " + std::to_string(area.number) + (area.tooltip.empty() ? "" : " (" + Quoted(Shown(area.tooltip)) + ")");
}

GaugeScripts GaugeScriptsOf(const XmlElement& root, const std::string& file) {
  GaugeScripts gauge;
  gauge.file = file;
  if (const XmlElement* element = GaugeElementOf(root)) {
    GaugeReader(gauge).Read(*element);
  } else {
    gauge.unusable = Diagnostic{file, root.position, Severity::kError,
                                root.name == "SimBase.Document"
                                    ? "<SimBase.Document> holds no <SimGauge.Gauge>, so it is not a gauge"
                                    : "<" + root.name + "> is not a gauge: a gauge file holds <Gauge>, or "
                                      "<SimBase.Document> with <SimGauge.Gauge>"};
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
