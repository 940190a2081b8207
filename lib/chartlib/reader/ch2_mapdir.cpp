// Map directory, map headers and the port-services directory.
#include <cmath>
#include <cstring>

#include "chartlib/reader/ch2_internal.h"
#include "chartlib/reader/ch2_map.h"
#include "chartlib/nav/nv_internal.h"

using namespace ch2_detail;

namespace ch2_detail {

DOUBLE LatitudeOfY(int64_t y) {
  using namespace nv_detail;
  return std::atan(kFlattenInverse *
                   std::tan(2.0 * std::atan(std::exp(static_cast<DOUBLE>(y) * kInverseRadius)) - kHalfPi)) *
         kRadToDeg;
}

}  // namespace ch2_detail

namespace {

int64_t Abs64(int64_t v) { return v < 0 ? -v : v; }

// Field height in 64 bits, so that a bottom plus a height from the card cannot overflow before the range test.
ERRORCODE CalcField64(int64_t y1, int64_t y2, SINT s1, SINT s2, FLOAT *field) {
  if (Abs64(y1) > CH2_FIELD_Y_LIMIT || Abs64(y2) > CH2_FIELD_Y_LIMIT) {
    *field = 0.0;
    return CH2_ERR_Y_RANGE;
  }
  const DOUBLE degrees = std::fabs(LatitudeOfY(y1) - LatitudeOfY(y2));
  *field = F32(degrees * 111136.2 / std::pow(2.0, static_cast<DOUBLE>(s1) - s2));
  return CL_SUCCESS;
}

// Resolution as the header keeps it: map pixels shifted to map units, or 0 when outside 1..65,535.
SLONG ShiftedResolution(UINT32 raw) {
  const SLONG v = static_cast<SLONG>(raw);
  if (v < 1 || v > CH2_MAX_RAW_RESOLUTION) return 0;
  return v << CH2_RESOLUTION_SHIFT;
}

ERRORCODE FindDirectory(SINT chartId, UINT16 type, RECORDCONTEXT2 *rc) {
  SetRecordContext(rc, chartId, 0);
  return FindRecord(rc, type) == type ? CL_SUCCESS : CH2_ERR_NO_MAP_DIRECTORY;
}

}  // namespace

ERRORCODE ch2_CalcField(SLONG y1, SLONG y2, SINT s1, SINT s2, FLOAT *field) {
  return CalcField64(y1, y2, s1, s2, field);
}

ERRORCODE ch2_ClearMapDirectory(MAPDIRECTORY2 *dir) {
  for (SINT i = 0; i < dir->iMaxMaps; ++i) dir->sMapHeader[i] = MAPHEADER2{};
  dir->iNumOfMaps = 0;
  return CL_SUCCESS;
}

ERRORCODE ch2_GetMapDirectoryCount(const CHARTCONFIG2 *cfg, UINT32 *count) {
  *count = 0;
  const ERRORCODE presence = ch2_ChartPresence(cfg->iChartId);
  if (presence != CL_SUCCESS) return presence;
  RECORDCONTEXT2 rc{};
  const ERRORCODE found = FindDirectory(cfg->iChartId, CH2_REC_MAP_DIRECTORY, &rc);
  if (found != CL_SUCCESS) return found;
  *count = rc.ulRecordLength / 4;
  return CL_SUCCESS;
}

ERRORCODE ch2_LoadMapDirectory(const CHARTCONFIG2 *cfg, MAPDIRECTORY2 *dir, SINT *count) {
  const ERRORCODE presence = ch2_ChartPresence(cfg->iChartId);
  if (presence != CL_SUCCESS) return presence;
  RECORDCONTEXT2 rc{};
  const ERRORCODE found = FindDirectory(cfg->iChartId, CH2_REC_MAP_DIRECTORY, &rc);
  if (found != CL_SUCCESS) return found;

  ERRORCODE result = CL_SUCCESS;
  const UINT32 n = rc.ulRecordLength / 4;
  if (n > 0) {
    if (dir->iNumOfMaps >= dir->iMaxMaps) {
      result = CH2_WARN_DIRECTORY_FULL;
    } else {
      for (UINT32 i = 0; i < n; ++i) {
        if (dir->iNumOfMaps >= dir->iMaxMaps) {
          result = CH2_WARN_DIRECTORY_FULL;
          break;
        }
        CHARTCONTEXT2 hc{cfg->iChartId, ch2_ReadLong(&rc.sChartContext), CH2_READ_HEADERS};
        const ERRORCODE e = ch2_ReadMapHeader(&hc, static_cast<SINT>(i), &dir->sMapHeader[dir->iNumOfMaps]);
        if (CL_IsError(e)) return e;
        ++dir->iNumOfMaps;
      }
    }
  }
  if (count != nullptr) *count = dir->iNumOfMaps;
  // The card may have gone while the headers were read.
  if (ch2_ChartPresence(cfg->iChartId) == CH2_WARN_NO_SIGNATURE) return CH2_WARN_NO_SIGNATURE;
  return result;
}

ERRORCODE ch2_ReadMapHeader(CHARTCONTEXT2 *cc, SINT mapIndex, MAPHEADER2 *h) {
  RECORDCONTEXT2 rc{};
  rc.sChartContext = *cc;
  rc.sChartContext.ReadingType = CH2_READ_HEADERS;
  if (GetRecordTypeAndLength(&rc) != CH2_REC_MAP_HEADER) return CH2_ERR_NOT_MAP_HEADER;
  CHARTCONTEXT2 *c = &rc.sChartContext;
  h->iChartDeviceId = cc->ChartId;
  h->iMapId = mapIndex;
  h->iMaxScale = 0;
  h->usMapCode = static_cast<UINT16>(ch2_ReadWord(c));
  h->usMapType = static_cast<SINT16>(ch2_ReadWord(c));
  h->slLeftInMercatorMeters = static_cast<SLONG>(ch2_ReadLong(c));
  h->slBottomInMercatorMeters = static_cast<SLONG>(ch2_ReadLong(c));
  h->slRightInMercatorMeters = static_cast<SLONG>(ch2_ReadLong(c));
  h->slTopInMercatorMeters = static_cast<SLONG>(ch2_ReadLong(c));
  h->usMapTitle = static_cast<UINT16>(ch2_ReadWord(c));
  h->usMapNotes = static_cast<UINT16>(ch2_ReadWord(c));
  const UINT32 rawX = ch2_ReadLong(c);
  const UINT32 rawY = ch2_ReadLong(c);
  h->usIntendedUsage = static_cast<UINT16>(ch2_ReadWord(c));
  h->usUsageLimitations = static_cast<UINT16>(ch2_ReadWord(c));
  h->slRangeUpper = static_cast<SINT>(ch2_ReadLong(c));
  h->slRangeLower = static_cast<SINT>(ch2_ReadLong(c));
  h->ulAddressOfSpatialDataRecordForMap = ch2_ReadLong(c);
  h->ulAddrOfTheFirstMapLayerRec = ch2_ReadLong(c);
  *cc = *c;

  h->slResolutionX = ShiftedResolution(rawX);
  h->slResolutionY = ShiftedResolution(rawY);
  h->fMaxField = 6.0;
  h->fMinField = -14.0;
  h->sEnvLim.iMaxScale = CH2_DEFAULT_ENV_MAX_SCALE;
  h->sEnvLim.iMaxOvz = CH2_DEFAULT_ENV_MAX_OVZ;

  const int64_t L = h->slLeftInMercatorMeters, R = h->slRightInMercatorMeters;
  const int64_t B = h->slBottomInMercatorMeters, T = h->slTopInMercatorMeters;
  if (Abs64(L) > CH2_HEADER_X_LIMIT || Abs64(R) > CH2_HEADER_X_LIMIT || Abs64(B) > CH2_HEADER_Y_LIMIT ||
      Abs64(T) > CH2_HEADER_Y_LIMIT)
    return CL_SUCCESS;
  // A resolution the card cannot mean is treated like edges off the grid.
  if (h->slResolutionX == 0 || h->slResolutionY == 0) return CL_SUCCESS;

  const DOUBLE ry = h->slResolutionY, rx = h->slResolutionX;
  h->iMaxScale = static_cast<SINT>(std::floor(CH2_EPSILON + std::log2(ry * 0.001953125)));
  const int64_t height = static_cast<int64_t>(static_cast<DOUBLE>(T - B) / (ry / rx));
  if (CalcField64(B, B + height, 0, 0, &h->fMaxField) == CL_SUCCESS)
    CalcField64(B, B + height, h->iMaxScale, 0, &h->fMinField);
  return CL_SUCCESS;
}

ERRORCODE ch2_GetMapHeader(const MAPCONTEXT2 *ctx, MAPHEADER2 *header) {
  *header = ctx->sMapHeader;
  return CL_SUCCESS;
}

ERRORCODE ch2_SetMapHeader(MAPCONTEXT2 *ctx, const MAPHEADER2 *header) {
  ctx->sMapHeader = *header;
  return CL_SUCCESS;
}

ERRORCODE ch2_ClearMapHeader(MAPCONTEXT2 *ctx) {
  ctx->sMapHeader = MAPHEADER2{};
  ctx->sMapHeader.iChartDeviceId = -1;
  ctx->sMapHeader.iMapId = -1;
  ctx->usNumberOfLayers = 0;
  ctx->usCurrentLayerNumber = 0;
  return CL_SUCCESS;
}

ERRORCODE ch2_LoadPortPagesDirectory(SINT chartId, PORTPAGESCONTEXT2 *ppc) {
  const ERRORCODE presence = ch2_ChartPresence(chartId);
  if (presence != CL_SUCCESS) return presence;
  ppc->ulNextAddress = 0xFFFFFFFFu;
  RECORDCONTEXT2 rc{};
  SetRecordContext(&rc, chartId, 0);
  if (FindRecord(&rc, CH2_REC_PORT_DIRECTORY) != CH2_REC_PORT_DIRECTORY) {
    ppc->iChartId = -1;
    ppc->ulBeginAddress = 0xFFFFFFFFu;
    ppc->ulEndAddress = 0xFFFFFFFFu;
    return CH2_WARN_NO_PORT_DIRECTORY;
  }
  ppc->iChartId = chartId;
  ppc->ulBeginAddress = rc.ulRecordAddress;
  ppc->ulEndAddress = rc.ulRecordAddress + rc.ulRecordLength;
  return ch2_ChartPresence(chartId);
}

ERRORCODE ch2_GetPortPagesAddress(PORTPAGESCONTEXT2 *ppc, UINT32 *address, BOOL first) {
  *address = 0xFFFFFFFFu;
  if (ppc->iChartId == -1) return CH2_WARN_NO_PORT_DIRECTORY;
  if (first) ppc->ulNextAddress = ppc->ulBeginAddress;
  // Whole addresses only: an empty record, or a length not a multiple of 4, has no address past its end.
  if (ppc->ulNextAddress < ppc->ulBeginAddress || ppc->ulNextAddress >= ppc->ulEndAddress ||
      ppc->ulEndAddress - ppc->ulNextAddress < 4)
    return CH2_WARN_NO_MORE_PORT_TABLES;
  const ERRORCODE presence = ch2_ChartPresence(ppc->iChartId);
  if (presence != CL_SUCCESS) return presence;
  CHARTCONTEXT2 cc{ppc->iChartId, ppc->ulNextAddress, CH2_READ_HEADERS};
  *address = ch2_ReadLong(&cc);
  ppc->ulNextAddress += 4;
  return CL_SUCCESS;
}
