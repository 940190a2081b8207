// Raster types of the chart drawing library and its polygon-fill record.
#pragma once
#include "chartlib/chartlib_types.h"

typedef SINT *VSCREENPTR; // the 32-bit words of an image

typedef struct {
  SINT px;
  SINT py;
} PIXELPOS;

typedef struct {
  SINT pw;
  SINT ph;
} PIXELDIM;

typedef struct {
  SINT rowsize; // 32-bit words per row
  SINT nrows;
} SCREENDIM;

// Inclusive, in device rows; all four -1 is the empty box.
typedef struct gl_boundingbox_tag {
  SINT xmin;
  SINT ymin;
  SINT xmax;
  SINT ymax;
} GL_BOUNDINGBOX;

enum : ERRORCODE {
  GR_ERR_EDGE_TABLE_FULL = 0x041Eu, // a ring would take the edge table past its size
};

constexpr SINT GL_EDGESTABLE_SIZE = 65536;

// Collected edges, and from index 0 upward the active ones while a polygon is scanned.
typedef struct gl_edgestable_tag {
  SINT ymin[GL_EDGESTABLE_SIZE];     // first row of the edge
  SINT ymax[GL_EDGESTABLE_SIZE];     // the row after its last row
  SINT xval[GL_EDGESTABLE_SIZE];     // x at the current row, 1/1024 pixel
  SINT invslope[GL_EDGESTABLE_SIZE]; // x change per row, 1/1024 pixel
} GL_EDGESTABLE;

typedef enum {
  GL_POLYFILL_SKIP = 0,    // wholly outside the plane: nothing is collected
  GL_POLYFILL_NOCLIP = 1,  // bounding box wholly inside
  GL_POLYFILL_CLIPPED = 2, // bounding box crosses the plane's border
  GL_POLYFILL_USECLIP = 3, // no box given: the clip box is built while scanning
} GL_POLYFILL_STATUS;

// The one-bit work plane.
typedef struct gl_polyfillctx_tag {
  VSCREENPTR vsptr;
  SINT npix; // pixels per word
  UINT32 nbytes;
  PIXELDIM pixdim;
  GL_BOUNDINGBOX scrbox; // the whole plane
  SCREENDIM scrdim;
  GL_BOUNDINGBOX clipbox; // what the current polygon may touch, or has touched
} GL_POLYFILLCTX;

// About 1 MB: callers keep it in static storage.
typedef struct gl_polyfill_tag {
  GL_POLYFILLCTX polyctx;
  GL_EDGESTABLE edgestable;
  SINT gtblnoedges;    // edges collected
  SINT gtblfirstentry; // first edge not yet in the active table
  SINT atblnoedges;    // active edges
  GL_POLYFILL_STATUS status;
  VSCREENPTR inversefillmask; // or none
} GL_POLYFILL, *GL_POLYFILL_PTR;

// Adds the edges between consecutive vertices (logical coordinates; the ring is not closed for the caller).
ERRORCODE gr_PolyFillAddVertices(GL_POLYFILL_PTR pPolyFill, const PIXELPOS *pVertices, SINT nVertices);
