// Map directory and headers, the map context with its zoom and views, conversions between Mercator metres, map
// units and view pixels, view geometry and range rounding.
#pragma once
#include "chartlib/reader/ch2_record.h"

// Headers whose edges lie beyond these keep the defaults (no zoom).
constexpr SLONG CH2_HEADER_X_LIMIT = 20038300;
constexpr SLONG CH2_HEADER_Y_LIMIT = 15433199;
constexpr SLONG CH2_FIELD_Y_LIMIT = 15433198;
constexpr int CH2_RESOLUTION_SHIFT = 14;      // stored resolutions are map pixels; headers keep map units
constexpr SLONG CH2_MAX_RAW_RESOLUTION = 65535;  // map pixels; more would scale past the tables
constexpr SLONG CH2_MAX_RESOLUTION = CH2_MAX_RAW_RESOLUTION << CH2_RESOLUTION_SHIFT;
constexpr UINT32 CH2_MAP_HEADER_LENGTH = 52;
constexpr DOUBLE CH2_EPSILON = 2.220446049250313e-16;
constexpr DOUBLE CH2_RANGE_FACTOR = 0.00026993904776301513;  // metres of field to the range figure
constexpr SINT CH2_DEFAULT_ENV_MAX_SCALE = 6;
constexpr SINT CH2_DEFAULT_ENV_MAX_OVZ = 14;
constexpr SINT CH2_DEPTH_NO_VALUE = 0x7FFFFFFE;

typedef struct chartconfig2_tag {
  SINT iChartId;
  BOOL bDeviceIsRemovable;
  UCHAR ucChartSelectFileType;
} CHARTCONFIG2;

typedef struct limits2_tag {
  SINT iMaxScale;
  SINT iMaxOvz;
} LIMITS2;

typedef struct MapHeader2_tag {
  SINT iChartDeviceId;
  SINT iMapId;
  SINT iMaxScale;
  UINT16 usMapCode;
  SINT16 usMapType;
  SLONG slLeftInMercatorMeters;
  SLONG slBottomInMercatorMeters;
  SLONG slRightInMercatorMeters;
  SLONG slTopInMercatorMeters;
  UINT16 usMapTitle;
  UINT16 usMapNotes;
  SLONG slResolutionX;  // map units (stored value shifted by 14); 0 when the card's value is unusable
  SLONG slResolutionY;
  UINT16 usIntendedUsage;
  UINT16 usUsageLimitations;
  SINT slRangeUpper;
  SINT slRangeLower;
  UINT32 ulAddressOfSpatialDataRecordForMap;
  UINT32 ulAddrOfTheFirstMapLayerRec;
  FLOAT fMaxField;
  FLOAT fMinField;
  LIMITS2 sEnvLim;
} MAPHEADER2;

typedef struct MapDirectory2_tag {
  SINT iNumOfMaps;
  SINT iMaxMaps;
  MAPHEADER2 *sMapHeader;  // the caller's array of iMaxMaps headers
} MAPDIRECTORY2;

typedef struct portpagescontext2_tag {
  SINT iChartId;  // -1 without a directory
  UINT32 ulBeginAddress;
  UINT32 ulEndAddress;
  UINT32 ulNextAddress;
} PORTPAGESCONTEXT2;

typedef struct MapZoom2_tag {
  SINT iScaling;
  SLONG slMsize;
  SLONG slGCSizeX;
  SLONG slGCSizeY;
  FLOAT fMmPixX;
  FLOAT fMmPixY;
  FLOAT fEle;
  FLOAT fCve;
  FLOAT fCvf;
  FLOAT fCvd;
} MAPZOOM2;

typedef struct MapView2_tag {
  POINT sPointScreenOrg;
  POINT sPointLeftBottom;
  POINT sPointRightTop;
  POINT sPointMiddle;
  POINT sLeftBottomInMM;
  POINT sRightTopInMM;
  FLOAT fRange;
  POSITION sGridMiddle;  // minutes of arc
  FLOAT fGridStep;
  FLOAT fGridKlat;
} MAPVIEW2;

typedef struct ChartView2_tag {
  SINT iZoomLevel;
  SINT iScaling;
  UINT32 ulViewOrigX;
  UINT32 ulViewOrigY;
  UINT32 ulViewSizeX;
  UINT32 ulViewSizeY;
} CHARTVIEW2;

typedef struct videomemorysize2_tag {
  SINT iWidth;
  SINT iHeight;
} VIDEOMEMORYSIZE2;

typedef struct MapContext2_tag {
  RECORDCONTEXT2 sRecordContext;
  MAPHEADER2 sMapHeader;
  MAPZOOM2 sMapZoom;
  MAPVIEW2 sMapView;
  CHARTVIEW2 sChartView;
  UINT16 usNumberOfLayers;
  UINT16 usCurrentLayerNumber;
  UINT32 ulAddrOfTheNextMapLayerRec;
  UINT32 ulLayerOnOffFlags[8];
  SINT slDepthValuesList[4];
  VIDEOMEMORYSIZE2 sVideoSize;
} MAPCONTEXT2;

// Map directory, headers and port-services directory.
ERRORCODE ch2_ClearMapDirectory(MAPDIRECTORY2 *dir);
ERRORCODE ch2_GetMapDirectoryCount(const CHARTCONFIG2 *cfg, UINT32 *count);
ERRORCODE ch2_LoadMapDirectory(const CHARTCONFIG2 *cfg, MAPDIRECTORY2 *dir, SINT *count);
ERRORCODE ch2_ReadMapHeader(CHARTCONTEXT2 *cc, SINT mapIndex, MAPHEADER2 *header);
ERRORCODE ch2_GetMapHeader(const MAPCONTEXT2 *ctx, MAPHEADER2 *header);
ERRORCODE ch2_SetMapHeader(MAPCONTEXT2 *ctx, const MAPHEADER2 *header);
ERRORCODE ch2_ClearMapHeader(MAPCONTEXT2 *ctx);
ERRORCODE ch2_CalcField(SLONG y1, SLONG y2, SINT s1, SINT s2, FLOAT *field);
ERRORCODE ch2_LoadPortPagesDirectory(SINT chartId, PORTPAGESCONTEXT2 *ppc);
ERRORCODE ch2_GetPortPagesAddress(PORTPAGESCONTEXT2 *ppc, UINT32 *address, BOOL first);

// Zoom and views.
ERRORCODE ch2_ClearMapZoom(MAPCONTEXT2 *ctx);
ERRORCODE ch2_GetMapZoom(const MAPCONTEXT2 *ctx, MAPZOOM2 *zoom);
ERRORCODE ch2_SetMapZoom(MAPCONTEXT2 *ctx, const MAPZOOM2 *zoom);
ERRORCODE ch2_CalcMapZoom(MAPCONTEXT2 *ctx, SINT power, SINT width, SINT height);
ERRORCODE ch2_SetScreenSize(MAPCONTEXT2 *ctx, SINT width, SINT height);
ERRORCODE ch2_CalcScale(const MAPCONTEXT2 *ctx, DOUBLE distance, SINT *power);
ERRORCODE ch2_ClearMapView(MAPCONTEXT2 *ctx);
ERRORCODE ch2_GetMapView(const MAPCONTEXT2 *ctx, MAPVIEW2 *view);
ERRORCODE ch2_SetMapView(MAPCONTEXT2 *ctx, const MAPVIEW2 *view);
ERRORCODE ch2_CalcMapView(MAPCONTEXT2 *ctx, POINT centre, SINT margin, BOOL *centred);
ERRORCODE ch2_ClearChartView(MAPCONTEXT2 *ctx);
ERRORCODE ch2_CalcChartView(MAPCONTEXT2 *ctx);

// Conversions.
ERRORCODE ch2_MeterToPixel(const MAPCONTEXT2 *ctx, const POINT *meters, POINT *pixel);
ERRORCODE ch2_PixelToMeter(const MAPCONTEXT2 *ctx, const POINT *pixel, POINT *meters);
ERRORCODE ch2_DegrToPixel(const MAPCONTEXT2 *ctx, const POSITION *pos, POINT *pixel);
ERRORCODE ch2_GeographicToPixel(const MAPCONTEXT2 *ctx, const GEOGRAPHIC *geo, POINT *pixel);
void ch2_PixelToDegr(const MAPCONTEXT2 *ctx, const POINT *pixel, POSITION *pos);
void ch2_PixelToGeographic(const MAPCONTEXT2 *ctx, const POINT *pixel, GEOGRAPHIC *geo);
ERRORCODE ch2_AbsolutePixels(const MAPCONTEXT2 *ctx, const POINT *view, POINT *pixel);
ERRORCODE ch2_RelativePixels(const MAPCONTEXT2 *ctx, const POINT *pixel, POINT *view);

// View geometry and range rounding.
ERRORCODE ch2_IsPointInsideView(const MAPCONTEXT2 *ctx, const POINT *p, SINT margin, BOOL *inside);
ERRORCODE ch2_IsSegmentOutsideView(const MAPCONTEXT2 *ctx, const POINT *p1, const POINT *p2, SINT margin,
                                   BOOL *outside);
ERRORCODE ch2_ViewIntersection(const MAPCONTEXT2 *ctx, DOUBLE slope, DOUBLE intercept, POINT *first,
                               POINT *second);
ERRORCODE ch2_LinearDistance(const MAPCONTEXT2 *ctx, const POINT *p1, const POINT *p2, BOOL meters,
                             DOUBLE *distance);
ERRORCODE ch2_AutoRange(POINT a, POINT b, DOUBLE minimum, SINT size, FLOAT *range);
ERRORCODE ch2_RoundRange(DOUBLE value, FLOAT *range);
ERRORCODE ch2_RoundToMileFrac(DOUBLE value, DOUBLE step, FLOAT *out);
ERRORCODE ch2_CalcRatio(DOUBLE value, SINT divisor, FLOAT *out);
DOUBLE ch2_RoundGridStep(DOUBLE value);

// The grid steps (minutes of arc) of the lat/lon grid, by table index.
extern const DOUBLE ch2_GridStepTable[20];
