#include "tests/support/bridge_driver.h"

#include <algorithm>

#include "bridge/gauge_callback.h"
#include "standin/native/win32_input.h"
#include "standin/native/win32_loader.h"
#include "standin/shared/panel_system.h"
#include "tests/support/chord_messages.h"

namespace model {

namespace {

// The world of the stand-ins: the panel, the loader's add-on and a main window.
class StandinWorld : public World {
 public:
  void SetVariable(const std::string& name, std::optional<std::int32_t> value) override {
    if (value) {
      standin::panel.variables[name] = *value;
    } else {
      standin::panel.variables.erase(name);
    }
  }
  void LoadAddon(bool export_holds_record) override { standin::LoadAddonLibrary(export_holds_record); }
  void SetExport(bool holds_record) override {
    standin::loader.addon->tvl_export = holds_record ? &standin::loader.addon->record : nullptr;
  }
  void FreeAddon() override { standin::FreeAddonLibrary(); }
  bool AddonMapped() const override { return standin::loader.addon != nullptr; }
  void SetAddonField(std::int32_t value) override { standin::loader.addon->record.seatbelt_sign = value; }
  void SetMainWindow(bool present) override {
    if (present && main_window == nullptr) {
      main_window = standin::CreateStandinWindow("FS98MAIN", 2);
    } else if (!present && main_window != nullptr) {
      standin::DestroyStandinWindow(main_window);
      main_window = nullptr;
    }
  }

  HWND main_window = nullptr;
};

StandinWorld world;

// Each chord is three messages; anything else is reported as a chord of key 0.
std::vector<Chord> ChordsFrom(const std::vector<standin::DeliveredMessage>& messages) {
  std::vector<Chord> chords;
  for (std::size_t index = 0; index < messages.size(); index += 3) {
    const std::uint32_t key = static_cast<std::uint32_t>(messages[index].wparam);
    const std::uint32_t scan = (messages[index].lparam >> 16) & 0xFF;
    const std::vector<standin::DeliveredMessage> chord = ChordMessages<standin::DeliveredMessage>(key, scan, BYTE{0x80});
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
  world = StandinWorld{};
}

Outcome RunReal(const Step& step) {
  MoveWorld(step, world);

  standin::panel.calculator_calls.clear();
  standin::loader.calls.clear();
  standin::input.messages.clear();
  GaugeCallback(0, step.service_code, 0);

  Outcome outcome;
  outcome.expressions = standin::Expressions();
  outcome.loader_calls = standin::loader.calls;
  outcome.chords = ChordsFrom(standin::input.messages);
  outcome.variables = {standin::panel.variables.begin(), standin::panel.variables.end()};
  if (world.AddonMapped()) {
    outcome.addon_field = standin::loader.addon->record.seatbelt_sign;
  }
  return outcome;
}

}  // namespace model
