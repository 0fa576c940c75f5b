#include "host/registration.h"

#include "bridge/gauge_callback.h"
#include "host/panel_services.h"

// Every record in writable data, as the host expects of them.
extern GaugeHeader switches_gauge_header;

GaugeElement switches_element = {
    .element_type = 0,  // static image
    .bitmap_resource = 0x1000,
    .words_0x08_to_0x1c = {},
    .gauge_header = &switches_gauge_header,
    .words_0x24_to_0x2c = {},
    .image_flags = 1,
    .words_0x34_to_0x5c = {},
};

GaugeElement* switches_element_list[2] = {&switches_element, nullptr};

// An empty mouse area: one parent rectangle, opened and closed, then the end of the list.
MouseRectangle switches_mouse_rectangles[3] = {
    {kMouseParentOpens, {0, 0, 0, 0}, kNoCursor, {}},
    {kMouseParentCloses, {0, 0, 0, 0}, kNoCursor, {}},
    {kMouseListEnd, {0, 0, 0, 0}, kNoCursor, {}},
};

char switches_gauge_name[] = "Switches";

GaugeHeader switches_gauge_header = {
    .header_version = kGaugeHeaderVersion,
    .gauge_name = switches_gauge_name,
    .element_list = switches_element_list,
    .query = GaugeQuery,
    .install = GaugeInstall,
    .initialize = GaugeInitialize,
    .update = GaugeUpdate,
    .generate = GaugeGenerate,
    .draw = GaugeDraw,
    .kill = GaugeKill,
    .word_0x28 = 0,
    .default_size = 100,
    .words_0x30_to_0x4c = {},
    .mouse_rectangles = switches_mouse_rectangles,
    .gauge_callback = GaugeCallback,
    .words_0x58_to_0xcc = {},
};

GaugeLinkage Linkage = {
    .module_id = kModuleIdentifier,
    .module_init = ModuleInit,
    .module_deinit = ModuleDeinit,
    .flags = 0,
    .word_0x10 = 0,
    .module_version = kModuleInterfaceVersion,
    .gauge_headers = {&switches_gauge_header, nullptr},
};

namespace {

// The element as the host finds it: through Linkage's first gauge header, read afresh.
GaugeElement* Element() { return Linkage.gauge_headers[0]->element_list[0]; }

}  // namespace

void HOST_CALL GaugeQuery() { HostServices().gauge_query(Element()); }
void HOST_CALL GaugeInstall(std::uint32_t argument) { HostServices().element_install(Element(), argument); }
void HOST_CALL GaugeInitialize() { HostServices().element_initialize(Element()); }
void HOST_CALL GaugeUpdate() { HostServices().element_update(Element()); }
void HOST_CALL GaugeGenerate(std::uint32_t argument) { HostServices().element_generate(Element(), argument); }
void HOST_CALL GaugeDraw() { HostServices().element_draw(Element()); }
void HOST_CALL GaugeKill() { HostServices().element_kill(Element()); }

void HOST_CALL ModuleInit() {}
void HOST_CALL ModuleDeinit() {}
