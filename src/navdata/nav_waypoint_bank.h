// State of the own waypoint bank beside the tables: the share/lock partition and the counts on each side.
#pragma once
#include "navdata/nav_records.h"

typedef struct {
  S32 nMaxShareWaypointIndex;
  S32 nMinLockWaypointIndex;
  S32 nSeperateWaypointIndex;
  S16 nNumberSharedWaypoints;
  S16 nNumberLockedWaypoints;
  BOOLEAN bDisableShareLockSeperator;
  S32 bTemporarilyEnableCLWCUpdateForAllModels;
  BOOLEAN bMultiWaypointAddDelete;
} NAV_OWN_BANK_STATE;
NAV_OWN_BANK_STATE *NAV_pOwnBankState(void);
// Back to the state at start (tests and a fresh load).
void NAV_vResetOwnBankState(void);

// Own slots: shared and locked waypoints (status 1-3), free slots.
void T_NAV_vGetWaypointStatus(S16 *ps16Shared, S16 *ps16Locked, S16 *ps16Free);
// Waypoints of status 1 or 3 in all four banks.
S32 T_NAV_TWR_nGetWaypointCount(void);
// Any bank holds a waypoint (status 1-3).
BOOLEAN T_NAV_bWaypointsExist(void);
// Recomputes every own hash, the own top index (1 for a bank without waypoints) and the own counters.
void T_NAV_TWR_vHashWaypoints(void);
// The own slot holding the same waypoint (hash, icon, depth, date, position, name), else 0xFFFF; in a data space
// the entries of status 1 or 3 below its count, field by field.
U16 T_NAV_TWR_u16FindWaypoint(const WAYPOINT *pWaypoint);
U16 T_NAV_TWR_u16FindWaypointEX(NAV_DATA_SPACE *pData, const WAYPOINT *pWaypoint);

// Copies under RES_NAV_DATA of a waypoint of any bank: the record, its position, at most nLimit - 1 characters of
// its name (always terminated), its icon. 0xFFFF copies nothing (icon 0; the name is empty).
void T_NAV_vCopyWaypoint(U32 nIndex, WAYPOINT *pWaypoint);
void T_NAV_vCopyWaypointPoint(U32 nIndex, POINT *pPoint);
void T_NAV_vCopyWaypointName(U32 nIndex, char *sName, U32 nLimit);
U8 T_NAV_u8GetWaypointIcon(U32 nIndex);
