// Small utilities shared by the tide loaders and entry points.
#pragma once
#include "chart/ch_cache.h"
#include "chartlib/tide/tide_fixed.h"
#include "chartlib/tide/tide_station.h"
#include "chartlib/util/ut_datetime.h"

// Unix seconds of 2000-02-01 00:00: the first date the predictions accept.
constexpr ULONG TC_FIRST_DATE_SECONDS = 949363200u;
// Unix seconds of 2051-01-01 00:00: the node-factor and moon-phase tables end soon after.
constexpr ULONG TC_END_DATE_SECONDS = 2556144000u;

int IsNaF(const DOUBLE *value);
int IsNaN(CH_MEM_CURSOR *cursor, DOUBLE *value);
DOUBLE tc_NoValue();
fixed tc_ToFixed(DOUBLE x);
// x truncated toward zero into *out when the result lies in lo..hi.
bool tc_TruncateToInt(DOUBLE x, int32_t lo, int32_t hi, int32_t *out);
DOUBLE tc_ToFLOAT(fixed v);
int tc_sign(DOUBLE x);
ERRORCODE tc_julian2time_t(DOUBLE jd, int64_t *seconds);
ERRORCODE tc_time_t2julian(int64_t seconds, DOUBLE *jd);
ERRORCODE tc_SplitDateTime(UT_DATETIME dt, UT_DATE *date, UT_TIME *time, SINT *month, SINT *day);
// Clock time of an event rounded to the minute (30 s and less down); false when it lies on another day than
// date, TC_WARN_BAD_DATE in *error when it does not convert.
bool tc_EventOnDay(ULONG clock, UT_DATE date, UT_TIMEOFS *time, ERRORCODE *error);
void tc_InitGlobalsStruct(TC_GLOBALS *globals, int unused, BPTABLE *table);
DOUBLE tc_MagneticVariation(const BPTABLE *table, DOUBLE direction);
