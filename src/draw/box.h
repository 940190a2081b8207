// Boxes given by their lower-left corner, width and height; square or with round corners.
#pragma once
#include "draw/bitmap.h"

void G_BOX_vDraw(BITMAP *pDest, COLOR color, const POINT *pAnchor, U32 u32Width, U32 u32Height);
void G_BOX_vDrawFilled(BITMAP *pDest, COLOR color, const POINT *pAnchor, U32 u32Width, U32 u32Height);
void G_BOX_vDrawAlpha(BITMAP *pDest, COLOR color, const POINT *pAnchor, U32 u32Width, U32 u32Height, U8 u8Alpha);
void G_BOX_vDrawFilledAlpha(BITMAP *pDest, COLOR color, const POINT *pAnchor, U32 u32Width, U32 u32Height,
                            U8 u8Alpha);
void G_BOX_vDrawRounded(BITMAP *pDest, COLOR color, const POINT *pAnchor, U32 u32Width, U32 u32Height,
                        U32 u32Radius);
void G_BOX_vDrawRoundedFilled(BITMAP *pDest, COLOR color, const POINT *pAnchor, U32 u32Width, U32 u32Height,
                              U32 u32Radius);
void G_BOX_vDrawRoundedAlpha(BITMAP *pDest, COLOR color, const POINT *pAnchor, U32 u32Width, U32 u32Height,
                             U32 u32Radius, U8 u8Alpha);
// Every pixel of the shape is blended exactly once.
void G_BOX_vDrawRoundedFilledAlpha(BITMAP *pDest, COLOR color, const POINT *pAnchor, U32 u32Width, U32 u32Height,
                                   U32 u32Radius, U8 u8Alpha);
