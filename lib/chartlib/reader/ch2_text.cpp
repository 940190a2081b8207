// Text resources of a chart in several languages.
#include "chartlib/reader/ch2_text.h"

#include <algorithm>

namespace {

// Copies a text of n bytes at the context into the buffer (capacity in *length); Unicode texts whole units only.
void CopyText(CHARTCONTEXT2 *cc, UINT16 n, bool unicode, UCHAR *buffer, UINT16 *length) {
  const UINT16 take = std::min(n, *length);
  const UINT32 bytes = unicode ? (take / 2u) * 2u : take;
  if (bytes > 0) ch2_ReadBlock(buffer, bytes, cc);
  *length = take;
}

// Looks for id among the (id, length, text) entries from address up to end.
ERRORCODE SearchEntries(SINT chartId, UINT32 address, UINT32 end, UINT16 id, bool unicode, UCHAR *buffer,
                        UINT16 *length) {
  CHARTCONTEXT2 cc{chartId, address, CH2_READ_HEADERS};
  while (cc.Address + 4 <= end) {
    const UINT16 entryId = static_cast<UINT16>(ch2_ReadWord(&cc));
    const UINT16 n = static_cast<UINT16>(ch2_ReadWord(&cc));
    if (entryId > id) break;
    if (entryId == id) {
      CopyText(&cc, n, unicode, buffer, length);
      return CL_SUCCESS;
    }
    cc.Address += n;
  }
  return CH2_WARN_NO_TEXT;
}

// Walks a language's text records from address until a type-0 record.
ERRORCODE SearchRecords(SINT chartId, UINT32 address, UINT16 id, bool unicode, UCHAR *buffer, UINT16 *length) {
  RECORDCONTEXT2 rc{};
  SetRecordContext(&rc, chartId, address);
  for (UINT32 step = 0; step < CH2_MAX_CHAIN_STEPS; ++step) {
    const UINT32 at = rc.sChartContext.Address;
    const UINT16 type = GetRecordTypeAndLength(&rc);
    if (type == CH2_REC_LINK || rc.ulNextRecordAddress <= at) break;
    if (type == CH2_REC_TEXTS && IsRecordValid(&rc)) {
      CHARTCONTEXT2 cc = rc.sChartContext;
      const UINT16 lo = static_cast<UINT16>(ch2_ReadWord(&cc)), hi = static_cast<UINT16>(ch2_ReadWord(&cc));
      if (lo <= id && id <= hi) return SearchEntries(chartId, cc.Address, rc.ulNextRecordAddress, id, unicode, buffer, length);
    }
    NextRecord(&rc);
  }
  return CH2_WARN_NO_TEXT;
}

}  // namespace

ERRORCODE ch2_LoadLanguageDirectory(SINT chartId, RESOURCECONTEXT2 *ctx, UINT32 *count) {
  *count = 0;
  ctx->iChartDeviceId = chartId;
  const ERRORCODE presence = ch2_ChartPresence(chartId);
  RECORDCONTEXT2 rc{};
  SetRecordContext(&rc, chartId, 0);
  SetRecordReadingType(&rc, CH2_READ_HEADERS);
  if (FindRecord(&rc, CH2_REC_LANGUAGE_DIRECTORY) != CH2_REC_LANGUAGE_DIRECTORY) return CH2_ERR_NO_LANGUAGES;
  LANGUAGEDIRECTORY2 &dir = ctx->sLanguageDirectory;
  dir.iNumOfLanguages = 0;
  CHARTCONTEXT2 cc = rc.sChartContext;
  while (dir.iNumOfLanguages < CH2_MAX_LANGUAGES && cc.Address + CH2_LANGUAGE_ENTRY_LENGTH <= rc.ulNextRecordAddress) {
    LANGUAGEDIRECTORYITEM2 &item = dir.sLanglist[dir.iNumOfLanguages++];
    item.cLanguage[0] = static_cast<UCHAR>(ch2_ReadByte(&cc));
    item.cLanguage[1] = static_cast<UCHAR>(ch2_ReadByte(&cc));
    item.ucUnicodeIndicator = static_cast<UCHAR>(ch2_ReadByte(&cc));
    item.ulAddressOfTheResourceTable = ch2_ReadLong(&cc);
  }
  *count = static_cast<UINT32>(dir.iNumOfLanguages);
  return presence == CH2_WARN_NO_SIGNATURE ? CH2_WARN_NO_SIGNATURE : CL_SUCCESS;
}

ERRORCODE ch2_SetLanguage(const char code[2], RESOURCECONTEXT2 *ctx) {
  const LANGUAGEDIRECTORY2 &dir = ctx->sLanguageDirectory;
  for (SINT i = 0; i < dir.iNumOfLanguages && i < CH2_MAX_LANGUAGES; ++i) {
    if (dir.sLanglist[i].cLanguage[0] == static_cast<UCHAR>(code[0]) &&
        dir.sLanglist[i].cLanguage[1] == static_cast<UCHAR>(code[1])) {
      ctx->usCurrentlySelectedLanguage = static_cast<UINT16>(i);
      return CL_SUCCESS;
    }
  }
  return CH2_WARN_LANGUAGE_CODE;
}

ERRORCODE ch2_GetLanguage(UCHAR code[2], const RESOURCECONTEXT2 *ctx) {
  const UINT16 i = ctx->usCurrentlySelectedLanguage;
  code[0] = i < CH2_MAX_LANGUAGES ? ctx->sLanguageDirectory.sLanglist[i].cLanguage[0] : 0;
  code[1] = i < CH2_MAX_LANGUAGES ? ctx->sLanguageDirectory.sLanglist[i].cLanguage[1] : 0;
  return CL_SUCCESS;
}

ERRORCODE ch2_LoadTextResourceTable(RESOURCECONTEXT2 *ctx) {
  const LANGUAGEDIRECTORY2 &dir = ctx->sLanguageDirectory;
  if (ctx->usCurrentlySelectedLanguage >= dir.iNumOfLanguages || ctx->usCurrentlySelectedLanguage >= CH2_MAX_LANGUAGES)
    return CH2_ERR_LANGUAGE_RANGE;
  RESOURCETABLE2 &t = ctx->sTextResourceTable;
  t.iNumOfEntries = 0;
  RECORDCONTEXT2 rc{};
  SetRecordContext(&rc, ctx->iChartDeviceId, dir.sLanglist[ctx->usCurrentlySelectedLanguage].ulAddressOfTheResourceTable);
  t.ulAddressOfFirstRecordOutsideTable = rc.sChartContext.Address;
  for (UINT32 step = 0; step < CH2_MAX_CHAIN_STEPS; ++step) {
    const UINT32 at = rc.sChartContext.Address;
    const UINT16 type = GetRecordTypeAndLength(&rc);
    if (type == CH2_REC_LINK || rc.ulNextRecordAddress <= at) {
      t.ulAddressOfFirstRecordOutsideTable = rc.ulNextRecordAddress;
      return CL_SUCCESS;
    }
    if (type == CH2_REC_TEXTS && IsRecordValid(&rc)) {
      if (t.iNumOfEntries == CH2_MAX_TEXT_RECORDS) {
        // Ids past the index are searched from here, so this record's own texts stay reachable.
        t.ulAddressOfFirstRecordOutsideTable = at;
        return CH2_WARN_TEXT_INDEX_FULL;
      }
      CHARTCONTEXT2 cc = rc.sChartContext;
      const SINT i = t.iNumOfEntries++;
      t.usMinId[i] = static_cast<UINT16>(ch2_ReadWord(&cc));
      t.usMaxId[i] = static_cast<UINT16>(ch2_ReadWord(&cc));
      t.ulStartAddress[i] = cc.Address;
      t.ulEndAddress[i] = rc.ulNextRecordAddress;
    }
    NextRecord(&rc);
  }
  return CL_SUCCESS;
}

ERRORCODE GetResourceTextFromLanguage(SINT chartId, UINT16 id, const LANGUAGEDIRECTORYITEM2 *language, UCHAR *buffer,
                                      UINT16 *length) {
  return SearchRecords(chartId, language->ulAddressOfTheResourceTable, id, language->ucUnicodeIndicator == 1, buffer,
                       length);
}

ERRORCODE ch2_GetResourceText(UINT16 id, RESOURCECONTEXT2 *ctx, UCHAR *buffer, UINT16 *length) {
  if (id < CH2_FIRST_TEXT_ID) {
    if (*length > 0) buffer[0] = 0;
    *length = 0;
    return CH2_WARN_TEXT_ID_LOW;
  }
  const LANGUAGEDIRECTORY2 &dir = ctx->sLanguageDirectory;
  const UINT16 sel = ctx->usCurrentlySelectedLanguage;
  if (sel >= dir.iNumOfLanguages || sel >= CH2_MAX_LANGUAGES) return CH2_ERR_LANGUAGE_RANGE;
  const LANGUAGEDIRECTORYITEM2 &lang = dir.sLanglist[sel];
  const bool unicode = lang.ucUnicodeIndicator == 1;
  const RESOURCETABLE2 &t = ctx->sTextResourceTable;
  const SINT chartId = ctx->iChartDeviceId;
  const UINT16 capacity = *length;
  ERRORCODE e;
  if (t.iNumOfEntries <= 0) {
    e = GetResourceTextFromLanguage(chartId, id, &lang, buffer, length);
  } else if (id > t.usMaxId[t.iNumOfEntries - 1]) {
    // Only a full index leaves records behind it; past a complete one lie other languages' records.
    e = t.iNumOfEntries == CH2_MAX_TEXT_RECORDS
            ? SearchRecords(chartId, t.ulAddressOfFirstRecordOutsideTable, id, unicode, buffer, length)
            : CH2_WARN_NO_TEXT;
  } else {
    SINT lo = 0, hi = t.iNumOfEntries - 1, found = -1;
    while (lo <= hi) {
      const SINT mid = (lo + hi) / 2;
      if (id < t.usMinId[mid]) {
        hi = mid - 1;
      } else if (id > t.usMaxId[mid]) {
        lo = mid + 1;
      } else {
        found = mid;
        break;
      }
    }
    e = found < 0 ? CH2_WARN_NO_TEXT
                  : SearchEntries(chartId, t.ulStartAddress[found], t.ulEndAddress[found], id, unicode, buffer, length);
  }
  if (e == CH2_WARN_NO_TEXT && sel != 0 && dir.iNumOfLanguages > 0) {
    *length = capacity;
    e = GetResourceTextFromLanguage(chartId, id, &dir.sLanglist[0], buffer, length);
  }
  if (e != CL_SUCCESS) *length = 0;  // nothing was copied
  return e;
}
