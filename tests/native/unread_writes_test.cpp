// Writes the module never sees: a value overwritten before the module's next read.

#include <gtest/gtest.h>

#include "tools/gauge_host/unread_writes.h"

namespace {

TEST(UnreadWritesTest, AValueOverwrittenBeforeTheModuleReadsItIsLost) {
  struct Step {
    const char* variable;
    double value;      // written, unless the module reads
    bool read;         // the module reads the variable instead of a write
    std::string warning = "";
  };
  const std::vector<Step> steps = {
      {"Tvl_CallMayday", 1, false},
      {"Tvl_CallMayday", 1, false},  // the same value again hides nothing
      {"Tvl_CallMayday", 1.5, false},  // nor does one the module reads as the same integer
      {"Tvl_CallMayday", 0, false,
       "warning: Tvl_CallMayday = 1.5, written by writer 3, is overwritten with 0 before the module reads it: "
       "the module never sees the 1.5"},
      {"Tvl_PlayMusic", 1, false},  // another variable is followed on its own
      {"Tvl_CallMayday", 0, true},
      {"Tvl_CallMayday", 1, false},  // read in between: nothing was lost
      {"Tvl_CallMayday", 0, true},
      {"Tvl_CallMayday", 0, false},
      {"Tvl_PlayMusic", 0, false,
       "warning: Tvl_PlayMusic = 1, written by writer 5, is overwritten with 0 before the module reads it: "
       "the module never sees the 1"},
  };
  gauge_host::UnreadWrites unread;
  int number = 0;
  for (const Step& step : steps) {
    ++number;
    SCOPED_TRACE("step " + std::to_string(number));
    if (step.read) {
      gauge_host::NoteModuleRead(unread, step.variable);
      continue;
    }
    EXPECT_EQ(gauge_host::NoteWrite(unread, step.variable, step.value, "writer " + std::to_string(number)),
              step.warning);
  }
}

}  // namespace
