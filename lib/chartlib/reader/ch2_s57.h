// Built-in S-57 tables of the chart reader: objects (acronym, geometries, layer, attribute list), attribute
// encodings (storage letter, unit, class, divisor or first value text) and the English system texts.
#pragma once
#include "chartlib/chartlib_types.h"

constexpr SINT CH2_S57_MAX_ATTRIBUTES = 64;
constexpr SINT CH2_S57_ATTRIBUTE_ENTRIES = 259;
constexpr SINT CH2_SYSTEM_TEXT_COUNT = 2857;
constexpr UCHAR CH2_ENUM_NOT_AVAILABLE = 254;

typedef struct CH2_S57OBJECT_tag {
  char acAcronym[7];
  UCHAR ucPoint;
  UCHAR ucLine;
  UCHAR ucArea;
  UCHAR ucType;     // 0 for empty entries
  UCHAR ucLayerId;
  UINT16 ausAttributes[CH2_S57_MAX_ATTRIBUTES];  // ends at the first 0
} CH2_S57OBJECT;

typedef struct CH2_S57ATTRIBUTE_tag {
  char acAcronym[8];
  UINT16 usCode;
  UCHAR ucStorage;  // letter A..T, ' ' for the blank entries
  UCHAR ucUnit;
  UCHAR ucClass;    // 1 heights and lengths, 2 depths, 3 POSACC, 4 roalen
  UCHAR ucReserved;
  UINT16 usFirstTextOrDivisor;
} CH2_S57ATTRIBUTE;

extern const CH2_S57OBJECT ch2_S57ObjectTable[256];
extern const CH2_S57ATTRIBUTE ch2_S57AttributeTable[CH2_S57_ATTRIBUTE_ENTRIES];
extern const char *const ch2_SystemTexts[CH2_SYSTEM_TEXT_COUNT];

const char *ch2_GetS57CodeTextPointer(UCHAR type);
SINT ch2_PositionOfAttributeInList(UCHAR type, UINT16 code);
UINT16 ch2_AttributeAtPositionForS57(UCHAR type, SINT position);
UCHAR ch2_GetAttributeStorageType(UINT16 code);
SINT ch2_GetAttributeDetailsFromAttributeCode(UINT16 code, SINT16 *divisor, UCHAR unitAndClass[2]);
const char *ch2_GetAttributeCodeTextPointer(UINT16 code);
const char *ch2_GetAttributeTextDescription(UINT16 code);
const char *ch2_GetAttributeEnumText(UINT16 code, UINT16 value);
// The encoding entry of a code, or nullptr.
const CH2_S57ATTRIBUTE *ch2_FindAttributeEntry(UINT16 code);
