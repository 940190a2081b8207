// Fill and block copies: whole rows handed to the platform's block copy.
#include "draw/bmp.h"

#include <algorithm>
#include <cstring>

#include "draw/pixel.h"
#include "kernel/log.h"

namespace {

// Source and destination may be one bitmap; overlapping runs need the overlap-safe copy.
void vCopyPixels(COLOR *pcolTo, const COLOR *pcolFrom, size_t szPixels)
{
    if (pcolFrom < pcolTo + szPixels && pcolTo < pcolFrom + szPixels) {
        std::memmove(pcolTo, pcolFrom, szPixels * sizeof(COLOR));
    } else {
        std::memcpy(pcolTo, pcolFrom, szPixels * sizeof(COLOR));
    }
}

} // namespace

void G_BMP_vSet(const BITMAP *pDest, const COLOR color)
{
    const size_t szPixels = (size_t)pDest->__u32PixelHeightOfBuffer * (pDest->__u32PixelWidthOfBuffer & ~1u);
    G_PIXEL_vFillRun(G_BITMAP_pcolPixels(pDest), szPixels, color);
}

void G_BMP_vPlaceLogicalOnLogical(const BITMAP *pDestBitmap, const POINT *pLogicalDest, const BITMAP *pSrcBitmap,
                                  const POINT *pLogicalSrc, U32 u32Width, U32 u32Height)
{
    if (u32Height == 0 || u32Width == 0) {
        return;
    }
    const PIXEL nTopOffset = (PIXEL)u32Height - 1;
    COLOR *pcolDest = &G_BITMAP_pcolPixels(pDestBitmap)[G_BITMAP_szIndex(pDestBitmap, pLogicalDest->x,
                                                                          pLogicalDest->y + nTopOffset)];
    const COLOR *pcolSrc = &G_BITMAP_pcolPixels(pSrcBitmap)[G_BITMAP_szIndex(pSrcBitmap, pLogicalSrc->x,
                                                                              pLogicalSrc->y + nTopOffset)];
    for (U32 r = 0; r < u32Height; r++) {
        std::memmove(pcolDest, pcolSrc, (size_t)u32Width * sizeof(COLOR));
        pcolDest += pDestBitmap->__u32PixelWidthOfBuffer;
        pcolSrc += pSrcBitmap->__u32PixelWidthOfBuffer;
    }
}

// Rows are bounded by what both buffers hold, so a source taller than the destination cannot write past it.
void G_BMP_vCopyRegion(BITMAP *pbitmapSource, BITMAP *pbitmapDestination, PIXEL pixSource, PIXEL pixDestination,
                       U32 u32Length)
{
    const S32 s32Rows = pbitmapSource->pixels_high_full_screen;
    if (s32Rows > SCREEN_PIXELS_HIGH) {
        log_me("WOW %d %d", s32Rows, SCREEN_PIXELS_HIGH);
    }
    if (u32Length == 0 || s32Rows <= 0 || pixSource < 0 || pixDestination < 0) {
        return;
    }
    const size_t szSrcStride = pbitmapSource->__u32PixelWidthOfBuffer;
    const size_t szDestStride = pbitmapDestination->__u32PixelWidthOfBuffer;
    const size_t szSrcEnd = szSrcStride * pbitmapSource->__u32PixelHeightOfBuffer;
    const size_t szDestEnd = szDestStride * pbitmapDestination->__u32PixelHeightOfBuffer;
    COLOR *pcolSrc = G_BITMAP_pcolPixels(pbitmapSource);
    COLOR *pcolDest = G_BITMAP_pcolPixels(pbitmapDestination);
    if (u32Length == szSrcStride && u32Length == szDestStride) {
        // Whole rows of equal stride lie back to back: one block of every row that fits both buffers.
        const size_t szRows = std::min({(size_t)s32Rows, (szSrcEnd - std::min(szSrcEnd, (size_t)pixSource)) / u32Length,
                                        (szDestEnd - std::min(szDestEnd, (size_t)pixDestination)) / u32Length});
        vCopyPixels(pcolDest + pixDestination, pcolSrc + pixSource, szRows * u32Length);
        return;
    }
    for (size_t r = 0; r < (size_t)s32Rows; r++) {
        const size_t szFrom = (size_t)pixSource + r * szSrcStride;
        const size_t szTo = (size_t)pixDestination + r * szDestStride;
        if (szFrom + u32Length > szSrcEnd || szTo + u32Length > szDestEnd) {
            break;
        }
        vCopyPixels(pcolDest + szTo, pcolSrc + szFrom, u32Length);
    }
}

void G_BMP_vCopyPhysicalToLogical(const BITMAP *pDestBitmap, const POINT *pLogicalDest, const BITMAP *pSrcBitmap,
                                  const POINT *pSrc, U32 u32Width, U32 u32Height, const COLOR colorTransparency)
{
    BITMAP *pDest = const_cast<BITMAP *>(pDestBitmap);
    for (U32 r = 0; r < u32Height; r++) {
        const PIXEL nSrcRow = pSrc->y + (PIXEL)(u32Height - 1 - r);
        for (U32 c = 0; c < u32Width; c++) {
            const COLOR color = G_PIXEL_colorGetPhysicalPixel(pSrcBitmap, pSrc->x + (PIXEL)c, nSrcRow);
            if (colorTransparency == G_BMP_COPY_ALL || color != colorTransparency) {
                G_PIXEL_vPut(pDest, pLogicalDest->x + (PIXEL)c, pLogicalDest->y + (PIXEL)r, color);
            }
        }
    }
}
