// Lookups in the built-in S-57 tables (the tables themselves are generated at build time).
#include "chartlib/reader/ch2_s57.h"

const char *ch2_GetS57CodeTextPointer(UCHAR type) { return ch2_S57ObjectTable[type].acAcronym; }

SINT ch2_PositionOfAttributeInList(UCHAR type, UINT16 code) {
  const UINT16 *list = ch2_S57ObjectTable[type].ausAttributes;
  for (SINT p = 0; p < CH2_S57_MAX_ATTRIBUTES && list[p] != 0; ++p)
    if (list[p] == code) return p;
  return -1;
}

UINT16 ch2_AttributeAtPositionForS57(UCHAR type, SINT position) {
  if (position < 0 || position >= CH2_S57_MAX_ATTRIBUTES) return 0;
  return ch2_S57ObjectTable[type].ausAttributes[position];
}

const CH2_S57ATTRIBUTE *ch2_FindAttributeEntry(UINT16 code) {
  if (code <= 1) return &ch2_S57AttributeTable[code];
  for (SINT i = 2; i <= 257; ++i)
    if (ch2_S57AttributeTable[i].usCode == code) return &ch2_S57AttributeTable[i];
  return nullptr;
}

UCHAR ch2_GetAttributeStorageType(UINT16 code) {
  const CH2_S57ATTRIBUTE *e = ch2_FindAttributeEntry(code);
  return e ? e->ucStorage : 0;
}

SINT ch2_GetAttributeDetailsFromAttributeCode(UINT16 code, SINT16 *divisor, UCHAR unitAndClass[2]) {
  const CH2_S57ATTRIBUTE *e = ch2_FindAttributeEntry(code);
  if (!e) return -1;
  if (divisor) *divisor = static_cast<SINT16>(e->usFirstTextOrDivisor);
  if (unitAndClass) {
    unitAndClass[0] = e->ucUnit;
    unitAndClass[1] = e->ucClass;
  }
  return 0;
}

const char *ch2_GetAttributeCodeTextPointer(UINT16 code) {
  if (code == 1) return ch2_S57AttributeTable[1].acAcronym;
  for (SINT i = 2; i < CH2_S57_ATTRIBUTE_ENTRIES; ++i)
    if (ch2_S57AttributeTable[i].usCode == code) return ch2_S57AttributeTable[i].acAcronym;
  return nullptr;
}

const char *ch2_GetAttributeTextDescription(UINT16 code) { return ch2_GetAttributeCodeTextPointer(code); }

// End of an attribute's run of value texts: the next greater first-text index of any enumerated attribute
// (attributes may share a run), or the closing entry.
static SINT RunEnd(UINT16 first) {
  SINT end = CH2_SYSTEM_TEXT_COUNT - 1;
  for (SINT i = 1; i <= 257; ++i) {
    const CH2_S57ATTRIBUTE &e = ch2_S57AttributeTable[i];
    if ((e.ucStorage == 'E' || e.ucStorage == 'L') && e.usFirstTextOrDivisor > first &&
        e.usFirstTextOrDivisor < end)
      end = e.usFirstTextOrDivisor;
  }
  return end;
}

const char *ch2_GetAttributeEnumText(UINT16 code, UINT16 value) {
  const CH2_S57ATTRIBUTE *e = ch2_FindAttributeEntry(code);
  if (!e || (e->ucStorage != 'E' && e->ucStorage != 'L') || e->usFirstTextOrDivisor == 0) return nullptr;
  if (value == CH2_ENUM_NOT_AVAILABLE) return ch2_SystemTexts[1];
  if (value > CH2_ENUM_NOT_AVAILABLE) return ch2_SystemTexts[2];
  if (value == 0) return nullptr;
  // Card data can hold values past the attribute's own; those would read another attribute's texts.
  SINT idx = e->usFirstTextOrDivisor + value - 1;
  if (idx >= RunEnd(e->usFirstTextOrDivisor)) return nullptr;
  const char *t = ch2_SystemTexts[idx];
  return t[0] ? t : nullptr;
}
