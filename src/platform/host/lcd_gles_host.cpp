// The simulator's graphics plane: Mesa's surfaceless platform with an off-screen pbuffer of the plane's size,
// so the renderer works without any window system.
#include "platform/lcd_gles.h"

#include <EGL/eglext.h>

#include <cstring>

namespace {
constexpr EGLint kPlaneWidth = 800;
constexpr EGLint kPlaneHeight = 480;

EGLDisplay host_get_display(void) {
  const char *pcExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (pcExtensions == nullptr || std::strstr(pcExtensions, "EGL_MESA_platform_surfaceless") == nullptr) {
    return EGL_NO_DISPLAY;
  }
  auto pfnGetPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (pfnGetPlatformDisplay == nullptr) return EGL_NO_DISPLAY;
  return pfnGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

EGLSurface host_create_surface(EGLDisplay display, EGLConfig config) {
  const EGLint attributes[] = {EGL_WIDTH, kPlaneWidth, EGL_HEIGHT, kPlaneHeight, EGL_NONE};
  return eglCreatePbufferSurface(display, config, attributes);
}

const LCD_GLES_PLATFORM kHost = {
    .pfnGetDisplay = host_get_display,  // no window system: Mesa renders off screen
    .s32SurfaceType = EGL_PBUFFER_BIT,
    .pfnCreateSurface = host_create_surface,  // an 800 x 480 pbuffer stands for the plane
};
}  // namespace

const LCD_GLES_PLATFORM *DD_LCD_pGetHostGlesPlatform(void) { return &kHost; }
