// EGL set-up and the textured-triangle program, under Mesa's off-screen platform on the host.
#include <gtest/gtest.h>

#include <string>

#include "platform/lcd_gles.h"
#include "run_apart.h"

TEST_RUN_APART(GlesTest);

namespace {

class GlesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DD_LCD_vTerminateGraphicsLibForTest();
    DD_LCD_vSetShaderSourcesForTest(nullptr, nullptr);
    DD_LCD_vInitGraphicsLib();
    if (gEglContext == EGL_NO_CONTEXT) GTEST_SKIP() << "no EGL with OpenGL ES 2 on this machine";
  }
  void TearDown() override {
    DD_LCD_vSetShaderSourcesForTest(nullptr, nullptr);
    DD_LCD_vTerminateGraphicsLibForTest();
  }
  static int count(const std::string &s, const std::string &word) {
    int n = 0;
    for (size_t at = s.find(word); at != std::string::npos; at = s.find(word, at + 1)) ++n;
    return n;
  }
};

TEST_F(GlesTest, FirstInitialisationBuildsTheProgramWithTheAttributeLocations) {
  const shader_t s = g_texturedShader;
  ASSERT_NE(s.program, 0u);
  EXPECT_TRUE(glIsShader(s.fragShader));
  EXPECT_TRUE(glIsShader(s.vertexShader));
  GLint current = 0;
  glGetIntegerv(GL_CURRENT_PROGRAM, &current);
  EXPECT_EQ(static_cast<GLuint>(current), s.program);
  EXPECT_EQ(glGetAttribLocation(s.program, "inVertex"), 0);
  EXPECT_EQ(glGetAttribLocation(s.program, "inTexCoord"), 1);
  EXPECT_GE(glGetUniformLocation(s.program, "MVPMatrix"), 0);
  EXPECT_GE(glGetUniformLocation(s.program, "sTexture"), 0);
}

TEST_F(GlesTest, SecondInitialisationKeepsTheEglObjectsAndRebuildsTheProgramWithoutLeaks) {
  const EGLDisplay display = gEglDisplay;
  const EGLSurface surface = gEglSurface;
  const EGLContext context = gEglContext;
  const shader_t old = g_texturedShader;
  DD_LCD_vInitGraphicsLib();
  EXPECT_EQ(gEglDisplay, display);
  EXPECT_EQ(gEglSurface, surface);
  EXPECT_EQ(gEglContext, context);
  EXPECT_EQ(eglGetCurrentContext(), context);
  ASSERT_NE(g_texturedShader.program, 0u);
  EXPECT_TRUE(glIsProgram(g_texturedShader.program));
  // The names of the first build no longer exist (unless GL reused one for the new build).
  const shader_t now = g_texturedShader;
  const GLuint fresh[] = {now.program, now.fragShader, now.vertexShader};
  auto reused = [&](GLuint name) { return name == fresh[0] || name == fresh[1] || name == fresh[2]; };
  if (!reused(old.program)) {
    EXPECT_FALSE(glIsProgram(old.program));
  }
  if (!reused(old.fragShader)) {
    EXPECT_FALSE(glIsShader(old.fragShader));
  }
  if (!reused(old.vertexShader)) {
    EXPECT_FALSE(glIsShader(old.vertexShader));
  }
}

TEST_F(GlesTest, ShaderErrorsLeaveNoNamesAndOneLogLine) {
  struct Case {
    const char *pcFragment;
    const char *pcVertex;
    const char *pcWord;
  } const cases[] = {
      {"void main() { this is not glsl }", nullptr, "compile shader error"},
      {nullptr, "void main() { neither is this }", "compile shader error"},
      // Compiles, but a varying the vertex shader never writes does not link.
      {"varying mediump vec2 Missing; void main() { gl_FragColor = vec4(Missing, 0.0, 1.0); }", nullptr,
       "link program error"},
  };
  for (const Case &c : cases) {
    DD_LCD_vSetShaderSourcesForTest(c.pcFragment, c.pcVertex);
    testing::internal::CaptureStdout();
    const BOOLEAN bLinked = createTexturedShader();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(bLinked) << c.pcWord;
    EXPECT_EQ(g_texturedShader.program, 0u);
    EXPECT_EQ(g_texturedShader.fragShader, 0u);
    EXPECT_EQ(g_texturedShader.vertexShader, 0u);
    EXPECT_EQ(count(out, c.pcWord), 1) << out;
    EXPECT_EQ(count(out, " shader error \"") + count(out, " program error \""), 1) << out;
  }
}

TEST_F(GlesTest, TheProgramDrawsATexturedTriangleIntoThePlane) {
  const GLubyte texel[4] = {255, 0, 0, 255};
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
  const GLfloat identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  glUniformMatrix4fv(glGetUniformLocation(g_texturedShader.program, "MVPMatrix"), 1, GL_FALSE, identity);
  glUniform1i(glGetUniformLocation(g_texturedShader.program, "sTexture"), 0);
  const GLfloat vertices[] = {-1, -1, 0, 1, 3, -1, 0, 1, -1, 3, 0, 1};
  const GLfloat coords[] = {0, 0, 0, 0, 0, 0};
  glViewport(0, 0, 800, 480);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 0, vertices);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 0, coords);
  glEnableVertexAttribArray(1);
  glDrawArrays(GL_TRIANGLES, 0, 3);
  GLubyte pixel[4] = {};
  glReadPixels(400, 240, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  EXPECT_EQ(pixel[0], 255);
  EXPECT_EQ(pixel[1], 0);
  EXPECT_EQ(pixel[2], 0);
  EXPECT_EQ(eglSwapBuffers(gEglDisplay, gEglSurface), EGL_TRUE);
  glDeleteTextures(1, &texture);
}

}  // namespace
