// A thousand frames, through every path of the bridge, make no heap allocation. The
// quiet stand-in platform never allocates, so whatever the allocator counts while the
// frames run comes from the module's own code.

#include <gtest/gtest.h>

#include "standin/native/quiet_platform.h"
#include "tests/support/module_state.h"

// AddressSanitizer's allocator calls these hooks on every allocation, from malloc or new.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, std::size_t),
                                                         void (*free_hook)(const volatile void*));

namespace {

int allocations = 0;
bool counting = false;

void CountAllocation(const volatile void*, std::size_t) {
  if (counting) {
    ++allocations;
  }
}
void IgnoreFree(const volatile void*) {}

const bool hooks_installed = __sanitizer_install_malloc_and_free_hooks(CountAllocation, IgnoreFree) != 0;

struct CountAllocations {
  CountAllocations() {
    allocations = 0;
    counting = true;
  }
  ~CountAllocations() { counting = false; }
};

class AllocationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(hooks_installed);
    quiet::Reset();
    ResetModuleState(quiet::services);
  }
};

// The counter sees an allocation when there is one.
TEST_F(AllocationTest, CounterCountsAnAllocation) {
  {
    CountAllocations counted;
    delete new volatile int(1);
  }
  EXPECT_EQ(allocations, 1);
}

TEST_F(AllocationTest, ThousandFramesAllocateNothing) {
  quiet::platform.main_window = true;
  CountAllocations counted;
  for (int frame = 0; frame < 1000; ++frame) {
    // Searching at first, then bridged; the window comes and goes.
    quiet::platform.addon_loaded = frame >= 100;
    quiet::platform.main_window = frame % 50 < 40;
    quiet::SetVariable("Tvl_SeatbeltSign", (frame / 7) % 2);
    quiet::platform.addon.record.seatbelt_sign = (frame / 11) % 3;
    quiet::SetVariable("Tvl_CallMayday", frame % 2);
    quiet::SetVariable("Tvl_PlayMusic", frame % 5 == 0 ? 2 : (frame / 3) % 2);
    quiet::SetVariable("Tvl_GPWS_GearWarning", frame % 4);
    GaugeCallback(0, kFrameServiceCode, 0);
  }
  EXPECT_EQ(allocations, 0);
  // The frames did what they are for: chords went out, flips were written back.
  EXPECT_NE(addon_record, nullptr);
  EXPECT_GT(quiet::platform.messages, 300);
}

}  // namespace
