// The LCD pages on the host: page table, page flip, TV copy, screen dump, clear screen, video modes.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>
#include <linux/input-event-codes.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "draw/bmp.h"
#include "view/buffers.h"
#include "platform/host/fb_host.h"
#include "platform/host/window.h"
#include "platform/lcd.h"
#include "platform/png.h"
#include "platform/shell.h"
#include "run_apart.h"

TEST_RUN_APART(Lcd);
TEST_RUN_APART(LcdHost);
TEST_RUN_APART(LcdUninitialised);

namespace {

class Lcd : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("CORVAN_HEADLESS", "1", 1);
        DD_LCD_vReset();
        DD_LCD_vInit();
    }
    void TearDown() override { DD_LCD_vReset(); }
};

COLOR *pcol(U32 *pu32)
{
    return reinterpret_cast<COLOR *>(pu32);
}

std::filesystem::path tempDir(const char *szName)
{
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                (std::string("corvan_lcd_") + szName + "_" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// Runs fn in a child process and returns its exit status (the child's exit handlers run).
template <typename FN> int iInChild(FN &&fn)
{
    fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        exit(fn());
    }
    int iStatus = 0;
    waitpid(pid, &iStatus, 0);
    return WIFEXITED(iStatus) ? WEXITSTATUS(iStatus) : 100;
}

} // namespace

TEST_F(Lcd, TakingPagesGivesZeroToThreeThenNone)
{
    U32 *apu32[5];
    for (int i = 0; i < 5; i++) {
        apu32[i] = DD_LCD_pu32GetDisplayBuffer();
        if (i < 4) {
            EXPECT_EQ(DD_LCD_eGetPageStatus(i), BUFFER_IS_ALLOCATED);
        }
    }
    EXPECT_EQ(apu32[4], nullptr);
    for (int i = 1; i < 4; i++) {
        EXPECT_EQ(reinterpret_cast<BYTE *>(apu32[i]) - reinterpret_cast<BYTE *>(apu32[i - 1]), LCD_SCREEN_BYTES);
    }
    // A pointer that is no page start changes nothing; a page start gives that page back.
    DD_LCD_vFreeDisplayBuffer(apu32[1] + 2);
    EXPECT_EQ(DD_LCD_eGetPageStatus(1), BUFFER_IS_ALLOCATED);
    DD_LCD_vFreeDisplayBuffer(apu32[2]);
    EXPECT_EQ(DD_LCD_eGetPageStatus(2), BUFFER_IS_IDLE);
    EXPECT_EQ(DD_LCD_pu32GetDisplayBuffer(), apu32[2]);
}

TEST_F(Lcd, ShowingFlipsPagesAndTheShownPageDoesNotPan)
{
    EXPECT_EQ(DD_LCD_pu32GetFrameBufferPointer(), nullptr);
    U32 *p0 = DD_LCD_pu32GetDisplayBuffer();
    U32 *p1 = DD_LCD_pu32GetDisplayBuffer();
    const U32 u32Pans = FBHOST_u32PanCount();

    DD_LCD_vDisplayScreen(p1); // the first frame: no other page turns idle
    EXPECT_EQ(DD_LCD_eGetPageStatus(1), BUFFER_IS_ON_DISPLAY);
    EXPECT_EQ(DD_LCD_eGetPageStatus(0), BUFFER_IS_ALLOCATED);
    EXPECT_EQ(FBHOST_u32PanCount(), u32Pans + 1);
    EXPECT_EQ(FBHOST_s32PannedPage(), 1);
    EXPECT_EQ(DD_LCD_pu32GetFrameBufferPointer(), p1);

    DD_LCD_vDisplayScreen(p1); // already on display: no change, no pan
    EXPECT_EQ(FBHOST_u32PanCount(), u32Pans + 1);
    EXPECT_EQ(DD_LCD_eGetPageStatus(1), BUFFER_IS_ON_DISPLAY);

    BITMAP *pBitmap = G_BUFFERS_pCreateFullScreenBitmapHeader();
    pBitmap->pBuffer = p0;
    H_DISPLAY_vDisplayBitmap(pBitmap);
    G_BUFFERS_vFreeFullScreenBitmapHeader(pBitmap);
    EXPECT_EQ(DD_LCD_eGetPageStatus(0), BUFFER_IS_ON_DISPLAY);
    EXPECT_EQ(DD_LCD_eGetPageStatus(1), BUFFER_IS_IDLE);
    EXPECT_EQ(FBHOST_s32PannedPage(), 0);
    EXPECT_EQ(reinterpret_cast<U32 *>(H_DISPLAY_psbGetFrameBufferPointer()), p0);
}

TEST_F(Lcd, AForeignBitmapIsCopiedIntoThePageOnDisplay)
{
    U32 *p0 = DD_LCD_pu32GetDisplayBuffer();
    DD_LCD_vDisplayScreen(p0);
    BITMAP *pPicture = G_BUFFERS_pCreateFullScreenBitmap();
    G_BMP_vSet(pPicture, 0x7BEF);
    const U32 u32Pans = FBHOST_u32PanCount();
    H_DISPLAY_vDisplayBitmap(pPicture);
    EXPECT_EQ(FBHOST_u32PanCount(), u32Pans);
    EXPECT_EQ(pcol(p0)[0], 0x7BEF);
    EXPECT_EQ(pcol(p0)[LCD_SCREEN_PIXELS - 1], 0x7BEF);
    G_BUFFERS_vFreeFullScreenBitmap(pPicture);
}

TEST_F(Lcd, TvCopyStartsAtFrame16AndKeysOnlyExactly8401)
{
    COLOR *pcolPlane = FBHOST_pcolGraphicsPlane();
    COLOR *pcolTv = FBHOST_pcolTvFrame();
    std::fill_n(pcolPlane, LCD_SCREEN_PIXELS, 0x001F);
    std::fill_n(pcolTv, LCD_SCREEN_PIXELS, 0xFFFF);
    H_DISPLAY_vChangeVideoOutMode(M_VIDEO_MODE_NTSC);
    U32 *apu32[2] = {DD_LCD_pu32GetDisplayBuffer(), DD_LCD_pu32GetDisplayBuffer()};
    for (U32 *p : apu32) {
        std::fill_n(pcol(p), LCD_SCREEN_PIXELS, 0x1234);
        pcol(p)[10] = 0x8401;
        pcol(p)[11] = 0x8400;
        pcol(p)[12] = 0x8402;
        pcol(p)[LCD_SCREEN_PIXELS - 1] = 0x8401;
    }
    for (int i = 1; i <= 16; i++) {
        DD_LCD_vDisplayScreen(apu32[i % 2]);
        if (i <= 15) {
            ASSERT_EQ(pcolTv[0], 0xFFFF) << "frame " << i;
        }
    }
    EXPECT_EQ(pcolTv[0], 0x1234);
    EXPECT_EQ(pcolTv[10], 0x001F);
    EXPECT_EQ(pcolTv[11], 0x8400);
    EXPECT_EQ(pcolTv[12], 0x8402);
    EXPECT_EQ(pcolTv[LCD_SCREEN_PIXELS - 1], 0x001F);

    // Off: later frames leave the TV frame alone.
    H_DISPLAY_vChangeVideoOutMode(M_VIDEO_MODE_LCD);
    pcol(apu32[0])[0] = 0x4321;
    DD_LCD_vDisplayScreen(apu32[0]);
    EXPECT_EQ(pcolTv[0], 0x1234);
}

TEST_F(Lcd, TvOnWithNothingOnDisplaySkipsTheCopy)
{
    H_DISPLAY_vChangeVideoOutMode(M_VIDEO_MODE_PAL);
    static U32 s_au32Picture[LCD_SCREEN_WORDS];
    for (int i = 0; i < 20; i++) {
        DD_LCD_vDisplayScreen(s_au32Picture); // not a page, and no page on display
    }
    EXPECT_EQ(DD_LCD_pu32GetFrameBufferPointer(), nullptr);
}

TEST_F(Lcd, VideoModesRunTheEncoderCommand)
{
    const struct {
        VIDEO_MODE eMode;
        const char *szCommand;
    } aCase[] = {
        {M_VIDEO_MODE_NTSC, "omap_dss2_venc.sh on ntsc"}, {M_VIDEO_MODE_NTSC_J, "omap_dss2_venc.sh on ntsc-j"},
        {M_VIDEO_MODE_PAL, "omap_dss2_venc.sh on pal"},   {M_VIDEO_MODE_PAL_M, "omap_dss2_venc.sh on pal-m"},
        {M_VIDEO_MODE_PAL_N, "omap_dss2_venc.sh on pal"}, {M_VIDEO_MODE_LCD, "omap_dss2_venc.sh off"},
        {M_VIDEO_MODE_COUNT, "omap_dss2_venc.sh off"},
    };
    for (const auto &c : aCase) {
        H_SHELL_vClearRecord();
        H_DISPLAY_vChangeVideoOutMode(c.eMode);
        ASSERT_EQ(H_SHELL_u32RecordedCount(), 1u);
        EXPECT_STREQ(H_SHELL_pcRecorded(0), c.szCommand) << c.eMode;
    }
}

TEST_F(Lcd, TvDetectFile)
{
    const std::filesystem::path dir = tempDir("detect");
    setenv("CORVAN_DEVROOT", dir.c_str(), 1);
    const std::filesystem::path file = dir / "sys/devices/platform/omapdss/display2/venc_tv_detect";
    EXPECT_FALSE(H_DISPLAY_bCheckVideoOutPort()); // missing
    std::filesystem::create_directories(file.parent_path());
    const struct {
        const char *szContent;
        bool bDetected;
    } aCase[] = {{"1\n", true}, {"0", false}, {"", false}, {"10", true}};
    for (const auto &c : aCase) {
        std::ofstream(file) << c.szContent;
        EXPECT_EQ((bool)H_DISPLAY_bCheckVideoOutPort(), c.bDetected) << c.szContent;
    }
    unsetenv("CORVAN_DEVROOT");
    std::filesystem::remove_all(dir);
}

TEST_F(Lcd, ScreenDumpLaysThePageOverTheGraphicsPlane)
{
    std::fill_n(FBHOST_pcolGraphicsPlane(), LCD_SCREEN_PIXELS, 0x0F0F);
    U32 *p = DD_LCD_pu32GetDisplayBuffer();
    std::fill_n(pcol(p), LCD_SCREEN_PIXELS, 0xA5A5);
    pcol(p)[5] = 0x8401;
    pcol(p)[6] = 0x8400;
    DD_LCD_vDisplayScreen(p);
    static SCREEN_BUFFER s_sbDump;
    H_DISPLAY_vScreenDump(&s_sbDump);
    const COLOR *pcolDump = reinterpret_cast<const COLOR *>(s_sbDump);
    EXPECT_EQ(pcolDump[0], 0xA5A5);
    EXPECT_EQ(pcolDump[5], 0x0F0F);
    EXPECT_EQ(pcolDump[6], 0x8400);
    EXPECT_EQ(pcolDump[LCD_SCREEN_PIXELS - 1], 0xA5A5);
}

TEST_F(Lcd, PowerDownClearsEveryPageAndShowsPageZero)
{
    U32 *apu32[4];
    for (U32 *&p : apu32) {
        p = DD_LCD_pu32GetDisplayBuffer();
        std::fill_n(pcol(p), LCD_SCREEN_PIXELS, 0xFFFF);
    }
    DD_LCD_vDisplayScreen(apu32[2]);
    H_DISPLAY_vPowerDown();
    for (U32 *p : apu32) {
        EXPECT_EQ(std::count(pcol(p), pcol(p) + LCD_SCREEN_PIXELS, 0x0000), LCD_SCREEN_PIXELS);
    }
    EXPECT_EQ(DD_LCD_eGetPageStatus(0), BUFFER_IS_ON_DISPLAY);
    EXPECT_EQ(DD_LCD_eGetPageStatus(2), BUFFER_IS_IDLE);
}

TEST(LcdUninitialised, NoPagesWithoutInit)
{
    DD_LCD_vReset();
    EXPECT_EQ(DD_LCD_pu32GetDisplayBuffer(), nullptr);
    static U32 s_au32[LCD_SCREEN_WORDS];
    DD_LCD_vDisplayScreen(s_au32);
    EXPECT_EQ(DD_LCD_pu32GetFrameBufferPointer(), nullptr);
}

// Two tasks racing for pages never get the same one.
TEST_F(Lcd, ConcurrentTakersGetDistinctPages)
{
    for (int round = 0; round < 200; round++) {
        U32 *apu32[8] = {};
        std::vector<std::thread> vThreads;
        for (int t = 0; t < 8; t++) {
            vThreads.emplace_back([&apu32, t] { apu32[t] = DD_LCD_pu32GetDisplayBuffer(); });
        }
        for (auto &th : vThreads) {
            th.join();
        }
        std::set<U32 *> taken;
        int iNull = 0;
        for (U32 *p : apu32) {
            if (p == nullptr) {
                iNull++;
            } else {
                EXPECT_TRUE(taken.insert(p).second);
            }
        }
        EXPECT_EQ(iNull, 4);
        for (U32 *p : taken) {
            DD_LCD_vFreeDisplayBuffer(p);
        }
    }
}

TEST(LcdHost, ScreenshotAtExit)
{
    const std::filesystem::path dir = tempDir("shot");
    const std::string sPath = (dir / "exit.png").string();
    const int iStatus = iInChild([&] {
        setenv("CORVAN_HEADLESS", "1", 1);
        setenv("CORVAN_SCREENSHOT", sPath.c_str(), 1);
        DD_LCD_vReset();
        std::fill_n(FBHOST_pcolGraphicsPlane(), LCD_SCREEN_PIXELS, 0x07E0);
        H_DISPLAY_vInitScreen(0);
        U32 *p = H_DISPLAY_pu32GetDisplayBuffer();
        BITMAP *pBitmap = G_BUFFERS_pCreateFullScreenBitmapHeader();
        pBitmap->pBuffer = p;
        G_BMP_vSet(pBitmap, 0xF800);
        pcol(p)[0] = 0x8401; // top-left shows the plane
        H_DISPLAY_vDisplayBitmap(pBitmap);
        return WINDOW_bRunning() ? 3 : 0;
    });
    ASSERT_EQ(iStatus, 0);
    std::vector<COLOR> v;
    U32 w = 0, h = 0;
    ASSERT_TRUE(PNG_bReadRgb565(sPath.c_str(), &v, &w, &h));
    EXPECT_EQ(w, 800u);
    EXPECT_EQ(h, 480u);
    EXPECT_EQ(v[0], 0x07E0);
    EXPECT_EQ(v[1], 0xF800);
    EXPECT_EQ(v[800 * 480 - 1], 0xF800);
    std::filesystem::remove_all(dir);
}

// With a display (SDL's dummy video driver stands in for one) the window presents the shown page;
// CORVAN_HEADLESS keeps it closed.
TEST(LcdHost, WindowPresentsTheShownPage)
{
    const int iStatus = iInChild([] {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        unsetenv("CORVAN_HEADLESS");
        unsetenv("CORVAN_SCREENSHOT");
        DD_LCD_vReset();
        std::fill_n(FBHOST_pcolGraphicsPlane(), LCD_SCREEN_PIXELS, 0x001F);
        DD_LCD_vInit();
        U32 *p = DD_LCD_pu32GetDisplayBuffer();
        std::fill_n(pcol(p), LCD_SCREEN_PIXELS, 0xFFE0);
        pcol(p)[LCD_SCREEN_PIXELS - 1] = 0x8401;
        for (int i = 0; i < 500 && !WINDOW_bRunning(); i++) {
            usleep(10000);
        }
        if (!WINDOW_bRunning()) {
            return 2;
        }
        const U32 u32Before = WINDOW_u32PresentedCount();
        DD_LCD_vDisplayScreen(p);
        for (int i = 0; i < 500 && WINDOW_u32PresentedCount() < u32Before + 2; i++) {
            usleep(10000);
        }
        static COLOR s_acol[LCD_SCREEN_PIXELS];
        if (!WINDOW_bCopyPresented(s_acol)) {
            return 4;
        }
        return s_acol[0] == 0xFFE0 && s_acol[LCD_SCREEN_PIXELS - 1] == 0x001F ? 0 : 5;
    });
    EXPECT_EQ(iStatus, 0);

    const int iHeadless = iInChild([] {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("CORVAN_HEADLESS", "1", 1);
        DD_LCD_vReset();
        DD_LCD_vInit();
        DD_LCD_vDisplayScreen(DD_LCD_pu32GetDisplayBuffer());
        usleep(200000);
        return WINDOW_bRunning() ? 1 : 0;
    });
    EXPECT_EQ(iHeadless, 0);
}

namespace {

std::atomic<int> s_iKeyCode{0}, s_iKeyValue{-1};

void vKeySink(U16 u16Code, S32 s32Value)
{
    s_iKeyCode = u16Code;
    s_iKeyValue = s32Value;
}

void vPushKey(SDL_Scancode eScan)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.scancode = eScan;
    SDL_PushEvent(&event);
}

} // namespace

// Keys pressed in the window reach the key sink as keypad codes; F12 writes a time-stamped picture
// beside CORVAN_SCREENSHOT.
TEST(LcdHost, WindowKeysAndF12)
{
    const std::filesystem::path dir = tempDir("f12");
    const std::string sShot = (dir / "shot.png").string();
    const int iStatus = iInChild([&] {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        unsetenv("CORVAN_HEADLESS");
        setenv("CORVAN_SCREENSHOT", sShot.c_str(), 1);
        DD_LCD_vReset();
        DD_LCD_vInit();
        WINDOW_vSetKeySink(vKeySink);
        for (int i = 0; i < 500 && !WINDOW_bRunning(); i++) {
            usleep(10000);
        }
        if (!WINDOW_bRunning()) {
            return 2;
        }
        vPushKey(SDL_SCANCODE_UP);
        vPushKey(SDL_SCANCODE_F12);
        for (int i = 0; i < 500; i++) {
            bool bPicture = false;
            for (const auto &entry : std::filesystem::directory_iterator(dir)) {
                const std::string sName = entry.path().filename().string();
                bPicture |= sName.rfind("shot-", 0) == 0 && sName.size() == sizeof "shot-20261211-010203.png" - 1;
            }
            if (bPicture && s_iKeyCode == KEY_UP && s_iKeyValue == 1) {
                unsetenv("CORVAN_SCREENSHOT");
                return 0;
            }
            usleep(10000);
        }
        unsetenv("CORVAN_SCREENSHOT");
        return 3;
    });
    EXPECT_EQ(iStatus, 0);
    std::filesystem::remove_all(dir);
}
