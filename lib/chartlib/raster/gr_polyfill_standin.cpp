// Stand-in for the polygon fill until the raster layer is built: collects a ring's edges into the record's
// edge table, so callers can be checked; nothing is scan-converted.
#include "chartlib/raster/gp_gl.h"

#include <cstdint>
#include <utility>

ERRORCODE gr_PolyFillAddVertices(GL_POLYFILL_PTR pPolyFill, const PIXELPOS *pVertices, SINT nVertices)
{
  GL_POLYFILL &pf = *pPolyFill;
  if ((int64_t)pf.gtblnoedges + nVertices >= GL_EDGESTABLE_SIZE) {
    return GR_ERR_EDGE_TABLE_FULL;
  }
  if (nVertices < 2 || pf.status == GL_POLYFILL_SKIP) {
    return CL_SUCCESS;
  }
  const SINT h = pf.polyctx.pixdim.ph;
  for (SINT i = 0; i + 1 < nVertices; i++) {
    PIXELPOS u = pVertices[i], l = pVertices[i + 1];
    SINT ru = h - 1 - u.py, rl = h - 1 - l.py;
    if (ru == rl) {
      continue;
    }
    if (ru > rl) {
      std::swap(u, l);
      std::swap(ru, rl);
    }
    const SINT e = pf.gtblnoedges++;
    pf.edgestable.ymin[e] = ru;
    pf.edgestable.ymax[e] = rl;
    pf.edgestable.xval[e] = (SINT)((int64_t)u.px * 1024);
    pf.edgestable.invslope[e] = (SINT)(((int64_t)l.px - u.px) * 1024 / (rl - ru));
  }
  return CL_SUCCESS;
}
