// The LCD driver: the page table, showing frames, the TV-out copy, screen dump and clear screen.
#include "platform/lcd.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <mutex>

#include "chart/chart3d_standin.h"
#include "util/byte_number_clock.h"
#include "platform/fb.h"

namespace {

// Frames shown with the TV on before the TV copy starts.
constexpr U32 TV_SKIPPED_FRAMES = 15;

struct LCD_STATE {
    // Guards the page table: the view, display and card tasks take and show pages concurrently.
    std::mutex mutex;
    // Held across a whole show: the pan, the copy of a foreign bitmap and the TV copy.
    std::mutex showMutex;
    DISPLAY_BUF g_displayBuffers[LCD_PAGE_COUNT] = {};
    S32 displaySize = 0;
    bool bInitialised = false;
    bool tv_is_on = false;
    U32 u32TvFrameCount = 0;
    COLOR *pcolTvFrame = nullptr;
    COLOR *pcolGraphicsPlane = nullptr;
    bool bTvMapped = false;
};

// Never destroyed: the exit-time screenshot and the window thread may still read it.
LCD_STATE &state()
{
    static LCD_STATE *s = new LCD_STATE;
    return *s;
}

const FB_SURFACE_OPS *ops()
{
    return FB_pGetSurfaceOps();
}

// The first page on display, or -1. Called with the lock held.
S32 s32ShownPage(const LCD_STATE &s)
{
    for (S32 i = 0; i < LCD_PAGE_COUNT; i++) {
        if (s.g_displayBuffers[i].bufferStatus == BUFFER_IS_ON_DISPLAY) {
            return i;
        }
    }
    return -1;
}

// The TV copy of the page on display. Called by the showing task with the show lock held.
void vCopyToTv(LCD_STATE &s)
{
    if (!s.bTvMapped) {
        s.pcolTvFrame = ops()->pcolMapTvFrame();
        s.pcolGraphicsPlane = ops()->pcolMapGraphicsPlane();
        s.bTvMapped = true;
    }
    s.u32TvFrameCount++;
    if (s.u32TvFrameCount <= TV_SKIPPED_FRAMES) {
        return;
    }
    S32 s32Shown;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s32Shown = s32ShownPage(s);
    }
    // Nothing on display (a foreign bitmap before the first page), or a device missing: nothing to copy.
    if (s32Shown < 0 || s.pcolTvFrame == nullptr || s.pcolGraphicsPlane == nullptr) {
        return;
    }
    DD_LCD_vChromaBlit16(s.pcolTvFrame, s.pcolGraphicsPlane,
                         reinterpret_cast<const COLOR *>(s.g_displayBuffers[s32Shown].buf.buffer), LCD_SCREEN_PIXELS,
                         LCD_KEY_COLOR);
}

} // namespace

void DD_LCD_vChromaBlit16(COLOR *pcolDest, const COLOR *pcolPlane, const COLOR *pcolPage, U32 u32Pixels,
                          COLOR colorKey)
{
    for (U32 i = 0; i < u32Pixels; i++) {
        const COLOR color = pcolPage[i];
        pcolDest[i] = color == colorKey ? pcolPlane[i] : color;
    }
}

void DD_LCD_vInit(void)
{
    LCD_STATE &s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    U32 *apu32Pages[LCD_PAGE_COUNT] = {};
    const S32 s32Size = ops()->s32Open(apu32Pages);
    if (s32Size < 0) {
        return;
    }
    s.displaySize = s32Size;
    ops()->vSetChromaKey(LCD_KEY_COLOR);
    s.bInitialised = true;
    for (S32 i = 0; i < LCD_PAGE_COUNT; i++) {
        s.g_displayBuffers[i].bufferStatus = BUFFER_IS_IDLE;
        s.g_displayBuffers[i].buf.buffer = apu32Pages[i];
        s.g_displayBuffers[i].buf.displayIdx = i;
    }
}

void DD_LCD_vReset(void)
{
    LCD_STATE &s = state();
    std::lock_guard<std::mutex> show(s.showMutex);
    std::lock_guard<std::mutex> lock(s.mutex);
    for (DISPLAY_BUF &page : s.g_displayBuffers) {
        page = DISPLAY_BUF{};
    }
    s.displaySize = 0;
    s.bInitialised = false;
    s.tv_is_on = false;
    s.u32TvFrameCount = 0;
}

U32 *DD_LCD_pu32GetDisplayBuffer(void)
{
    LCD_STATE &s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    for (DISPLAY_BUF &page : s.g_displayBuffers) {
        if (page.bufferStatus == BUFFER_IS_IDLE) {
            page.bufferStatus = BUFFER_IS_ALLOCATED;
            return page.buf.buffer;
        }
    }
    return nullptr;
}

void DD_LCD_vFreeDisplayBuffer(U32 *pu32Buffer)
{
    LCD_STATE &s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    for (DISPLAY_BUF &page : s.g_displayBuffers) {
        if (page.buf.buffer != nullptr && page.buf.buffer == pu32Buffer) {
            page.bufferStatus = BUFFER_IS_IDLE;
        }
    }
}

DISPLAY_BUFFER_STATUS DD_LCD_eGetPageStatus(S32 s32Page)
{
    LCD_STATE &s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s32Page < 0 || s32Page >= LCD_PAGE_COUNT) {
        return DISPLAY_BUFFER_STATUS{};
    }
    return s.g_displayBuffers[s32Page].bufferStatus;
}

void DD_LCD_vDisplayScreen(const U32 *pu32ScreenBuffer)
{
    LCD_STATE &s = state();
    {
        // One show at a time, so pans reach the surface in the order the table changed; takers only need
        // the table lock and are not held up by the wait for the vertical sync.
        std::lock_guard<std::mutex> show(s.showMutex);
        S32 s32Pan = -1;
        U32 *pu32Shown = nullptr;
        bool bInitialised, bTv;
        {
            std::lock_guard<std::mutex> lock(s.mutex);
            bInitialised = s.bInitialised;
            bTv = s.tv_is_on;
            S32 s32Page = -1;
            for (S32 i = 0; i < LCD_PAGE_COUNT && bInitialised; i++) {
                if (pu32ScreenBuffer != nullptr && s.g_displayBuffers[i].buf.buffer == pu32ScreenBuffer) {
                    s32Page = i;
                    break;
                }
            }
            if (s32Page >= 0) {
                if (s.g_displayBuffers[s32Page].bufferStatus != BUFFER_IS_ON_DISPLAY) {
                    const S32 s32Old = s32ShownPage(s);
                    if (s32Old >= 0) {
                        s.g_displayBuffers[s32Old].bufferStatus = BUFFER_IS_IDLE;
                    }
                    s.g_displayBuffers[s32Page].bufferStatus = BUFFER_IS_ON_DISPLAY;
                    s32Pan = s32Page;
                }
            } else if (bInitialised) {
                const S32 s32Shown = s32ShownPage(s);
                pu32Shown = s32Shown < 0 ? nullptr : s.g_displayBuffers[s32Shown].buf.buffer;
            }
        }
        if (s32Pan >= 0) {
            ops()->vShowPage(s32Pan);
        } else if (pu32Shown != nullptr && pu32ScreenBuffer != nullptr) {
            // A bitmap that is not a page (a saved picture) is copied into the page on display.
            DD_UTIL_FastMemcpyProxy(pu32Shown, pu32ScreenBuffer, (U32)s.displaySize);
        }
        if (bInitialised && bTv) {
            vCopyToTv(s);
        }
    }
    // Only the TV encoder command we started, never other threads' children.
    ops()->vReapVideoCommand();
}

U32 *DD_LCD_pu32GetFrameBufferPointer(void)
{
    LCD_STATE &s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    const S32 s32Shown = s32ShownPage(s);
    return s32Shown < 0 ? nullptr : s.g_displayBuffers[s32Shown].buf.buffer;
}

void DD_LCD_vScreenDump(U32 *pu32Buffer)
{
    T_CHART_3D_vDumpActiveDisplayBuffer(pu32Buffer);
    LCD_STATE &s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    const S32 s32Shown = s32ShownPage(s);
    if (s32Shown < 0) {
        return;
    }
    COLOR *pcolDump = reinterpret_cast<COLOR *>(pu32Buffer);
    DD_LCD_vChromaBlit16(pcolDump, pcolDump, reinterpret_cast<const COLOR *>(s.g_displayBuffers[s32Shown].buf.buffer),
                         LCD_SCREEN_PIXELS, LCD_KEY_COLOR);
}

void DD_LCD_vCLS(void)
{
    static const COLOR s_acolClear[LCD_PAGE_COUNT] = {0x0000, 0x0000, 0x0000, 0x0000};
    U32 *pu32First = nullptr;
    {
        LCD_STATE &s = state();
        std::lock_guard<std::mutex> lock(s.mutex);
        if (!s.bInitialised) {
            return;
        }
        for (S32 i = 0; i < LCD_PAGE_COUNT; i++) {
            COLOR *pcol = reinterpret_cast<COLOR *>(s.g_displayBuffers[i].buf.buffer);
            std::fill_n(pcol, s.displaySize / 2, s_acolClear[i]);
        }
        pu32First = s.g_displayBuffers[0].buf.buffer;
    }
    DD_LCD_vDisplayScreen(pu32First);
}

void DD_LCD_vChangeVideoMode(VIDEO_MODE eMode)
{
    const char *szCommand;
    switch (eMode) {
    case M_VIDEO_MODE_NTSC:
        szCommand = "omap_dss2_venc.sh on ntsc";
        break;
    case M_VIDEO_MODE_NTSC_J:
        szCommand = "omap_dss2_venc.sh on ntsc-j";
        break;
    case M_VIDEO_MODE_PAL:
    case M_VIDEO_MODE_PAL_N:
        szCommand = "omap_dss2_venc.sh on pal";
        break;
    case M_VIDEO_MODE_PAL_M:
        szCommand = "omap_dss2_venc.sh on pal-m";
        break;
    default:
        szCommand = "omap_dss2_venc.sh off";
        break;
    }
    {
        LCD_STATE &s = state();
        std::lock_guard<std::mutex> lock(s.mutex);
        s.tv_is_on = eMode >= M_VIDEO_MODE_NTSC && eMode <= M_VIDEO_MODE_PAL_N;
    }
    ops()->vStartVideoCommand(szCommand);
}

BOOLEAN DD_LCD_bCheckVideoOutPort(void)
{
    const int fd = open(ops()->szTvDetectPath(), O_RDONLY);
    if (fd < 0) {
        return FALSE;
    }
    char c = 0;
    const ssize_t n = read(fd, &c, 1);
    close(fd);
    return n == 1 && c == '1';
}

// Power, enable and VCOM need nothing on these platforms.
void DD_LCD_vSetupPins(void) {}
void DD_LCD_vDisplayPowerOff(void) {}
void DD_LCD_vDisplayPowerOn(void) {}
void DD_LCD_vLCDPowerOff(void) {}
void DD_LCD_vLCDPowerOn(void) {}
void DD_LCD_vEnable(void) {}
void DD_LCD_vDisable(void) {}
void DD_LCD_vDisplayOff(void) {}
void DD_LCD_vDisplayOn(void) {}
void DD_LCD_vSetVCom(float) {}

void *DD_UTIL_MemsetProxy(void *s, int c, size_t n, const char *, int)
{
    return std::memset(s, c, n);
}

void *DD_UTIL_MemcpyProxy(void *dest, const void *src, size_t n, const char *, int)
{
    return std::memcpy(dest, src, n);
}

void *DD_UTIL_FastMemcpyProxy(void *dest, const void *src, U32 n)
{
    DD_UTIL_Memcpy(dest, src, n);
    return dest;
}

void H_DISPLAY_vInitScreen(MBOX)
{
    DD_LCD_vInit();
    DD_LCD_vDisplayPowerOn();
}

U32 *H_DISPLAY_pu32GetDisplayBuffer(void)
{
    return DD_LCD_pu32GetDisplayBuffer();
}

void H_DISPLAY_vFreeDisplayBuffer(U32 *pu32Buffer)
{
    DD_LCD_vFreeDisplayBuffer(pu32Buffer);
}

void H_DISPLAY_vDisplayBitmap(const BITMAP *pBitmap)
{
    DD_LCD_vDisplayScreen(pBitmap->pBuffer);
}

SCREEN_BUFFER *H_DISPLAY_psbGetFrameBufferPointer(void)
{
    return reinterpret_cast<SCREEN_BUFFER *>(DD_LCD_pu32GetFrameBufferPointer());
}

void H_DISPLAY_vScreenDump(SCREEN_BUFFER *psbBuffer)
{
    DD_LCD_vScreenDump(*psbBuffer);
}

void H_DISPLAY_vPowerDown(void)
{
    DD_LCD_vCLS();
    DD_LCD_vDisplayOff();
    DD_LCD_vDisplayPowerOff();
    DD_LCD_vLCDPowerOff();
}

void H_DISPLAY_vChangeVideoOutMode(VIDEO_MODE eMode)
{
    DD_LCD_vChangeVideoMode(eMode);
}

BOOLEAN H_DISPLAY_bCheckVideoOutPort(void)
{
    return DD_LCD_bCheckVideoOutPort();
}

void H_DISPLAY_vNameModel(const char *szModel)
{
    ops()->vNameModel(szModel);
}
