// EGL and the one textured-triangle shader program of the 3-D chart renderer, which draws into the graphics
// plane under the LCD overlay.
#pragma once
#include <EGL/egl.h>
#include <GLES2/gl2.h>

#include "corvan/types.h"

typedef struct {
  GLuint program;
  GLuint fragShader;
  GLuint vertexShader;
} shader_t;

// Kept for the whole run; the renderer presents with eglSwapBuffers(gEglDisplay, gEglSurface).
extern EGLDisplay gEglDisplay;
extern EGLSurface gEglSurface;
extern EGLContext gEglContext;
extern shader_t g_texturedShader;

// How EGL reaches the graphics plane on this platform.
typedef struct {
  // The display of the graphics plane, EGL_NO_DISPLAY when there is none.
  EGLDisplay (*pfnGetDisplay)(void);
  // The EGL_SURFACE_TYPE bit the configuration must offer.
  EGLint s32SurfaceType;
  // The surface the renderer draws into, EGL_NO_SURFACE on failure.
  EGLSurface (*pfnCreateSurface)(EGLDisplay display, EGLConfig config);
} LCD_GLES_PLATFORM;
const LCD_GLES_PLATFORM *DD_LCD_pGetGlesPlatform(void);

// Sets up EGL step by step and builds the shader; each step is skipped when its object exists already.
void DD_LCD_vInitGraphicsLib(void);
BOOLEAN createTexturedShader(void);
// Deletes the program and shaders that exist and zeroes the names; always FALSE.
BOOLEAN destroyShader(shader_t *sptr);
BOOLEAN internalCompileShader(const char *pShaderSource, GLuint shaderHandle);

// Tests: replace the shader sources (nullptr: the built-in one) and drop every EGL object.
void DD_LCD_vSetShaderSourcesForTest(const char *pcFragment, const char *pcVertex);
void DD_LCD_vTerminateGraphicsLibForTest(void);
