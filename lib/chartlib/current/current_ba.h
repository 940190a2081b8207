// Second-method (BA) currents: hourly rows around the high waters of a reference tide station, blended
// between spring and neap rates by the moon's phase.
#pragma once
#include "chartlib/tide/tide_interface.h"
#include "chartlib/tide/tide_station.h"

ERRORCODE tc_GetHWTides(BA_STATION *s, UT_DATE date, ULONG *times, int *count);
ERRORCODE tc_CheckBACurrent(const BA_CURRENT_DATA *c);
ERRORCODE tc_DaySpringNeapRatio(const BA_CURRENT_DATA *c, UT_DATE date, UT_TIME time, int *phase, DOUBLE *ratio);
ERRORCODE tc_FindBACurrentOffsets(const BA_CURRENT_DATA *c, int phase, DOUBLE ratio, int *o1, int *o2, int *o3,
                                  int *o4);
ERRORCODE tc_BADayCurrent(const BA_CURRENT_DATA *c, int hour, int phase, DOUBLE ratio, CURRENT *current);
void tc_BACurrentType(CURRENT *entry, CURRENT *previous, const int *offsets);
ERRORCODE tc_BACurrent(BA_STATION *s, BA_CURRENT_DATA *c, UT_DATE date, UT_TIME time, CURRENT *current);
ERRORCODE tc_BADailyCurrents(BA_STATION *s, BA_CURRENT_DATA *c, UT_DATE date, DAILY_CURRENTS *daily);
// Series of span x 20 / step samples (at most capacity); steps must divide 20 (1, 2, 4, 5, 10, 20).
ERRORCODE tc_BACurrents(BA_STATION *s, BA_CURRENT_DATA *c, UT_DATE date, UT_TIME time, SINT span, UINT16 step,
                        CURRENT *currents, SINT capacity);
