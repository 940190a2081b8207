// Settings files in the data directory: one 32-bit value per key slot, a bitmap of used slots and two
// opaque blocks. All multi-byte values little-endian.
#pragma once
#include <sys/types.h>

#include <cstddef>

#include "settings/database.h"
#include "corvan/types.h"

typedef enum {
  nfSONAR_DATA = 0,     // "sonar.dat", 508 bytes
  nfPERSONAL_DATA = 1,  // "personal.dat", 252 bytes
  nfFCID_STATBIT = 2,   // "nvr_statbit.dat", 5,836 bytes
  nfFCID_ENTRIES = 3,   // "nvr_entries.dat", up to 186,636 bytes
  nfCOUNT = 4,
} NVRAM_FILENAMES_ED;

typedef enum { STATE_ACTIVE = 1, STATE_HARDWARE_FAILURE = 2, STATE_VIRGIN = 3 } NVR_STATE;

constexpr U32 NVR_SLOTS = 46659;             // "S" slots 0..46,655, then NVER, CREV, FFST
constexpr U32 NVR_S_SLOTS = 46656;
constexpr U32 NVR_STATBIT_WORDS = 1459;
constexpr U32 NVR_HEADER_ROWS = 20;
constexpr FOURCHARID NVR_UNUSED_HEADER = 0xFFFFFFF0u;
constexpr U32 NVR_VERSION = 0xFFFFFFF8u;     // format version stored under NVER

// Guard codes of the erase, the same at every call site.
constexpr U32 NVR_SCRATCH_CODE1 = 0x5C7A7C4Eu;
constexpr U32 NVR_SCRATCH_CODE2 = 0x0E4A5ED1u;

typedef struct {
  FOURCHARID id;
  DB_DATA_TYPE data;
} NVR_ENTRY;

typedef struct {
  FOURCHARID id;
  BOOLEAN bRegistered;  // the NVRAM task watches the key's changes
} UNIT_HEADER_CONTROL;

// The header items, saved as soon as they change; unused rows hold NVR_UNUSED_HEADER.
extern UNIT_HEADER_CONTROL s_4chHeader[NVR_HEADER_ROWS];

typedef struct {
  U16 data[254];
} SONAR_DATA_BLOCK;

typedef struct {
  U16 data[126];
} PERSONALIZATION_DATA_BLOCK;

// Start-up check: creates the data and scratch directories; the state of the bitmap file.
NVR_STATE H_NVRAM_eInit(void);
// Stores the value in the key's slot and marks the slot used; the mark reaches the file at the next
// H_NVRAM_vFlashWriteBack, after the value.
BOOLEAN H_NVRAM_bWriteFCID(const NVR_ENTRY *pentry);
BOOLEAN H_NVRAM_bGetItemByID(NVR_ENTRY *pentry);
BOOLEAN H_NVRAM_bGetItemByNumber(U32 u32Number, NVR_ENTRY *pentry);
// Next used slot of the "S" range / of the special slots; index 0 restarts the scan.
BOOLEAN H_NVRAM_bReadSEntry(U32 index, NVR_ENTRY *pentry);
BOOLEAN H_NVRAM_bReadFEntry(U32 index, NVR_ENTRY *pentry);
BOOLEAN H_NVRAM_bReadUnitHeaderEntry(U32 u32ItemNumber, NVR_ENTRY *pentry);
void H_NVRAM_vVersionChangeFindAndSave(FOURCHARID fcid);
// Values to storage, then the bitmap words written since, then the bitmap to storage.
void H_NVRAM_vFlashWriteBack(void);
BOOLEAN H_NVRAM_bFlashWriteBack(void);
BOOLEAN H_NVRAM_bScratchNVR(U32 u32Code1, U32 u32Code2);
BOOLEAN H_NVRAM_bReadSonarData(SONAR_DATA_BLOCK *pData);
BOOLEAN H_NVRAM_bWriteSonarData(const SONAR_DATA_BLOCK *pData);
BOOLEAN H_NVRAM_bReadPersonalizationData(PERSONALIZATION_DATA_BLOCK *pData);
BOOLEAN H_NVRAM_bWritePersonalizationData(const PERSONALIZATION_DATA_BLOCK *pData);
BOOLEAN H_NVRAM_bReadBlock(U32 u32Index, U8 *pData, U32 u32Size);
BOOLEAN H_NVRAM_bWriteBlock(U32 u32Index, const U8 *pData, U32 u32Size);

// Slot of a key, -1 when it has none; and the key of a slot, 0xFFFFFFFF beyond the last.
S32 H_NVRAM_s32SlotOfKey(FOURCHARID fcid);
FOURCHARID H_NVRAM_fcidXlatNumber(U32 u32Slot);

// The file name of a file index.
const char *H_NVRAM_pcFileName(U32 u32Index);
// The first error (errno) of each file since the last call, 0 for none; the record is cleared. Writes, syncs
// and opens are recorded.
void H_NVRAM_vTakeErrors(int (&anErrno)[nfCOUNT]);
// Why the format version (NVER) cannot be read, naming the file, for the log.
void H_NVRAM_vDescribeVersionLoss(char *pcText, size_t size);

// The file calls of the settings files. Tests put in failing ones: a read-only medium, a full disk.
typedef struct {
  int (*open)(const char *pcPath, int nFlags, mode_t mode);
  ssize_t (*pread)(int fd, void *pvBuffer, size_t size, off_t offset);
  ssize_t (*pwrite)(int fd, const void *pvBuffer, size_t size, off_t offset);
  int (*fsync)(int fd);
} NVRAM_FILE_OPS;
// NULL puts back the system's calls.
void H_NVRAM_vSetFileOpsForTest(const NVRAM_FILE_OPS *pOps);

// Tests: other directories, and all files closed and state forgotten as at process start.
void H_NVRAM_vSetDirectoriesForTest(const char *pcData, const char *pcScratch);
