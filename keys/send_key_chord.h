// Makes the simulator's main window receive one press and release of Ctrl+Shift+key.
#pragma once

#include <cstdint>

// Returns when the window has handled all three messages; reports nothing back.
void SendKeyChord(std::uint32_t virtual_key, std::uint32_t scan_code);
