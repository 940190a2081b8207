// Record framing, record search and the chart signature.
#include "chartlib/reader/ch2_record.h"

void SetRecordContext(RECORDCONTEXT2 *rc, SINT chartId, UINT32 address) {
  rc->sChartContext.ChartId = chartId;
  rc->sChartContext.Address = address;
  rc->sChartContext.ReadingType = CH2_READ_HEADERS;
}

void SetRecordPointer(RECORDCONTEXT2 *rc, UINT32 address) { rc->sChartContext.Address = address; }
void SetRecordReadingType(RECORDCONTEXT2 *rc, SINT readingType) { rc->sChartContext.ReadingType = readingType; }
void MoveRecordPointer(RECORDCONTEXT2 *rc, SLONG count) {
  rc->sChartContext.Address += static_cast<UINT32>(count);
}
void ResetRecordPointer(RECORDCONTEXT2 *rc) { rc->sChartContext.Address = 0; }
void NextRecord(RECORDCONTEXT2 *rc) { rc->sChartContext.Address = rc->ulNextRecordAddress; }
BOOL IsEndOfRecord(const RECORDCONTEXT2 *rc) { return rc->sChartContext.Address >= rc->ulNextRecordAddress; }
BOOL NotEndOfRecord(const RECORDCONTEXT2 *rc) { return rc->sChartContext.Address < rc->ulNextRecordAddress; }
BOOL IsRecordValid(const RECORDCONTEXT2 *rc) { return (rc->usRecordType & CH2_HDR_VALID) != 0; }
BOOL IsRecordDeleted(const RECORDCONTEXT2 *rc) { return (rc->usRecordType & CH2_HDR_VALID) == 0; }

SINT SkipBlockWithinRecord(CHARTCONTEXT2 *cc) {
  const SINT length = ch2_ReadWord(cc);
  cc->Address += static_cast<UINT32>(length);
  return length;
}

UINT16 GetRecordTypeAndLength(RECORDCONTEXT2 *rc) {
  CHARTCONTEXT2 *cc = &rc->sChartContext;
  rc->usRecordType = static_cast<UINT16>(ch2_ReadWord(cc));
  const int width = (rc->usRecordType & CH2_HDR_WIDTH_MASK) >> CH2_HDR_WIDTH_SHIFT;
  if (width == 0) {
    rc->ucNoOfBytesForLengthsWithinRecord = 1;
    rc->ulRecordLength = static_cast<UINT32>(ch2_ReadByte(cc)) & 0xFFu;
  } else if (width == 1) {
    rc->ucNoOfBytesForLengthsWithinRecord = 2;
    rc->ulRecordLength = static_cast<UINT32>(ch2_ReadWord(cc)) & 0xFFFFu;
  } else {
    rc->ucNoOfBytesForLengthsWithinRecord = 4;
    rc->ulRecordLength = ch2_ReadLong(cc);
  }
  rc->ulRecordAddress = cc->Address;
  rc->ulNextRecordAddress = rc->ulRecordAddress + rc->ulRecordLength;
  return rc->usRecordType & CH2_HDR_TYPE_MASK;
}

UINT16 GetNextRecordTypeAndLength(RECORDCONTEXT2 *rc) {
  NextRecord(rc);
  return GetRecordTypeAndLength(rc);
}

UINT16 FindRecord(RECORDCONTEXT2 *rc, UINT16 type) {
  for (UINT32 step = 0; step < CH2_MAX_CHAIN_STEPS; ++step) {
    const UINT16 found = GetRecordTypeAndLength(rc);
    if (found == type && IsRecordValid(rc)) return type;
    if (found != CH2_REC_LINK) {
      NextRecord(rc);
      continue;
    }
    // A link, valid or deleted.
    const UINT32 next = ch2_ReadLong(&rc->sChartContext);
    if (next == CH2_END_OF_CHAIN) return 0;
    rc->sChartContext.Address = next;
  }
  return 0;
}

ERRORCODE ch2_ChartPresence(SINT chartId) {
  CHARTCONTEXT2 cc{chartId, CH2_SIGNATURE_ADDRESS, CH2_READ_HEADERS};
  return ch2_ReadLong(&cc) == CH2_SIGNATURE ? CL_SUCCESS : CH2_WARN_NO_SIGNATURE;
}
