// The simulator's frame-buffer surface. Pages live in memory; the window (when there is one) presents the
// page on display; vertical sync is paced by the monotonic clock at 60 Hz.
#include "platform/host/fb_host.h"
#include "platform/host/devroot.h"

#include <time.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

#include "kernel/log.h"
#include "platform/clock.h"
#include "platform/datadir.h"
#include "platform/fb.h"
#include "platform/host/window.h"
#include "platform/png.h"
#include "platform/shell.h"

namespace {

constexpr S64 FRAME_NANOSECONDS = 1000000000LL / 60;

struct FB_HOST {
    alignas(64) COLOR aacolPages[LCD_PAGE_COUNT][LCD_SCREEN_PIXELS];
    alignas(64) COLOR acolGraphicsPlane[LCD_SCREEN_PIXELS];
    alignas(64) COLOR acolTvFrame[LCD_SCREEN_PIXELS];
    std::atomic<S32> s32Panned{-1};
    std::atomic<U32> u32Pans{0};
    std::once_flag onceStart;
};

// Never destroyed: the exit-time screenshot and the window thread read it until the process is gone.
FB_HOST &host()
{
    static FB_HOST *s = new FB_HOST();
    return *s;
}

bool bEnvSet(const char *szName)
{
    const char *sz = std::getenv(szName);
    return sz != nullptr && *sz != '\0' && std::strcmp(sz, "0") != 0;
}

void vScreenshotAtExit()
{
    const char *szPath = std::getenv("CORVAN_SCREENSHOT");
    if (szPath != nullptr && *szPath != '\0') {
        FBHOST_bWriteScreenshot(szPath);
    }
}

// CORVAN_SCREENSHOT is read when the process ends, by exit() or by the unit's own exit path.
void vStartOnce()
{
    std::atexit(vScreenshotAtExit);
    LOG_vSetExitHook(vScreenshotAtExit);
}

S32 s32Open(U32 *apu32Pages[LCD_PAGE_COUNT])
{
    FB_HOST &h = host();
    std::call_once(h.onceStart, vStartOnce);
    if (!bEnvSet("CORVAN_HEADLESS")) {
        WINDOW_bStart();
    }
    for (S32 i = 0; i < LCD_PAGE_COUNT; i++) {
        apu32Pages[i] = reinterpret_cast<U32 *>(h.aacolPages[i]);
    }
    return LCD_SCREEN_BYTES;
}

void vSetChromaKey(int) {}

void vShowPage(S32 s32Page)
{
    FB_HOST &h = host();
    h.s32Panned = s32Page;
    h.u32Pans++;
    WINDOW_vFrameShown();
    // The next vertical sync: the next 60 Hz boundary of the kernel's clock (a test clock paces it too).
    timespec now;
    PLATFORM_CLOCK_vNow(&now);
    const S64 s64Now = (S64)now.tv_sec * 1000000000LL + now.tv_nsec;
    const S64 s64Next = (s64Now / FRAME_NANOSECONDS + 1) * FRAME_NANOSECONDS;
    const timespec next{(time_t)(s64Next / 1000000000LL), (long)(s64Next % 1000000000LL)};
    // Nobody signals this condition: the wait ends at the deadline.
    static pthread_mutex_t s_mutex = PTHREAD_MUTEX_INITIALIZER;
    static pthread_cond_t *s_pCond = [] {
        pthread_cond_t *pCond = new pthread_cond_t;
        PLATFORM_CLOCK_vCondInit(pCond);
        return pCond;
    }();
    pthread_mutex_lock(&s_mutex);
    while (PLATFORM_CLOCK_nCondWait(s_pCond, &s_mutex, &next) != ETIMEDOUT) {
    }
    pthread_mutex_unlock(&s_mutex);
}

COLOR *pcolMapTvFrame(void)
{
    return host().acolTvFrame;
}

COLOR *pcolMapGraphicsPlane(void)
{
    return host().acolGraphicsPlane;
}

// Recorded and logged by the shell seam, never run.
void vStartVideoCommand(const char *szCommand)
{
    H_SHELL_nRun(szCommand);
}

void vReapVideoCommand(void) {}

// Built on every call: tests point CORVAN_DEVROOT at their own folder.
const char *szTvDetectPath(void)
{
    thread_local std::string t_sPath;
    t_sPath = FBHOST_sDeviceRoot() + "/sys/devices/platform/omapdss/display2/venc_tv_detect";
    return t_sPath.c_str();
}

const FB_SURFACE_OPS s_hostOps = {
    .s32Open = s32Open,
    .vSetChromaKey = vSetChromaKey,
    .vShowPage = vShowPage,
    .pcolMapTvFrame = pcolMapTvFrame,
    .pcolMapGraphicsPlane = pcolMapGraphicsPlane,
    .vStartVideoCommand = vStartVideoCommand,
    .vReapVideoCommand = vReapVideoCommand,
    .szTvDetectPath = szTvDetectPath,
    .vNameModel = WINDOW_vSetTitle,
};

} // namespace

const FB_SURFACE_OPS *FB_pGetHostSurfaceOps(void)
{
    return &s_hostOps;
}

COLOR *FBHOST_pcolGraphicsPlane(void)
{
    return host().acolGraphicsPlane;
}

COLOR *FBHOST_pcolTvFrame(void)
{
    return host().acolTvFrame;
}

S32 FBHOST_s32PannedPage(void)
{
    return host().s32Panned;
}

U32 FBHOST_u32PanCount(void)
{
    return host().u32Pans;
}

std::string FBHOST_sDeviceRoot(void)
{
    return HOST_DEVROOT_sRoot();
}

bool FBHOST_bWriteScreenshot(const char *szPath)
{
    std::unique_ptr<U32[]> pDump(new U32[LCD_SCREEN_WORDS]());
    DD_LCD_vScreenDump(pDump.get());
    return PNG_bWriteRgb565(szPath, reinterpret_cast<const COLOR *>(pDump.get()), SCREEN_PIXELS_WIDE,
                            SCREEN_PIXELS_HIGH, SCREEN_PIXELS_WIDE);
}
