// Navigation records on internal flash: one file per table slot under the data directory, the saved-track
// buffer and the current-track ring files.
#pragma once
#include "navdata/nav_records.h"

constexpr U32 NAV_FS_VERSION = 0x00024210;
enum : U8 { NAV_FILE_TRACK = 1, NAV_FILE_WAYPOINT = 2, NAV_FILE_ROUTE = 3, NAV_FILE_WENDRIX = 4 };
constexpr S32 NAV_RING_ROTATE_AFTER = 131019;

void T_NAV_NVRAM_vInit(void);
void T_NAV_NVRAM_vErase(void);
void T_NAV_NVRAM_vRemoveDir(const char *pFullDirName);
void T_NAV_NVRAM_vSaveWaypoint(const WAYPOINT *pWaypoint, U16 u16Index, BOOLEAN bOverridePointOfSale);
void T_NAV_NVRAM_vSaveRoute(const ROUTE *pRoute, U16 u16Index, BOOLEAN bOverridePointOfSale);
void T_NAV_NVRAM_vSaveTrack(const TRACK *pTrack, U16 u16Index, BOOLEAN bOverridePointOfSale);
void T_NAV_NVRAM_vSaveWendrix(const WENDRIX *pWendrix, U16 u16Index, BOOLEAN bOverridePointOfSale);
void T_NAV_NVRAM_vDeleteWaypoint(U16 u16Index, BOOLEAN bOverridePointOfSale);
void T_NAV_NVRAM_vDeleteRoute(U16 u16Index, BOOLEAN bOverridePointOfSale);
void T_NAV_NVRAM_vDeleteTrack(U16 u16Index, BOOLEAN bOverridePointOfSale);
void T_NAV_NVRAM_vDeleteWendrix(U16 u16Index, BOOLEAN bOverridePointOfSale);
// pNavData: the table of the directory's record kind (WAYPOINT[3000], ROUTE[50], TRACK_HEADER[50], WENDRIX[50]).
void T_NAV_NVRAM_vScanData(void *pNavData, const char *pDirName, S32 *s32Out);
void T_NAV_NVRAM_vScan(TRACK_HEADER *pTrackHeader, WAYPOINT *pWaypoint, S32 *pnWaypointsUsed, ROUTE *pRoute);
void T_NAV_NVRAM_vScanWendrix(WENDRIX *pWendrix, S32 *pnWendrixsUsed);
// Returns the static buffer with RES_STATIC_TRACK held; T_NAV_NVRAM_vReleaseTrack ends the use.
TRACK *T_NAV_NVRAM_pLoadTrack(U32 nIndex);
void T_NAV_NVRAM_vReleaseTrack(void);

void T_NAV_NVRAM_vAddCurrentTrackPoint(const TRACK *pTrack, U16 nDeltaIndex, U16 nLastDeltaIndex,
                                       BOOLEAN bGapPoint);
void T_NAV_NVRAM_vScanCurrentTrack(TRACK *pTrack);
// Appends one ring file to the track; the bytes of the whole calls read (a partial last call is left out).
S32 T_NAV_NVRAM_vScanCurrentTrackFile(TRACK *pTrack, const char *pFullFileName);
void T_NAV_NVRAM_vEraseCurrentTrack(void);
S32 NAV_NVRAM_s32CurrentTrackOffset(void);

// The path of a store directory ("wpts", "routes", "tracks", "cr_track", "wendrixs") under the data directory.
void NAV_NVRAM_vDirPath(const char *pcDir, char *pcOut, size_t uSize);
