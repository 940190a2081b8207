// Which graphics plane EGL drives in this build: the board's frame buffer, or the simulator's off-screen one.
#include "platform/lcd_gles.h"

const LCD_GLES_PLATFORM *DD_LCD_pGetBoardGlesPlatform(void);
const LCD_GLES_PLATFORM *DD_LCD_pGetHostGlesPlatform(void);

const LCD_GLES_PLATFORM *DD_LCD_pGetGlesPlatform(void) {
#if defined(__arm__) || defined(__aarch64__)
  return DD_LCD_pGetBoardGlesPlatform();
#else
  return DD_LCD_pGetHostGlesPlatform();
#endif
}
