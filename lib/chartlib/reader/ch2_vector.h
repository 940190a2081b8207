// Geometry of line and area features: coordinate-pointer lists and delta-coded coordinate blocks, decoded into
// view pixels in pieces of at most 64 points.
#pragma once
#include "chartlib/reader/ch2_feature.h"

constexpr SINT CH2_MAPDATA_VALUES = 128;  // 64 points
constexpr SINT CH2_MAX_SCALING = 6;
constexpr UINT32 CH2_POINTER_NEW_PART = 0x80000000u;
constexpr UINT32 CH2_POINTER_HIDDEN = 0x40000000u;
constexpr UINT32 CH2_POINTER_ADDRESS = 0x3FFFFFFFu;

// Code bytes of a coordinate block.
constexpr UCHAR CH2_CODE_END = 0x00;
constexpr UCHAR CH2_CODE_JUMP = 0x88;    // absolute x, y (16 bits each)
constexpr UCHAR CH2_CODE_MEDIUM = 0x89;  // dx, dy bytes

typedef struct vectorcontext2_tag {
  SINT iAbsoluteX;
  SINT iAbsoluteY;
  SINT iRemdX;
  SINT iRemdY;
  UINT32 uiCurrentMemoryLocation;
  UINT32 ulAddressOfNextCOORDS;
  UINT32 ulNumberOfPointerInTheCOORDS;
  UINT32 ulCOORDSPointerCounter;
  UINT32 ulCurrentAddressOfSpatialData;
  BOOL bIsHiddenLine;
} VECTORCONTEXT2;

typedef struct mapdata2_tag {
  SINT iCount;
  SINT iBuf[CH2_MAPDATA_VALUES];
} MAPDATA2;

ERRORCODE ch2_GetVector(MAPCONTEXT2 *ctx, LAYERCONTEXT2 *lc, FEATURECONTEXT2 *fc, VECTORCONTEXT2 *vc, MAPDATA2 *md);
ERRORCODE ch2_GetVectorForBridge(MAPCONTEXT2 *ctx, LAYERCONTEXT2 *lc, FEATURECONTEXT2 *fc, VECTORCONTEXT2 *vc,
                                 MAPDATA2 *md);
ERRORCODE ch2_InterpretCOORDData(MAPCONTEXT2 *ctx, LAYERCONTEXT2 *lc, VECTORCONTEXT2 *vc, MAPDATA2 *md);
ERRORCODE ch2_ScaleVector(CHARTCONTEXT2 *cc, const CHARTVIEW2 *cv, VECTORCONTEXT2 *vc, MAPDATA2 *md);
ERRORCODE ch2_OverzoomVector(CHARTCONTEXT2 *cc, const CHARTVIEW2 *cv, VECTORCONTEXT2 *vc, MAPDATA2 *md);
