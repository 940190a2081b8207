// The board's graphics plane: the default display and a window surface on the frame-buffer device.
#include "platform/lcd_gles.h"

namespace {
EGLDisplay board_get_display(void) { return eglGetDisplay(EGL_DEFAULT_DISPLAY); }
EGLSurface board_create_surface(EGLDisplay display, EGLConfig config) {
  return eglCreateWindowSurface(display, config, static_cast<EGLNativeWindowType>(0), nullptr);
}
const LCD_GLES_PLATFORM kBoard = {
    .pfnGetDisplay = board_get_display,  // the platform's default display is the plane under the overlay
    .s32SurfaceType = EGL_WINDOW_BIT,
    .pfnCreateSurface = board_create_surface,  // native window 0: the frame-buffer device
};
}  // namespace

const LCD_GLES_PLATFORM *DD_LCD_pGetBoardGlesPlatform(void) { return &kBoard; }
