// The records through which the host loads the module and finds its one gauge,
// "Switches", with the seven routines that hand the gauge's element back to the host.
// The host reads every record as 32-bit words at fixed offsets; the layout is checked at
// compile time in the 32-bit build.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/module_names.h"
#include "host/panel_services.h"

struct GaugeHeader;

using GaugeRoutine = void(HOST_CALL*)();
using GaugeArgumentRoutine = void(HOST_CALL*)(std::uint32_t argument);
using GaugeCallbackRoutine = void(HOST_CALL*)(std::uint32_t gauge, std::int32_t service_code,
                                              std::uint32_t extra);
using ModuleEntry = void(HOST_CALL*)();

// A static image; 24 words reserved.
struct GaugeElement {
  std::uint32_t element_type;           // 0x00
  std::uint32_t bitmap_resource;        // 0x04
  std::uint32_t words_0x08_to_0x1c[6];
  GaugeHeader* gauge_header;            // 0x20
  std::uint32_t words_0x24_to_0x2c[3];
  std::uint32_t image_flags;            // 0x30
  std::uint32_t words_0x34_to_0x5c[11];
};

// One record of the mouse rectangle list: the kind, a box, a cursor.
struct MouseRectangle {
  std::uint32_t kind;                   // 0x00
  std::uint32_t box[4];                 // 0x04
  std::int32_t cursor;                  // 0x14
  std::uint32_t words_0x18_to_0x28[5];
};

constexpr std::uint32_t kMouseParentOpens = 1;
constexpr std::uint32_t kMouseParentCloses = 3;
constexpr std::uint32_t kMouseListEnd = 0;
constexpr std::int32_t kNoCursor = -1;

// 52 words reserved.
struct GaugeHeader {
  std::uint32_t header_version;         // 0x00
  const char* gauge_name;               // 0x04
  GaugeElement** element_list;          // 0x08
  GaugeRoutine query;                   // 0x0C
  GaugeArgumentRoutine install;         // 0x10
  GaugeRoutine initialize;              // 0x14
  GaugeRoutine update;                  // 0x18
  GaugeArgumentRoutine generate;        // 0x1C
  GaugeRoutine draw;                    // 0x20
  GaugeRoutine kill;                    // 0x24
  std::uint32_t word_0x28;
  std::uint32_t default_size;           // 0x2C
  std::uint32_t words_0x30_to_0x4c[8];
  MouseRectangle* mouse_rectangles;     // 0x50
  GaugeCallbackRoutine gauge_callback;  // 0x54
  std::uint32_t words_0x58_to_0xcc[30];
};

// What the host checks of the records before it calls the gauge.
constexpr std::uint32_t kModuleIdentifier = 0x00000013;
constexpr std::uint32_t kModuleInterfaceVersion = 0x00000900;
constexpr std::uint32_t kGaugeHeaderVersion = 800;

struct GaugeLinkage {
  std::uint32_t module_id;              // 0x00
  ModuleEntry module_init;              // 0x04
  ModuleEntry module_deinit;            // 0x08
  std::uint32_t flags;                  // 0x0C
  std::uint32_t word_0x10;
  std::uint32_t module_version;         // 0x14
  GaugeHeader* gauge_headers[2];        // 0x18, ended by null
};

extern "C" GaugeLinkage Linkage;

// The gauge's routines: each hands the element to its entry of the host's service table.
void HOST_CALL GaugeQuery();
void HOST_CALL GaugeInstall(std::uint32_t argument);
void HOST_CALL GaugeInitialize();
void HOST_CALL GaugeUpdate();
void HOST_CALL GaugeGenerate(std::uint32_t argument);
void HOST_CALL GaugeDraw();
void HOST_CALL GaugeKill();

// The module entries of Linkage: nothing to do.
void HOST_CALL ModuleInit();
void HOST_CALL ModuleDeinit();

#define CHECK_HOST_OFFSET(record, field, offset) \
  static_assert(sizeof(void*) != 4 || offsetof(record, field) == (offset), #record "." #field)
#define CHECK_HOST_SIZE(record, size) \
  static_assert(sizeof(void*) != 4 || sizeof(record) == (size), "size of " #record)

CHECK_HOST_SIZE(GaugeElement, 0x60);
CHECK_HOST_OFFSET(GaugeElement, bitmap_resource, 0x04);
CHECK_HOST_OFFSET(GaugeElement, gauge_header, 0x20);
CHECK_HOST_OFFSET(GaugeElement, image_flags, 0x30);

CHECK_HOST_SIZE(GaugeHeader, 0xD0);
CHECK_HOST_OFFSET(GaugeHeader, gauge_name, 0x04);
CHECK_HOST_OFFSET(GaugeHeader, element_list, 0x08);
CHECK_HOST_OFFSET(GaugeHeader, query, 0x0C);
CHECK_HOST_OFFSET(GaugeHeader, install, 0x10);
CHECK_HOST_OFFSET(GaugeHeader, initialize, 0x14);
CHECK_HOST_OFFSET(GaugeHeader, update, 0x18);
CHECK_HOST_OFFSET(GaugeHeader, generate, 0x1C);
CHECK_HOST_OFFSET(GaugeHeader, draw, 0x20);
CHECK_HOST_OFFSET(GaugeHeader, kill, 0x24);
CHECK_HOST_OFFSET(GaugeHeader, default_size, 0x2C);
CHECK_HOST_OFFSET(GaugeHeader, mouse_rectangles, 0x50);
CHECK_HOST_OFFSET(GaugeHeader, gauge_callback, 0x54);

CHECK_HOST_SIZE(MouseRectangle, 0x2C);
CHECK_HOST_OFFSET(MouseRectangle, box, 0x04);
CHECK_HOST_OFFSET(MouseRectangle, cursor, 0x14);

CHECK_HOST_SIZE(GaugeLinkage, 0x20);
CHECK_HOST_OFFSET(GaugeLinkage, module_init, 0x04);
CHECK_HOST_OFFSET(GaugeLinkage, module_deinit, 0x08);
CHECK_HOST_OFFSET(GaugeLinkage, flags, 0x0C);
CHECK_HOST_OFFSET(GaugeLinkage, module_version, 0x14);
CHECK_HOST_OFFSET(GaugeLinkage, gauge_headers, 0x18);
