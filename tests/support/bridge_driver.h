// The driver of the real module: plays a step of the reference model's on the real
// GaugeCallback against the stand-ins, and reads what the frame did from them.
#pragma once

#include "tests/support/bridge_model.h"

namespace model {

// Start with a fresh module: StartFreshModule(), then this.
void StartRealWorld(bool unset_reads_store_zero);
Outcome RunReal(const Step& step);

}  // namespace model
