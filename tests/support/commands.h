// The fourteen commands as the add-on's documentation lists them: the panel variable, whether
// the feature is on/off, and the key of its Ctrl+Shift chord with that key's scan code
// (standard PC keyboard, set 1). Written out apart from the module's switch table, so that
// the tests check that table rather than repeat it.
#pragma once

#include <cstdint>

struct Command {
  const char* variable;
  bool toggle;  // an on/off feature, sent on every change; else sent when 0 becomes 1
  std::uint32_t key;
  std::uint32_t scan_code;
};

inline constexpr int kCommandCount = 14;

inline constexpr Command kCommands[kCommandCount] = {
    {"Tvl_CallMayday", false, 'M', 0x32},        {"Tvl_PlayMusic", true, 'T', 0x14},
    {"Tvl_InFlightReport", false, 'I', 0x17},    {"Tvl_PassengerList", false, 'P', 0x19},
    {"Tvl_Kneeboard", false, 'K', 0x25},         {"Tvl_ServeDrinks", false, 'D', 0x20},
    {"Tvl_ServeSandwiches", false, 'F', 0x21},   {"Tvl_ServeHotMeal", false, 'H', 0x23},
    {"Tvl_PlayMovie", false, 'O', 0x18},         {"Tvl_MiniDisplay", true, 'V', 0x2F},
    {"Tvl_VerboseMiniDisplay", true, 'C', 0x2E}, {"Tvl_GPWS_FlapsWarning", true, '1', 0x02},
    {"Tvl_GPWS_GearWarning", true, '2', 0x03},   {"Tvl_Ask250kts", false, '3', 0x04}};

inline constexpr const char* kSeatbeltSignVariable = "Tvl_SeatbeltSign";
