#include "tests/support/bridge_model.h"

#include <sstream>

#include "bridge/gauge_callback.h"
#include "standin/shared/panel_system.h"
#include "standin/native/win32_input.h"
#include "standin/native/win32_loader.h"

namespace model {

const char* const kVariableNames[kVariableCount] = {
    "Tvl_SeatbeltSign",     "Tvl_CallMayday",      "Tvl_PlayMusic",         "Tvl_InFlightReport",
    "Tvl_PassengerList",    "Tvl_Kneeboard",       "Tvl_ServeDrinks",       "Tvl_ServeSandwiches",
    "Tvl_ServeHotMeal",     "Tvl_PlayMovie",       "Tvl_MiniDisplay",       "Tvl_VerboseMiniDisplay",
    "Tvl_GPWS_FlapsWarning", "Tvl_GPWS_GearWarning", "Tvl_Ask250kts"};

namespace {

// The commands as the add-on's documentation lists them: whether the feature is on/off,
// and the key of its Ctrl+Shift chord with that key's scan code.
struct Command {
  bool on_off;
  std::uint32_t key;
  std::uint32_t scan_code;
};
const Command kCommands[kVariableCount] = {
    {false, 0, 0},  // the seat-belt sign has no chord
    {false, 'M', 0x32}, {true, 'T', 0x14},  {false, 'I', 0x17}, {false, 'P', 0x19}, {false, 'K', 0x25},
    {false, 'D', 0x20}, {false, 'F', 0x21}, {false, 'H', 0x23}, {false, 'O', 0x18}, {true, 'V', 0x2F},
    {true, 'C', 0x2E},  {true, '1', 0x02},  {true, '2', 0x03},  {false, '3', 0x04}};

std::string ReadText(const std::string& name) { return "(L:" + name + ", number)"; }

// 1 − remembered in 32-bit two's complement.
std::int32_t Flipped(std::int32_t remembered) {
  std::int64_t flipped = 1 - static_cast<std::int64_t>(remembered);
  if (flipped > INT32_MAX) {
    flipped -= std::int64_t{1} << 32;
  }
  return static_cast<std::int32_t>(flipped);
}

}  // namespace

std::int32_t Model::Read(const std::string& name, std::int32_t current, Outcome& outcome) const {
  outcome.expressions.push_back(ReadText(name));
  const auto variable = panel_.find(name);
  if (variable != panel_.end()) {
    return variable->second;
  }
  return unset_reads_store_zero_ ? 0 : current;
}

void Model::Write(const std::string& name, std::int32_t value, Outcome& outcome) {
  outcome.expressions.push_back(std::to_string(value) + " (>L:" + name + ", number)");
  panel_[name] = value;
}

Outcome Model::Run(const Step& step) {
  // First the world moves.
  for (const auto& [index, value] : step.panel_sets) {
    if (value) {
      panel_[kVariableNames[index]] = *value;
    } else {
      panel_.erase(kVariableNames[index]);
    }
  }
  switch (step.addon_event) {
    case AddonEvent::kNone:
      break;
    case AddonEvent::kLoad:
    case AddonEvent::kLoadWithNullExport:
      if (!addon_mapped_) {
        addon_mapped_ = true;
        addon_field_ = 0;
        addon_export_holds_record_ = step.addon_event == AddonEvent::kLoad;
      }
      ++addon_references_;
      break;
    case AddonEvent::kPublishRecord:
    case AddonEvent::kNullExport:
      if (addon_mapped_) {
        addon_export_holds_record_ = step.addon_event == AddonEvent::kPublishRecord;
      }
      break;
    case AddonEvent::kFree:
      if (addon_mapped_ && --addon_references_ == 0 && !addon_pinned_) {
        addon_mapped_ = false;
      }
      break;
  }
  if (step.addon_sets_field && addon_mapped_) {
    addon_field_ = *step.addon_sets_field;
  }
  if (step.main_window) {
    main_window_ = *step.main_window;
  }

  // Then the module's frame, on the frame service code only.
  Outcome outcome;
  if (step.service_code == kFrameServiceCode) {
    // Until found, the add-on is looked up every frame; found, it is pinned.
    if (!record_found_) {
      outcome.loader_calls.push_back("GetModuleHandleA(Travinel)");
      if (addon_mapped_) {
        outcome.loader_calls.push_back("GetProcAddress(TvlExport)");
        if (addon_export_holds_record_) {
          outcome.loader_calls.push_back("GetModuleHandleExA(PIN, Travinel)");
          record_found_ = true;
          addon_pinned_ = true;
        }
      }
    }

    // The seat-belt sign: a panel change since the last frame toggles the add-on's sign
    // where the two differ; otherwise the panel is written with its own value, or with the
    // add-on's state as 0 or 1 where they differ.
    std::int32_t value = Read(kVariableNames[0], 0, outcome);
    if (record_found_) {
      const bool panel_changed = value != seatbelt_at_frame_end_;
      if (panel_changed && value != addon_field_) {
        addon_field_ = addon_field_ == 0 ? 1 : 0;
      }
      if (!panel_changed) {
        if (value != addon_field_) {
          value = addon_field_ != 0 ? 1 : 0;
        }
        Write(kVariableNames[0], value, outcome);
      }
    }
    seatbelt_at_frame_end_ = value;

    // The commands, in order; each read that stores nothing keeps the last read's value.
    for (int index = 1; index < kVariableCount; ++index) {
      const Command& command = kCommands[index];
      std::int32_t& remembered = remembered_[index];
      value = Read(kVariableNames[index], value, outcome);
      bool send = false;
      if (!command.on_off) {
        send = remembered == 0 && value == 1;
        remembered = value;
      } else if (value == 2) {
        remembered = Flipped(remembered);
        Write(kVariableNames[index], remembered, outcome);
        break;
      } else if (value != remembered) {
        send = true;
        remembered = value;
      }
      if (send && main_window_) {
        outcome.chords.push_back({command.key, command.scan_code});
      }
    }
  }

  outcome.variables = panel_;
  if (addon_mapped_) {
    outcome.addon_field = addon_field_;
  }
  return outcome;
}

namespace {

HWND real_main_window = nullptr;

// Each chord is three messages; anything else is reported as a chord of key 0.
std::vector<Chord> ChordsFrom(const std::vector<standin::DeliveredMessage>& messages) {
  std::vector<Chord> chords;
  for (std::size_t index = 0; index < messages.size(); index += 3) {
    const std::uint32_t key = static_cast<std::uint32_t>(messages[index].wparam);
    const std::uint32_t scan = (messages[index].lparam >> 16) & 0xFF;
    const std::vector<standin::DeliveredMessage> chord = {
        {WM_KEYDOWN, key, (scan << 16) | 0x00000001u, 0x80, 0x80},
        {WM_CHAR, static_cast<std::uint32_t>(key - 0x40), (scan << 16) | 0xE0000001u, 0x80, 0x80},
        {WM_KEYUP, key, (scan << 16) | 0xC0000001u, 0x80, 0x80}};
    const bool whole = index + 3 <= messages.size() &&
                       std::equal(chord.begin(), chord.end(), messages.begin() + static_cast<std::ptrdiff_t>(index));
    chords.push_back(whole ? Chord{key, scan} : Chord{0, 0});
  }
  return chords;
}

}  // namespace

void StartRealWorld(bool unset_reads_store_zero) {
  standin::panel.unset_read =
      unset_reads_store_zero ? standin::UnsetRead::kStoresZero : standin::UnsetRead::kStoresNothing;
  real_main_window = nullptr;
}

Outcome RunReal(const Step& step) {
  for (const auto& [index, value] : step.panel_sets) {
    if (value) {
      standin::panel.variables[kVariableNames[index]] = *value;
    } else {
      standin::panel.variables.erase(kVariableNames[index]);
    }
  }
  standin::Loader& loader = standin::loader;
  switch (step.addon_event) {
    case AddonEvent::kNone:
      break;
    case AddonEvent::kLoad:
    case AddonEvent::kLoadWithNullExport:
      standin::LoadAddonLibrary(step.addon_event == AddonEvent::kLoad);
      break;
    case AddonEvent::kPublishRecord:
      if (loader.addon != nullptr) {
        loader.addon->tvl_export = &loader.addon->record;
      }
      break;
    case AddonEvent::kNullExport:
      if (loader.addon != nullptr) {
        loader.addon->tvl_export = nullptr;
      }
      break;
    case AddonEvent::kFree:
      if (loader.addon != nullptr) {
        standin::FreeAddonLibrary();
      }
      break;
  }
  if (step.addon_sets_field && loader.addon != nullptr) {
    loader.addon->record.seatbelt_sign = *step.addon_sets_field;
  }
  if (step.main_window) {
    if (*step.main_window && real_main_window == nullptr) {
      real_main_window = standin::CreateStandinWindow("FS98MAIN", 2);
    } else if (!*step.main_window && real_main_window != nullptr) {
      standin::DestroyStandinWindow(real_main_window);
      real_main_window = nullptr;
    }
  }

  standin::panel.calculator_calls.clear();
  loader.calls.clear();
  standin::input.messages.clear();
  GaugeCallback(0, step.service_code, 0);

  Outcome outcome;
  outcome.expressions = standin::Expressions();
  outcome.loader_calls = loader.calls;
  outcome.chords = ChordsFrom(standin::input.messages);
  outcome.variables = {standin::panel.variables.begin(), standin::panel.variables.end()};
  if (loader.addon != nullptr) {
    outcome.addon_field = loader.addon->record.seatbelt_sign;
  }
  return outcome;
}

namespace {

template <typename T>
std::string Join(const std::vector<T>& items) {
  std::ostringstream text;
  text << "[";
  for (std::size_t index = 0; index < items.size(); ++index) {
    text << (index ? ", " : "");
    if constexpr (std::is_same_v<T, Chord>) {
      text << "Ctrl+Shift+" << static_cast<char>(items[index].virtual_key) << "/" << items[index].scan_code;
    } else {
      text << items[index];
    }
  }
  return text.str() + "]";
}

std::string JoinVariables(const std::map<std::string, std::int32_t>& variables) {
  std::vector<std::string> items;
  for (const auto& [name, value] : variables) {
    items.push_back(name + "=" + std::to_string(value));
  }
  return Join(items);
}

std::string Field(const std::optional<std::int32_t>& field) {
  return field ? std::to_string(*field) : "unmapped";
}

}  // namespace

std::string Difference(const Outcome& expected, const Outcome& actual) {
  std::string text;
  const auto compare = [&](const char* what, const std::string& want, const std::string& got) {
    if (want != got) {
      text += std::string(what) + ":\n  expected " + want + "\n  actual   " + got + "\n";
    }
  };
  compare("expressions", Join(expected.expressions), Join(actual.expressions));
  compare("loader calls", Join(expected.loader_calls), Join(actual.loader_calls));
  compare("chords", Join(expected.chords), Join(actual.chords));
  compare("panel variables", JoinVariables(expected.variables), JoinVariables(actual.variables));
  compare("add-on field", Field(expected.addon_field), Field(actual.addon_field));
  return text;
}

std::string Describe(const Step& step) {
  static const char* const kEvents[] = {"", "load", "load with null export", "publish record",
                                        "null export", "free"};
  std::ostringstream text;
  text << "service code " << step.service_code;
  for (const auto& [index, value] : step.panel_sets) {
    text << "; " << kVariableNames[index] << " = " << (value ? std::to_string(*value) : "never written");
  }
  if (step.addon_event != AddonEvent::kNone) {
    text << "; add-on " << kEvents[static_cast<int>(step.addon_event)];
  }
  if (step.addon_sets_field) {
    text << "; add-on field = " << *step.addon_sets_field;
  }
  if (step.main_window) {
    text << (*step.main_window ? "; main window created" : "; main window destroyed");
  }
  return text.str();
}

}  // namespace model
