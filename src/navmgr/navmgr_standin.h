// Stand-in declarations of the navigation data manager, until the manager is written; the real header replaces
// this one.
#pragma once
#include <utility>
#include <vector>

#include "corvan/types.h"

// Closes the full-screen manager when it is open.
void T_NAV_GROUP_vShutdown(void);
// A target left the AIS pool (its MMSI and former index); the stand-in records the call.
void T_NAV_vDeleteTargetListIndex(U32 nMMSI, U32 nIndex);

// Tests: the (MMSI, index) pairs reported so far, taken.
std::vector<std::pair<U32, U32>> NAVMGR_STANDIN_vTakeDeletedTargets(void);
