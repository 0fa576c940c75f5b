// The module's state as the library loads it. This program holds no other test and
// resets nothing, so no frame and no test helper has touched that state yet: every other
// test starts from a reset, which would hide a wrong starting value.

#include <gtest/gtest.h>

#include "bridge/gauge_callback.h"
#include "bridge/switch_table.h"
#include "tests/support/commands.h"

namespace {

TEST(LoadedModuleTest, StateIsAsLoaded) {
  EXPECT_EQ(addon_record, nullptr);
  EXPECT_EQ(last_seatbelt_value, 0);
  int rows = 0;
  for (const SwitchEntry* row = switch_table; row->kind != SWITCH_END; ++row, ++rows) {
    EXPECT_EQ(row->last_value, 0) << row->var_name;
  }
  EXPECT_EQ(rows, kCommandCount);
}

}  // namespace
