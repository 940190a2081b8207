// Basic types and result codes of the chart library (chart data, port services, tides, descriptions).
#pragma once
#include <cstdint>

#include "corvan/point.h"

typedef int32_t BOOL;  // FALSE 0, TRUE 1 (the program's TRUE/FALSE); 32 bits
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
typedef UCHAR *STRING;

// Result of every chart-library call: CL_SUCCESS, warnings from 0x10000000 up, errors below.
typedef uint32_t ERRORCODE;

inline bool CL_IsError(ERRORCODE e) { return e < 0x10000000u; }
inline bool CL_IsSuccess(ERRORCODE e) { return (e & 0xF0000000u) == 0x80000000u; }
inline bool CL_IsWarning(ERRORCODE e) { return !CL_IsError(e) && !CL_IsSuccess(e); }

// Each library counts its errors (and, above 0x10000000, its warnings) in a range of its own.
enum : ERRORCODE {
  CL_RANGE_GRAPHICS_FIRST = 0x0400u,  // 2-D drawing library
  CL_RANGE_GRAPHICS_LAST = 0x04FFu,
  CL_RANGE_NAVMATH_FIRST = 0x2000u,  // navigation mathematics
  CL_RANGE_NAVMATH_LAST = 0x20FFu,
  CL_RANGE_CHART_FIRST = 0x8100u,  // chart reader and the presentation's view range
  CL_RANGE_CHART_LAST = 0x81FFu,
  CL_RANGE_PORTS_FIRST = 0x10000u,  // port services and the tides that read them
  CL_RANGE_PORTS_LAST = 0x1FFFFu,
  CL_RANGE_PHOTO_FIRST = 0x40000u,  // aerial photos
  CL_RANGE_PHOTO_LAST = 0x4FFFFu,
  CL_WARNING = 0x10000000u,  // added to a number of the range for a warning
};

enum : ERRORCODE {
  CL_SUCCESS = 0x80000000u,

  // Navigation mathematics
  NV_ERR_LATITUDE = 0x2001u,       // beyond 80 degrees or y beyond 15,433,198; minutes or seconds of 60
  NV_ERR_LONGITUDE = 0x2002u,      // beyond 180 degrees or x beyond 20,038,300; minutes or seconds of 60
  NV_ERR_POINT = 0x2003u,          // a course's Mercator point off the grid
  NV_ERR_DISTANCE = 0x2004u,       // negative or above 21,600 NM
  NV_ERR_ANGLE = 0x2005u,          // course, bearing or degrees out of range
  NV_ERR_RATE = 0x2006u,           // fuel rate zero
  NV_WARN_SPEED = 0x10002001u,     // speed too small to divide by: result zero
  NV_WARN_DISTANCE = 0x10002002u,  // above 21,600 NM, still computed
  NV_WARN_SAME_POINT = 0x10002007u,  // course between coinciding points: 0

  // Chart reader
  CH2_ERR_NO_MAP_DIRECTORY = 0x8101u,
  CH2_ERR_SEARCH_NOT_STARTED = 0x8104u,
  CH2_ERR_Y_RANGE = 0x8105u,
  CH2_ERR_X_RANGE = 0x8106u,
  CH2_ERR_ZERO_DIVISOR = 0x810Bu,      // map resolution not positive, or ratio divisor 0
  CH2_ERR_ROUNDING_STEP = 0x810Eu,     // rounding step not above 0
  CH2_ERR_NO_MAP = 0x810Fu,            // view range of a context without a map
  CH2_ERR_NOT_MAP_HEADER = 0x8118u,
  CH2_ERR_NO_LAYER = 0x8119u,          // features of a layer context never read into
  CH2_ERR_NOT_RELATION = 0x811Au,
  CH2_ERR_NO_LANGUAGES = 0x811Cu,
  CH2_ERR_ATTRIBUTE_CODE = 0x811Du,    // code 0, or a storage that does not decode
  CH2_ERR_UNKNOWN_ATTRIBUTE = 0x811Eu, // not in the attribute table
  CH2_ERR_ATTRIBUTE_NOT_MET = 0x811Fu,
  CH2_ERR_ATTRIBUTE_NO_CODE = 0x8120u, // attribute position present, code missing
  CH2_ERR_LANGUAGE_RANGE = 0x8126u,
  CH2_WARN_ZOOM_ABOVE = 0x10008101u,
  CH2_WARN_ZOOM_BELOW = 0x10008102u,
  CH2_WARN_BUFFER_FULL = 0x10008103u,  // call again to continue
  CH2_WARN_OUTSIDE_MAP = 0x10008104u,
  CH2_WARN_DIRECTORY_FULL = 0x10008105u,
  CH2_WARN_NO_SIGNATURE = 0x1000810Du,  // no chart present
  CH2_WARN_EMPTY_RECT = 0x1000810Eu,
  CH2_WARN_END_OF_LAYERS = 0x10008110u,
  CH2_WARN_END_OF_FEATURES = 0x10008111u,  // also: no (more) search results
  CH2_WARN_CONTINUES_PART = 0x10008112u,
  CH2_WARN_LANGUAGE_CODE = 0x10008113u,
  CH2_WARN_NO_TEXT = 0x10008114u,
  CH2_WARN_TEXT_ID_LOW = 0x10008115u,  // text id below 9
  CH2_WARN_NO_ATTRIBUTES = 0x10008116u,
  CH2_WARN_NOT_CARRIED = 0x10008117u,  // the object does not carry the attribute
  CH2_WARN_NO_MORE_ATTRIBUTES = 0x10008118u,
  CH2_WARN_VALUE_UNKNOWN = 0x10008119u,
  CH2_WARN_VALUE_NOT_AVAILABLE = 0x1000811Au,
  CH2_WARN_NO_PORT_DIRECTORY = 0x10008126u,
  CH2_WARN_NO_MORE_PORT_TABLES = 0x10008127u,
  CH2_WARN_TEXT_INDEX_FULL = 0x10008128u,  // 5,000 records
  CH2_WARN_NO_UNIQUE_ID = 0x1000812Bu,

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

// A geographic position in decimal degrees.
typedef struct tag_position {
  DOUBLE lat;  // north positive
  DOUBLE lon;  // east positive
} POSITION;

// A displacement by range and bearing.
typedef struct tag_polar {
  FLOAT Range;    // nautical miles
  FLOAT Bearing;  // degrees clockwise from north
} POLAR;

// Mercator points in whole metres (x east, y north) are the program's POINT, shared with the drawing code.

// Sexagesimal position; every part carries the axis' sign.
typedef struct tag_geographic {
  DOUBLE LatDeg;
  DOUBLE LatMin;
  DOUBLE LatSec;
  DOUBLE LonDeg;
  DOUBLE LonMin;
  DOUBLE LonSec;
} GEOGRAPHIC;

typedef struct tag_timetogo {
  SINT Hours;
  SCHAR Minutes;
  SCHAR Seconds;
} TIMETOGO;
