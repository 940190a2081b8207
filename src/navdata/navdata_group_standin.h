// Stand-in of the group tree's start-up until the tree is written.
#pragma once
#include "corvan/types.h"

// Start-up of the group tree, after the store's records are in the tables: only counted and logged here.
void T_NAV_GROUP_DATA_vInitGroups(void);

// Tests: start-ups since start.
U32 NAVDATA_GROUP_STANDIN_u32InitsForTest(void);
