// Chart texts: the language directory, the selected language's index of text-resource records, and text lookup
// by id with fallback to the first language.
#pragma once
#include "chartlib/reader/ch2_record.h"

constexpr SINT CH2_MAX_LANGUAGES = 10;
constexpr SINT CH2_MAX_TEXT_RECORDS = 5000;
constexpr UINT16 CH2_FIRST_TEXT_ID = 9;  // ids below are reserved
constexpr UINT32 CH2_LANGUAGE_ENTRY_LENGTH = 7;

typedef struct LanguageDirectoryItem2_tag {
  UCHAR cLanguage[2];
  UCHAR ucUnicodeIndicator;  // 1: texts are 16-bit little-endian units
  UINT32 ulAddressOfTheResourceTable;
} LANGUAGEDIRECTORYITEM2;

typedef struct LanguageDirectory2_tag {
  SINT iNumOfLanguages;
  LANGUAGEDIRECTORYITEM2 sLanglist[CH2_MAX_LANGUAGES];
} LANGUAGEDIRECTORY2;

typedef struct resourcetable2_tag {
  SINT iNumOfEntries;
  UINT32 ulAddressOfFirstRecordOutsideTable;
  UINT32 ulStartAddress[CH2_MAX_TEXT_RECORDS];  // first text entry of each record
  UINT16 usMinId[CH2_MAX_TEXT_RECORDS];
  UINT16 usMaxId[CH2_MAX_TEXT_RECORDS];
  UINT32 ulEndAddress[CH2_MAX_TEXT_RECORDS];  // the address after each record, bounding its entries
} RESOURCETABLE2;

typedef struct ResourceContext2_tag {
  SINT iChartDeviceId;
  UINT16 usCurrentlySelectedLanguage;
  LANGUAGEDIRECTORY2 sLanguageDirectory;
  RESOURCETABLE2 sTextResourceTable;
} RESOURCECONTEXT2;

ERRORCODE ch2_LoadLanguageDirectory(SINT chartId, RESOURCECONTEXT2 *rc, UINT32 *count);
ERRORCODE ch2_SetLanguage(const char code[2], RESOURCECONTEXT2 *rc);
ERRORCODE ch2_GetLanguage(UCHAR code[2], const RESOURCECONTEXT2 *rc);
ERRORCODE ch2_LoadTextResourceTable(RESOURCECONTEXT2 *rc);
ERRORCODE ch2_GetResourceText(UINT16 id, RESOURCECONTEXT2 *rc, UCHAR *buffer, UINT16 *length);
ERRORCODE GetResourceTextFromLanguage(SINT chartId, UINT16 id, const LANGUAGEDIRECTORYITEM2 *language, UCHAR *buffer,
                                      UINT16 *length);
