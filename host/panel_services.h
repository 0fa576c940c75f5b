// The host's panel services: the table of entries the panel system offers, and the
// import table record through which the host hands that table to the module.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32.h"

// The host calls the gauge's routines, its callback and the Linkage entries, and offers
// its service table's entries, with the standard calling convention of 32-bit Windows.
#define HOST_CALL WINAPI

// The one service code on which the gauge callback runs a frame of the bridge.
constexpr std::int32_t kFrameServiceCode = 10;

struct GaugeElement;

using ElementService = void(HOST_CALL*)(GaugeElement* element);
using ElementArgumentService = void(HOST_CALL*)(GaugeElement* element, std::uint32_t argument);
// Evaluates one expression of the host's calculator language. The module passes null for
// the floating and text results and reads nothing of the returned value.
using CalculatorService = std::int32_t(HOST_CALL*)(const char* expression, double* float_result,
                                                   std::int32_t* integer_result,
                                                   const char** text_result);

// The host's table of 32-bit entries; only the entries the module calls are named.
struct PanelServices {
  void* entries_0_to_23[24];
  ElementService gauge_query;               // 24
  ElementArgumentService element_install;   // 25
  ElementService element_initialize;        // 26
  ElementService element_update;            // 27
  ElementArgumentService element_generate;  // 28
  ElementService element_draw;              // 29
  void* entry_30;                           // 30, never called
  ElementService element_kill;              // 31
  void* entries_32_to_68[37];
  CalculatorService execute_calculator;     // 69
};

// A list of (identifier, address) pairs ended by a pair of zeros. The host stores its
// service table's address here when it loads the module, and writes nothing else.
struct ImportEntry {
  std::uint32_t identifier;
  PanelServices* services;
};

struct ImportTableRecord {
  ImportEntry panel_services;
  ImportEntry end_of_list;
};

constexpr std::uint32_t kPanelServicesIdentifier = 0x0000000F;

extern "C" ImportTableRecord ImportTable;

// The host's service table, its address read from ImportTable afresh at every call: the
// host owns it.
inline PanelServices& HostServices() { return *ImportTable.panel_services.services; }

// Hands one expression to the host's calculator entry, with the integer result pointer
// given (a read) or null (a write).
void ExecuteCalculator(const char* expression, std::int32_t* integer_result);

// The host reads these records as 32-bit words at fixed offsets.
static_assert(sizeof(void*) != 4 || offsetof(PanelServices, gauge_query) == 0x60);
static_assert(sizeof(void*) != 4 || offsetof(PanelServices, element_install) == 0x64);
static_assert(sizeof(void*) != 4 || offsetof(PanelServices, element_initialize) == 0x68);
static_assert(sizeof(void*) != 4 || offsetof(PanelServices, element_update) == 0x6C);
static_assert(sizeof(void*) != 4 || offsetof(PanelServices, element_generate) == 0x70);
static_assert(sizeof(void*) != 4 || offsetof(PanelServices, element_draw) == 0x74);
static_assert(sizeof(void*) != 4 || offsetof(PanelServices, element_kill) == 0x7C);
static_assert(sizeof(void*) != 4 || offsetof(PanelServices, execute_calculator) == 0x114);
static_assert(sizeof(void*) != 4 || sizeof(ImportTableRecord) == 0x10);
static_assert(sizeof(void*) != 4 || offsetof(ImportTableRecord, panel_services.services) == 0x04);
static_assert(sizeof(void*) != 4 || offsetof(ImportTableRecord, end_of_list) == 0x08);
