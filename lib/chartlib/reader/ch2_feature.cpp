// Feature records: single and packed features, groups with skip addresses, relation data.
#include "chartlib/reader/ch2_feature.h"

#include <cstring>

#include "chartlib/nav/nv_navig.h"

namespace {

// Box outcodes against (left, bottom, right, top).
int Outcode(int64_t x, int64_t y, int64_t left, int64_t bottom, int64_t right, int64_t top) {
  int c = 0;
  if (y > top) c |= 1;
  if (y < bottom) c |= 2;
  if (x > right) c |= 4;
  if (x < left) c |= 8;
  return c;
}

bool ViewCrossesMeridian(const MAPCONTEXT2 *ctx) {
  return ctx->sMapView.sRightTopInMM.x < ctx->sMapView.sLeftBottomInMM.x;
}

// With a view across the 180-degree meridian, x values west of the view's west edge are taken one world east.
int64_t Unwrap(const MAPCONTEXT2 *ctx, int64_t x) {
  if (ViewCrossesMeridian(ctx) && x < ctx->sMapView.sLeftBottomInMM.x) return x + NV_WORLD;
  return x;
}

int64_t PixelOf(UINT32 v, UINT32 origin, SINT scaling) {
  const int64_t d = static_cast<int64_t>(v) - static_cast<int64_t>(origin);
  if (scaling >= 0) return d >> (scaling > 62 ? 62 : scaling);
  return d * (int64_t{1} << (-scaling > 31 ? 31 : -scaling));
}

void ReadPixelBox(CHARTCONTEXT2 *cc, const MAPCONTEXT2 *ctx, FEATURECONTEXT2 *fc) {
  const CHARTVIEW2 &cv = ctx->sChartView;
  const UINT32 x1 = static_cast<UINT32>(ch2_ReadWord(cc)) & 0xFFFF, y1 = static_cast<UINT32>(ch2_ReadWord(cc)) & 0xFFFF;
  const UINT32 x2 = static_cast<UINT32>(ch2_ReadWord(cc)) & 0xFFFF, y2 = static_cast<UINT32>(ch2_ReadWord(cc)) & 0xFFFF;
  fc->iLowerLeftLonInPixels = static_cast<SINT>(PixelOf(x1, cv.ulViewOrigX, cv.iScaling));
  fc->iLowerLeftLatInPixels = static_cast<SINT>(PixelOf(y1, cv.ulViewOrigY, cv.iScaling));
  fc->iUpperRightLonInPixels = static_cast<SINT>(PixelOf(x2, cv.ulViewOrigX, cv.iScaling));
  fc->iUpperRightLatInPixels = static_cast<SINT>(PixelOf(y2, cv.ulViewOrigY, cv.iScaling));
}

void ReadMetreBox(CHARTCONTEXT2 *cc, FEATURECONTEXT2 *fc) {
  const SLONG x = static_cast<SLONG>(ch2_ReadLong(cc));
  const SLONG y = static_cast<SLONG>(ch2_ReadLong(cc));
  const SINT w = ch2_ReadWord(cc) & 0xFFFF, h = ch2_ReadWord(cc) & 0xFFFF;
  fc->slLowerLeftLonInMercatorMeters = x;
  fc->slLowerLeftLatInMercatorMeters = y;
  fc->iLowerLeftLonInPixels = x;
  fc->iLowerLeftLatInPixels = y;
  fc->iUpperRightLonInPixels = static_cast<SINT>(static_cast<uint32_t>(x) + static_cast<uint32_t>(w));
  fc->iUpperRightLatInPixels = static_cast<SINT>(static_cast<uint32_t>(y) + static_cast<uint32_t>(h));
}

void ReadZoom(CHARTCONTEXT2 *cc, FEATURECONTEXT2 *fc) {
  const SINT z = ch2_ReadByte(cc) & 0xFF;
  fc->sFeatureRecordInfo.cMinZoomLevel = static_cast<SCHAR>(z >> 4);
  fc->sFeatureRecordInfo.cMaxZoomLevel = static_cast<SCHAR>(z & 0x0F);
}

void ReadAttributes(CHARTCONTEXT2 *cc, FEATURECONTEXT2 *fc) {
  const UINT32 n = ch2_ReadCount(cc, fc->ucLengthWidth);
  fc->usLengthOfAttributeData = static_cast<UINT16>(n);
  fc->ulAddressOfStartOfAttributes = cc->Address;
  fc->ulAddressOfNextAttribute = cc->Address;
  fc->slCurrentAttributePosition = -1;
  cc->Address += n;
}

void ReadPoint(CHARTCONTEXT2 *cc, FEATURECONTEXT2 *fc) {
  fc->sFeatureRecordInfo.lLongitudeCoordinates = static_cast<SLONG>(ch2_ReadLong(cc));
  fc->sFeatureRecordInfo.lLatitudeCoordinates = static_cast<SLONG>(ch2_ReadLong(cc));
}

void SkipPointerList(CHARTCONTEXT2 *cc, UCHAR width) {
  const UINT32 n = ch2_ReadCount(cc, width);
  cc->Address += 4 * n;
}

SINT BoxTest(MAPCONTEXT2 *ctx, FEATURECONTEXT2 *fc, SINT flags, bool metres) {
  if (!(flags & CH2_FEATURE_VIEW_TEST)) return CH2_FILTER_IN;
  return metres ? ch2_CheckBoundBoxInMeters(ctx, fc) : ch2_CheckBoundBoxInPixels(ctx, fc);
}

SINT ZoomTest(MAPCONTEXT2 *ctx, FEATURECONTEXT2 *fc, SINT flags) {
  return (flags & CH2_FEATURE_ZOOM_TEST) ? ch2_WithinZoomRange(ctx, fc) : CH2_FILTER_IN;
}

SINT PointTest(MAPCONTEXT2 *ctx, FEATURECONTEXT2 *fc, SINT flags) {
  return (flags & CH2_FEATURE_VIEW_TEST) ? ch2_PointWithinView(ctx, fc) : ch2_PointWithoutFilter(ctx, fc);
}

// The next accepted point of a packed point record; false when the record holds no more.
bool NextPackedPoint(MAPCONTEXT2 *ctx, LAYERCONTEXT2 *lc, FEATURECONTEXT2 *fc, CHARTCONTEXT2 *cc) {
  FEATUREINFO2 &fi = fc->sFeatureRecordInfo;
  while (cc->Address < fc->ulEndOfRecord) {
    switch (fc->usRecordTypeOfFeature) {
      case CH2_FEAT_POINTS_TYPED:
        fi.ucS57Type = static_cast<UCHAR>(ch2_ReadByte(cc));
        ReadAttributes(cc, fc);
        break;
      case CH2_FEAT_POINTS:
        ReadAttributes(cc, fc);
        break;
      default:
        fi.fValue = ch2_DepthFromWord(static_cast<UINT16>(ch2_ReadWord(cc)));
        break;
    }
    fc->ulVectorOrRelationDataAddress = cc->Address;
    const UINT32 dx = static_cast<UINT32>(ch2_ReadWord(cc)) & 0xFFFF;
    const UINT32 dy = static_cast<UINT32>(ch2_ReadWord(cc)) & 0xFFFF;
    fi.lLongitudeCoordinates = static_cast<SLONG>(static_cast<UINT32>(fc->slLowerLeftLonInMercatorMeters) + dx);
    fi.lLatitudeCoordinates = static_cast<SLONG>(static_cast<UINT32>(fc->slLowerLeftLatInMercatorMeters) + dy);
    const SINT accepted = fc->bCheckWithinView ? ch2_PointWithinView(ctx, fc) : ch2_PointWithoutFilter(ctx, fc);
    if (accepted == CH2_FILTER_IN) {
      lc->ulAddressOfNextFeature = cc->Address;
      fc->bIsFeatureRecord = cc->Address >= fc->ulEndOfRecord ? TRUE : FALSE;
      return true;
    }
    // Packed points lie in increasing x: past the east edge nothing further can be inside.
    if (Unwrap(ctx, fi.lLongitudeCoordinates) > Unwrap(ctx, ctx->sMapView.sRightTopInMM.x)) break;
  }
  fc->bIsFeatureRecord = TRUE;
  return false;
}

// The next item of a packed line or area record that passes its zoom test.
bool NextPackedLine(MAPCONTEXT2 *ctx, LAYERCONTEXT2 *lc, FEATURECONTEXT2 *fc, CHARTCONTEXT2 *cc, SINT flags) {
  const UINT16 t = fc->usRecordTypeOfFeature;
  const bool ownZoom = t == CH2_FEAT_AREAS_ZOOMED || t == CH2_FEAT_LINES_ZOOMED;
  const bool area = t == CH2_FEAT_AREAS_ZOOMED || t == CH2_FEAT_AREAS;
  while (cc->Address < fc->ulEndOfRecord) {
    SINT zoom = CH2_FILTER_IN;
    if (ownZoom) {
      ReadZoom(cc, fc);
      zoom = ZoomTest(ctx, fc, flags);
    }
    ReadAttributes(cc, fc);
    fc->ulVectorOrRelationDataAddress = cc->Address;
    SkipPointerList(cc, fc->ucLengthWidth);
    if (area) SkipPointerList(cc, fc->ucLengthWidth);
    if (zoom == CH2_FILTER_IN) {
      lc->ulAddressOfNextFeature = cc->Address;
      fc->bIsFeatureRecord = cc->Address >= fc->ulEndOfRecord ? TRUE : FALSE;
      return true;
    }
  }
  fc->bIsFeatureRecord = TRUE;
  return false;
}

ERRORCODE EndOfLayer(LAYERCONTEXT2 *lc) {
  lc->usCurrentState = LAYERSTATE_ENDOF_LAYER2;
  return CH2_WARN_END_OF_FEATURES;
}

}  // namespace

UINT32 ch2_ReadCount(CHARTCONTEXT2 *cc, UCHAR width) {
  if (width == 1) return static_cast<UINT32>(ch2_ReadByte(cc)) & 0xFF;
  if (width == 2) return static_cast<UINT32>(ch2_ReadWord(cc)) & 0xFFFF;
  return ch2_ReadLong(cc);
}

FLOAT ch2_DepthFromWord(UINT16 word) {
  SINT v = word & 0x3FFF;
  if (v & 0x2000) v -= 0x4000;
  static const FLOAT kScale[4] = {0.1f, 1.0f, 10.0f, 100.0f};
  return static_cast<FLOAT>(v) * kScale[word >> 14];
}

ERRORCODE ch2_GetFeature(MAPCONTEXT2 *ctx, LAYERCONTEXT2 *lc, FEATURECONTEXT2 *fc, SINT flags) {
  if (lc->usCurrentState == LAYERSTATE_NONESPECIFIED2) return CH2_ERR_NO_LAYER;
  if (lc->usCurrentState == LAYERSTATE_ENDOF_LAYER2) return CH2_WARN_END_OF_FEATURES;
  if (lc->usCurrentState == LAYERSTATE_LAYERSPECIFIED2) {
    lc->ulAddressOfNextFeature = lc->sLayerInformation.ulAddressOfFirstFeatureRecord;
    fc->bIsFeatureRecord = TRUE;
  }
  lc->usCurrentState = LAYERSTATE_RETRIVED_FEATURE2;
  const SINT chartId = ctx->sMapHeader.iChartDeviceId;
  FEATUREINFO2 &fi = fc->sFeatureRecordInfo;

  for (UINT32 step = 0; step < CH2_MAX_CHAIN_STEPS; ++step) {
    CHARTCONTEXT2 cc{chartId, lc->ulAddressOfNextFeature, CH2_READ_FEATURES};
    bool recordStart = false;
    UINT32 recordAddress = 0;
    if (fc->bIsFeatureRecord) {
      RECORDCONTEXT2 rc{};
      SetRecordContext(&rc, chartId, lc->ulAddressOfNextFeature);
      SetRecordReadingType(&rc, CH2_READ_FEATURES);
      const UINT16 type = GetRecordTypeAndLength(&rc);
      // A length that does not lead on through the image (damage, or a failed read) ends the layer.
      if (rc.ulNextRecordAddress <= lc->ulAddressOfNextFeature) return EndOfLayer(lc);
      recordAddress = lc->ulAddressOfNextFeature;
      lc->ulAddressOfNextFeature = rc.ulNextRecordAddress;
      if (IsRecordDeleted(&rc)) continue;
      fc->usRecordTypeOfFeature = type;
      fi.bGroupFlag = (rc.usRecordType & CH2_HDR_GROUP) ? TRUE : FALSE;
      fc->ucLengthWidth = rc.ucNoOfBytesForLengthsWithinRecord;
      fc->ulEndOfRecord = rc.ulNextRecordAddress;
      cc = rc.sChartContext;
      recordStart = true;
      if (type == CH2_FEAT_END) return EndOfLayer(lc);
      if (type == CH2_FEAT_GROUP) {
        const bool pixels = (rc.usRecordType & 0x0300) == 0;
        if (pixels) {
          ReadPixelBox(&cc, ctx, fc);
        } else {
          const SLONG w = static_cast<SLONG>(ch2_ReadLong(&cc)), s = static_cast<SLONG>(ch2_ReadLong(&cc));
          const SLONG e = static_cast<SLONG>(ch2_ReadLong(&cc)), n = static_cast<SLONG>(ch2_ReadLong(&cc));
          fc->iLowerLeftLonInPixels = w;
          fc->iLowerLeftLatInPixels = s;
          fc->iUpperRightLonInPixels = e;
          fc->iUpperRightLatInPixels = n;
        }
        if (BoxTest(ctx, fc, flags, !pixels) == CH2_FILTER_OUT) {
          const UINT32 skip = ch2_ReadLong(&cc);
          // A skip address that does not lead past the group would never end the layer.
          if (skip <= recordAddress || skip < rc.ulNextRecordAddress) return EndOfLayer(lc);
          lc->ulAddressOfNextFeature = skip;
        }
        continue;
      }
    }

    bool found = false;
    switch (fc->usRecordTypeOfFeature) {
      case CH2_FEAT_LINE:
      case CH2_FEAT_AREA: {
        ReadPixelBox(&cc, ctx, fc);
        fi.ucS57Type = static_cast<UCHAR>(ch2_ReadByte(&cc));
        ReadZoom(&cc, fc);
        fc->bIsFeatureRecord = TRUE;
        if (BoxTest(ctx, fc, flags, false) == CH2_FILTER_OUT || ZoomTest(ctx, fc, flags) != CH2_FILTER_IN) break;
        ReadAttributes(&cc, fc);
        fc->ulVectorOrRelationDataAddress = cc.Address;
        found = true;
        break;
      }
      case CH2_FEAT_AREAS_ZOOMED:
      case CH2_FEAT_LINES_ZOOMED:
      case CH2_FEAT_AREAS:
      case CH2_FEAT_LINES: {
        if (recordStart) {
          const bool shared = fc->usRecordTypeOfFeature == CH2_FEAT_AREAS || fc->usRecordTypeOfFeature == CH2_FEAT_LINES;
          ReadPixelBox(&cc, ctx, fc);
          fi.ucS57Type = static_cast<UCHAR>(ch2_ReadByte(&cc));
          if (shared) ReadZoom(&cc, fc);
          if (BoxTest(ctx, fc, flags, false) == CH2_FILTER_OUT ||
              (shared && ZoomTest(ctx, fc, flags) != CH2_FILTER_IN)) {
            fc->bIsFeatureRecord = TRUE;
            break;
          }
        }
        found = NextPackedLine(ctx, lc, fc, &cc, flags);
        break;
      }
      case CH2_FEAT_POINT:
      case CH2_FEAT_SOUNDING: {
        fc->bIsFeatureRecord = TRUE;
        fi.ucS57Type = static_cast<UCHAR>(ch2_ReadByte(&cc));
        ReadZoom(&cc, fc);
        if (ZoomTest(ctx, fc, flags) != CH2_FILTER_IN) break;
        ReadAttributes(&cc, fc);
        if (fc->usRecordTypeOfFeature == CH2_FEAT_SOUNDING)
          fi.fValue = ch2_DepthFromWord(static_cast<UINT16>(ch2_ReadWord(&cc)));
        fc->ulVectorOrRelationDataAddress = cc.Address;
        ReadPoint(&cc, fc);
        found = PointTest(ctx, fc, flags) == CH2_FILTER_IN;
        break;
      }
      case CH2_FEAT_POINTS_TYPED:
      case CH2_FEAT_POINTS:
      case CH2_FEAT_SOUNDINGS: {
        if (recordStart) {
          const UINT16 t = fc->usRecordTypeOfFeature;
          ReadMetreBox(&cc, fc);
          if (t != CH2_FEAT_POINTS_TYPED) fi.ucS57Type = static_cast<UCHAR>(ch2_ReadByte(&cc));
          ReadZoom(&cc, fc);
          if (t == CH2_FEAT_SOUNDINGS) ReadAttributes(&cc, fc);
          fc->bCheckWithinView = TRUE;
          if (ZoomTest(ctx, fc, flags) != CH2_FILTER_IN) {
            fc->bIsFeatureRecord = TRUE;
            break;
          }
          const SINT box = BoxTest(ctx, fc, flags, true);
          if (box == CH2_FILTER_OUT) {
            fc->bIsFeatureRecord = TRUE;
            break;
          }
          if (box == CH2_FILTER_IN) fc->bCheckWithinView = FALSE;
          if (!(flags & CH2_FEATURE_VIEW_TEST)) fc->bCheckWithinView = FALSE;
        }
        found = NextPackedPoint(ctx, lc, fc, &cc);
        break;
      }
      case CH2_FEAT_RELATION: {
        fi.ucS57Type = static_cast<UCHAR>(ch2_ReadByte(&cc));
        ReadAttributes(&cc, fc);
        fc->ulVectorOrRelationDataAddress = cc.Address;
        fc->usLengthOfRelationData =
            static_cast<UINT16>(fc->ulEndOfRecord > cc.Address ? fc->ulEndOfRecord - cc.Address : 0);
        fc->bIsFeatureRecord = TRUE;
        found = true;
        break;
      }
      default:
        fc->bIsFeatureRecord = TRUE;
        break;
    }
    if (found) {
      fc->sAttributesPresentMask = lc->sLayerInformation.sAttributesPresentMask[fi.ucS57Type];
      fc->ucUnitOfMeasure = lc->ucUnitOfMeasure;
      return CL_SUCCESS;
    }
    if (fc->bIsFeatureRecord) lc->ulAddressOfNextFeature = fc->ulEndOfRecord;
  }
  return EndOfLayer(lc);
}

ERRORCODE ch2_GetRelationData(SINT chartId, FEATURECONTEXT2 *fc, RELATIONDATA2 *rd, BOOL first) {
  if (fc->usRecordTypeOfFeature != CH2_FEAT_RELATION) return CH2_ERR_NOT_RELATION;
  rd->iNumOfEntries = 0;
  if (first) rd->ulCurrentAddress = fc->ulVectorOrRelationDataAddress;
  const UINT32 end = fc->ulVectorOrRelationDataAddress + fc->usLengthOfRelationData;
  CHARTCONTEXT2 cc{chartId, rd->ulCurrentAddress, CH2_READ_FEATURES};
  while (cc.Address < end) {
    RELATIONENTRY2 &e = rd->sEntry[rd->iNumOfEntries++];
    e.ucRelation = static_cast<UCHAR>(ch2_ReadByte(&cc));
    e.ulAddress = ch2_ReadLong(&cc);
    rd->ulCurrentAddress = cc.Address;
    if (rd->iNumOfEntries == CH2_RELATION_ENTRIES) return CH2_WARN_BUFFER_FULL;
  }
  return CL_SUCCESS;
}

UINT32 ch2_ReadNumberOfLineSegments(MAPCONTEXT2 *ctx) {
  RECORDCONTEXT2 &rc = ctx->sRecordContext;
  SetRecordReadingType(&rc, CH2_READ_FEATURES);
  return ch2_ReadCount(&rc.sChartContext, rc.ucNoOfBytesForLengthsWithinRecord);
}

ERRORCODE ch_ResetFeatureContext(FEATURECONTEXT2 *fc) {
  FEATUREINFO2 &fi = fc->sFeatureRecordInfo;
  fi.cMinZoomLevel = fi.cMaxZoomLevel = 0;
  fi.ucS57Type = 0;
  fi.lLatitudeCoordinates = fi.lLongitudeCoordinates = 0;
  fi.lxViewCoordinates = fi.lyViewCoordinates = 0;
  fi.fValue = 0;
  fc->usRecordTypeOfFeature = 0;
  fc->ulVectorOrRelationDataAddress = 0;
  fc->usLengthOfAttributeData = 0;
  fc->ulAddressOfStartOfAttributes = 0;
  return CL_SUCCESS;
}

SINT ch2_NoFilter(MAPCONTEXT2 *, FEATURECONTEXT2 *) { return CH2_FILTER_IN; }

SINT ch2_WithinZoomRange(MAPCONTEXT2 *ctx, FEATURECONTEXT2 *fc) {
  const SINT z = ctx->sChartView.iZoomLevel;
  const FEATUREINFO2 &fi = fc->sFeatureRecordInfo;
  return fi.cMinZoomLevel <= z && z <= fi.cMaxZoomLevel ? CH2_FILTER_IN : CH2_FILTER_OUT;
}

SINT ch2_CheckBoundBoxInPixels(MAPCONTEXT2 *ctx, FEATURECONTEXT2 *fc) {
  const int64_t r = ctx->sVideoSize.iWidth - 1, t = ctx->sVideoSize.iHeight - 1;
  const int c1 = Outcode(fc->iLowerLeftLonInPixels, fc->iLowerLeftLatInPixels, 0, 0, r, t);
  const int c2 = Outcode(fc->iUpperRightLonInPixels, fc->iUpperRightLatInPixels, 0, 0, r, t);
  if (c1 == 0 && c2 == 0) return CH2_FILTER_IN;
  if (c1 & c2) return CH2_FILTER_OUT;
  return CH2_FILTER_PARTLY;
}

SINT ch2_CheckBoundBoxInMeters(MAPCONTEXT2 *ctx, FEATURECONTEXT2 *fc) {
  const MAPVIEW2 &v = ctx->sMapView;
  const int64_t l = v.sLeftBottomInMM.x, b = v.sLeftBottomInMM.y;
  const int64_t r = Unwrap(ctx, v.sRightTopInMM.x), t = v.sRightTopInMM.y;
  const int64_t west = Unwrap(ctx, fc->iLowerLeftLonInPixels), east = Unwrap(ctx, fc->iUpperRightLonInPixels);
  const int c1 = Outcode(west, fc->iLowerLeftLatInPixels, l, b, r, t);
  const int c2 = Outcode(east, fc->iUpperRightLatInPixels, l, b, r, t);
  if (c1 == 0 && c2 == 0) return CH2_FILTER_IN;
  if (c1 & c2) return fc->iUpperRightLonInPixels < fc->iLowerLeftLonInPixels ? CH2_FILTER_PARTLY : CH2_FILTER_OUT;
  return CH2_FILTER_PARTLY;
}

SINT ch2_PointWithoutFilter(MAPCONTEXT2 *ctx, FEATURECONTEXT2 *fc) {
  FEATUREINFO2 &fi = fc->sFeatureRecordInfo;
  const POINT m{fi.lLongitudeCoordinates, fi.lLatitudeCoordinates};
  POINT pixel{}, view{};
  ch2_MeterToPixel(ctx, &m, &pixel);
  ch2_RelativePixels(ctx, &pixel, &view);
  fi.lxViewCoordinates = view.x;
  fi.lyViewCoordinates = view.y;
  return CH2_FILTER_IN;
}

SINT ch2_PointWithinView(MAPCONTEXT2 *ctx, FEATURECONTEXT2 *fc) {
  const MAPVIEW2 &v = ctx->sMapView;
  const FEATUREINFO2 &fi = fc->sFeatureRecordInfo;
  const int64_t x = Unwrap(ctx, fi.lLongitudeCoordinates);
  if (Outcode(x, fi.lLatitudeCoordinates, v.sLeftBottomInMM.x, v.sLeftBottomInMM.y, Unwrap(ctx, v.sRightTopInMM.x),
              v.sRightTopInMM.y) != 0)
    return CH2_FILTER_OUT;
  return ch2_PointWithoutFilter(ctx, fc);
}
