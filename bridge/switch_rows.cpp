// The rows of the switch table, apart from the pass that walks them, so that tools can
// list the module's commands from this one place.
#include "bridge/switch_table.h"

// Keys and scan codes of the standard PC keyboard, set 1.
SwitchEntry switch_table[] = {
    {SWITCH_MOMENTARY, "Tvl_CallMayday", 0x4D, 0x32, 0},          // M
    {SWITCH_TOGGLE, "Tvl_PlayMusic", 0x54, 0x14, 0},              // T
    {SWITCH_MOMENTARY, "Tvl_InFlightReport", 0x49, 0x17, 0},      // I
    {SWITCH_MOMENTARY, "Tvl_PassengerList", 0x50, 0x19, 0},       // P
    {SWITCH_MOMENTARY, "Tvl_Kneeboard", 0x4B, 0x25, 0},           // K
    {SWITCH_MOMENTARY, "Tvl_ServeDrinks", 0x44, 0x20, 0},         // D
    {SWITCH_MOMENTARY, "Tvl_ServeSandwiches", 0x46, 0x21, 0},     // F
    {SWITCH_MOMENTARY, "Tvl_ServeHotMeal", 0x48, 0x23, 0},        // H
    {SWITCH_MOMENTARY, "Tvl_PlayMovie", 0x4F, 0x18, 0},           // O
    {SWITCH_TOGGLE, "Tvl_MiniDisplay", 0x56, 0x2F, 0},            // V
    {SWITCH_TOGGLE, "Tvl_VerboseMiniDisplay", 0x43, 0x2E, 0},     // C
    {SWITCH_TOGGLE, "Tvl_GPWS_FlapsWarning", 0x31, 0x02, 0},      // 1
    {SWITCH_TOGGLE, "Tvl_GPWS_GearWarning", 0x32, 0x03, 0},       // 2
    {SWITCH_MOMENTARY, "Tvl_Ask250kts", 0x33, 0x04, 0},           // 3
    {SWITCH_END, nullptr, 0, 0, 0},
};
