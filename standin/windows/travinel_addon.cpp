// A stand-in for the cabin add-on's library, "Travinel.dll": its data export "TvlExport"
// holds the address of its shared record, whose second word is the seat-belt sign. A host
// reaches the record itself through the second export, "TvlRecord", to play the add-on:
// changing the sign, or making "TvlExport" hold null.
#include "standin/shared/addon_record.h"

extern "C" {
__declspec(dllexport) AddonRecord TvlRecord = {};
__declspec(dllexport) AddonRecord* TvlExport = &TvlRecord;
}
