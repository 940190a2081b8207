// Layer codes and names, the layer on/off set, and the walk over a map's layer chain.
#include "chartlib/reader/ch2_layer.h"

#include <array>
#include <cstring>

#include "chartlib/reader/ch2_internal.h"
#include "chartlib/nav/nv_navig.h"

namespace {

enum : unsigned { P = 1u << CH2_LAYER_POINT, L = 1u << CH2_LAYER_LINE, A = 1u << CH2_LAYER_AREA,
                  O = 1u << CH2_LAYER_OTHER };

struct LayerName {
  UCHAR id;
  const char *name;
  unsigned types;
};

constexpr LayerName kNames[] = {
    {4, "Address Area", A},        {8, "Admin Area", L | A},
    {12, "Anchorage Area", P | L | A}, {16, "Annotation", P},
    {20, "Buildings", P | A},       {24, "Cables", L | A},
    {28, "Control Point", P},       {32, "Cultural Feature", P | L | A},
    {36, "Depth", L | A},           {40, "ENCtrf", A},
    {44, "Ferry Way", L | A},       {48, "Fish Area", P | L | A},
    {52, "Group", O},               {56, "Lake", A},
    {60, "Land", P | L | A},        {64, "Landmark", P | L | A},
    {68, "Magnetic Anomalies", P | L | A}, {72, "Manoeuvre", O},
    {76, "Metadata", A},            {80, "Military areas", P | A},
    {84, "Nature of seabed", P | L | A}, {88, "Navaids", P | L | A},
    {92, "Obstruction", P | L | A}, {96, "Offshore struct.", P | L | A},
    {100, "Pipeline", P | L | A},   {104, "Port", P | L | A},
    {108, "Railway", L},            {112, "Relief", P | L},
    {116, "Restricted Area", L | A}, {120, "Road", L},
    {124, "Rocks", P},              {128, "Services", P | A},
    {132, "Settlement", P},         {136, "Shore line construction", P | L | A},
    {140, "Spot Sounding", P},      {144, "Tides and Current", P | L | A},
    {148, "Track Routes", P | L | A}, {152, "Transportation", P},
    {156, "Unsurveyed Areas", A},   {160, "Various", P | L | A},
    {164, "Vegetation", P | L | A}, {168, "Waste Area", P | A},
    {172, "Water Lines", P | L | A}, {176, "Wrecks", P | A},
    {180, "Swept Area", A},
};

const std::array<const char *, 256> &NameTable() {
  static const std::array<const char *, 256> table = [] {
    std::array<const char *, 256> t;
    t.fill("");
    t[0] = "ILLEGAL Point";
    t[1] = "ILLEGAL Line";
    t[2] = "ILLEGAL Area";
    t[3] = "ILLEGAL Other";
    for (const LayerName &n : kNames)
      for (unsigned type = 0; type < 4; ++type)
        if (n.types & (1u << type)) t[n.id + type] = n.name;
    return t;
  }();
  return table;
}

bool IsDepthLayer(UCHAR code) {
  const UCHAR id = ch2_GetLayerIDFromLayerCode(code);
  for (UCHAR d : CH2_DEPTH_LAYER_IDS)
    if (d == id) return true;
  return false;
}

UCHAR HeaderUnit(const RECORDCONTEXT2 &rc) {
  return static_cast<UCHAR>((rc.usRecordType & CH2_HDR_VALUE_MASK) >> CH2_HDR_VALUE_SHIFT);
}

void PushDepth(MAPCONTEXT2 *ctx, SINT value, SINT *last) {
  SINT *list = ctx->slDepthValuesList;
  std::memmove(list + 1, list, 3 * sizeof(SINT));
  list[0] = value;
  *last = value;
}

// Which sides of the view rectangle a point lies beyond: 1 left, 2 right, 4 below, 8 above.
unsigned Outcode(int64_t x, int64_t y, int64_t left, int64_t bottom, int64_t right, int64_t top) {
  return (x < left ? 1u : 0u) | (x > right ? 2u : 0u) | (y < bottom ? 4u : 0u) | (y > top ? 8u : 0u);
}

// The group at rc's data overlaps the view (boxes inclusive, across the meridian on the carried grid).
bool GroupInView(const MAPCONTEXT2 *ctx, CHARTCONTEXT2 *cc) {
  int64_t west = static_cast<SLONG>(ch2_ReadLong(cc));
  const int64_t south = static_cast<SLONG>(ch2_ReadLong(cc));
  int64_t east = static_cast<SLONG>(ch2_ReadLong(cc));
  const int64_t north = static_cast<SLONG>(ch2_ReadLong(cc));
  const POINT &lb = ctx->sMapView.sLeftBottomInMM, &rt = ctx->sMapView.sRightTopInMM;
  int64_t left = lb.x, right = rt.x;
  if (rt.x < lb.x) {
    left = nv_AllAround(lb.x);
    right = nv_AllAround(rt.x);
    west = nv_AllAround(static_cast<SLONG>(west));
    east = nv_AllAround(static_cast<SLONG>(east));
  }
  const unsigned a = Outcode(west, south, left, lb.y, right, rt.y);
  const unsigned b = Outcode(east, north, left, lb.y, right, rt.y);
  return (a & b) == 0;
}

void ReadLayer(const RECORDCONTEXT2 &rc, LAYERCONTEXT2 *lc) {
  CHARTCONTEXT2 cc = rc.sChartContext;
  MAPLAYER2 &ml = lc->sLayerInformation;
  ml.ucLayerCode = static_cast<UCHAR>(ch2_ReadByte(&cc));
  ml.usLayerDescription = static_cast<UINT16>(ch2_ReadWord(&cc));
  ml.ulAddressOfFirstFeatureRecord = ch2_ReadLong(&cc);
  ml.ulAddressOfSpatialDataRecordOrCategoryOfAnnotation = ch2_ReadLong(&cc);
  ml.slLimitLower = static_cast<SLONG>(ch2_ReadLong(&cc));
  ml.slLimitUpper = static_cast<SLONG>(ch2_ReadLong(&cc));
  ml.dLimitLower = ml.slLimitLower * 0.1;
  ml.dLimitUpper = ml.slLimitUpper * 0.1;
  std::memset(ml.sAttributesPresentMask, 0, sizeof ml.sAttributesPresentMask);
  // Whole entries to the end of the record.
  while (cc.Address < rc.ulNextRecordAddress && rc.ulNextRecordAddress - cc.Address >= CH2_PRESENCE_ENTRY_LENGTH) {
    const UCHAR type = static_cast<UCHAR>(ch2_ReadByte(&cc));
    ml.sAttributesPresentMask[type].ulAttributeBitMask1 = ch2_ReadLong(&cc);
    ml.sAttributesPresentMask[type].ulAttributeBitMask2 = ch2_ReadLong(&cc);
  }
  static const UCHAR kUnits[3] = {2, 3, 4};
  const UCHAR unit = HeaderUnit(rc);
  lc->ucUnitOfMeasure = (IsDepthLayer(ml.ucLayerCode) && unit < 3) ? kUnits[unit] : 0;
}

}  // namespace

UCHAR ch2_GetLayerTypeFromLayerCode(UCHAR code) { return code & 3; }
UCHAR ch2_GetLayerIDFromLayerCode(UCHAR code) { return code & 0xFC; }
const char *ch2_GetLayerTextDescription(UCHAR code) { return NameTable()[code]; }

ERRORCODE ch2_SetAllLayersOn(MAPCONTEXT2 *ctx) {
  for (UINT32 &w : ctx->ulLayerOnOffFlags) w = 0xFFFFFFFFu;
  return CL_SUCCESS;
}

ERRORCODE ch2_SetAllLayersOff(MAPCONTEXT2 *ctx) {
  for (UINT32 &w : ctx->ulLayerOnOffFlags) w = 0;
  return CL_SUCCESS;
}

ERRORCODE ch2_SetLayerOn(MAPCONTEXT2 *ctx, UCHAR code) {
  ctx->ulLayerOnOffFlags[code / 32] |= 1u << (code % 32);
  return CL_SUCCESS;
}

ERRORCODE ch2_SetLayerOff(MAPCONTEXT2 *ctx, UCHAR code) {
  ctx->ulLayerOnOffFlags[code / 32] &= ~(1u << (code % 32));
  return CL_SUCCESS;
}

BOOL ch2_IsLayerOn(const MAPCONTEXT2 *ctx, UCHAR code) {
  return (ctx->ulLayerOnOffFlags[code / 32] >> (code % 32)) & 1u ? TRUE : FALSE;
}

ERRORCODE ch2_CopyLayerOnOffFlags(MAPCONTEXT2 *dst, const MAPCONTEXT2 *src) {
  std::memcpy(dst->ulLayerOnOffFlags, src->ulLayerOnOffFlags, sizeof dst->ulLayerOnOffFlags);
  return CL_SUCCESS;
}

ERRORCODE ch2_CountLayers(MAPCONTEXT2 *ctx) {
  ctx->usCurrentLayerNumber = 0;
  ctx->usNumberOfLayers = 0;
  for (SINT &d : ctx->slDepthValuesList) d = CH2_DEPTH_NO_VALUE;
  SINT last = CH2_DEPTH_NO_VALUE;

  RECORDCONTEXT2 rc{};
  SetRecordContext(&rc, ctx->sMapHeader.iChartDeviceId, ctx->sMapHeader.ulAddrOfTheFirstMapLayerRec);
  SetRecordReadingType(&rc, CH2_READ_LAYERS);
  UINT16 type = GetRecordTypeAndLength(&rc);
  if (type == CH2_REC_LINK) return CH2_WARN_END_OF_LAYERS;
  for (UINT32 step = 0; type == CH2_REC_MAP_LAYER && step < CH2_MAX_CHAIN_STEPS; ++step) {
    CHARTCONTEXT2 cc = rc.sChartContext;
    const UCHAR code = static_cast<UCHAR>(ch2_ReadByte(&cc));
    cc.Address += 10;
    const SLONG e = static_cast<SLONG>(ch2_ReadLong(&cc));
    const SLONG f = static_cast<SLONG>(ch2_ReadLong(&cc));
    ++ctx->usNumberOfLayers;
    if (code == CH2_DEPTH_AREA_LAYER) {
      if (e >= CH2_DEPTH_NO_VALUE) {
        if (last != 0) PushDepth(ctx, 0, &last);
      } else if (e != 0 || f != 0) {
        DOUBLE v = e;
        const UCHAR unit = HeaderUnit(rc);
        if (unit == CH2_DEPTH_UNIT_FEET) v = nv_FeetMeters(v, 1);
        if (unit == CH2_DEPTH_UNIT_FATHOMS) v = nv_FathomsMeters(v, 1);
        const SINT tenths = ch2_detail::TruncSat(v);
        if (tenths != last) PushDepth(ctx, tenths, &last);
      }
    }
    // A length that wraps the address space would lead back into the chain.
    if (rc.ulNextRecordAddress <= rc.ulRecordAddress && rc.ulRecordLength != 0) break;
    type = GetNextRecordTypeAndLength(&rc);
  }
  return CL_SUCCESS;
}

ERRORCODE ch2_GetLayer(MAPCONTEXT2 *ctx, LAYERCONTEXT2 *lc, SINT index) {
  if (index == 1) {
    ctx->ulAddrOfTheNextMapLayerRec = ctx->sMapHeader.ulAddrOfTheFirstMapLayerRec;
    ctx->usCurrentLayerNumber = 1;
    lc->iCurrentDepthLayerNumber = 0;
  } else {
    ++ctx->usCurrentLayerNumber;
  }
  RECORDCONTEXT2 rc{};
  for (UINT32 step = 0; step < CH2_MAX_CHAIN_STEPS; ++step) {
    SetRecordContext(&rc, ctx->sMapHeader.iChartDeviceId, ctx->ulAddrOfTheNextMapLayerRec);
    SetRecordReadingType(&rc, CH2_READ_LAYERS);
    const UINT32 at = ctx->ulAddrOfTheNextMapLayerRec;
    const UINT16 type = GetRecordTypeAndLength(&rc);
    if (type == CH2_REC_LINK) return CH2_WARN_END_OF_LAYERS;
    UINT32 next = rc.ulNextRecordAddress;
    if (type == CH2_REC_GROUP) {
      CHARTCONTEXT2 cc = rc.sChartContext;
      if (!GroupInView(ctx, &cc)) {
        next = ch2_ReadLong(&cc);
        // The skip address comes from the card: one that does not lead past the group would loop.
        if (next < rc.ulNextRecordAddress) return CH2_WARN_END_OF_LAYERS;
      }
    } else {
      ReadLayer(rc, lc);
      const bool depthArea = lc->sLayerInformation.ucLayerCode == CH2_DEPTH_AREA_LAYER;
      lc->iCurrentDepthLayerNumber = depthArea ? lc->iCurrentDepthLayerNumber + 1 : 0;
      lc->iLayerNumber = ctx->usCurrentLayerNumber;
      lc->usCurrentState = LAYERSTATE_LAYERSPECIFIED2;
      ctx->ulAddrOfTheNextMapLayerRec = next;
      if (type == CH2_REC_MAP_LAYER) return CL_SUCCESS;
    }
    // Every step must move on through the image.
    if (next <= at) return CH2_WARN_END_OF_LAYERS;
    ctx->ulAddrOfTheNextMapLayerRec = next;
  }
  return CH2_WARN_END_OF_LAYERS;
}
