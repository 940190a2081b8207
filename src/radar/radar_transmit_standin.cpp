// Stand-in of the radar's transmission switches: only the state items change.
#include "settings/database.h"
#include "radar/radar_transmit_standin.h"

void T_RADAR_vToggleStartTransmission(void) { H_DATABASE_bUpdateValueU32(FCID("CRXM"), 1, P_NORMAL); }

void T_RADAR_vToggleStopTransmission(void) {
  H_DATABASE_bUpdateValueU32(FCID("CRXM"), 0, P_NORMAL);
  H_DATABASE_bUpdateValueU32(FCID("CRXT"), 0, P_NORMAL);
}

void T_RADAR_vToggleTimedTransmission(void) { H_DATABASE_bUpdateValueU32(FCID("CRXT"), 1, P_NORMAL); }
