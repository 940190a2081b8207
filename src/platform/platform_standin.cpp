// Stand-in platform set-up: nothing to prepare until the drawing, card and chart modules exist.
void H_PLATFORM_vSetup(void) {}
