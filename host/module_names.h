// The names the module shares with the simulator, the cabin add-on and panel gauges, in
// one place: the module uses them, and the stand-ins and the tools that must match them
// take them from here.
#pragma once

// The panel variable of the seat-belt sign; the fourteen command variables are the
// switch table's rows.
inline constexpr const char* kSeatbeltVariable = "Tvl_SeatbeltSign";
// The module's one gauge, and how a panel configuration names it: FILE!GAUGE, the file
// being Tvl_LvarSupport.gau.
inline constexpr const char* kGaugeName = "Switches";
inline constexpr const char* kModuleFile = "Tvl_LvarSupport.gau";
inline constexpr const char* kPanelGaugeEntry = "Tvl_LvarSupport!Switches";
// The class of the simulator's main window, which receives the chords.
inline constexpr const char* kMainWindowClass = "FS98MAIN";
// The add-on's library (Travinel.dll) and its data export holding its record's address.
inline constexpr const char* kAddonModule = "Travinel";
inline constexpr const char* kAddonLibrary = "Travinel.dll";
inline constexpr const char* kAddonExport = "TvlExport";
