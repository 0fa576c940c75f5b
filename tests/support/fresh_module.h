// A fresh module in a fresh process: empty panel, no add-on loaded, no main window, the
// module state as it is when the library loads, and the host's table in ImportTable.
#pragma once

void StartFreshModule();
