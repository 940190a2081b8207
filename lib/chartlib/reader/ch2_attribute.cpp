// Decoding of feature attribute values by storage letter, with the unknown and not-available markers.
#include "chartlib/reader/ch2_attribute.h"

#include <cstring>

#include "chartlib/reader/ch2_s57.h"

namespace {

constexpr UCHAR kCountUnknown = 255, kCountNotAvailable = 254;
constexpr UCHAR kDisplayRepeat = 255;
constexpr UCHAR kUnitMetres = 2;

bool Present(const ATTRIBUTESPRESENT2 &m, SINT p) {
  return p < 32 ? (m.ulAttributeBitMask1 >> (31 - p)) & 1u : (m.ulAttributeBitMask2 >> (63 - p)) & 1u;
}

// The next present position from p on; -1 when none (an empty mask 2 ends the search at 32).
SINT NextPresent(const ATTRIBUTESPRESENT2 &m, SINT p) {
  for (; p < CH2_S57_MAX_ATTRIBUTES; ++p) {
    if (p >= 32 && m.ulAttributeBitMask2 == 0) return -1;
    if (Present(m, p)) return p;
  }
  return -1;
}

SINT DisplayEntries(const FEATURECONTEXT2 *fc) {
  const SINT n = fc->sFeatureRecordInfo.cMaxZoomLevel - fc->sFeatureRecordInfo.cMinZoomLevel + 1;
  return n < 0 ? 0 : n > CH2_DISPLAY_CONTROL_ENTRIES ? CH2_DISPLAY_CONTROL_ENTRIES : n;
}

// Reads (or, without out, passes over) a display control.
void ReadDisplayControl(CHARTCONTEXT2 *cc, const FEATURECONTEXT2 *fc, ATTRIBUTEINFO2 *out) {
  const SINT n = DisplayEntries(fc);
  ATTRIBUTEDSPCNT2 prev{};
  for (SINT i = 0; i < n; ++i) {
    ATTRIBUTEDSPCNT2 e{};
    const UCHAR b = static_cast<UCHAR>(ch2_ReadByte(cc));
    if (i > 0 && b == kDisplayRepeat) {
      e = prev;
    } else {
      e.ucDirectionAlignmentAndJustification = b;
      e.iSymbolSizeAndRotation = ch2_ReadWord(cc) & 0xFFFF;
      e.cOffsetX = static_cast<SCHAR>(ch2_ReadByte(cc));
      e.cOffsetY = static_cast<SCHAR>(ch2_ReadByte(cc));
    }
    if (out) out->uAttributeValue.sDisplayControl.sForZoomLevel[i] = e;
    prev = e;
  }
  if (out) out->uAttributeValue.sDisplayControl.iNoInDisplayControl = n;
}

// Passes over one value; false for a storage that does not decode.
bool SkipValue(CHARTCONTEXT2 *cc, const FEATURECONTEXT2 *fc, UCHAR letter) {
  switch (letter) {
    case 'A':
    case 'L':
    case 'S': {
      const UCHAR n = static_cast<UCHAR>(ch2_ReadByte(cc));
      if (n != kCountUnknown && n != kCountNotAvailable) cc->Address += n;
      return true;
    }
    case 'E': cc->Address += 1; return true;
    case 'I':
    case 'K':
    case 'M':
    case 'P': cc->Address += 4; return true;
    case 'D': ReadDisplayControl(cc, fc, nullptr); return true;
    case 'B':
    case 'G':
    case 'H':
    case 'J':
    case 'N':
    case 'O':
    case 'T': cc->Address += 2; return true;
    default: return false;
  }
}

// The marker a stored value carries: U, N or none.
ERRORCODE Marker(UINT32 v, UINT32 unknown, UINT32 notAvailable) {
  if (v == unknown) return CH2_WARN_VALUE_UNKNOWN;
  if (v == notAvailable) return CH2_WARN_VALUE_NOT_AVAILABLE;
  return CL_SUCCESS;
}

}  // namespace

ERRORCODE GetAttributeIntoAttributeInfo(CHARTCONTEXT2 *cc, FEATURECONTEXT2 *fc, UCHAR, UINT16 code,
                                        ATTRIBUTEINFO2 *out) {
  out->uAttributeValue.ulUnsignedInteger = 0;
  if (code == 0) {
    out->usAttributeCode = 0;
    out->ucAttributeType = CH2_ATTR_NONE;
    return CH2_ERR_ATTRIBUTE_CODE;
  }
  const CH2_S57ATTRIBUTE *a = ch2_FindAttributeEntry(code);
  if (!a) return CH2_ERR_UNKNOWN_ATTRIBUTE;
  out->usAttributeCode = code;
  out->ucUnitOfMeasure = a->ucUnit;
  if (a->ucUnit == kUnitMetres && fc->ucUnitOfMeasure != 0) out->ucUnitOfMeasure = fc->ucUnitOfMeasure;
  const UINT32 d = a->usFirstTextOrDivisor;
  auto &v = out->uAttributeValue;
  switch (a->ucStorage) {
    case 'A':
    case 'S':
    case 'L': {
      const bool list = a->ucStorage == 'L';
      out->ucAttributeType = list ? CH2_ATTR_LIST : CH2_ATTR_STRING;
      const UCHAR n = static_cast<UCHAR>(ch2_ReadByte(cc));
      const ERRORCODE m = Marker(n, kCountUnknown, kCountNotAvailable);
      if (m != CL_SUCCESS) {
        if (list) v.sList.iNoInList = 0; else v.sString.iNoOfCharsInString = 0;
        return m;
      }
      if (list) {
        v.sList.iNoInList = n;
        ch2_ReadBlock(v.sList.ucAttributeListValue, n, cc);
      } else {
        v.sString.iNoOfCharsInString = n;
        ch2_ReadBlock(reinterpret_cast<UCHAR *>(v.sString.cString), n, cc);
        v.sString.cString[n] = 0;
      }
      return CL_SUCCESS;
    }
    case 'B':
    case 'T':
    case 'G': {
      out->ucAttributeType = a->ucStorage == 'G' ? CH2_ATTR_CODE : CH2_ATTR_RESOURCE;
      const UINT32 w = static_cast<UINT32>(ch2_ReadWord(cc)) & 0xFFFF;
      const ERRORCODE m = Marker(w, 1, 2);
      if (m == CL_SUCCESS) v.ulUnsignedInteger = w;
      return m;
    }
    case 'E': {
      out->ucAttributeType = CH2_ATTR_ENUM;
      const UCHAR b = static_cast<UCHAR>(ch2_ReadByte(cc));
      const ERRORCODE m = Marker(b, kCountUnknown, kCountNotAvailable);
      if (m == CL_SUCCESS) v.ucEnum = b;
      return m;
    }
    case 'H':
    case 'J':
    case 'K':
    case 'M': {
      out->ucAttributeType = CH2_ATTR_FLOAT;
      DOUBLE value;
      ERRORCODE m;
      if (a->ucStorage == 'H' || a->ucStorage == 'J') {
        const UINT32 w = static_cast<UINT32>(ch2_ReadWord(cc)) & 0xFFFF;
        m = a->ucStorage == 'H' ? Marker(w, 0x7FFF, 0x7FFE) : Marker(w, 0xFFFF, 0xFFFE);
        value = a->ucStorage == 'H' ? static_cast<int16_t>(w) : static_cast<DOUBLE>(w);
      } else {
        const UINT32 l = ch2_ReadLong(cc);
        m = a->ucStorage == 'K' ? Marker(l, 0xFFFFFFFFu, 0xFFFFFFFEu) : Marker(l, 0x7FFFFFFFu, 0x7FFFFFFEu);
        value = a->ucStorage == 'K' ? static_cast<DOUBLE>(l) : static_cast<int32_t>(l);
      }
      if (m != CL_SUCCESS) return m;
      v.fFloat = static_cast<FLOAT>(d ? value / d : value);
      return CL_SUCCESS;
    }
    case 'I': {
      out->ucAttributeType = CH2_ATTR_SIGNED;
      const UINT32 l = ch2_ReadLong(cc);
      const ERRORCODE m = Marker(l, 0x7FFFFFFFu, 0x7FFFFFFEu);
      if (m == CL_SUCCESS) v.slSignedInteger = d ? static_cast<int32_t>(l) / static_cast<int32_t>(d) : static_cast<int32_t>(l);
      return m;
    }
    case 'N': {
      out->ucAttributeType = CH2_ATTR_SIGNED;
      const SLONG w = ch2_ReadWord(cc) & 0xFFFF;
      v.slSignedInteger = d ? w / static_cast<SLONG>(d) : w;
      return CL_SUCCESS;
    }
    case 'O':
    case 'P': {
      out->ucAttributeType = CH2_ATTR_UNSIGNED;
      const bool word = a->ucStorage == 'O';
      const UINT32 raw = word ? static_cast<UINT32>(ch2_ReadWord(cc)) & 0xFFFF : ch2_ReadLong(cc);
      const ERRORCODE m = word ? Marker(raw, 0xFFFF, 0xFFFE) : Marker(raw, 0xFFFFFFFFu, 0xFFFFFFFEu);
      if (m == CL_SUCCESS) v.ulUnsignedInteger = d ? raw / d : raw;
      return m;
    }
    case 'D':
      out->ucAttributeType = CH2_ATTR_DISPLAY;
      ReadDisplayControl(cc, fc, out);
      return CL_SUCCESS;
    default:
      return CH2_ERR_ATTRIBUTE_CODE;
  }
}

ERRORCODE ch2_GetAttribute(MAPCONTEXT2 *ctx, FEATURECONTEXT2 *fc, ATTRIBUTEINFO2 *out, BOOL first) {
  out->usAttributeCode = 0;
  out->ucAttributeType = CH2_ATTR_NONE;
  SINT from;
  if (first) {
    fc->ulAddressOfNextAttribute = fc->ulAddressOfStartOfAttributes;
    from = 0;
  } else {
    from = fc->slCurrentAttributePosition + 1;
  }
  const SINT p = from < 0 ? -1 : NextPresent(fc->sAttributesPresentMask, from);
  if (p < 0) return CH2_WARN_NO_MORE_ATTRIBUTES;
  const UCHAR type = fc->sFeatureRecordInfo.ucS57Type;
  const UINT16 code = ch2_AttributeAtPositionForS57(type, p);
  fc->slCurrentAttributePosition = p;
  if (code == 0) return CH2_ERR_ATTRIBUTE_NO_CODE;
  CHARTCONTEXT2 cc{ctx->sMapHeader.iChartDeviceId, fc->ulAddressOfNextAttribute, CH2_READ_FEATURES};
  const ERRORCODE e = GetAttributeIntoAttributeInfo(&cc, fc, type, code, out);
  fc->ulAddressOfNextAttribute = cc.Address;
  return e;
}

ERRORCODE ch2_GetSpecificAttribute(MAPCONTEXT2 *ctx, FEATURECONTEXT2 *fc, ATTRIBUTEINFO2 *out, UINT16 code) {
  out->usAttributeCode = 0;
  out->ucAttributeType = CH2_ATTR_NONE;
  if (fc->usLengthOfAttributeData == 0) return CH2_WARN_NO_ATTRIBUTES;
  const UCHAR type = fc->sFeatureRecordInfo.ucS57Type;
  const SINT pos = ch2_PositionOfAttributeInList(type, code);
  if (pos < 0 || !Present(fc->sAttributesPresentMask, pos)) return CH2_WARN_NOT_CARRIED;
  CHARTCONTEXT2 cc{ctx->sMapHeader.iChartDeviceId, fc->ulAddressOfStartOfAttributes, CH2_READ_FEATURES};
  for (SINT p = NextPresent(fc->sAttributesPresentMask, 0); p >= 0; p = NextPresent(fc->sAttributesPresentMask, p + 1)) {
    const UINT16 c = ch2_AttributeAtPositionForS57(type, p);
    if (c == 0) continue;
    if (c == code) return GetAttributeIntoAttributeInfo(&cc, fc, type, code, out);
    if (!SkipValue(&cc, fc, ch2_GetAttributeStorageType(c))) return CH2_ERR_ATTRIBUTE_CODE;
  }
  return CH2_ERR_ATTRIBUTE_NOT_MET;
}

ERRORCODE ch2_DecodeAttributeDisplayControl(const ATTRIBUTEDSPCNT2 *entry, SINT *direction, SINT *alignment,
                                            SINT *justification, SINT *flag, SINT *symbolSize, SINT *rotation,
                                            SINT *offsetX, SINT *offsetY) {
  const UCHAR b = entry->ucDirectionAlignmentAndJustification;
  const SINT w = entry->iSymbolSizeAndRotation;
  *direction = (b >> 5) & 3;
  *alignment = b & 15;
  *justification = (b >> 4) & 1;
  *flag = (b >> 7) & 1;
  *symbolSize = (w >> 9) & 31;
  *rotation = w & 0x1FF;
  *offsetX = entry->cOffsetX;
  *offsetY = entry->cOffsetY;
  return CL_SUCCESS;
}
