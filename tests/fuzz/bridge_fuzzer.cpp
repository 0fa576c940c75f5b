// libFuzzer target: each input is a sequence of steps played on the real GaugeCallback
// against the stand-ins and on the reference model, compared after every call. The first
// difference is printed with the steps that led to it, and aborts.
//
// The input's first byte sets what a read of a never-written variable stores: with bit 0
// set nothing, otherwise zero. Each byte after it is one operation on the world before the
// next call, or the call itself:
//   0x0i V   a panel gauge writes V into variable i (i mod 15; 0 is the seat-belt sign)
//   0x1i     variable i (mod 15) becomes never-written
//   0x2e     the add-on is loaded, loaded with its export null, publishes its record,
//            nulls its export, or is freed: e mod 5, in that order
//   0x3_ V   the add-on writes V into its field
//   0x4_     the main window is created; 0x5_ it is destroyed
//   0x6c     the callback is called with kOtherServiceCodes[c], which runs no frame
//   0x70-FF  the callback is called with the frame service code: a frame
// A value V is one byte: 0x00-0x7F itself, 0x80-0xFC -1 down to -125, 0xFD INT_MIN,
// 0xFE INT_MAX, 0xFF the four bytes after it as a little-endian 32-bit integer. Operations
// left after the last call end in a frame. The last of several operations of one kind in
// a step wins, except for panel writes, which all happen in order.

#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "host/panel_services.h"
#include "tests/support/bridge_driver.h"
#include "tests/support/bridge_report.h"
#include "tests/support/fresh_module.h"

namespace {

const std::int32_t kOtherServiceCodes[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, -10, 100, INT_MIN, INT_MAX};

const model::AddonEvent kAddonEvents[5] = {
    model::AddonEvent::kLoad, model::AddonEvent::kLoadWithNullExport, model::AddonEvent::kPublishRecord,
    model::AddonEvent::kNullExport, model::AddonEvent::kFree};

struct Input {
  const std::uint8_t* bytes;
  std::size_t size;
  std::size_t next = 0;
};

bool AtEnd(const Input& input) { return input.next >= input.size; }

// Zero past the end.
std::uint8_t Byte(Input& input) { return AtEnd(input) ? 0 : input.bytes[input.next++]; }

std::int32_t Value(Input& input) {
  const std::uint8_t code = Byte(input);
  if (code <= 0x7F) {
    return code;
  }
  if (code <= 0xFC) {
    return 0x7F - code;
  }
  if (code == 0xFD) {
    return INT_MIN;
  }
  if (code == 0xFE) {
    return INT_MAX;
  }
  std::uint32_t bits = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    bits |= static_cast<std::uint32_t>(Byte(input)) << shift;
  }
  return static_cast<std::int32_t>(bits);
}

int VariableIndex(std::uint8_t operation) { return (operation & 0x0F) % model::kVariableCount; }

// The operations up to and including the next call; none when the input is used up.
std::optional<model::Step> NextStep(Input& input) {
  if (AtEnd(input)) {
    return std::nullopt;
  }
  model::Step step;  // a frame, unless an operation says otherwise
  while (!AtEnd(input)) {
    const std::uint8_t operation = Byte(input);
    switch (operation >> 4) {
      case 0x0:
        step.panel_sets.emplace_back(VariableIndex(operation), Value(input));
        break;
      case 0x1:
        step.panel_sets.emplace_back(VariableIndex(operation), std::nullopt);
        break;
      case 0x2:
        step.addon_event = kAddonEvents[(operation & 0x0F) % 5];
        break;
      case 0x3:
        step.addon_sets_field = Value(input);
        break;
      case 0x4:
        step.main_window = true;
        break;
      case 0x5:
        step.main_window = false;
        break;
      case 0x6:
        step.service_code = kOtherServiceCodes[operation & 0x0F];
        return step;
      default:
        return step;
    }
  }
  return step;
}

// Counted over the whole run, for the report at exit.
struct Totals {
  std::chrono::steady_clock::time_point start;
  unsigned long long inputs = 0;
  unsigned long long calls = 0;
  unsigned long long frames = 0;
};

Totals totals;

void ReportTotals() {
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - totals.start).count();
  std::printf("bridge_fuzzer: %llu inputs, %llu callback calls of which %llu frames (service code 10), "
              "in %.1f s: %.0f frames/s\n",
              totals.inputs, totals.calls, totals.frames, seconds,
              seconds > 0 ? static_cast<double>(totals.frames) / seconds : 0.0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  totals.start = std::chrono::steady_clock::now();
  std::atexit(ReportTotals);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  ++totals.inputs;
  Input input{bytes, size};
  const bool unset_reads_store_zero = (Byte(input) & 1) == 0;
  StartFreshModule();
  model::StartRealWorld(unset_reads_store_zero);
  model::Model model(unset_reads_store_zero);

  std::vector<model::Step> steps;
  while (const std::optional<model::Step> step = NextStep(input)) {
    steps.push_back(*step);
    ++totals.calls;
    totals.frames += steps.back().service_code == kFrameServiceCode ? 1 : 0;
    const model::Outcome expected = model.Run(steps.back());
    const model::Outcome actual = model::RunReal(steps.back());
    const std::string difference = model::Difference(expected, actual);
    if (!difference.empty()) {
      std::fprintf(stderr, "bridge_fuzzer: call %zu differs from the model (reads of never-written "
                   "variables store %s)\n%ssteps:\n",
                   steps.size(), unset_reads_store_zero ? "zero" : "nothing", difference.c_str());
      for (std::size_t number = 0; number < steps.size(); ++number) {
        std::fprintf(stderr, "  call %zu: %s\n", number + 1, model::Describe(steps[number]).c_str());
      }
      std::abort();
    }
  }
  // Everything the input allocated in the stand-ins is freed within it: libFuzzer then sees
  // as many frees as allocations and runs no input twice to look for a leak.
  StartFreshModule();
  return 0;
}
