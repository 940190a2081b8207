// Navigation records as they leave the unit (card files, the PC stream): an 8-byte header and a big-endian
// body; the reader that checks and converts one record, and the upgrade of old record versions.
#pragma once
#include <cstdio>

#include "navdata/nav_records.h"

enum : U32 { NAV_RECORD_HEADER_BYTES = 8, NAV_TRACK_V1_BYTES = 2840, NAV_TRACK_V2_BYTES = 8040, NAV_ROUTE_V1_BYTES = 68 };
enum : U8 { BAD_ICE_HOLE_ICON = 31, VANTREL_STRELLOQ_ICON = 71 };

// Host values; the file holds u16Size, u16Index and u16Reserved big-endian.
typedef struct {
  U8 u8Type;
  U8 u8Version;
  U16 u16Size;
  U16 u16Index;
  U16 u16Reserved;
} NAV_DATA_STRUCTURE_HEADER;

// In place, on a buffer of the 8-byte header (u16 fields least significant byte first) and the little-endian body
// image of the current version: to file order.
void T_NAV_DATA_vHostToBigEndian(U8 *pSource);
// In place, on a body in file order, chosen by the header's type and version: to the little-endian image.
// A record it cannot convert gets u8Type 0.
void T_NAV_DATA_vBigEndianToHost(NAV_DATA_STRUCTURE_HEADER *pHeader, U8 *pSource);

// The next header, allocated (caller frees with free); NULL when fewer than 8 bytes remain.
NAV_DATA_STRUCTURE_HEADER *T_NAV_DATA_pheaderReadHeader(FILE *pFile);
// Reads, checks and converts one body; a host record allocated with malloc (WAYPOINT, ROUTE, TRACK or WENDRIX by
// type), or NULL. *pbRefused (when given) is TRUE when the body was read whole and refused for its content: the
// file stands at the next header and the reader may go on.
void *T_NAV_DATA_pvReadItem(FILE *pFile, NAV_DATA_STRUCTURE_HEADER *pHeader, BOOLEAN *pbRefused = nullptr);
// Writes one record of the current version as one block; FALSE when the write failed.
BOOLEAN T_NAV_DATA_bWriteItem(FILE *pFile, U8 u8Type, U16 u16Index, const void *pvRecord);

// A host record from a little-endian image of any version: ROUTE for type 3, TRACK for type 1, WAYPOINT for type
// 2. Returns the new u16Size (36, 136, 0 for tracks and other types). A record that fails the checks below gets
// type 0 and nothing is written.
U16 T_NAV_DATA_nConvertRecord(NAV_DATA_STRUCTURE_HEADER *pDestHeader, void *pDestData,
                              const NAV_DATA_STRUCTURE_HEADER *pSourceHeader, const U8 *pSourceImage);
// The checks of counts and links of a record from outside, on its little-endian image of any version; FALSE
// logged for a record that would make readers run past it or name slots that do not exist.
BOOLEAN NAV_DATA_bImageIsSound(U8 u8Type, U8 u8Version, const U8 *pImage);
// From the little-endian images of the old tracks.
void vConvertV2ToV3Track(const U8 *pOldTrack, TRACK *pNewTrack);
void vConvertV1ToV3Track(const U8 *pOldTrack, TRACK *pNewTrack);

void T_NAV_DATA_vFixBadStrelloqIcon(U16 u16Index, U8 u8Version, WAYPOINT *pWaypt);
void T_NAV_DATA_vRewriteFlaggedWaypoints(WAYPOINT *pWaypoints);

BOOLEAN T_NAV_DATA_bTrackCompare(const TRACK *pTrack1, const TRACK *pTrack2);
BOOLEAN T_NAV_DATA_bTrackCompareEX(const TRACK_HEADER *pTrack1, const TRACK_HEADER *pTrack2);
BOOLEAN T_NAV_DATA_bWendrixCompareEX(const WENDRIX_HEADER *p1, const WENDRIX_HEADER *p2);
BOOLEAN T_NAV_DATA_bComparePoint(const POINT *ppoint1, const POINT *ppoint2);

U16 U_ACCESSORY_vExtractBigendianU16(const U8 *pu8Buffer);
U32 U_ACCESSORY_vExtractBigendianU32(const U8 *pu8Buffer);
void U_ACCESSORY_vReverseGroupWaypoint(U8 *pu8Slot);
void U_ACCESSORY_vReverseGroupHeader(U8 *pu8Slot);
void U_ACCESSORY_vReverseGroupBody(U8 *pu8Slot);
