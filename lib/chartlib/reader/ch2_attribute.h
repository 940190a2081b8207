// Feature attributes: presence by the layer's mask, order and codes by the object table, encoding by the
// attribute table; decoded into an ATTRIBUTEINFO2.
#pragma once
#include "chartlib/reader/ch2_feature.h"

// Which member of the value holds the result.
enum : UCHAR {
  CH2_ATTR_NONE = 0,
  CH2_ATTR_ENUM = 1,
  CH2_ATTR_LIST = 2,
  CH2_ATTR_CODE = 3,
  CH2_ATTR_FLOAT = 4,
  CH2_ATTR_SIGNED = 5,
  CH2_ATTR_UNSIGNED = 6,
  CH2_ATTR_STRING = 7,
  CH2_ATTR_RESOURCE = 8,
  CH2_ATTR_DISPLAY = 9,
};

constexpr SINT CH2_DISPLAY_CONTROL_ENTRIES = 16;

typedef struct AttributeDspCnt2_tag {
  UCHAR ucDirectionAlignmentAndJustification;
  SINT iSymbolSizeAndRotation;
  SCHAR cOffsetX;
  SCHAR cOffsetY;
} ATTRIBUTEDSPCNT2;

typedef struct AttributeInfo_tag {
  UINT16 usAttributeCode;
  UCHAR ucAttributeType;
  union {
    SLONG slSignedInteger;
    ULONG ulUnsignedInteger;
    FLOAT fFloat;
    ULONG ulResourceId;
    UCHAR ucEnum;
    struct {
      SINT iNoOfCharsInString;
      char cString[256];
    } sString;
    struct {
      SINT iNoInList;
      UCHAR ucAttributeListValue[256];
    } sList;
    struct {
      SINT iNoInDisplayControl;
      ATTRIBUTEDSPCNT2 sForZoomLevel[CH2_DISPLAY_CONTROL_ENTRIES];
    } sDisplayControl;
  } uAttributeValue;
  UCHAR ucUnitOfMeasure;
} ATTRIBUTEINFO2;

ERRORCODE ch2_GetAttribute(MAPCONTEXT2 *ctx, FEATURECONTEXT2 *fc, ATTRIBUTEINFO2 *out, BOOL first);
ERRORCODE ch2_GetSpecificAttribute(MAPCONTEXT2 *ctx, FEATURECONTEXT2 *fc, ATTRIBUTEINFO2 *out, UINT16 code);
ERRORCODE GetAttributeIntoAttributeInfo(CHARTCONTEXT2 *cc, FEATURECONTEXT2 *fc, UCHAR s57Type, UINT16 code,
                                        ATTRIBUTEINFO2 *out);
ERRORCODE ch2_DecodeAttributeDisplayControl(const ATTRIBUTEDSPCNT2 *entry, SINT *direction, SINT *alignment,
                                            SINT *justification, SINT *flag, SINT *symbolSize, SINT *rotation,
                                            SINT *offsetX, SINT *offsetY);
