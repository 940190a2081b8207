// Rotation context: one angle with its integer sine and cosine, and point rotation about the origin.
#include <cmath>

#include "chartlib/raster/gp_gl.h"

namespace {

constexpr double kDegToRad = 0.017453292520882225;

// Divides by 1024 rounding halves away from zero.
inline SINT scaleBack(SLONG v) { return (SINT)((v >= 0 ? v + 512 : v - 512) / 1024); }

} // namespace

ERRORCODE gr_SUB_CheckAndSetRotAng(GP_ROTCONTEXT *rc, DOUBLE a)
{
  if (a > 360.0) {
    a -= 360.0 * std::trunc(a * 0.002777777777777778);
  } else if (a <= -180.0) {
    a += 360.0 * (std::trunc(-a * 0.002777777777777778) + 1.0);
  }
  if (a > 180.0) {
    a -= 360.0;
  }
  rc->AngleRad = a * kDegToRad;
  double reduced;
  if (a >= -45.0 && a < 45.0) {
    rc->Quadrant = 1;
    reduced = a;
  } else if (a >= 45.0 && a < 135.0) {
    rc->Quadrant = 2;
    reduced = a - 90.0;
  } else if (a >= -135.0 && a < -45.0) {
    rc->Quadrant = 4;
    reduced = a + 90.0;
  } else {
    rc->Quadrant = 3;
    reduced = a > 0.0 ? a - 180.0 : a + 180.0;
  }
  rc->AngleNorm = reduced * kDegToRad;
  rc->IntSinAngle = (SLONG)(std::sin(rc->AngleRad) * 1024.0);
  rc->IntCosAngle = (SLONG)(std::cos(rc->AngleRad) * 1024.0);
  rc->IntShearX = (SLONG)(std::tan(-0.5 * rc->AngleNorm) * 1024.0);
  rc->IntShearY = (SLONG)(std::sin(rc->AngleNorm) * 1024.0);
  return CL_SUCCESS;
}

ERRORCODE gr_SetRotationAngle(GP_ROTCONTEXT *rc, DOUBLE degrees)
{
  gr_SUB_CheckAndSetRotAng(rc, degrees);
  if (rc->AngleRad == 0.0) {
    rc->RotAreaDestOrg = {0, 0};
  }
  return CL_SUCCESS;
}

ERRORCODE gr_StepRotationAngle(GP_ROTCONTEXT *rc, DOUBLE degrees)
{
  return gr_SetRotationAngle(rc, rc->AngleRad * 57.29577951 + degrees);
}

ERRORCODE gr_ResetRotationContext(GP_ROTCONTEXT *rc)
{
  rc->CenterX = rc->CenterY = rc->CurrX = rc->CurrY = rc->PrevRotX = rc->PrevRotY = 0;
  rc->x = rc->y = rc->xrot = rc->yrot = 0;
  rc->pSrcGC = nullptr;
  rc->RotAreaSrcOrg = {0, 0};
  rc->RotAreaDestOrg = {0, 0};
  rc->RotAreaDim = {0, 0};
  return gr_SetRotationAngle(rc, 0.0);
}

ERRORCODE gr_SetCenterOfRotation(GP_ROTCONTEXT *rc, SINT x, SINT y)
{
  rc->CenterX = x;
  rc->CenterY = y;
  return CL_SUCCESS;
}

ERRORCODE gr_SetRotationAreaSource(GP_ROTCONTEXT *rc, GRCONTEXTPTR src)
{
  rc->pSrcGC = src;
  return CL_SUCCESS;
}

ERRORCODE gr_SetRotationAreaDim(GP_ROTCONTEXT *rc, SINT width, SINT height)
{
  rc->RotAreaDim = {width - 1, height - 1};
  return CL_SUCCESS;
}

ERRORCODE gr_SetRotationAreaSrcOrg(GP_ROTCONTEXT *rc, SINT x, SINT y)
{
  rc->RotAreaSrcOrg = {x, y};
  return CL_SUCCESS;
}

ERRORCODE gr_SetRotationAreaDestOrg(GP_ROTCONTEXT *rc, SINT x, SINT y)
{
  rc->RotAreaDestOrg = {x, y};
  return CL_SUCCESS;
}

ERRORCODE gr_RotatePoint(GP_ROTCONTEXT *rc, SINT x, SINT y, SINT *xr, SINT *yr)
{
  const SLONG s = rc->IntSinAngle, c = rc->IntCosAngle;
  *xr = scaleBack(x * c - y * s);
  *yr = scaleBack(x * s + y * c);
  return CL_SUCCESS;
}

ERRORCODE gr_PutStraightPoint(GP_ROTCONTEXT *rc, SINT x, SINT y, SINT *xr, SINT *yr)
{
  const SLONG s = rc->IntSinAngle, c = rc->IntCosAngle;
  *xr = scaleBack(x * c + y * s);
  *yr = scaleBack(y * c - x * s);
  return CL_SUCCESS;
}
