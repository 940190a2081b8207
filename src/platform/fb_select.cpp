// Which frame-buffer surface this build drives: the board's fbdev overlay, or the simulator's memory pages.
#include "platform/fb.h"

const FB_SURFACE_OPS *FB_pGetBoardSurfaceOps(void);
const FB_SURFACE_OPS *FB_pGetHostSurfaceOps(void);

const FB_SURFACE_OPS *FB_pGetSurfaceOps(void)
{
#if defined(__arm__) || defined(__aarch64__)
    return FB_pGetBoardSurfaceOps();
#else
    return FB_pGetHostSurfaceOps();
#endif
}
