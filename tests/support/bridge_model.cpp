#include "tests/support/bridge_model.h"

#include "tests/support/commands.h"

namespace model {

const char* VariableName(int index) { return index == 0 ? kSeatbeltSignVariable : kCommands[index - 1].variable; }

void MoveWorld(const Step& step, World& world) {
  for (const auto& [index, value] : step.panel_sets) {
    world.SetVariable(VariableName(index), value);
  }
  switch (step.addon_event) {
    case AddonEvent::kNone:
      break;
    case AddonEvent::kLoad:
    case AddonEvent::kLoadWithNullExport:
      world.LoadAddon(step.addon_event == AddonEvent::kLoad);
      break;
    case AddonEvent::kPublishRecord:
    case AddonEvent::kNullExport:
      if (world.AddonMapped()) {
        world.SetExport(step.addon_event == AddonEvent::kPublishRecord);
      }
      break;
    case AddonEvent::kFree:
      if (world.AddonMapped()) {
        world.FreeAddon();
      }
      break;
  }
  if (step.addon_sets_field && world.AddonMapped()) {
    world.SetAddonField(*step.addon_sets_field);
  }
  if (step.main_window) {
    world.SetMainWindow(*step.main_window);
  }
}

namespace {

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

void Model::SetVariable(const std::string& name, std::optional<std::int32_t> value) {
  if (value) {
    panel_[name] = *value;
  } else {
    panel_.erase(name);
  }
}

// Mapped on the first load, with its record zero; every load counts a reference.
void Model::LoadAddon(bool export_holds_record) {
  if (!addon_mapped_) {
    addon_mapped_ = true;
    addon_field_ = 0;
    addon_export_holds_record_ = export_holds_record;
  }
  ++addon_references_;
}

void Model::SetExport(bool holds_record) { addon_export_holds_record_ = holds_record; }

// Unmapped with its last reference, unless the module pinned it.
void Model::FreeAddon() {
  if (--addon_references_ == 0 && !addon_pinned_) {
    addon_mapped_ = false;
  }
}

Outcome Model::Run(const Step& step) {
  MoveWorld(step, *this);

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
    std::int32_t value = Read(kSeatbeltSignVariable, 0, outcome);
    if (record_found_) {
      const bool panel_changed = value != seatbelt_at_frame_end_;
      if (panel_changed && value != addon_field_) {
        addon_field_ = addon_field_ == 0 ? 1 : 0;
      }
      if (!panel_changed) {
        if (value != addon_field_) {
          value = addon_field_ != 0 ? 1 : 0;
        }
        Write(kSeatbeltSignVariable, value, outcome);
      }
    }
    seatbelt_at_frame_end_ = value;

    // The commands, in order; each read that stores nothing keeps the last read's value.
    for (int index = 1; index < kVariableCount; ++index) {
      const Command& command = kCommands[index - 1];
      std::int32_t& remembered = remembered_[index];
      value = Read(command.variable, value, outcome);
      bool send = false;
      if (!command.toggle) {
        send = remembered == 0 && value == 1;
        remembered = value;
      } else if (value == 2) {
        remembered = Flipped(remembered);
        Write(command.variable, remembered, outcome);
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

}  // namespace model
