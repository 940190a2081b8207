// Stand-in of the navigation store's card export and import: nothing is written or read, the request is logged.
#include "navdata/navdata_card_standin.h"

#include <atomic>

#include "kernel/log.h"

namespace {
std::atomic<U32> s_u32Imports{0};
std::atomic<int> s_nLastSlot{-1};
}  // namespace

void T_NAV_DATA_vExportAllTracksWaypointsRoutes(void) { log_me("navigation export to a card not available yet"); }
void T_NAV_DATA_vExportSelectedTracksWaypointsRoutes(void) {
  log_me("navigation export of a selection to a card not available yet");
}
void T_NAV_DATA_vImportFromMMC(int nSlot) {
  s_nLastSlot = nSlot;
  ++s_u32Imports;
  log_me("navigation import from card slot %d not available yet", nSlot);
}

U32 NAVDATA_STANDIN_u32ImportsForTest(void) { return s_u32Imports; }
int NAVDATA_STANDIN_nLastImportSlotForTest(void) { return s_nLastSlot; }
