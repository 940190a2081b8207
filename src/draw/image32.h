// Drawing IMAGE32 pictures: whole, partial, rotated and within a circular sector.
// The routines without a suffix write straight into full-screen frames and keep to 800 x 480.
#pragma once
#include "draw/image.h"

void G_IMAGE32_vPut(BITMAP *pDest, const IMAGE32 *pImage, const POINT *pptLowerLeft);
void G_IMAGE32_vPutOld(BITMAP *pDest, const struct tag_ICON *pIcon, const POINT *pptLowerLeft);
void G_IMAGE32_PART_vPutNew(BITMAP *pDest, const IMAGE32 *pImage, const POINT *pptLowerLeft, float fwidthPercent,
                            float fHightPercent);
void G_IMAGE32_PART_vPut(BITMAP *pDest, const IMAGE32 *pImage, const POINT *pptLowerLeft, const POINT *pptCenter,
                         U32 u32RotatedAngle);
// Plain arrays without runs; a positive angle (radians) turns the picture counter-clockwise.
void G_IMAGE32_vPutRotated(BITMAP *pDest, const IMAGE32 *pImage, const POINT *pptAnchor,
                           const POINT *pptRotateCenter, double dRotateAngle);
void G_IMAGE32_vPutRotatedOld(BITMAP *pDest, const struct tag_ICON *pIcon, const POINT *pptAnchor,
                              const POINT *pptRotateCenter, double dRotateAngle);
void G_IMAGE32_vPutCondition(BITMAP *pDest, const IMAGE32 *pImage, const POINT *pptLowerLeft, U32 u32Radius,
                             float fStartAngle, float fEndAngle, POINT *archor, S32 direction);
