// Features of a layer: the chain of feature records, one feature per call, with view and zoom filters.
#pragma once
#include "chartlib/reader/ch2_layer.h"

enum : UINT16 {
  CH2_FEAT_END = 0,
  CH2_FEAT_GROUP = 19,
  CH2_FEAT_LINE = 24,
  CH2_FEAT_AREAS_ZOOMED = 25,
  CH2_FEAT_AREAS = 26,
  CH2_FEAT_AREA = 32,
  CH2_FEAT_LINES_ZOOMED = 33,
  CH2_FEAT_LINES = 34,
  CH2_FEAT_POINT = 40,
  CH2_FEAT_POINTS_TYPED = 41,
  CH2_FEAT_POINTS = 42,
  CH2_FEAT_SOUNDING = 44,
  CH2_FEAT_SOUNDINGS = 45,
  CH2_FEAT_RELATION = 54,
};

// Flags of ch2_GetFeature.
constexpr SINT CH2_FEATURE_VIEW_TEST = 1;
constexpr SINT CH2_FEATURE_ZOOM_TEST = 2;
// Results of the filters.
constexpr SINT CH2_FILTER_OUT = 0;
constexpr SINT CH2_FILTER_PARTLY = 1;
constexpr SINT CH2_FILTER_IN = 2;

typedef struct featureinfo2_tag {
  SCHAR cMinZoomLevel;
  SCHAR cMaxZoomLevel;
  UCHAR ucS57Type;
  SLONG lLatitudeCoordinates;
  SLONG lLongitudeCoordinates;
  SLONG lxViewCoordinates;
  SLONG lyViewCoordinates;
  FLOAT fValue;
  BOOL bGroupFlag;
} FEATUREINFO2;

typedef struct featurecontext2_tag {
  FEATUREINFO2 sFeatureRecordInfo;
  UINT16 usRecordTypeOfFeature;
  UINT32 ulVectorOrRelationDataAddress;
  UINT16 usLengthOfRelationData;
  BOOL bIsFeatureRecord;
  BOOL bCheckWithinView;
  UINT16 usLengthOfAttributeData;
  UINT32 ulAddressOfStartOfAttributes;
  UINT32 ulAddressOfNextAttribute;
  SLONG slCurrentAttributePosition;
  ATTRIBUTESPRESENT2 sAttributesPresentMask;
  UCHAR ucUnitOfMeasure;
  SLONG slLowerLeftLonInMercatorMeters;
  SLONG slLowerLeftLatInMercatorMeters;
  SINT iLowerLeftLonInPixels;
  SINT iLowerLeftLatInPixels;
  SINT iUpperRightLonInPixels;
  SINT iUpperRightLatInPixels;
  // The record being read across calls: its length width and the address after it.
  UCHAR ucLengthWidth;
  UINT32 ulEndOfRecord;
} FEATURECONTEXT2;

constexpr SINT CH2_RELATION_ENTRIES = 128;

typedef struct relationentry2_tag {
  UCHAR ucRelation;
  UINT32 ulAddress;
} RELATIONENTRY2;

typedef struct relationdata2_tag {
  RELATIONENTRY2 sEntry[CH2_RELATION_ENTRIES];
  SINT iNumOfEntries;
  UINT32 ulCurrentAddress;
} RELATIONDATA2;

ERRORCODE ch2_GetFeature(MAPCONTEXT2 *ctx, LAYERCONTEXT2 *lc, FEATURECONTEXT2 *fc, SINT flags);
ERRORCODE ch2_GetRelationData(SINT chartId, FEATURECONTEXT2 *fc, RELATIONDATA2 *rd, BOOL first);
UINT32 ch2_ReadNumberOfLineSegments(MAPCONTEXT2 *ctx);
ERRORCODE ch_ResetFeatureContext(FEATURECONTEXT2 *fc);
SINT ch2_NoFilter(MAPCONTEXT2 *ctx, FEATURECONTEXT2 *fc);
SINT ch2_WithinZoomRange(MAPCONTEXT2 *ctx, FEATURECONTEXT2 *fc);
SINT ch2_CheckBoundBoxInPixels(MAPCONTEXT2 *ctx, FEATURECONTEXT2 *fc);
SINT ch2_CheckBoundBoxInMeters(MAPCONTEXT2 *ctx, FEATURECONTEXT2 *fc);
SINT ch2_PointWithinView(MAPCONTEXT2 *ctx, FEATURECONTEXT2 *fc);
SINT ch2_PointWithoutFilter(MAPCONTEXT2 *ctx, FEATURECONTEXT2 *fc);
// The value of a sounding's depth word.
FLOAT ch2_DepthFromWord(UINT16 word);
// Reads a count of width bytes (1, 2 or 4) at the context.
UINT32 ch2_ReadCount(CHARTCONTEXT2 *cc, UCHAR width);
