// A reference model of the whole bridge, written from its rules in plain words. The
// driver (bridge_driver.h) plays the same steps on the real GaugeCallback against the
// stand-ins; the randomized test and the fuzzer compare the two after every frame.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/panel_services.h"

namespace model {

// The fifteen panel variables: 0 is the seat-belt sign, 1 to 14 the commands in order.
constexpr int kVariableCount = 15;
const char* VariableName(int index);

enum class AddonEvent {
  kNone,
  kLoad,                // the simulator loads the add-on, its export holding its record
  kLoadWithNullExport,  // ... its export still null
  kPublishRecord,       // the loaded add-on's export now holds its record
  kNullExport,          // the loaded add-on's export goes back to null
  kFree,                // the simulator frees the add-on's library once
};

// What happens around the module before one call of its callback.
struct Step {
  std::int32_t service_code = kFrameServiceCode;
  // Panel gauges write variables; an empty value makes the variable never-written again.
  std::vector<std::pair<int, std::optional<std::int32_t>>> panel_sets;
  AddonEvent addon_event = AddonEvent::kNone;
  std::optional<std::int32_t> addon_sets_field;  // the loaded add-on changes its own field
  std::optional<bool> main_window;               // the main window is created or destroyed
};

struct Chord {
  std::uint32_t virtual_key;
  std::uint32_t scan_code;
  bool operator==(const Chord&) const = default;
};

// Everything of one frame that can be seen from outside the module.
struct Outcome {
  std::vector<std::string> expressions;
  std::vector<std::string> loader_calls;
  std::vector<Chord> chords;                      // delivered to the main window
  std::map<std::string, std::int32_t> variables;  // the panel after the frame
  std::optional<std::int32_t> addon_field;        // while the add-on's record is mapped
  bool operator==(const Outcome&) const = default;
};

// What the world around the module can do before a call; the model and the driver each
// do it their way.
class World {
 public:
  virtual ~World() = default;
  virtual void SetVariable(const std::string& name, std::optional<std::int32_t> value) = 0;
  virtual void LoadAddon(bool export_holds_record) = 0;
  virtual void SetExport(bool holds_record) = 0;  // the add-on is mapped
  virtual void FreeAddon() = 0;                   // the add-on is mapped
  virtual bool AddonMapped() const = 0;
  virtual void SetAddonField(std::int32_t value) = 0;  // the add-on is mapped
  virtual void SetMainWindow(bool present) = 0;
};

// The world's part of a step, in its order: panel writes, the add-on's event, the add-on's
// own field, the main window. An event on an add-on that is not mapped does nothing.
void MoveWorld(const Step& step, World& world);

// The world and the module as the rules describe them.
class Model : public World {
 public:
  explicit Model(bool unset_reads_store_zero) : unset_reads_store_zero_(unset_reads_store_zero) {}
  Outcome Run(const Step& step);

  void SetVariable(const std::string& name, std::optional<std::int32_t> value) override;
  void LoadAddon(bool export_holds_record) override;
  void SetExport(bool holds_record) override;
  void FreeAddon() override;
  bool AddonMapped() const override { return addon_mapped_; }
  void SetAddonField(std::int32_t value) override { addon_field_ = value; }
  void SetMainWindow(bool present) override { main_window_ = present; }

 private:
  std::int32_t Read(const std::string& name, std::int32_t current, Outcome& outcome) const;
  void Write(const std::string& name, std::int32_t value, Outcome& outcome);

  // The world.
  bool unset_reads_store_zero_;
  std::map<std::string, std::int32_t> panel_;
  bool addon_mapped_ = false;
  int addon_references_ = 0;
  bool addon_pinned_ = false;
  bool addon_export_holds_record_ = false;
  std::int32_t addon_field_ = 0;
  bool main_window_ = false;
  // The module.
  bool record_found_ = false;
  std::int32_t seatbelt_at_frame_end_ = 0;
  std::int32_t remembered_[kVariableCount] = {};  // by variable index; 0 is unused
};

}  // namespace model
