// Readout texts: a live item's value and units in the user's units, and the depth, distance, time and date
// formats that other modules use for bare numbers.
#pragma once
#include <ctime>

#include "draw/fonts.h"
#include "settings/database.h"

typedef enum {
  DONT_FORCE = 0,    // follow 'SFMT'
  SMALL_TENTHS = 1,  // digits after the point in the smaller tenths font
  LARGE_TENTHS = 2,  // every digit in the value font
  NO_TENTHS = 3,     // no decimals for temperature, speed, depth, voltage and inches of mercury
} DIGITS_FORMAT;

// Value texts are cut to this many characters; callers' buffers hold at least one more.
constexpr S32 INFO_VALUE_TEXT_LENGTH = 16;
// Room a time or date text needs ("12:59:59 PM", "31.12.99").
constexpr S32 INFO_TIME_TEXT_SIZE = 16;

// Value and units of live item fcid; returns value width + units width in pixels, 0 (outputs untouched) when
// the item does not exist. nMinWidth cuts waypoint names; nValueStringSize is the name buffer's size.
// pnValueWidth and pnUnitsWidth may be NULL.
S32 T_INFO_nInfoStrings(char *sValue, const char **psUnits, BOOLEAN *pbDataValid, S32 nMinWidth, FOURCHARID fcid,
                        const FONT_DEF *pValueFont, const FONT_DEF *pUnitsFont, const FONT_DEF *pTenthsFont,
                        DIGITS_FORMAT eDigitsFormat, U32 nLang, S32 nValueStringSize, S32 *pnValueWidth,
                        S32 *pnUnitsWidth);
// The value text and a copy of the units (at most 20 characters, two blanks when none).
void T_INFO_vGetData(FOURCHARID fcid, BOOLEAN *pbDataValid, char *psValue, char *psUnits,
                     const FONT_DEF *pValueFont, const FONT_DEF *pUnitFont, U32 nLang);
// dDistance in metres, shown in units.
void T_INFO_vFormatDepth(double dDistance, UNIT_TYPE units, char *sValue, BOOLEAN bNoTenths);
// dDistance in the internal unit; short distances switch *punits to feet or metres.
void T_INFO_vFormatDistance(double dDistance, UNIT_TYPE *punits, char *sValue);
// nTime in UTC seconds, shown in local time by 'SLTZ' and 'SDST'. sTime, sDate, pbBlinkStateOn may be NULL;
// bForceUnicode has no effect.
void T_INFO_vFormatTimeAscii(time_t nTime, BOOLEAN bIncludeSeconds, BOOLEAN bIncludeAMPM, char *sTime,
                             char *sDate, BOOLEAN *pbBlinkStateOn, BOOLEAN bForceUnicode);
void T_INFO_vFormatTime(time_t nTime, BOOLEAN bIncludeSeconds, BOOLEAN bIncludeAMPM, char *sTime, char *sDate,
                        BOOLEAN *pbBlinkStateOn);
// Copies pSource to pInteger cut at the first "." (kept when bKeepDecimal); *ppTenths points after the "." in
// pSource. FALSE and *ppTenths NULL when there is no "." or an output is NULL.
BOOLEAN T_INFO_pSplitTenths(const char *pSource, char *pInteger, const char **ppTenths, BOOLEAN bKeepDecimal);
