// A gauge module of another aircraft's panel, "Other_Gauges.gau": well formed, but its
// first gauge is "Clock", not "Switches". The gauge host must refuse it and say why.
#include "host/registration.h"

namespace {

void HOST_CALL NoRoutine() {}
void HOST_CALL ClockCallback(std::uint32_t, std::int32_t, std::uint32_t) {}

char clock_name[] = "Clock";

GaugeHeader clock_header = {
    .header_version = kGaugeHeaderVersion,
    .gauge_name = clock_name,
    .element_list = nullptr,
    .query = NoRoutine,
    .install = nullptr,
    .initialize = NoRoutine,
    .update = NoRoutine,
    .generate = nullptr,
    .draw = NoRoutine,
    .kill = NoRoutine,
    .word_0x28 = 0,
    .default_size = 100,
    .words_0x30_to_0x4c = {},
    .mouse_rectangles = nullptr,
    .gauge_callback = ClockCallback,
    .words_0x58_to_0xcc = {},
};

}  // namespace

ImportTableRecord ImportTable = {{kPanelServicesIdentifier, nullptr}, {0, nullptr}};

GaugeLinkage Linkage = {
    .module_id = kModuleIdentifier,
    .module_init = NoRoutine,
    .module_deinit = NoRoutine,
    .flags = 0,
    .word_0x10 = 0,
    .module_version = kModuleInterfaceVersion,
    .gauge_headers = {&clock_header, nullptr},
};
