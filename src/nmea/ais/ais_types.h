// The AIS target record, one pool slot and the pool of the NMEA task, with the result codes of the AIS code.
#pragma once
#include "chartlib/chartlib_types.h"

constexpr ERRORCODE AIS_SUCCESS = 0x80000000u;
constexpr ERRORCODE AIS_ERR_NULL_SENTENCE = 0x801u;
constexpr ERRORCODE AIS_WARN_NO_MERGE = 0x10000801u;      // merge left nothing valid, or no merge rule
constexpr ERRORCODE AIS_WARN_MALFORMED = 0x10000804u;     // framing, formatter or message number
constexpr ERRORCODE AIS_WARN_CHECKSUM = 0x10000805u;
constexpr ERRORCODE AIS_WARN_NO_CHECKSUM = 0x10000806u;
constexpr ERRORCODE AIS_WARN_BAD_SENTENCE = 0x10000830u;  // header, assembly, payload or fill bits

constexpr UINT AIS_MAX_TARGETS = 150;
// 'IDTM' seconds without a message after which a target leaves the pool.
constexpr ULONG AIS_TARGET_TIMEOUT_S = 960;

typedef SLONG UT_TIMEOFS;
typedef ULONG UT_DATE;  // DDMMYY
typedef ULONG UT_TIME;  // HHMMSS
typedef struct {
  UT_DATE Date;
  UT_TIME Time;
} UT_DATETIME;

typedef enum {
  MMSI_FLAG_INDEX = 0,
  LASTMSG_FLAG_INDEX = 1,
  NAVSTATUS_FLAG_INDEX = 2,
  ROT_FLAG_INDEX = 3,
  SOG_FLAG_INDEX = 4,
  COG_FLAG_INDEX = 5,
  POSACC_FLAG_INDEX = 6,
  SHIPPOS_FLAG_INDEX = 7,
  SHIPTYPE_FLAG_INDEX = 8,
  SHIPDIM_FLAG_INDEX = 9,
  TRUEHEAD_FLAG_INDEX = 10,
  UTCSEC_FLAG_INDEX = 11,
  ALTITUDE_FLAG_INDEX = 12,
  NAME_FLAG_INDEX = 13,
  IMO_FLAG_INDEX = 14,
  DEST_FLAG_INDEX = 15,
  ETA_FLAG_INDEX = 16,
  CALLSIGN_FLAG_INDEX = 17,
  DRAUGHT_FLAG_INDEX = 18,
  LAST_VALFLAG_INDEX = 19
} enValFlagIndex;

typedef enum {
  UNDER_WAY_USING_ENGINE = 0,
  AT_ANCHOR = 1,
  NOT_UNDER_COMMAND = 2,
  RESTRICTED_MAN = 3,
  CONSTRAINED_BY_DRAUGHT = 4,
  MOORED = 5,
  AGROUND = 6,
  ENGAGED_IN_FISHING = 7,
  UNDER_WAY_SAILING = 8,
  FOR_FUTURE_HSC = 9,
  FOR_FUTURE_WIG = 10,
  FOR_FUTURE_11 = 11,
  FOR_FUTURE_12 = 12,
  FOR_FUTURE_13 = 13,
  FOR_FUTURE_14 = 14,
  NAV_STATUS_NOT_DEFINED = 15
} enNavStatus;

typedef enum { GREATER_TEN_METERS = 0, LOWER_TEN_METERS = 1 } enPosAccuracy;

typedef struct {
  DOUBLE Value;  // degrees per minute
  BOOL Right;    // turning to starboard
} strRot;

typedef struct {
  UINT DimBow_A;
  UINT DimStern_B;
  UINT DimPort_C;
  UINT DimStarboard_D;
} strDimRefPos;

typedef struct {
  BOOL validTarget;
  ULONG MMSI;
  UCHAR LastMsg;
  enNavStatus NavStatus;
  strRot Rot;
  DOUBLE Sog;  // knots
  enPosAccuracy PosAccuracy;
  DOUBLE Latitude;   // degrees, north positive
  DOUBLE Longitude;  // degrees, east positive
  DOUBLE Cog;        // degrees
  UINT TrueHeading;
  UCHAR TimeStamp_UTCsec;
  UINT Altitude;  // metres
  UCHAR Name[21];
  UCHAR ShipType;
  strDimRefPos ShipDimension;
  ULONG IMO;
  UCHAR CallSign[8];
  UT_DATETIME Eta;
  UCHAR Destination[21];
  DOUBLE Draught;  // metres
  DOUBLE CPA;      // nautical miles
  DOUBLE TCPA;     // minutes
  BOOL validityFlag[LAST_VALFLAG_INDEX];
} aisTargetINFO;

typedef struct {
  aisTargetINFO aisInfo;
  UT_TIMEOFS ReceiveLastTime;  // 'IDTM' of the last decoded message
  BOOL bAisAlarmActive;
  BOOL bAisAlarmCleared;
  char sAlarmString[21];  // scratch of the alarm code, never moved with the target
} ais_DeviceInfo;

typedef struct {
  ais_DeviceInfo TargetStruct[AIS_MAX_TARGETS];
  UINT NumOfTargets;
} AISPOOL;
