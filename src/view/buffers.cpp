// Bitmap headers and their pixel blocks.
#include "view/buffers.h"

#include <cstring>

#include "kernel/memory.h"

namespace {

// The block's own address sits in the pointer just before pBuffer, which is 4-byte aligned.
constexpr U32 OWNER_BYTES = sizeof(void *);
constexpr U32 SPARE_BYTES = OWNER_BYTES + 3;

U32 *pu32AllocatePixels(U64 u64Bytes)
{
    // A size that does not fit the allocator's 32-bit request asks for the most it can be asked, which it
    // refuses as too large, instead of wrapping round to a small block that the caller would overrun.
    const U64 u64Request = u64Bytes + SPARE_BYTES;
    BYTE *pBlock = static_cast<BYTE *>(H_MEMORY_pvMalloc(u64Request > 0xFFFFFFFFu ? 0xFFFFFFFFu : (U32)u64Request));
    if (pBlock == nullptr) {
        return nullptr;
    }
    uintptr_t uAddress = reinterpret_cast<uintptr_t>(pBlock) + OWNER_BYTES;
    uAddress = (uAddress + 3) & ~static_cast<uintptr_t>(3);
    BYTE *pPixels = reinterpret_cast<BYTE *>(uAddress);
    std::memcpy(pPixels - OWNER_BYTES, &pBlock, sizeof pBlock);
    return reinterpret_cast<U32 *>(pPixels);
}

void vFreePixels(U32 *pu32Pixels)
{
    if (pu32Pixels == nullptr) {
        return;
    }
    void *pBlock;
    std::memcpy(&pBlock, reinterpret_cast<BYTE *>(pu32Pixels) - OWNER_BYTES, sizeof pBlock);
    H_MEMORY_vFree(pBlock);
}

void vSetClip(BITMAP *pBitmap, U32 u32Width, U32 u32Height)
{
    pBitmap->s32ClipLeft = pBitmap->s32ClipLeft_full_screen = 0;
    pBitmap->s32ClipBottom = pBitmap->s32ClipBottom_full_screen = 0;
    pBitmap->s32ClipRight = pBitmap->s32ClipRight_full_screen = (PIXEL)u32Width - 1;
    pBitmap->s32ClipTop = pBitmap->s32ClipTop_full_screen = (PIXEL)u32Height - 1;
}

} // namespace

BITMAP *G_BUFFERS_pCreateBitmap(U32 u32Width, U32 u32Height, BITMAP *pBitmap, U32 *pu32Buffer)
{
    if (pBitmap == nullptr) {
        pBitmap = static_cast<BITMAP *>(H_MEMORY_pvMalloc(sizeof(BITMAP)));
        if (pBitmap == nullptr) {
            return nullptr;
        }
    }
    pBitmap->pixels_wide = pBitmap->pixels_wide_full_screen = (S32)u32Width;
    pBitmap->pixels_high = pBitmap->pixels_high_full_screen = (S32)u32Height;
    vSetClip(pBitmap, u32Width, u32Height);
    pBitmap->__u32PixelWidthOfBuffer = (u32Width + 1) & ~1u;
    pBitmap->__u32PixelHeightOfBuffer = (u32Height + 1) & ~1u;
    if (pu32Buffer != nullptr) {
        pBitmap->pBuffer = pu32Buffer;
    } else {
        pBitmap->pBuffer = pu32AllocatePixels((U64)pBitmap->__u32PixelWidthOfBuffer *
                                              pBitmap->__u32PixelHeightOfBuffer * sizeof(COLOR));
    }
    return pBitmap;
}

BITMAP *G_BUFFERS_pCreateFullScreenBitmapHeader(void)
{
    BITMAP *pBitmap = static_cast<BITMAP *>(H_MEMORY_pvMalloc(sizeof(BITMAP)));
    if (pBitmap == nullptr) {
        return nullptr;
    }
    pBitmap->pBuffer = nullptr;
    pBitmap->pixels_wide = pBitmap->pixels_wide_full_screen = SCREEN_PIXELS_WIDE;
    pBitmap->pixels_high = pBitmap->pixels_high_full_screen = SCREEN_PIXELS_HIGH;
    vSetClip(pBitmap, SCREEN_PIXELS_WIDE, SCREEN_PIXELS_HIGH);
    pBitmap->__u32PixelWidthOfBuffer = SCREEN_PIXELS_WIDE;
    pBitmap->__u32PixelHeightOfBuffer = SCREEN_PIXELS_HIGH;
    return pBitmap;
}

BITMAP *G_BUFFERS_pCreateFullScreenBitmap(void)
{
    BITMAP *pBitmap = G_BUFFERS_pCreateFullScreenBitmapHeader();
    if (pBitmap != nullptr) {
        pBitmap->pBuffer = pu32AllocatePixels(SCREEN_PIXELS_WIDE * SCREEN_PIXELS_HIGH * (U32)sizeof(COLOR));
    }
    return pBitmap;
}

void G_BUFFERS_vFreeBitmap(BITMAP *pBitmap)
{
    if (pBitmap == nullptr) {
        return;
    }
    vFreePixels(pBitmap->pBuffer);
    H_MEMORY_vFree(pBitmap);
}

void G_BUFFERS_vFreeFullScreenBitmap(BITMAP *pBitmap)
{
    G_BUFFERS_vFreeBitmap(pBitmap);
}

void G_BUFFERS_vFreeFullScreenBitmapHeader(BITMAP *pBitmap)
{
    if (pBitmap != nullptr) {
        H_MEMORY_vFree(pBitmap);
    }
}
