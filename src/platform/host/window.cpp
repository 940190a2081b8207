// The SDL2 window. Its own thread presents the page on display (over the graphics plane, through the key
// colour) whenever a page is shown and at least every 100 ms, and turns key presses into keypad events.
#include "platform/host/window.h"

#include <SDL2/SDL.h>
#include <linux/input-event-codes.h>

#include <atomic>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>

#include "kernel/log.h"
#include "platform/datadir.h"
#include "platform/host/fb_host.h"
#include "platform/lcd.h"

namespace {

struct WINDOW_STATE {
    std::mutex mutex;
    std::condition_variable cv;
    bool bFrameShown = false;
    std::atomic<bool> bRunning{false};
    std::atomic<WINDOW_KEY_SINK> pfnKeySink{nullptr};
    std::string sTitle = "corvan";
    bool bTitleChanged = false;
    std::atomic<U32> u32Presented{0};
    COLOR acolPresented[LCD_SCREEN_PIXELS];
};

// Never destroyed: the window thread runs until the process ends.
WINDOW_STATE &win()
{
    static WINDOW_STATE *s = new WINDOW_STATE();
    return *s;
}

bool bDisplayAvailable()
{
    for (const char *szName : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) {
        const char *sz = std::getenv(szName);
        if (sz != nullptr && *sz != '\0') {
            return true;
        }
    }
    return false;
}

// SDL key to the keypad's event code; 0 for keys the unit does not know.
U16 u16KeyCode(SDL_Scancode eScan)
{
    if (eScan >= SDL_SCANCODE_F1 && eScan <= SDL_SCANCODE_F10) {
        return (U16)(KEY_F1 + (eScan - SDL_SCANCODE_F1));
    }
    if (eScan >= SDL_SCANCODE_1 && eScan <= SDL_SCANCODE_9) {
        return (U16)(KEY_1 + (eScan - SDL_SCANCODE_1));
    }
    static const struct {
        SDL_Scancode eScan;
        U16 u16Code;
    } s_aMap[] = {
        {SDL_SCANCODE_0, KEY_0},          {SDL_SCANCODE_UP, KEY_UP},
        {SDL_SCANCODE_DOWN, KEY_DOWN},    {SDL_SCANCODE_LEFT, KEY_LEFT},
        {SDL_SCANCODE_RIGHT, KEY_RIGHT},  {SDL_SCANCODE_RETURN, KEY_ENTER},
        {SDL_SCANCODE_ESCAPE, KEY_ESC},   {SDL_SCANCODE_SPACE, KEY_SPACE},
        {SDL_SCANCODE_TAB, KEY_TAB},      {SDL_SCANCODE_BACKSPACE, KEY_BACKSPACE},
        {SDL_SCANCODE_HOME, KEY_HOME},    {SDL_SCANCODE_END, KEY_END},
        {SDL_SCANCODE_PAGEUP, KEY_PAGEUP}, {SDL_SCANCODE_PAGEDOWN, KEY_PAGEDOWN},
        {SDL_SCANCODE_INSERT, KEY_INSERT}, {SDL_SCANCODE_DELETE, KEY_DELETE},
        {SDL_SCANCODE_F11, KEY_F11},
    };
    for (const auto &entry : s_aMap) {
        if (entry.eScan == eScan) {
            return entry.u16Code;
        }
    }
    if (eScan >= SDL_SCANCODE_A && eScan <= SDL_SCANCODE_Z) {
        // Letters in keyboard order are not contiguous codes.
        static const U16 s_au16Letters[26] = {KEY_A, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I,
                                               KEY_J, KEY_K, KEY_L, KEY_M, KEY_N, KEY_O, KEY_P, KEY_Q, KEY_R,
                                               KEY_S, KEY_T, KEY_U, KEY_V, KEY_W, KEY_X, KEY_Y, KEY_Z};
        return s_au16Letters[eScan - SDL_SCANCODE_A];
    }
    return 0;
}

// F12: the picture beside CORVAN_SCREENSHOT (or in the data directory) with a time stamp.
void vSnapshot()
{
    const char *szShot = std::getenv("CORVAN_SCREENSHOT");
    std::string sBase;
    if (szShot != nullptr && *szShot != '\0') {
        sBase = szShot;
        if (sBase.size() > 4 && sBase.compare(sBase.size() - 4, 4, ".png") == 0) {
            sBase.resize(sBase.size() - 4);
        }
    } else {
        sBase = std::string(L_UTILS_cpGetPathnamePtr()) + "/corvan";
    }
    const time_t now = time(nullptr);
    struct tm tmNow;
    gmtime_r(&now, &tmNow);
    char acStamp[32];
    strftime(acStamp, sizeof acStamp, "-%Y%m%d-%H%M%S", &tmNow);
    const std::string sPath = sBase + acStamp + ".png";
    if (FBHOST_bWriteScreenshot(sPath.c_str())) {
        log_me("screenshot %s", sPath.c_str());
    }
}

void vCompose(COLOR *pcolDest)
{
    const U32 *pu32Page = DD_LCD_pu32GetFrameBufferPointer();
    if (pu32Page == nullptr) {
        std::memcpy(pcolDest, FBHOST_pcolGraphicsPlane(), LCD_SCREEN_BYTES);
        return;
    }
    DD_LCD_vChromaBlit16(pcolDest, FBHOST_pcolGraphicsPlane(), reinterpret_cast<const COLOR *>(pu32Page),
                         LCD_SCREEN_PIXELS, LCD_KEY_COLOR);
}

void vWindowThread()
{
    WINDOW_STATE &w = win();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        log_me("window: no display (%s), running headless", SDL_GetError());
        return;
    }
    // Twice the size where the desktop has room for it.
    int iScale = 1;
    SDL_Rect rcDesk;
    if (SDL_GetDisplayUsableBounds(0, &rcDesk) == 0 && rcDesk.w >= 2 * SCREEN_PIXELS_WIDE &&
        rcDesk.h >= 2 * SCREEN_PIXELS_HIGH + 64) {
        iScale = 2;
    }
    std::string sTitle;
    {
        std::lock_guard<std::mutex> lock(w.mutex);
        sTitle = w.sTitle;
    }
    SDL_Window *pWindow = SDL_CreateWindow(sTitle.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                           SCREEN_PIXELS_WIDE * iScale, SCREEN_PIXELS_HIGH * iScale, 0);
    SDL_Renderer *pRenderer = pWindow ? SDL_CreateRenderer(pWindow, -1, 0) : nullptr;
    if (pRenderer == nullptr && pWindow != nullptr) {
        pRenderer = SDL_CreateRenderer(pWindow, -1, SDL_RENDERER_SOFTWARE);
    }
    SDL_Texture *pTexture = pRenderer ? SDL_CreateTexture(pRenderer, SDL_PIXELFORMAT_RGB565,
                                                          SDL_TEXTUREACCESS_STREAMING, SCREEN_PIXELS_WIDE,
                                                          SCREEN_PIXELS_HIGH)
                                      : nullptr;
    if (pTexture == nullptr) {
        log_me("window: cannot open (%s), running headless", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return;
    }
    w.bRunning = true;
    static COLOR s_acolFrame[LCD_SCREEN_PIXELS];
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(w.mutex);
            w.cv.wait_for(lock, std::chrono::milliseconds(100), [&] { return w.bFrameShown; });
            w.bFrameShown = false;
            if (w.bTitleChanged) {
                w.bTitleChanged = false;
                SDL_SetWindowTitle(pWindow, w.sTitle.c_str());
            }
        }
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                // Closing the window is switching the unit off: the orderly end.
                std::raise(SIGTERM);
            } else if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) {
                const bool bDown = event.type == SDL_KEYDOWN;
                if (event.key.keysym.scancode == SDL_SCANCODE_F12) {
                    if (bDown && !event.key.repeat) {
                        vSnapshot();
                    }
                    continue;
                }
                const U16 u16Code = u16KeyCode(event.key.keysym.scancode);
                const WINDOW_KEY_SINK pfnSink = w.pfnKeySink;
                if (u16Code != 0 && pfnSink != nullptr) {
                    pfnSink(u16Code, bDown ? (event.key.repeat ? 2 : 1) : 0);
                }
            }
        }
        vCompose(s_acolFrame);
        SDL_UpdateTexture(pTexture, nullptr, s_acolFrame, SCREEN_PIXELS_WIDE * (int)sizeof(COLOR));
        SDL_RenderClear(pRenderer);
        SDL_RenderCopy(pRenderer, pTexture, nullptr, nullptr);
        SDL_RenderPresent(pRenderer);
        {
            std::lock_guard<std::mutex> lock(w.mutex);
            std::memcpy(w.acolPresented, s_acolFrame, LCD_SCREEN_BYTES);
        }
        w.u32Presented++;
    }
}

} // namespace

bool WINDOW_bStart(void)
{
    if (!bDisplayAvailable()) {
        return false;
    }
    static std::once_flag s_once;
    std::call_once(s_once, [] { std::thread(vWindowThread).detach(); });
    return true;
}

bool WINDOW_bRunning(void)
{
    return win().bRunning;
}

void WINDOW_vFrameShown(void)
{
    WINDOW_STATE &w = win();
    {
        std::lock_guard<std::mutex> lock(w.mutex);
        w.bFrameShown = true;
    }
    w.cv.notify_one();
}

void WINDOW_vSetKeySink(WINDOW_KEY_SINK pfnSink)
{
    win().pfnKeySink = pfnSink;
}

void WINDOW_vSetTitle(const char *szUnit)
{
    WINDOW_STATE &w = win();
    std::lock_guard<std::mutex> lock(w.mutex);
    w.sTitle = std::string("corvan ") + szUnit;
    w.bTitleChanged = true;
}

std::string WINDOW_sTitle(void)
{
    WINDOW_STATE &w = win();
    std::lock_guard<std::mutex> lock(w.mutex);
    return w.sTitle;
}

U32 WINDOW_u32PresentedCount(void)
{
    return win().u32Presented;
}

bool WINDOW_bCopyPresented(COLOR *pcolDest)
{
    WINDOW_STATE &w = win();
    if (w.u32Presented == 0) {
        return false;
    }
    std::lock_guard<std::mutex> lock(w.mutex);
    std::memcpy(pcolDest, w.acolPresented, LCD_SCREEN_BYTES);
    return true;
}
