// Layers of a map: layer codes and names, the on/off set, counting and reading the layer chain.
#pragma once
#include "chartlib/reader/ch2_map.h"

enum : UCHAR { CH2_LAYER_POINT = 0, CH2_LAYER_LINE = 1, CH2_LAYER_AREA = 2, CH2_LAYER_OTHER = 3 };
constexpr UCHAR CH2_DEPTH_AREA_LAYER = 38;
// Ids of the layers whose limits and values are depths.
constexpr UCHAR CH2_DEPTH_LAYER_IDS[4] = {36, 112, 140, 180};
// Depth unit of a depth layer, from header bits 8-10.
enum : UCHAR { CH2_DEPTH_UNIT_METERS = 0, CH2_DEPTH_UNIT_FEET = 1, CH2_DEPTH_UNIT_FATHOMS = 2 };
// Fixed part of a layer record before its attribute-presence entries, and one entry.
constexpr UINT32 CH2_LAYER_FIXED_LENGTH = 19;
constexpr UINT32 CH2_PRESENCE_ENTRY_LENGTH = 9;
constexpr UINT32 CH2_GROUP_LENGTH = 20;

typedef struct attributespresent2_tag {
  ULONG ulAttributeBitMask1;
  ULONG ulAttributeBitMask2;
} ATTRIBUTESPRESENT2;

typedef struct MapLayer2_tag {
  UCHAR ucLayerCode;
  UINT16 usLayerDescription;
  SLONG slLimitLower;
  SLONG slLimitUpper;
  DOUBLE dLimitLower;
  DOUBLE dLimitUpper;
  UINT32 ulAddressOfFirstFeatureRecord;
  UINT32 ulAddressOfSpatialDataRecordOrCategoryOfAnnotation;
  ATTRIBUTESPRESENT2 sAttributesPresentMask[256];
} MAPLAYER2;

typedef enum {
  LAYERSTATE_NONESPECIFIED2 = 0,
  LAYERSTATE_LAYERSPECIFIED2 = 1,
  LAYERSTATE_RETRIVED_FEATURE2 = 2,
  LAYERSTATE_ENDOF_RECORD2 = 3,
  LAYERSTATE_ENDOF_LAYER2 = 4,
  LAYERSTATE_BUFFER_FULL2 = 5,
  LAYERSTATE_BUFFER_RETURNED2 = 6,
} PROCESSSTATE2;

typedef struct layercontext2_tag {
  UCHAR ucUnitOfMeasure;  // 0 none, 2 metres, 3 feet, 4 fathoms
  UINT16 iLayerNumber;
  UINT16 iCurrentDepthLayerNumber;  // consecutive depth-area layers read
  MAPLAYER2 sLayerInformation;
  UINT32 ulAddressOfNextFeature;
  PROCESSSTATE2 usCurrentState;
} LAYERCONTEXT2;

UCHAR ch2_GetLayerTypeFromLayerCode(UCHAR code);
UCHAR ch2_GetLayerIDFromLayerCode(UCHAR code);
const char *ch2_GetLayerTextDescription(UCHAR code);
ERRORCODE ch2_SetAllLayersOn(MAPCONTEXT2 *ctx);
ERRORCODE ch2_SetAllLayersOff(MAPCONTEXT2 *ctx);
ERRORCODE ch2_SetLayerOn(MAPCONTEXT2 *ctx, UCHAR code);
ERRORCODE ch2_SetLayerOff(MAPCONTEXT2 *ctx, UCHAR code);
BOOL ch2_IsLayerOn(const MAPCONTEXT2 *ctx, UCHAR code);
ERRORCODE ch2_CopyLayerOnOffFlags(MAPCONTEXT2 *dst, const MAPCONTEXT2 *src);
ERRORCODE ch2_CountLayers(MAPCONTEXT2 *ctx);
// Index 1 reads the first layer, any other index the next; CH2_WARN_END_OF_LAYERS after the last.
ERRORCODE ch2_GetLayer(MAPCONTEXT2 *ctx, LAYERCONTEXT2 *lc, SINT index);
