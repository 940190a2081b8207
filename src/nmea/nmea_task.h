// The NMEA task: one port record per source of GPS, compass and AIS data, the sources' write priorities, the
// task's settings, the 500 ms tick and the small functions other subsystems call.
#pragma once
#include "chartlib/chartlib_types.h"
#include "kernel/kernel_defs.h"
#include "kernel/mbox.h"
#include "settings/database.h"
#include "settings/language.h"
#include "corvan/types.h"

typedef U32 ITEM_PRIORITY;

typedef enum : S32 {
  ID_INVALID = 0,
  ID_NETWORK_GPS = 4,
  ID_GATEWAY_ATTACHED_GPS = 5,
  ID_EXTERNAL_GPS = 6,
  ID_INTERNAL_GPS = 7,
  ID_REMOTE_EXTERNAL_GPS = 8,
  ID_REMOTE_INTERNAL_GPS = 9,
  ID_NMEA2K_GPS = 10,
  ID_EXTERNAL_AIS = 11,
  ID_EXTERNAL_AIS2 = 12,
  ID_AUTO_SELECT = 13,
} GPS_SOURCE_ID;

typedef enum : S32 {
  PORT_INDEX_INVALID = -1,
  PORT_INDEX_NETWORK_GPS = 0,
  PORT_INDEX_GATEWAY_GPS = 1,
  PORT_INDEX_EXTERNAL_GPS = 2,
  PORT_INDEX_INTERNAL_GPS = 3,
  PORT_INDEX_REMOTE_EXTERNAL_GPS = 4,
  PORT_INDEX_REMOTE_INTERNAL_GPS = 5,
  PORT_INDEX_EXTERNAL_AIS = 6,
  PORT_INDEX_EXTERNAL_AIS2 = 7,
  PORT_INDEX_NMEA2K_GPS = 8,
  PORT_INDEX_MAX = 9,
} PORT_INDEX;

typedef enum : S32 {
  NMEA_PORT_TYPE_SERIAL = 0,
  NMEA_PORT_TYPE_NETWORK = 1,
  NMEA_PORT_TYPE_GATEWAY = 2,
  NMEA_PORT_TYPE_NMEA2K = 3,
} NMEA_PORT_TYPE;

typedef enum : S32 {
  GPS_TYPE_DISCONNECTED = 0,
  GPS_TYPE_LEGACY = 1,
  GPS_TYPE_UBLOX = 2,
  GPS_TYPE_NAVMAN = 3,
  GPS_TYPE_TESEOII = 4,
  GPS_TYPE_COMPASS = 5,
} GPS_TYPE;

typedef enum : S32 {
  NMEA_STATE_OFFLINE = 0,
  NMEA_STATE_SCAN = 1,
  NMEA_STATE_DETECT = 2,
  NMEA_STATE_IDENT = 3,
  NMEA_STATE_INIT = 4,
  NMEA_STATE_RESET = 5,
  NMEA_STATE_BAUDRATE = 6,
  NMEA_STATE_NAVMAN_SBAS_1 = 7,
  NMEA_STATE_NAVMAN_SBAS_2 = 8,
  NMEA_STATE_NAVMAN_SBAS_3 = 9,
  NMEA_STATE_ONLINE = 10,
} NMEA_STATE;

typedef enum : S32 {
  NMEA_SENTENCE_RATE_UNKNOWN = 0,
  NMEA_SENTENCE_RATE_DIAG = 1,
  NMEA_SENTENCE_RATE_TEST = 2,
  NMEA_SENTENCE_RATE_CHART = 3,
} NMEA_SENTENCE_RATE;

typedef enum : S32 {
  NMEA_RESET_NONE = 0,
  NMEA_RESET_COLD = 1,
  NMEA_RESET_HOT = 2,
  NMEA_RESET_FACTORY = 3,
} NMEA_RESET;

typedef enum : S32 {
  GPS_FIXTYPE_UNKNOWN = 0,
  GPS_FIXTYPE_NONE = 1,
  GPS_FIXTYPE_2D = 2,
  GPS_FIXTYPE_3D = 3,
  GPS_FIXTYPE_ENHANCED = 4,
  GPS_FIXTYPE_FIX = 5,
} GPSFixType;

typedef struct {
  U8 u8Port;
  U8 u8BaudRateIndex;
  U8 u8BaudShiftCounter;
  S32 nBaudRate;
  S32 nNewBaudRate;
  QUEUE RxDataQueue;
  QUEUE TxDataQueue;
} NMEA_SERIAL_INFO;

typedef enum : S32 {
  WAITING_DOLLAR = 0,
  WAITING_STAR = 1,
  WAITING_CHECKSUM1 = 2,
  WAITING_CHECKSUM2 = 3,
  WAITING_SCHAR2 = 4,
  WAITING_CLASS = 5,
  WAITING_ID = 6,
  WAITING_LENGTH1 = 7,
  WAITING_LENGTH2 = 8,
  WAITING_PAYLOAD = 9,
  WAITING_CHECKSUMA = 10,
  WAITING_CHECKSUMB = 11,
  WAITING_NM_SCHAR2 = 12,
  WAITING_NM_LENGTH1 = 13,
  WAITING_NM_LENGTH2 = 14,
  WAITING_NM_PAYLOAD = 15,
  WAITING_NM_CHECKSUM1 = 16,
  WAITING_NM_CHECKSUM2 = 17,
} NMEA_RECEIVE_STATE;

// The sentence assembly state of a serial port; the receiver owns its contents.
typedef struct {
  NMEA_RECEIVE_STATE eReceiveState;
  S32 nCharCount;
  char sSentence[150];
  U8 cGivenChecksum;
  U8 cRunningChecksum;
  U32 u32LengthLSW;
  U32 u32Length;
  U8 cGivenChecksumA, cRunningChecksumA, cGivenChecksumB, cRunningChecksumB;
  U16 u16Length, u16RunningChecksum, u16GivenChecksum;
} RX_PARSE_INFO;

typedef struct {
  float Latitude, Longitude;
  U16 FixType, NumberSatellites;
  float HDOP, Altitude, PositionError, AgeDifferential;
  U32 ReferenceStation;
} GATEWAY_GGA_DATA;

typedef struct {
  U32 Data_Source;
  GATEWAY_GGA_DATA GGA_Data;
  struct { U16 SolutionMode; U16 SatelliteIds[12]; } GSA_Data;
  struct { U32 SatelliteInfo[12]; } GSV_Data;
  struct { U32 Time; float Latitude, Longitude, SpeedOvrGnd, CourseOvrGnd; } RMC_Data;
  struct { float MagSensorHeading, MagneticDeviation, MagneticVariation; } HDG_Data;
  struct { float TrueHeading; } HDT_Data;
  struct { float MagneticHeading; } HDM_Data;
  struct { float RateOfTurn; S32 eStatus; } ROT_Data;
} GATEWAY_GPS_DATA;

typedef struct {
  NMEA_STATE eState;
  GPS_TYPE eGPSType;
  NMEA_PORT_TYPE ePortType;
  NMEA_SENTENCE_RATE eSentenceRate;
  GPS_SOURCE_ID eSourceID;
  U32 GPSWritePriority;
  BOOLEAN bDataReceived;
  BOOLEAN bSentenceReceived;
  BOOLEAN bBinaryMsgReceived;
  BOOLEAN bConfiguredNavmanSBAS;
  BOOLEAN bChannelIsAIS;
  BOOLEAN bCalculateCOG;
  BOOLEAN bReceivedVELNED;
  float fLastCOG;
  FOURCHARID fcidGPSStatus;
  S32 nDataTimeout;
  S32 nStateTimeout;
  S32 nWarmStarts;
  U32 u32PFI;
  float fPositionError;
  S32 *pnSatsInUse;  // 12 entries, zero-terminated; kept across re-initialisations
  NMEA_SERIAL_INFO *pSerialInfo;
  RX_PARSE_INFO *pRxParseInfo;
  GATEWAY_GPS_DATA *pGatewayGPSData;
  double RMC_Lat, RMC_Lon;
  double RMC_pre_Lat, RMC_pre_Lon;
} NMEA_PORT_INFO;

typedef struct {
  BOOLEAN bLocked;
  BOOLEAN bTimedOutLock;
} PORT_SCAN_STATUS;

// Posted commands.
typedef struct {
  GENERIC_MESSAGE header;
  GPS_SOURCE_ID eSourceID;
} GPS_DETECT_MSG;
typedef struct {
  GENERIC_MESSAGE header;
  S32 eView;  // a view, or -3 for the current one
} GPS_RATE_MSG;
typedef struct {
  GENERIC_MESSAGE header;
  GPS_SOURCE_ID eSourceID;
  NMEA_RESET eNMEAReset;
} GPS_RESET_MSG;
// Command 77: one NMEA 2000 GPS item.
typedef struct {
  GENERIC_MESSAGE header;
  FOURCHARID FourCharId;
  DB_DATA_TYPE dbValue;
} NMEA2K_MESSAGE;
// Command 76: a sentence text from the network, freed by the task.
typedef struct {
  GENERIC_MESSAGE header;
  char *pcSentence;
} NETWORK_NMEA_MESSAGE;

void T_NMEA_vMain(void);

PORT_INDEX T_NMEA_eGetPortIndex(GPS_SOURCE_ID eSourceID);
NMEA_PORT_INFO *T_NMEA_pInitPortInfo(GPS_SOURCE_ID eSourceID);
// The port record of a source, NULL when it does not exist.
NMEA_PORT_INFO *T_NMEA_pGetPortInfo(GPS_SOURCE_ID eSourceID);

void T_NMEA_vGPSDetectedByID(GPS_SOURCE_ID eSourceID);
void T_NMEA_vConfigureGPS(S32 eViewId);
void T_NMEA_vResetGPS(NMEA_RESET eNMEAReset, GPS_SOURCE_ID eSourceID);

U32 T_NMEA_u32GetExternalIPFI(void);
U32 T_NMEA_u32GetInternalIPFI(void);
U32 T_NMEA_u32GetGPSType(BOOLEAN ext_flag);
U32 T_NMEA_u32GetExternalDataTimeout(void);
BOOLEAN T_NMEA_bHandleStatus(void);
GPSFixType T_NMEA_pFixTypeEnum(void);
const ARRAY_OF_STRING_PTRS *T_NMEA_pFixType(void);
const ARRAY_OF_STRING_PTRS *T_NMEA_pFixTypeFromEnum(GPSFixType eFixType);

BOOLEAN T_NMEA_bUpdateLatLon(const POSITION *NewPos, U32 TimeOfPos, ITEM_PRIORITY DBWritePriority);
float T_NMEA_fUpdateHeading(BOOLEAN bCOGValid, float fCourseOvrGnd, float fSpeedOvrGnd,
                            ITEM_PRIORITY GPSSourceWritePriority);
float T_NMEA_fUpdateHeading_RMC(BOOLEAN bCOGValid, float fCourseOvrGnd, float fSpeedOvrGnd,
                                const NMEA_PORT_INFO *pNMEAPortInfo);
void T_NMEA_vCalulateMovingAvgSOGAndCOG(float fNewValue, U8 u8WindowSize, U32 u32SampleCounter, float *pfSamples,
                                        float *pfAverage);
void T_NMEA_vSetDefaultSettings(BOOLEAN bForceFactoryDefaults);
// Sets a serial port's channel to its baud rate (4800 in burn-in and point-of-sale states).
void T_NMEA_vChangeBaudRate(NMEA_PORT_INFO *pPortInfo);

// The SiRF binary frame: start 0xA0 0xA2, 15-bit big-endian length, payload, 15-bit sum, end 0xB0 0xB3.
// The frame's length, 0 when the payload does not fit or is longer than 0x7FFF.
U32 T_NMEA_u32FrameSiRF(const U8 *pu8Payload, U32 u32Length, U8 *pu8Frame, U32 u32FrameSize);
// Message 0x81: switch to NMEA at the given baud rate with GGA, GLL, GSA, GSV and RMC every second.
U32 T_NMEA_u32SiRFSwitchToNMEA(U32 u32BaudRate, U8 *pu8Frame, U32 u32FrameSize);

// Tests: the task's wait list, tick counter, lock state of a UART channel and whether input is ignored.
const SEMA *T_NMEA_pWaitListForTest(void);
BOOLEAN T_NMEA_bRunningForTest(void);
S32 T_NMEA_nTimerCtrForTest(void);
BOOLEAN T_NMEA_bChannelLockedForTest(U8 u8Channel);
BOOLEAN T_NMEA_bIgnoreInputForTest(void);
U32 T_NMEA_u32TicksForTest(void);
