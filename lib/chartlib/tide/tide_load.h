// Loading of tide and current station records from the port services into the working records.
#pragma once
#include "chartlib/tide/tide_station.h"

// Key of the port services' common-data entry that holds the harmonic header (three longs).
constexpr UINT BP_COMMON_HARMONIC_KEY = 0;

ERRORCODE tc_NOAATideDataLoad(TC_GLOBALS *g, UINT item_id, ULONG position, ULONG reference_position, ULONG *length,
                              UINT16 *format);
ERRORCODE tc_NOAACurrentDataLoad(TC_GLOBALS *g, UINT item_id, ULONG position, UINT reference_item,
                                 ULONG reference_position, ULONG *length, UINT16 *format);
ERRORCODE tc_SecondaryCurrentDataLoad(TC_GLOBALS *g, UINT item_id, ULONG position, UC_BUFFER *buffer);
ERRORCODE tc_BATideDataLoad(BA_STATION *s, UINT item_id, ULONG position, ULONG reference_position, ULONG *length,
                            UINT16 *format);
ERRORCODE tc_BAExtraTideDataLoad(BA_STATION *s, UC_BUFFER *buffer, ULONG length);
ERRORCODE tc_BACurrentDataLoad(BA_STATION *s, BA_CURRENT_DATA *c, UINT item_id, ULONG position, UINT reference_item,
                               ULONG reference_position, ULONG *length, UINT16 *format);
ERRORCODE tc_GetGlobalCommonConstituents(BPTABLE *table);

// Format word fields.
inline UINT tc_FormatUnits(UINT format) { return format & 0x3; }     // 1 feet, 2 speed squared
inline UINT tc_FormatCurrent(UINT format) { return format & 0xC; }   // 0 reversing, 8/12 rotary
inline UINT tc_FormatMethod(UINT format) { return (format >> 4) & 0xF; }
