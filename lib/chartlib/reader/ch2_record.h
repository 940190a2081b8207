// Record framing of a chart image: a chain of typed records, each a 16-bit header, a length and its data.
#pragma once
#include "chartlib/reader/ch2_read.h"

constexpr UINT32 CH2_SIGNATURE = 0x081273ABu;  // the 32-bit word at address 4 of every chart image
constexpr UINT32 CH2_SIGNATURE_ADDRESS = 4;
constexpr UINT32 CH2_END_OF_CHAIN = 0xFFFFFFFFu;  // link address that ends a chain
// A record search gives up after this many records: a damaged chain may loop back on itself.
constexpr UINT32 CH2_MAX_CHAIN_STEPS = 1u << 20;

// Header bits.
constexpr UINT16 CH2_HDR_TYPE_MASK = 0x003F;
constexpr UINT16 CH2_HDR_WIDTH_MASK = 0x00C0;  // 00: 1-byte length, 01: 2 bytes, 10 and 11: 4 bytes
constexpr int CH2_HDR_WIDTH_SHIFT = 6;
constexpr UINT16 CH2_HDR_VALUE_MASK = 0x0700;  // record-specific value (depth unit, coordinate kind)
constexpr int CH2_HDR_VALUE_SHIFT = 8;
constexpr UINT16 CH2_HDR_GROUP = 0x4000;
constexpr UINT16 CH2_HDR_VALID = 0x8000;

enum : UINT16 {
  CH2_REC_LINK = 0,
  CH2_REC_MAP_DIRECTORY = 4,
  CH2_REC_LANGUAGE_DIRECTORY = 5,
  CH2_REC_PORT_DIRECTORY = 6,
  CH2_REC_MAP_HEADER = 17,
  CH2_REC_MAP_LAYER = 18,
  CH2_REC_GROUP = 19,
  CH2_REC_TEXTS = 48,
};

enum : SINT { CH2_READ_HEADERS = 0, CH2_READ_LAYERS = 2, CH2_READ_FEATURES = 3, CH2_READ_COORDINATES = 4 };

typedef struct RecordContext2_tag {
  CHARTCONTEXT2 sChartContext;
  UINT16 usRecordType;  // the raw header last read
  UINT32 ulRecordLength;
  UCHAR ucNoOfBytesForLengthsWithinRecord;  // 1, 2 or 4
  UINT32 ulRecordAddress;                   // first data byte
  UINT32 ulNextRecordAddress;
} RECORDCONTEXT2;

void SetRecordContext(RECORDCONTEXT2 *rc, SINT chartId, UINT32 address);
void SetRecordPointer(RECORDCONTEXT2 *rc, UINT32 address);
void SetRecordReadingType(RECORDCONTEXT2 *rc, SINT readingType);
void MoveRecordPointer(RECORDCONTEXT2 *rc, SLONG count);
void ResetRecordPointer(RECORDCONTEXT2 *rc);
void NextRecord(RECORDCONTEXT2 *rc);
BOOL IsEndOfRecord(const RECORDCONTEXT2 *rc);
BOOL NotEndOfRecord(const RECORDCONTEXT2 *rc);
BOOL IsRecordValid(const RECORDCONTEXT2 *rc);
BOOL IsRecordDeleted(const RECORDCONTEXT2 *rc);
// Reads a 16-bit length and skips that many bytes after it; returns the length.
SINT SkipBlockWithinRecord(CHARTCONTEXT2 *cc);
// Frames the record at Address (left at its first data byte); returns its type.
UINT16 GetRecordTypeAndLength(RECORDCONTEXT2 *rc);
UINT16 GetNextRecordTypeAndLength(RECORDCONTEXT2 *rc);
// Searches the chain from Address for a valid record of the type: the type when found (framed, Address at its
// data), 0 when the chain ends (or loops).
UINT16 FindRecord(RECORDCONTEXT2 *rc, UINT16 type);

// CL_SUCCESS when the chart in the slot carries the signature, CH2_WARN_NO_SIGNATURE otherwise.
ERRORCODE ch2_ChartPresence(SINT chartId);
