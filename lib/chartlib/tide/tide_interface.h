// Public interface of the tide library: tide and current stations of the loaded chart, sun and moon.
#pragma once
#include "chartlib/bp_services.h"
#include "chartlib/chartlib_types.h"
#include "chartlib/util/ut_datetime.h"

struct TIDE {
  UCHAR Type;       // HIGH_TIDE .. NOTIDE
  UT_TIMEOFS Time;  // clock time from midnight of the requested day
  FLOAT Intensity;  // metres
};

struct CURRENT {
  UCHAR Type;
  UT_TIMEOFS Time;
  FLOAT Direction;  // degrees
  FLOAT Intensity;  // knots
};

struct DAILY_TIDES {
  TIDE Tide[5];
};

struct DAILY_CURRENTS {
  CURRENT Curr[11];
};

enum : UCHAR {
  MAX_FLOOD = 0, MAX_EBB = 1, SLACK_BEFORE_FLOOD = 2, SLACK_BEFORE_EBB = 3, FLOOD_CURRENT = 4, EBB_CURRENT = 5,
  UNDIRECT_CURRENT = 6, SLACK = 7, NOCURR = 8
};

// Series write at most capacity entries (span x 20 / step are asked for).
ERRORCODE tc_GetTideByPortCode(BPTABLE *table, ULONG port, UT_DATETIME when, TIDE *tide);
ERRORCODE tc_GetTideByPortName(BPTABLE *table, const char *name, UT_DATETIME when, TIDE *tide);
ERRORCODE tc_GetTidesByPortCode(BPTABLE *table, ULONG port, UT_DATETIME start, SINT span, UINT16 step, TIDE *tides,
                                SINT capacity);
ERRORCODE tc_GetTidesByPortName(BPTABLE *table, const char *name, UT_DATETIME start, SINT span, UINT16 step,
                                TIDE *tides, SINT capacity);
ERRORCODE tc_DailyTidesByPortCode(BPTABLE *table, ULONG port, UT_DATE day, DAILY_TIDES *daily);
ERRORCODE tc_DailyTidesByPortName(BPTABLE *table, const char *name, UT_DATE day, DAILY_TIDES *daily);
ERRORCODE tc_GetCurrentByPortCode(BPTABLE *table, ULONG port, UT_DATETIME when, CURRENT *current);
ERRORCODE tc_GetCurrentByPortName(BPTABLE *table, const char *name, UT_DATETIME when, CURRENT *current);
ERRORCODE tc_GetCurrentsByPortCode(BPTABLE *table, ULONG port, UT_DATETIME start, SINT span, UINT16 step,
                                   CURRENT *currents, SINT capacity);
ERRORCODE tc_GetCurrentsByPortName(BPTABLE *table, const char *name, UT_DATETIME start, SINT span, UINT16 step,
                                   CURRENT *currents, SINT capacity);
ERRORCODE tc_DailyCurrentsByPortCode(BPTABLE *table, ULONG port, UT_DATE day, DAILY_CURRENTS *daily);
ERRORCODE tc_DailyCurrentsByPortName(BPTABLE *table, const char *name, UT_DATE day, DAILY_CURRENTS *daily);
ERRORCODE tc_GetTimeMeridian(BPTABLE *table, ULONG port, BOOL current, SLONG *meridian);
ERRORCODE tc_SetLocalTimeOffset(BPTABLE *table, UT_TIMEOFS offset);
ERRORCODE tc_SetMagneticVariation(BPTABLE *table, DOUBLE variation);

ERRORCODE tc_GetSunriseSunset(SLONG offset, UT_DATE day, DOUBLE latitude, DOUBLE longitude, UT_TIME *sunrise,
                              UT_TIME *sunset);
ERRORCODE tc_GetMoonriseMoonset(SLONG offset, UT_DATE day, DOUBLE latitude, DOUBLE longitude, UT_TIME *moonrise,
                                UT_TIME *moonset);
ERRORCODE tc_GetMoonPhase(SLONG offset, UT_DATETIME when, SINT *phase);

// Harmonic tide predictions on a loaded station (primary flag 1 for a primary station).
ERRORCODE tc_NOAATides(struct TC_GLOBALS *g, int primary, UT_DATE date, UT_TIME time, SINT span, UINT16 step,
                       TIDE *tides, SINT capacity);
ERRORCODE tc_NOAATide(struct TC_GLOBALS *g, int primary, UT_DATE date, UT_TIME time, TIDE *tide);
ERRORCODE tc_NOAADailyTides(struct TC_GLOBALS *g, int primary, UT_DATE date, DAILY_TIDES *daily);

// Harmonic current predictions on a loaded reversing station (primary flag 1 for a primary station).
ERRORCODE tc_NOAACurrents(struct TC_GLOBALS *g, int primary, UT_DATE date, UT_TIME time, SINT span, UINT16 step,
                          CURRENT *currents, SINT capacity);
ERRORCODE tc_NOAACurrent(struct TC_GLOBALS *g, int primary, UT_DATE date, UT_TIME time, CURRENT *current);
ERRORCODE tc_NOAADailyCurrents(struct TC_GLOBALS *g, int primary, UT_DATE date, DAILY_CURRENTS *daily);
