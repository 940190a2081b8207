// Basic types and result codes of the chart library (chart data, port services, tides, descriptions).
#pragma once
#include <cstdint>

typedef int32_t BOOL;
typedef uint8_t UCHAR;
typedef int8_t SCHAR;
typedef int16_t SINT16;
typedef uint16_t UINT16;
typedef int32_t SINT;
typedef uint32_t UINT;
typedef uint32_t UINT32;
typedef int32_t SLONG;
typedef uint32_t ULONG;
typedef double DOUBLE;
typedef double FLOAT;  // the library's FLOAT fields are 64-bit

// Result of every chart-library call: CL_SUCCESS, warnings from 0x10000000 up, errors below.
typedef uint32_t ERRORCODE;

inline bool CL_IsError(ERRORCODE e) { return e < 0x10000000u; }

enum : ERRORCODE {
  CL_SUCCESS = 0x80000000u,

  // Port services
  BP_WARN_OUT_OF_TABLE = 0x10009u,         // record position outside the service table
  BP_WARN_ENTRIES_PAST_TABLE = 0x1000Cu,   // port entry list runs past the site data
  BP_WARN_NO_COMMON_KEY = 0x10011u,        // no common-data entry of that key
  BP_WARN_NO_SITE_DATA = 0x10010001u,      // no site data or name index
  BP_WARN_NAME_NOT_FOUND = 0x1001000Du,    // no name begins with the text, or text too long
  BP_WARN_MAX_REACHED = 0x10010010u,       // name walk reached the caller's maximum
  BP_WARN_QUALIFIER = 0x10010012u,         // port of another site qualifier
  BP_WARN_ZERO_POSITION = 0x10010014u,     // service entry with position 0
  BP_WARN_ITEM_NOT_LISTED = 0x10010020u,   // fixed item number not in the item table

  // Tides and currents
  TC_WARN_DERIVATIVE_NOT_NULL = 0x10018u,  // secondary time without enclosing points
  TC_WARN_NO_CROSSING = 0x1001Cu,          // altitude crossing search failed
  TC_WARN_BAD_ARGUMENT = 0x1001Du,         // bad direction, uncorrectable event, equal levels
  TC_WARN_TOO_MANY_CONSTITUENTS = 0x1001Eu,
  TC_WARN_METHOD = 0x1001Fu,               // method or current kind not handled
  TC_WARN_NO_CURRENT_RECORD = 0x10011u,    // daily currents: the port has no current record
  TC_WARN_BAD_DATE = 0x10021u,             // date or time does not convert, or lies beyond 2051-01-14
  TC_WARN_REFERENCE_METHOD = 0x10023u,     // reference station of another method
  TC_WARN_BAD_STEP = 0x10024u,             // series step 0 (or unusable)
  TC_WARN_NO_DATA = 0x10010017u,           // no station record, or a required value missing
  TC_WARN_NO_SUNRISE = 0x10010018u,
  TC_WARN_NO_SUNSET = 0x10010019u,
  TC_WARN_NO_SUN_EVENT = 0x1001001Au,
  TC_WARN_NO_MOONRISE = 0x1001001Bu,
  TC_WARN_NO_MOONSET = 0x1001001Cu,
  TC_WARN_NO_MOON_EVENT = 0x1001001Du,
  TC_WARN_DATE_TOO_EARLY = 0x1001001Eu,    // before 2000-02-01
  TC_WARN_CURRENT_OFFSETS = 0x1001001Fu,   // second-method current: event hours coincide
  TC_WARN_CONSTANT_CURRENT = 0x10010021u,  // second-method current: all spring rates equal
};
