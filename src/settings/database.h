// Settings store: four-character keys with a value, a data type, a name, a validity time-out and an owner
// priority; watchers get change notices by mailbox.
#pragma once
#include "kernel/kernel_defs.h"
#include "settings/language.h"
#include "kernel/mbox.h"
#include "corvan/types.h"

typedef U32 FOURCHARID;

// The key written "SMDL" is 0x4C444D53: the first character in the low byte.
constexpr FOURCHARID FCID(const char (&acKey)[5]) {
  return static_cast<U32>(static_cast<U8>(acKey[0])) | static_cast<U32>(static_cast<U8>(acKey[1])) << 8 |
         static_cast<U32>(static_cast<U8>(acKey[2])) << 16 | static_cast<U32>(static_cast<U8>(acKey[3])) << 24;
}

// One value; wide enough for a pointer. Writers of the narrow forms clear the rest first.
typedef union {
  uintptr_t RawData;
  U32 u32Val;
  S32 s32Val;
  float fVal;
  void *vpPointer;
} DB_DATA_TYPE;

typedef enum {
  D_UNKNOWN = 0,
  D_UNITS = 1,
  D_POINTER = 2,
  D_TEMPERATURE = 3,
  D_SPEED = 4,
  D_DISTANCE = 5,
  D_HEADING = 6,
  D_DEPTH = 7,
  D_DATETIME = 8,
  D_TIME = 9,
  D_LONG_TIME = 10,
  D_PRESSURE = 11,
  D_VOLUME = 12,
  D_PH = 13,
  D_CONCENTRATION = 14,
  D_VOLTAGE = 15,
  D_CURRENT = 16,
  D_MAILBOX = 17,
  D_POSITION = 18,
  D_POSITION_LAT = 19,
  D_POSITION_LON = 20,
  D_POSITION_LAT_MM = 21,
  D_POSITION_LON_MM = 22,
  D_FCID = 23,
  D_PERCENT = 24,
  D_SAT_DATA = 25,
  D_WAYPOINT = 26,
  D_ALTITUDE = 27,
  D_FLOAT = 28,
  D_SIGNED32 = 29,
  D_UNSIGNED32 = 30,
  D_FIXED_POINT = 31,
  D_ELEVATION_ANGLE = 32,
  D_TEMPERATURE_OFFSET = 33,
  NUMBER_OF_DATA_TYPES = 34,
} DATA_TYPE;

typedef enum {
  DF_ERROR = 0,
  DF_FLOAT = 1,
  DF_UNSIGNED32 = 2,
  DF_SIGNED32 = 3,
  DF_VOID_POINTER = 4,
  DF_ENUMERATED = 5,
} DATA_FORMAT;

// Owner priorities: a smaller number is stronger.
enum : U32 {
  P_HIGHEST = 0,
  P_TESTMODE = 1,
  P_NORMAL = 2,
  P_SELECTED_GPS_OVERRIDE = 3,
  P_NETWORK_GPS = 4,
  P_GATEWAY_ATTACHED_GPS = 5,
  P_EXTERNAL_GPS = 6,
  P_INTERNAL_GPS = 7,
  P_REMOTE_EXTERNAL_GPS = 8,
  P_REMOTE_INTERNAL_GPS = 9,
  P_NMEA2K_GPS = 10,
  P_EXTERNAL_AIS = 11,
  P_EXTERNAL_AIS2 = 12,
  P_NVR = 13,
  P_DEFAULT_SETTING = 14,
  P_UNOWNED = 15,
};

#define DB_NO_TIMEOUT 0xFFFFFFFFu

typedef struct {
  DATA_TYPE DataType;
  const char *const *ppcText;  // 22-language display name, or NULL
  U32 u32TimeOut;              // seconds of validity after each accepted write, DB_NO_TIMEOUT for ever
} DB_ATTRIBUTES;

// What a watcher wants to hear about (in a registration) or what a write did (in an item).
typedef struct {
  BOOLEAN bChanged;
  BOOLEAN bUpdated;
  BOOLEAN bInvalid;
} DB_CONDITION_FLAGS;

// The change notice; released by the receiver with H_MEMORY_vDumpMail.
typedef struct {
  GENERIC_MESSAGE Header;  // Cmd = CMD_ID_NEW_DATA
  FOURCHARID FourCharId;
  DB_DATA_TYPE dbValue;
  BOOLEAN bValid;
} MESSAGE_NEW_DATA;

// Iteration over the items whose key begins with cMatch; clear __bNotFirst before the first call.
typedef struct {
  BYTE cMatch;
  BOOLEAN __bNotFirst;
  FOURCHARID id;
  DB_DATA_TYPE data;
  DB_ATTRIBUTES extras;
  BOOLEAN bValid;
  U32 __index;
  void *__pItem;
  BYTE __cMatch;
} MULTI_FETCH_CONTROL_STRUCTURE;

typedef enum {
  U_NONE = 0,
  U_MPS = 1,
  U_STAT_MILES = 2,
  U_NAUT_MILES = 3,
  U_KM = 4,
  U_KNOTS = 5,
  U_MPH = 6,
  U_KPH = 7,
  U_LATLON = 8,
  U_INCH = 9,
  U_METRES = 10,
  U_FEET = 11,
  U_FATHOMS = 12,
  U_SECONDS = 13,
  U_MINUTES = 14,
  U_INCHESHG = 15,
  U_MMHG = 16,
  U_MILLIBAR = 17,
  U_HECTOPASCALS = 18,
  U_USGALLONS = 19,
  U_UKGALLONS = 20,
  U_LITRES = 21,
  U_M3 = 22,
  U_PPMO2 = 23,
  U_MOLPERM3 = 24,
  U_VOLTS = 25,
  U_AMPERES = 26,
  U_MILLIAMPERES = 27,
  U_CELSIUS = 28,
  U_FAHRENHEIT = 29,
  U_DEG_TRUE = 30,
  U_DEG_MAGNETIC = 31,
  U_NAUT_MILES_FT = 32,
  U_NAUT_MILES_M = 33,
  U_DEG_GEOMETRIC = 34,
  U_PSI = 35,
  U_KPA = 36,
  NUMBER_OF_UNIT_TYPES = 37,
} UNIT_TYPE;

// Empties the store (nodes of an earlier run are not given back).
void H_DATABASE_vInit(void);

// Writes: TRUE when the write was refused and the item keeps another value; FALSE when the item now holds
// the offered value (also for a refused write of an equal value).
BOOLEAN H_DATABASE_bUpdateValue(FOURCHARID Id, DB_DATA_TYPE dbValue, U32 u32Priority);
BOOLEAN H_DATABASE_bUpdateValueU32(FOURCHARID Id, U32 u32Value, U32 u32Priority);
BOOLEAN H_DATABASE_bUpdateValueS32(FOURCHARID Id, S32 s32Value, U32 u32Priority);
BOOLEAN H_DATABASE_bUpdateValueFloat(FOURCHARID Id, float fValue, U32 u32Priority);
BOOLEAN H_DATABASE_bUpdateValueBoolean(FOURCHARID Id, BOOLEAN bValue, U32 u32Priority);
BOOLEAN H_DATABASE_bUpdateValueVoidPointer(FOURCHARID Id, void *pvValue, U32 u32Priority);
// As H_DATABASE_bUpdateValueU32, but the mailbox mboxExcept gets no notice.
BOOLEAN H_DATABASE_bUpdateValueU32Except(FOURCHARID Id, U32 u32Value, U32 u32Priority, MBOX mboxExcept);
// A time-out of 0 keeps the item's time-out.
BOOLEAN H_DATABASE_bUpdateEverything(FOURCHARID Id, DB_DATA_TYPE dbValue, U32 u32Priority, DATA_TYPE DataType,
                                     const char *const *ppcText, U32 u32TimeOut);
BOOLEAN H_DATABASE_bUpdateEverythingU32(FOURCHARID Id, U32 u32Value, U32 u32Priority, DATA_TYPE DataType,
                                        const char *const *ppcText, U32 u32TimeOut);
BOOLEAN H_DATABASE_bUpdateEverythingS32(FOURCHARID Id, S32 s32Value, U32 u32Priority, DATA_TYPE DataType,
                                        const char *const *ppcText, U32 u32TimeOut);
BOOLEAN H_DATABASE_bUpdateEverythingFloat(FOURCHARID Id, float fValue, U32 u32Priority, DATA_TYPE DataType,
                                          const char *const *ppcText, U32 u32TimeOut);
BOOLEAN H_DATABASE_bUpdateEverythingBoolean(FOURCHARID Id, BOOLEAN bValue, U32 u32Priority, DATA_TYPE DataType,
                                            const char *const *ppcText, U32 u32TimeOut);
BOOLEAN H_DATABASE_bUpdateEverythingVoidPointer(FOURCHARID Id, void *pvValue, U32 u32Priority,
                                                DATA_TYPE DataType, const char *const *ppcText, U32 u32TimeOut);
// A written item: copies the attributes in and returns its value. Otherwise writes the default (no notice).
void H_DATABASE_vReadOrSetDefault(FOURCHARID Id, DB_DATA_TYPE *pdbValue, U32 u32Priority,
                                  const DB_ATTRIBUTES *pAttributes);

// Reads: TRUE when the item holds a written value; the valid flag tells whether it is within its time-out.
BOOLEAN H_DATABASE_bFetch(FOURCHARID Id, DB_DATA_TYPE *pdbValue, BOOLEAN *pbValid, DB_ATTRIBUTES *pAttributes);
BOOLEAN H_DATABASE_bFetchU32(FOURCHARID Id, U32 *pu32Value, BOOLEAN *pbValid, DB_ATTRIBUTES *pAttributes);
// The mailbox a task publishes under its key; FALSE while the key is missing or not valid.
BOOLEAN H_DATABASE_bFetchMailbox(FOURCHARID Id, MBOX *pMbox);
BOOLEAN H_DATABASE_bFetchS32(FOURCHARID Id, S32 *ps32Value, BOOLEAN *pbValid, DB_ATTRIBUTES *pAttributes);
BOOLEAN H_DATABASE_bFetchFloat(FOURCHARID Id, float *pfValue, BOOLEAN *pbValid, DB_ATTRIBUTES *pAttributes);
BOOLEAN H_DATABASE_bFetchVoidPointer(FOURCHARID Id, void **ppvValue, BOOLEAN *pbValid,
                                     DB_ATTRIBUTES *pAttributes);
// pbValue must be given; stores the value's low byte.
BOOLEAN H_DATABASE_bFetchBoolean(FOURCHARID Id, BOOLEAN *pbValue, BOOLEAN *pbValid, DB_ATTRIBUTES *pAttributes);
BOOLEAN H_DATABASE_bFetchNextBeginningWith(MULTI_FETCH_CONTROL_STRUCTURE *pControl);
// The format of a data type; an impossible type is fatal.
DATA_FORMAT H_DATABASE_DataType(DATA_TYPE DataType);
// Marks the item as never written; registrations stay. Unknown keys are ignored.
void H_DATABASE_vDeleteEntry(FOURCHARID Id);

// Registrations and notices.
BOOLEAN H_DATABASE_bRegisterForDataWithConditions(FOURCHARID Id, MBOX Mailbox, BOOLEAN bOnChange,
                                                  BOOLEAN bOnInvalid, BOOLEAN bOnUpdate);
void H_DATABASE_vUnregisterMailbox(FOURCHARID Id, MBOX Mailbox);
// The invalidation sweep: watchers of timed-out items hear bValid FALSE.
void H_DATABASE_vSendAllInvalidData(void);
// Gives the item up (priority 15, invalid, watchers told); an unknown key is fatal.
void H_DATABASE_vRelinquishOwnership(FOURCHARID Id);
void H_DATABASE_vSendMailboxAllRegisteredItems(MBOX Mailbox);
// cMatch 0 for all items.
void H_DATABASE_vSendMailboxAllItemsBeginningWith(BYTE cMatch, MBOX Mailbox);

// Units.
const char *H_DATABASE_pcUnitsString(UNIT_TYPE eUnits, U32 u32Language);
UNIT_TYPE H_DATABASE_CurrentUnits(DATA_TYPE DataType);
void H_DATABASE_vCheckForValidUnits(FOURCHARID Id, const UNIT_TYPE *peAllowed, U32 u32Count,
                                    UNIT_TYPE eDefault);

// Notices that could not be allocated yet and wait for the next attempt (tests and the dump).
U32 H_DATABASE_u32PendingNotices(void);
