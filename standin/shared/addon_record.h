// The cabin add-on's shared record as the add-on lays it out, for every stand-in of the
// add-on and the tools that play it: the module uses only the second word.
#pragma once

#include <cstdint>

// The stand-in add-on's second export, through which a host plays the add-on's record.
inline constexpr const char* kStandinRecordExport = "TvlRecord";

struct AddonRecord {
  std::int32_t first_word;
  std::int32_t seatbelt_sign;  // 0 = off, any other value = on
  std::int32_t more_words[6];
};
