// The board's frame-buffer surface: the OMAP display's LCD overlay "/dev/fb1" with four pages stacked
// vertically, the graphics plane "/dev/fb0" and the TV-out frame "/dev/fb2".
#include <errno.h>
#include <fcntl.h>
#include <linux/fb.h>
#include <linux/omapfb.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "kernel/log.h"
#include "platform/fb.h"

extern char **environ;

typedef struct {
    U32 *virtDisplays[LCD_PAGE_COUNT];
    S32 displaySize;
    int fd;
} osal_surface_t;

typedef struct {
    osal_surface_t s;
    S32 displayIdx;
    struct fb_var_screeninfo varInfo;
    struct fb_fix_screeninfo fixInfo;
} omapfb_osal_surface_t;

typedef enum {
    OSAL_COLORSPACE_RGB565,
    OSAL_COLORSPACE_RGB24,
    OSAL_COLORSPACE_YCBCR,
    OSAL_COLORSPACE_ARGB32,
    OSAL_COLORSPACE_RGBA32,
} osalcolorspaceenum_t;

int omapfb_open(omapfb_osal_surface_t *pS);
int omapfb_start(omapfb_osal_surface_t *pS);
int omapfb_stop(omapfb_osal_surface_t *pS);
void omapfb_close(omapfb_osal_surface_t *pS);
void omapfb_set_chromakey(omapfb_osal_surface_t *pS, int chroma_val);
void omapfb_getpbuff(omapfb_osal_surface_t *pS, osal_buf_t *pBuf);
void omapfb_putpbuff(omapfb_osal_surface_t *pS, const osal_buf_t *pBuf);
int omapfb_pan(omapfb_osal_surface_t *xxpS, int xoffset, int yoffset);
void omapfb_fillrgb(omapfb_osal_surface_t *pS, uint32_t rgbValue);
int omapfb_setformat(omapfb_osal_surface_t *pS, int w, int h, osalcolorspaceenum_t pixfmt);
void omapfb_dump(omapfb_osal_surface_t *pS);
int xioctl_trace(int fd, unsigned long req, const char *reqstr, void *arg);

namespace {

omapfb_osal_surface_t g_lcdSurface = {};
omapfb_osal_surface_t *s_pPanSurface = nullptr; // the surface later pans work on
int s_iPanOffsetX = 0;
std::atomic<pid_t> s_pidVideoCommand{0};

int iIoctlRetry(int fd, unsigned long req, const char *reqstr, void *arg)
{
    int r;
    do {
        r = ioctl(fd, req, arg);
    } while (r < 0 && errno == EINTR);
    if (r < 0) {
        log_me("errno %d %s\n", errno, reqstr);
        perror(reqstr);
    }
    return r;
}

COLOR *pcolMapDevice(const char *szDevice)
{
    const int fd = open(szDevice, O_RDWR);
    if (fd < 0) {
        perror(szDevice);
        return nullptr;
    }
    void *p = mmap(nullptr, LCD_SCREEN_BYTES, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (p == MAP_FAILED) {
        perror(szDevice);
        close(fd);
        return nullptr;
    }
    return static_cast<COLOR *>(p);
}

S32 s32Open(U32 *apu32Pages[LCD_PAGE_COUNT])
{
    if (omapfb_open(&g_lcdSurface) != 0) {
        return -1;
    }
    if (omapfb_start(&g_lcdSurface) != 0) {
        omapfb_close(&g_lcdSurface);
        return -1;
    }
    for (S32 i = 0; i < LCD_PAGE_COUNT; i++) {
        osal_buf_t buf;
        omapfb_getpbuff(&g_lcdSurface, &buf);
        apu32Pages[i] = buf.buffer;
    }
    return g_lcdSurface.s.displaySize;
}

void vSetChromaKey(int iKey)
{
    omapfb_set_chromakey(&g_lcdSurface, iKey);
}

void vShowPage(S32 s32Page)
{
    const osal_buf_t buf{g_lcdSurface.s.virtDisplays[s32Page], s32Page};
    omapfb_putpbuff(&g_lcdSurface, &buf);
}

COLOR *pcolMapTvFrame(void)
{
    static COLOR *s_pcol = pcolMapDevice("/dev/fb2");
    return s_pcol;
}

COLOR *pcolMapGraphicsPlane(void)
{
    static COLOR *s_pcol = pcolMapDevice("/dev/fb0");
    return s_pcol;
}

// The command runs in its own child, which we reap ourselves; other threads' children are left alone.
void vStartVideoCommand(const char *szCommand)
{
    char szSh[] = "/bin/sh", szC[] = "-c";
    char *apArgs[] = {szSh, szC, const_cast<char *>(szCommand), nullptr};
    pid_t pid;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, apArgs, environ) == 0) {
        const pid_t pidOld = s_pidVideoCommand.exchange(pid);
        if (pidOld > 0) {
            waitpid(pidOld, nullptr, WNOHANG);
        }
    }
}

void vReapVideoCommand(void)
{
    pid_t pid = s_pidVideoCommand.load();
    if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == pid) {
        s_pidVideoCommand.compare_exchange_strong(pid, 0);
    }
}

const char *szTvDetectPath(void)
{
    return "/sys/devices/platform/omapdss/display2/venc_tv_detect";
}

const FB_SURFACE_OPS s_boardOps = {
    .s32Open = s32Open,
    .vSetChromaKey = vSetChromaKey,
    .vShowPage = vShowPage,
    .pcolMapTvFrame = pcolMapTvFrame,
    .pcolMapGraphicsPlane = pcolMapGraphicsPlane,
    .vStartVideoCommand = vStartVideoCommand,
    .vReapVideoCommand = vReapVideoCommand,
    .szTvDetectPath = szTvDetectPath,
    .vNameModel = [](const char *) {},  // the panel has no caption
};

} // namespace

const FB_SURFACE_OPS *FB_pGetBoardSurfaceOps(void)
{
    return &s_boardOps;
}

int xioctl_trace(int fd, unsigned long req, const char *reqstr, void *arg)
{
    return iIoctlRetry(fd, req, reqstr, arg);
}

int omapfb_open(omapfb_osal_surface_t *pS)
{
    s_pPanSurface = pS;
    pS->s.fd = open("/dev/fb1", O_RDWR);
    if (pS->s.fd < 0) {
        perror("omapfb_open");
        return pS->s.fd;
    }
    int r = iIoctlRetry(pS->s.fd, FBIOGET_FSCREENINFO, "FBIOGET_FSCREENINFO", &pS->fixInfo);
    if (r < 0) {
        return r;
    }
    if (xioctl_trace(pS->s.fd, FBIOGET_VSCREENINFO, "FBIOGET_VSCREENINFO", &pS->varInfo) < 0) {
        return -1;
    }
    pS->displayIdx = 0;
    pS->s.displaySize = (S32)(pS->varInfo.yres * pS->fixInfo.line_length);
    if (xioctl_trace(pS->s.fd, FBIOGET_VSCREENINFO, "FBIOGET_VSCREENINFO", &pS->varInfo) < 0) {
        return -1;
    }
    pS->varInfo.xoffset = 0;
    pS->varInfo.xres = pS->varInfo.xres_virtual = SCREEN_PIXELS_WIDE;
    pS->varInfo.yres = SCREEN_PIXELS_HIGH;
    pS->varInfo.yres_virtual = (U32)SCREEN_PIXELS_HIGH * (U32)LCD_PAGE_COUNT;
    pS->varInfo.yoffset = 0;
    s_iPanOffsetX = 0;
    if (xioctl_trace(pS->s.fd, FBIOPUT_VSCREENINFO, "FBIOPUT_VSCREENINFO", &pS->varInfo) < 0) {
        return -1;
    }
    return 0;
}

int omapfb_start(omapfb_osal_surface_t *pS)
{
    const size_t szBytes = (size_t)pS->varInfo.yres_virtual * pS->fixInfo.line_length;
    void *p = mmap(nullptr, szBytes, PROT_READ | PROT_WRITE, MAP_SHARED, pS->s.fd, 0);
    if (p == MAP_FAILED) {
        perror("omapfb_start");
        return -1;
    }
    for (S32 i = 0; i < LCD_PAGE_COUNT; i++) {
        pS->s.virtDisplays[i] = reinterpret_cast<U32 *>(static_cast<BYTE *>(p) + (size_t)i * pS->s.displaySize);
    }
    return 0;
}

int omapfb_stop(omapfb_osal_surface_t *pS)
{
    const size_t szBytes = (size_t)pS->varInfo.yres_virtual * pS->fixInfo.line_length;
    if (munmap(pS->s.virtDisplays[0], szBytes) != 0) {
        perror("omapfb_stop");
        return -1;
    }
    return 0;
}

void omapfb_close(omapfb_osal_surface_t *pS)
{
    close(pS->s.fd);
}

void omapfb_set_chromakey(omapfb_osal_surface_t *pS, int chroma_val)
{
    struct omapfb_color_key key = {};
    ioctl(pS->s.fd, OMAPFB_GET_COLOR_KEY, &key);
    key.trans_key = (__u32)chroma_val;
    key.key_type = chroma_val == -1 ? OMAPFB_COLOR_KEY_DISABLED : OMAPFB_COLOR_KEY_VID_SRC;
    ioctl(pS->s.fd, OMAPFB_SET_COLOR_KEY, &key);
}

void omapfb_getpbuff(omapfb_osal_surface_t *pS, osal_buf_t *pBuf)
{
    pBuf->displayIdx = pS->displayIdx;
    pBuf->buffer = pS->s.virtDisplays[pS->displayIdx];
    pS->displayIdx = (pS->displayIdx + 1) % LCD_PAGE_COUNT;
}

void omapfb_putpbuff(omapfb_osal_surface_t *pS, const osal_buf_t *pBuf)
{
    pS->varInfo.xoffset = (U32)s_iPanOffsetX;
    pS->varInfo.yoffset = pS->varInfo.yres * (U32)pBuf->displayIdx;
    iIoctlRetry(pS->s.fd, FBIOPAN_DISPLAY, "FBIOPAN_DISPLAY", &pS->varInfo);
    usleep(200);
    int iArg = 0;
    iIoctlRetry(pS->s.fd, OMAPFB_WAITFORVSYNC, "OMAPFB_WAITFORVSYNC", &iArg);
}

int omapfb_pan(omapfb_osal_surface_t *, int xoffset, int)
{
    omapfb_osal_surface_t *pS = s_pPanSurface;
    s_iPanOffsetX = xoffset;
    pS->varInfo.xoffset = (U32)xoffset;
    return iIoctlRetry(pS->s.fd, FBIOPAN_DISPLAY, "FBIOPAN_DISPLAY", &pS->varInfo);
}

void omapfb_fillrgb(omapfb_osal_surface_t *pS, uint32_t rgbValue)
{
    osal_buf_t buf;
    omapfb_getpbuff(pS, &buf);
    for (S32 i = 0; i < pS->s.displaySize / 4; i++) {
        buf.buffer[i] = rgbValue;
    }
    omapfb_putpbuff(pS, &buf);
}

int omapfb_setformat(omapfb_osal_surface_t *pS, int w, int h, osalcolorspaceenum_t pixfmt)
{
    struct fb_var_screeninfo &v = pS->varInfo;
    v.xres = (U32)w;
    v.yres = (U32)h;
    v.yres_virtual = (U32)(4 * h);
    v.xoffset = v.yoffset = 0;
    v.activate = FB_ACTIVATE_FORCE;
    switch (pixfmt) {
    case OSAL_COLORSPACE_RGB565:
        v.bits_per_pixel = 16;
        v.nonstd = 0;
        break;
    case OSAL_COLORSPACE_RGB24:
        v.bits_per_pixel = 24;
        v.nonstd = 7;
        break;
    case OSAL_COLORSPACE_YCBCR:
        v.bits_per_pixel = 16;
        v.nonstd = 1;
        break;
    case OSAL_COLORSPACE_ARGB32:
    case OSAL_COLORSPACE_RGBA32: {
        const bool bArgb = pixfmt == OSAL_COLORSPACE_ARGB32;
        v.bits_per_pixel = 32;
        v.nonstd = 13;
        v.red.length = v.green.length = v.blue.length = v.transp.length = 8;
        v.red.offset = bArgb ? 16 : 24;
        v.transp.offset = bArgb ? 24 : 16;
        v.green.offset = 8;
        v.blue.offset = 0;
        break;
    }
    default:
        return -1;
    }
    const U32 u32Bits = v.bits_per_pixel, u32YVirtual = v.yres_virtual;
    xioctl_trace(pS->s.fd, FBIOPUT_VSCREENINFO, "FBIOPUT_VSCREENINFO", &v);
    if (v.transp.offset == 0) {
        log_me("ASSERT failed %s:%d", __FILE__, __LINE__);
    }
    if (v.xres == (U32)w && v.yres == (U32)h && v.bits_per_pixel == u32Bits && v.yres_virtual == u32YVirtual) {
        pS->s.displaySize = (S32)(v.yres * pS->fixInfo.line_length);
        return 0;
    }
    printf("%d, %d, %d\n", v.xres, v.yres, v.bits_per_pixel);
    return -1;
}

void omapfb_dump(omapfb_osal_surface_t *pS)
{
    const struct fb_var_screeninfo &v = pS->varInfo;
    const struct {
        const char *szName;
        U32 u32Value;
    } aField[] = {
        {"xres", v.xres},
        {"yres", v.yres},
        {"xres_virtual", v.xres_virtual},
        {"yres_virtual", v.yres_virtual},
        {"xoffset", v.xoffset},
        {"yoffset", v.yoffset},
        {"bits_per_pixel", v.bits_per_pixel},
        {"nonstd", v.nonstd},
        {"activate", v.activate},
        {"height", v.height},
        {"width", v.width},
        {"red.length", v.red.length},
        {"blue.length", v.blue.length},
        {"green.length", v.green.length},
        {"transp.length", v.transp.length},
        {"red.offset", v.red.offset},
        {"blue.offset", v.blue.offset},
        {"green.offset", v.green.offset},
        {"transp.offset", v.transp.offset},
    };
    for (const auto &f : aField) {
        printf("%s = %d\n", f.szName, (int)f.u32Value);
    }
}
