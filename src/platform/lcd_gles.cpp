// EGL set-up of the graphics plane and the textured-triangle program of the 3-D chart renderer.
#include "platform/lcd_gles.h"

#include <vector>

#include "kernel/log.h"

EGLDisplay gEglDisplay = EGL_NO_DISPLAY;
EGLSurface gEglSurface = EGL_NO_SURFACE;
EGLContext gEglContext = EGL_NO_CONTEXT;
shader_t g_texturedShader = {0, 0, 0};

namespace {

EGLConfig gEglConfig = nullptr;
EGLint gEglNumConfigs = 0;

const char kVertexShader[] =
    "attribute highp vec4 inVertex;\n"
    "attribute mediump vec2 inTexCoord;\n"
    "uniform mediump mat4 MVPMatrix;\n"
    "varying mediump vec2 TexCoord;\n"
    "void main()\n"
    "{\n"
    "  gl_Position = MVPMatrix * inVertex;\n"
    "  TexCoord = inTexCoord;\n"
    "}\n";

const char kFragmentShader[] =
    "uniform sampler2D sTexture;\n"
    "varying mediump vec2 TexCoord;\n"
    "void main()\n"
    "{\n"
    "  gl_FragColor = texture2D(sTexture, TexCoord);\n"
    "}\n";

const char *s_pcFragmentSource = kFragmentShader;
const char *s_pcVertexSource = kVertexShader;

}  // namespace

BOOLEAN internalCompileShader(const char *pShaderSource, GLuint shaderHandle) {
  glShaderSource(shaderHandle, 1, &pShaderSource, nullptr);
  glCompileShader(shaderHandle);
  GLint status = GL_FALSE;
  glGetShaderiv(shaderHandle, GL_COMPILE_STATUS, &status);
  if (status != GL_TRUE) {
    GLint length = 0;
    glGetShaderiv(shaderHandle, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    if (length > 0) glGetShaderInfoLog(shaderHandle, length, nullptr, log.data());
    log_me("%s shader error \"%s\"", "compile", log.data());
    return FALSE;
  }
  return TRUE;
}

BOOLEAN destroyShader(shader_t *sptr) {
  if (sptr->program != 0) {
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    // A current program is only marked for deletion; let it go so it is really deleted.
    if (static_cast<GLuint>(current) == sptr->program) glUseProgram(0);
    glDeleteProgram(sptr->program);
  }
  if (sptr->fragShader != 0) glDeleteShader(sptr->fragShader);
  if (sptr->vertexShader != 0) glDeleteShader(sptr->vertexShader);
  sptr->program = 0;
  sptr->fragShader = 0;
  sptr->vertexShader = 0;
  return FALSE;
}

BOOLEAN createTexturedShader(void) {
  // A rebuild must not leak the objects of the previous build.
  destroyShader(&g_texturedShader);
  shader_t *s = &g_texturedShader;
  s->fragShader = glCreateShader(GL_FRAGMENT_SHADER);
  if (s->fragShader == 0 || !internalCompileShader(s_pcFragmentSource, s->fragShader)) {
    return destroyShader(s);
  }
  s->vertexShader = glCreateShader(GL_VERTEX_SHADER);
  if (s->vertexShader == 0 || !internalCompileShader(s_pcVertexSource, s->vertexShader)) {
    return destroyShader(s);
  }
  s->program = glCreateProgram();
  glAttachShader(s->program, s->fragShader);
  glAttachShader(s->program, s->vertexShader);
  glBindAttribLocation(s->program, 0, "inVertex");
  glBindAttribLocation(s->program, 1, "inTexCoord");
  glLinkProgram(s->program);
  GLint linked = GL_FALSE;
  glGetProgramiv(s->program, GL_LINK_STATUS, &linked);
  if (linked == GL_TRUE) {
    glUseProgram(s->program);
    return TRUE;
  }
  GLint length = 0;
  glGetProgramiv(s->program, GL_INFO_LOG_LENGTH, &length);
  std::vector<char> log(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
  if (length > 0) glGetProgramInfoLog(s->program, length, nullptr, log.data());
  log_me("%s program error \"%s\"", "link", log.data());
  return destroyShader(s);
}

void DD_LCD_vInitGraphicsLib(void) {
  const LCD_GLES_PLATFORM *pPlatform = DD_LCD_pGetGlesPlatform();
  if (gEglDisplay == EGL_NO_DISPLAY) {
    const EGLDisplay display = pPlatform->pfnGetDisplay();
    if (display == EGL_NO_DISPLAY) {
      log_me("EGL: no display for the graphics plane");
      return;
    }
    EGLint major = 0;
    EGLint minor = 0;
    if (!eglInitialize(display, &major, &minor)) {
      log_me("EGL: no graphics plane (error 0x%x)", static_cast<unsigned>(eglGetError()));
      return;
    }
    gEglDisplay = display;
    eglBindAPI(EGL_OPENGL_ES_API);
  }
  if (gEglNumConfigs != 1) {
    const EGLint attributes[] = {EGL_SURFACE_TYPE, pPlatform->s32SurfaceType, EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_ES2_BIT, EGL_NONE};
    EGLint found = 0;
    if (!eglChooseConfig(gEglDisplay, attributes, &gEglConfig, 1, &found) || found != 1) return;
    gEglNumConfigs = found;
  }
  if (gEglSurface == EGL_NO_SURFACE) {
    gEglSurface = pPlatform->pfnCreateSurface(gEglDisplay, gEglConfig);
    if (gEglSurface == EGL_NO_SURFACE) return;
  }
  if (gEglContext == EGL_NO_CONTEXT) {
    const EGLint attributes[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    gEglContext = eglCreateContext(gEglDisplay, gEglConfig, EGL_NO_CONTEXT, attributes);
    if (gEglContext == EGL_NO_CONTEXT) return;
  }
  if (eglMakeCurrent(gEglDisplay, gEglSurface, gEglSurface, gEglContext)) createTexturedShader();
}

void DD_LCD_vSetShaderSourcesForTest(const char *pcFragment, const char *pcVertex) {
  s_pcFragmentSource = pcFragment != nullptr ? pcFragment : kFragmentShader;
  s_pcVertexSource = pcVertex != nullptr ? pcVertex : kVertexShader;
}

void DD_LCD_vTerminateGraphicsLibForTest(void) {
  if (gEglDisplay != EGL_NO_DISPLAY) {
    if (gEglContext != EGL_NO_CONTEXT) destroyShader(&g_texturedShader);
    eglMakeCurrent(gEglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (gEglContext != EGL_NO_CONTEXT) eglDestroyContext(gEglDisplay, gEglContext);
    if (gEglSurface != EGL_NO_SURFACE) eglDestroySurface(gEglDisplay, gEglSurface);
    eglTerminate(gEglDisplay);
  }
  gEglDisplay = EGL_NO_DISPLAY;
  gEglSurface = EGL_NO_SURFACE;
  gEglContext = EGL_NO_CONTEXT;
  gEglConfig = nullptr;
  gEglNumConfigs = 0;
  g_texturedShader = {0, 0, 0};
}
