#include "nmea/ais/ais_collision.h"

#include <cmath>
#include <cstdint>

#include "chartlib/nav/nv_navig.h"
#include "nav/track.h"
#include "nav/u_nav.h"
#include "settings/database.h"
#include "util/convert.h"

namespace {

constexpr double kMetresPerMinutePerKnot = 30.866666666666667;     // 1852 / 60
constexpr double kScaledMetresPerMinute = 0.030143229166666667;  // the same over the 1,024 of the scale table
constexpr double kStillSpeed = 0.25;                               // knots: own speeds up to this count as none

int32_t truncate32(double d) {
  if (!(d > -2147483648.0)) return INT32_MIN;
  if (d >= 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(d);
}

S32 wholeDegrees(double d) { return static_cast<S32>(std::lround(d)); }

// Own speed (knots, 0 when it is a crawl), heading and position; FALSE when one of them cannot be fetched (the
// speed counts as 0 when it is not needed).
bool ownMotion(float *pfKnots, float *pfHeading, POINT *ptOwn, bool *pbPositionValid, bool bNeedSpeed = true) {
  float fSpeed = 0.0f;
  float fHeading = 0.0f;
  S32 s32Lat = 0, s32Lon = 0;
  BOOLEAN bLatValid = FALSE, bLonValid = FALSE;
  if ((!H_DATABASE_bFetchFloat(FCID("ISOG"), &fSpeed, nullptr, nullptr) && bNeedSpeed) ||
      !H_DATABASE_bFetchFloat(FCID("IHDG"), &fHeading, nullptr, nullptr) ||
      !H_DATABASE_bFetchS32(FCID("ILAT"), &s32Lat, &bLatValid, nullptr) ||
      !H_DATABASE_bFetchS32(FCID("ILON"), &s32Lon, &bLonValid, nullptr)) {
    return false;
  }
  float fCompass = 0.0f;
  if (H_DATABASE_bFetchFloat(FCID("IHDC"), &fCompass, nullptr, nullptr)) fHeading = fCompass;
  const double dKnots = dConvertFromInternal(fSpeed, D_SPEED, U_KNOTS);
  *pfKnots = dKnots > kStillSpeed ? static_cast<float>(dKnots) : 0.0f;
  *pfHeading = fHeading;
  *ptOwn = {s32Lon, s32Lat};
  *pbPositionValid = bLatValid && bLonValid;
  return true;
}

// Speed and course of a target; one that reports neither counts as lying still.
void targetMotion(const aisTargetINFO &info, double *pdKnots, double *pdCourse) {
  const bool bMoving = info.validityFlag[SOG_FLAG_INDEX] && info.validityFlag[COG_FLAG_INDEX];
  *pdKnots = bMoving ? info.Sog : 0.0;
  *pdCourse = bMoving ? info.Cog : 0.0;
}

bool targetPoint(const aisTargetINFO &info, POINT *pt) {
  if (!info.validityFlag[SHIPPOS_FLAG_INDEX]) return false;
  const POSITION pos = {info.Latitude, info.Longitude};
  return !CL_IsError(nv_DegrToMeter(&pos, pt));
}

}  // namespace

void T_NMEA_vCalFuturePos(const POINT *ptCurPointMM, double speed, double cog, double timeMin,
                          POINT *ptFuturePointMM) {
  const S32 nAngle = wholeDegrees(cog);
  const long long nMetres = static_cast<long long>(speed * kMetresPerMinutePerKnot * timeMin);
  const long long nStep = nMetres * U_NAV_u16ScalingMMPerKm(ptCurPointMM->y) / 1024;
  ptFuturePointMM->x = static_cast<S32>(ptCurPointMM->x + ((U_NAV_nIntSin(nAngle) * nStep) >> 16));
  ptFuturePointMM->y = static_cast<S32>(ptCurPointMM->y + ((U_NAV_nIntCos(nAngle) * nStep) >> 16));
}

BOOLEAN T_NMEA_vCalculateDistance(POINT shipPos1, POINT shipPos2, FLOAT *fDistance) {
  POSITION a, b;
  DOUBLE dCourse = 0.0;
  if (CL_IsError(nv_MeterToDegr(&shipPos1, &a)) || CL_IsError(nv_MeterToDegr(&shipPos2, &b)) ||
      CL_IsError(nv_RouteAngle(&shipPos1, &shipPos2, &dCourse))) {
    return FALSE;
  }
  DOUBLE dDistance = 0.0;
  if (CL_IsError(nv_CalcDistance(&a, &b, dCourse, &dDistance))) return FALSE;
  // The chart library's distance is already in nautical miles.
  *fDistance = dDistance;
  return TRUE;
}

void ais_vCalculateCollisionValues(AISPOOL *pPool) {
  float fOwnKnots = 0.0f, fHeading = 0.0f;
  POINT tOwn;
  bool bOwnValid = false;
  if (!ownMotion(&fOwnKnots, &fHeading, &tOwn, &bOwnValid)) return;
  const float v = static_cast<float>(fOwnKnots * kScaledMetresPerMinute * U_NAV_u16ScalingMMPerKm(tOwn.y));
  const S32 h = wholeDegrees(fHeading);
  for (UINT i = 0; i < pPool->NumOfTargets; ++i) {
    aisTargetINFO &info = pPool->TargetStruct[i].aisInfo;
    if (!info.validityFlag[SHIPPOS_FLAG_INDEX]) {
      info.TCPA = 0.0;
      continue;
    }
    POINT tTarget;
    if (!targetPoint(info, &tTarget)) continue;
    double dKnots, dCourse;
    targetMotion(info, &dKnots, &dCourse);
    const float w = static_cast<float>(dKnots * kScaledMetresPerMinute * U_NAV_u16ScalingMMPerKm(tTarget.y));
    const S32 k = wholeDegrees(dCourse);
    const double dvx = (truncate32(w * static_cast<float>(U_NAV_nIntSin(k))) >> 16) -
                       (truncate32(static_cast<float>(U_NAV_nIntSin(h)) * v) >> 16);
    const double dvy = (truncate32(w * static_cast<float>(U_NAV_nIntCos(k))) >> 16) -
                       (truncate32(static_cast<float>(U_NAV_nIntCos(h)) * v) >> 16);
    const double d2 = dvx * dvx + dvy * dvy;
    FLOAT dDistance = 0.0;
    double t = 0.0;
    if (d2 > 0.0001 && v != 0.0f) {
      t = (dvy * (static_cast<double>(tOwn.y) - tTarget.y) + dvx * (static_cast<double>(tOwn.x) - tTarget.x)) / d2;
    }
    if (t <= 0.0) {
      if (!T_NMEA_vCalculateDistance(tOwn, tTarget, &dDistance)) continue;
      info.TCPA = 0.0;
      info.CPA = dDistance;
      continue;
    }
    POINT tOwnThen, tTargetThen;
    T_NMEA_vCalFuturePos(&tOwn, fOwnKnots, h, t, &tOwnThen);
    T_NMEA_vCalFuturePos(&tTarget, dKnots, k, t, &tTargetThen);
    if (!T_NMEA_vCalculateDistance(tOwnThen, tTargetThen, &dDistance)) continue;
    info.TCPA = t;
    info.CPA = dDistance;
  }
}

BOOLEAN T_NMEA_bAisHasAlarm(const ais_DeviceInfo *pAisInfo) {
  const aisTargetINFO &info = pAisInfo->aisInfo;
  POINT tTarget;
  if (!targetPoint(info, &tTarget)) return FALSE;
  float fOwnKnots = 0.0f, fHeading = 0.0f;
  POINT tOwn;
  bool bOwnValid = false;
  float fLimit = 0.0f;
  U32 u32LimitSeconds = 0;
  if (!ownMotion(&fOwnKnots, &fHeading, &tOwn, &bOwnValid, false) || !bOwnValid ||
      !H_DATABASE_bFetchFloat(FCID("SCPA"), &fLimit, nullptr, nullptr) ||
      !H_DATABASE_bFetchU32(FCID("STCP"), &u32LimitSeconds, nullptr, nullptr)) {
    return FALSE;
  }
  FLOAT dDistance = 0.0;
  if (!T_NMEA_vCalculateDistance(tOwn, tTarget, &dDistance)) return FALSE;
  if (dDistance > 0.0 && dDistance <= fLimit) return TRUE;
  if (info.CPA > fLimit) return FALSE;
  if (info.TCPA <= 0.0) return FALSE;
  // The limit is kept in seconds.
  const double dLimitMinutes = u32LimitSeconds / 60.0;
  if (info.TCPA <= dLimitMinutes) return TRUE;
  double dKnots, dCourse;
  targetMotion(info, &dKnots, &dCourse);
  POINT tOwnThen, tTargetThen;
  T_NMEA_vCalFuturePos(&tOwn, fOwnKnots, fHeading, dLimitMinutes, &tOwnThen);
  T_NMEA_vCalFuturePos(&tTarget, dKnots, dCourse, dLimitMinutes, &tTargetThen);
  if (!T_NMEA_vCalculateDistance(tOwnThen, tTargetThen, &dDistance)) return FALSE;
  return dDistance > 0.0 && dDistance <= fLimit;
}

ERRORCODE ais_Calculate_CollisionValue(DOUBLE dOwnHeading, DOUBLE dOwnSpeed, POSITION tOwnPosition,
                                       AISPOOL *pPool) {
  if (!pPool->TargetStruct[0].aisInfo.validTarget) return AIS_SUCCESS;
  ERRORCODE eLast = AIS_SUCCESS;
  for (UINT i = 0; i < pPool->NumOfTargets; ++i) {
    aisTargetINFO &info = pPool->TargetStruct[i].aisInfo;
    if (!info.validityFlag[SHIPPOS_FLAG_INDEX]) {
      info.TCPA = 0.0;
      continue;
    }
    double dKnots, dCourse;
    targetMotion(info, &dKnots, &dCourse);
    double a = dCourse - 180.0 - dOwnHeading;
    while (a < 0.0) a += 360.0;
    while (a >= 360.0) a -= 360.0;
    DOUBLE r = 0.0, dAngle = 0.0, D = 0.0;
    eLast = nv_CalcAppWind(a, dKnots, dOwnHeading, dOwnSpeed, &r, &dAngle, &D);
    if (CL_IsError(eLast)) {
      r = dAngle = D = 0.0;
      continue;
    }
    const POSITION tTarget = {info.Latitude, info.Longitude};
    DOUBLE B = 0.0, d = 0.0;
    eLast = nv_GeoRouteAngle(&tOwnPosition, &tTarget, &B);
    if (CL_IsError(eLast)) continue;
    eLast = nv_CalcDistance(&tOwnPosition, &tTarget, B, &d);
    if (CL_IsError(eLast)) continue;
    const double delta = std::fabs(D - B) * 0.017453292519444445;
    if (std::cos(delta) * d < 0.0) {
      info.CPA = d;
      info.TCPA = 0.0;
    } else {
      info.CPA = std::fabs(std::sin(delta) * d);
      info.TCPA = r < 0.1 ? 0.0 : std::cos(delta) * d / r * 60.0;
    }
  }
  return eLast;
}
