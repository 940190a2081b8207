// Raster layer of the chart drawing library: the graphics context over images of packed 16-bit pixels, its
// primitives, lines, icons, fonts and rotation, and the polygon-fill record.
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

// Result codes of the raster layer (plain constants: they meet the chart library's own codes in expressions).
constexpr ERRORCODE GR_WARN_CLIPPED = 0x10000401u;    // the object or the pen lies outside the clip rectangle
constexpr ERRORCODE GR_WARN_XOR_BRUSH = 0x10000404u;  // XOR chosen while the brush is the tool
constexpr ERRORCODE GR_WARN_BRUSH_XOR = 0x10000405u;  // the brush chosen while XOR is the mode
constexpr ERRORCODE GR_ERR_FONT_SLOT = 0x0404u;       // font slot above 69
constexpr ERRORCODE GR_ERR_PIXEL_SIZE = 0x0419u;      // brush size 0 or negative
constexpr ERRORCODE GR_ERR_DIRECTION = 0x041Du;       // a direction of 360 degrees or more, or turned text measured
constexpr ERRORCODE GR_ERR_EDGE_TABLE_FULL = 0x041Eu; // a ring would take the edge table past its size

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

// ---- Graphics context ----

typedef UINT32 GL_COLOUR; // a pixel value in the low 16 bits
typedef UCHAR BMAPTYPE;
typedef UCHAR BMAPTABLENDX;
typedef UCHAR PTTRNTYPE;
typedef UCHAR PTTRNTABLENDX;
typedef UCHAR ZOOMFACTOR;
typedef UCHAR PRINTDIR;
typedef SINT FONTINDEX; // rack slot, 0-69

typedef enum { GC_VIRTUAL = 0, GC_PHYSICAL = 1 } GCSTATUS;
typedef enum { STD_PEN = 0, BRUSH = 1 } DRAWING_TOOL;

constexpr SINT GR_FONTS_RACK_SIZE = 70;
constexpr SINT GR_BITMAP_TABLES = 100;
constexpr SINT GR_PATTERN_TABLES = 50;

// Bitmap font descriptor; the body is 256 offsets, then the glyphs (advance byte, rows bottom first).
typedef struct font_tag {
  UCHAR FontDescr[20];
  const UCHAR *TablePtr;
  SINT PixWidth;
  SINT PixHeight;
  SINT BlockSize; // 1 + PixHeight x RowSize
  SINT RowSize;
  UCHAR FirstChar;
  UCHAR LastChar;
  SINT Descender;
} FONT;

typedef struct {
  FONTINDEX Ftyp;
  FONT *Fptr;
  PRINTDIR fntdir;
  ZOOMFACTOR zx;
  ZOOMFACTOR zy;
  UCHAR dimension;
  SINT dotflag;
} FONTATTRIB;

typedef struct {
  BMAPTYPE type;
  BMAPTABLENDX index;
  const UCHAR *ptr;
  PRINTDIR bmpdir;
  ZOOMFACTOR zx;
  ZOOMFACTOR zy;
  GL_COLOUR transpcolour; // the nibble value left undrawn under transparency
} BITMAPATTRIB;

typedef struct {
  BOOL status;
  PTTRNTYPE type;
  PTTRNTABLENDX index;
  const UCHAR *ptr;
  UCHAR curbyte;
  UCHAR curbit;
  ZOOMFACTOR zx;
  ZOOMFACTOR zy;
  ZOOMFACTOR zycounter;
  ZOOMFACTOR zxcounter;
} PATTERNATTRIB;

typedef struct {
  VSCREENPTR vsptr;
  SINT npix;
  UINT32 nbytes;
  PIXELPOS cp; // pen, device coordinates
  UCHAR mode;  // 0 copy, 8 AND, 16 OR, 24 XOR; anything else writes nothing
  GL_COLOUR colour;
  PIXELDIM pixdim;
  SCREENDIM scrdim;
  PIXELPOS cliporig; // inclusive
  PIXELPOS cliplim;  // inclusive
  FONTATTRIB fntattrib;
  BITMAPATTRIB bmpattrib;
  PATTERNATTRIB ptrnattrib;
  GCSTATUS status;
  SINT transpflag;
  SINT PixelSize;
  DRAWING_TOOL DrTool;
  SINT PrintDir;
} GR_CONTEXT, *GRCONTEXTPTR;

typedef struct {
  const UCHAR *data;
  SINT width;
  SINT height;
  SINT bytesperpattern;
} GR_PATTERNINFO;

typedef struct {
  const UCHAR *data;
  SINT width;
  SINT height;
  SINT bytesperbitmap;
  SINT bytesperrow;
} GR_BITMAPINFO;

// How callers name an icon.
typedef struct bitmapinfo_str {
  BMAPTYPE type;
  BMAPTABLENDX ndx;
  ZOOMFACTOR zx;
  ZOOMFACTOR zy;
} GBITMAPINFO, GBITMAPID;

// Filled once at start-up, read-only afterwards.
extern const UINT16 *gl_pucPalette;
extern GR_PATTERNINFO PatternInfo[GR_PATTERN_TABLES];
extern GR_BITMAPINFO BitmapInfo[GR_BITMAP_TABLES];
extern FONT *FontsRack[GR_FONTS_RACK_SIZE];

// Context set-up and state (positions logical, y upward).
ERRORCODE gr_InitGC(GR_CONTEXT *gc, SINT width, SINT height, VSCREENPTR image);
ERRORCODE gr_SetClipArea(GR_CONTEXT *gc, SINT x, SINT y, SINT w, SINT h);
ERRORCODE gr_SetAbsPenPos(GR_CONTEXT *gc, SINT x, SINT y);
ERRORCODE gr_SetRelPenPos(GR_CONTEXT *gc, SINT dx, SINT dy);
ERRORCODE gr_GetLogicPosition(GR_CONTEXT *gc, PIXELPOS *pos);
ERRORCODE gr_SetColor(GR_CONTEXT *gc, GL_COLOUR colour);
GL_COLOUR gr_GetColor(GR_CONTEXT *gc);
ERRORCODE gr_SetColorPalette(const UINT16 *palette);
ERRORCODE gr_SetPaletteEntry(void);
ERRORCODE gr_SetGMode(GR_CONTEXT *gc, SINT mode);
ERRORCODE gr_SetDrawingTool(GR_CONTEXT *gc, DRAWING_TOOL tool);
ERRORCODE gr_SetPixelSize(GR_CONTEXT *gc, SINT size);
ERRORCODE gr_SetVideoGraphMode(GR_CONTEXT *gc);
ERRORCODE gr_ResetVideoGraphMode(GR_CONTEXT *gc);
ERRORCODE gr_SetPrintingDirection(GR_CONTEXT *gc, UINT32 degrees);
ERRORCODE gr_InitPattern(const UCHAR *data, PTTRNTYPE type, SINT width, SINT height, SINT bytesperpattern);
ERRORCODE gr_SetPatternType(GR_CONTEXT *gc, PTTRNTYPE type);
ERRORCODE gr_SetPatternIndex(GR_CONTEXT *gc, PTTRNTABLENDX index);
ERRORCODE gr_SetPatternStatus(GR_CONTEXT *gc, BOOL on);
ERRORCODE gr_SetPatternZoom(GR_CONTEXT *gc, ZOOMFACTOR zx, ZOOMFACTOR zy);
ERRORCODE gr_ResetPattern(GR_CONTEXT *gc);

// Primitives in device coordinates, unclipped.
void gf_ResetPattern(GR_CONTEXT *gc);
SINT gf_CheckPattern(GR_CONTEXT *gc);
void gf_PutPixel(GR_CONTEXT *gc, SINT x, SINT r);
UINT16 gf_GetPixel(const GR_CONTEXT *gc, SINT x, SINT r);
void gf_SetBit(SINT *word, SINT shift, GL_COLOUR colour, UCHAR mode);
void gf_HorLine(GR_CONTEXT *gc, SINT x, SINT r, SINT n);
void gf_VertLine(GR_CONTEXT *gc, SINT x, SINT r, SINT n);
inline bool gf_Inside(const GR_CONTEXT *gc, SINT x, SINT r) {
  return x >= gc->cliporig.px && x <= gc->cliplim.px && r >= gc->cliporig.py && r <= gc->cliplim.py;
}

// Lines and points.
ERRORCODE gr_DrawAbsLine(GR_CONTEXT *gc, SINT x, SINT y);
ERRORCODE gr_DrawRelLine(GR_CONTEXT *gc, SINT dx, SINT dy);
ERRORCODE gr_ClipAndDrawAbsLine(GR_CONTEXT *gc, SINT x, SINT y, SINT clip);
ERRORCODE gr_SetPixel(GR_CONTEXT *gc, SINT x, SINT y);
ERRORCODE gf_DrawAbsLine(GR_CONTEXT *gc, SINT x, SINT r);
ERRORCODE gf_DrawRelLine(GR_CONTEXT *gc, SINT dx, SINT dr);
ERRORCODE gf_DrawSolidLine(GR_CONTEXT *gc, SINT x0, SINT r0, SINT x1, SINT r1, SINT clip);
ERRORCODE gf_DrawPttrnLine(GR_CONTEXT *gc, SINT x0, SINT r0, SINT x1, SINT r1, SINT clip);
ERRORCODE gf_DrawBrushLine(GR_CONTEXT *gc, SINT x0, SINT r0, SINT x1, SINT r1);
ERRORCODE gf_PutBrushPixel(GR_CONTEXT *gc, SINT x, SINT r, SINT ex, SINT er);
ERRORCODE gf_ClipLine(GR_CONTEXT *gc, SINT *x0, SINT *r0, SINT *x1, SINT *r1, SINT *enddrawn, SINT *startskipped);

// Decorated lines (device coordinates).
ERRORCODE gf_DrawCrossLine(GR_CONTEXT *gc, SINT x0, SINT r0, SINT x1, SINT r1, SINT gaps);
ERRORCODE gf_DrawUndulatedLine(GR_CONTEXT *gc, SINT x0, SINT r0, SINT x1, SINT r1);

// Icons and the area-pattern span.
ERRORCODE gr_InitBitmap(GR_CONTEXT *gc, const UCHAR *data, BMAPTYPE type, SINT width, SINT height,
                        SINT bytesperbitmap);
ERRORCODE gr_SetBitmapZoom(GR_CONTEXT *gc, ZOOMFACTOR zx, ZOOMFACTOR zy);
ERRORCODE gr_SetBitmapDirection(GR_CONTEXT *gc, PRINTDIR dir);
ERRORCODE gr_SetTranspAttr(GR_CONTEXT *gc, SINT flag, GL_COLOUR colour);
ERRORCODE gr_PrintBitmapWithType(GR_CONTEXT *gc, BMAPTYPE type, BMAPTABLENDX index);
ERRORCODE gf_PrintFastBitmap(GR_CONTEXT *gc, BMAPTABLENDX index);
ERRORCODE gf_PrintBitmap(GR_CONTEXT *gc, BMAPTABLENDX index);
void gf_HorLineWithPattern(GR_CONTEXT *gc, SINT x, SINT r, SINT n);

// Smart line, rectangles and arcs (logical coordinates).
extern const DOUBLE gl_cos[200];
extern const DOUBLE gl_sin[200];
ERRORCODE gr_SmartDrawLine(GR_CONTEXT *gc, SINT clip, SINT x0, SINT y0, SINT x1, SINT y1);
ERRORCODE gr_DrawRectangle(GR_CONTEXT *gc, SINT x, SINT y, SINT w, SINT h);
ERRORCODE gf_DrawRectangle(GR_CONTEXT *gc, SINT left, SINT top, SINT wm1, SINT hm1);
ERRORCODE gr_DrawArc(GR_CONTEXT *gc, SINT dx, SINT dy, DOUBLE start, DOUBLE end, SINT radius);

// ---- Rotation context ----

typedef struct gp_rotcontext_tag {
  DOUBLE AngleRad;  // (-pi, pi]
  DOUBLE AngleNorm; // reduced by the quadrant to [-45, 45) degrees
  SINT Quadrant;
  SINT CenterX;
  SINT CenterY;
  SINT CurrX;
  SINT CurrY;
  SINT PrevRotX;
  SINT PrevRotY;
  SINT x;
  SINT y;
  SINT xrot;
  SINT yrot;
  GRCONTEXTPTR pSrcGC;
  PIXELPOS RotAreaSrcOrg;
  PIXELPOS RotAreaDestOrg;
  PIXELDIM RotAreaDim;
  SLONG IntSinAngle; // x 1024
  SLONG IntCosAngle;
  SLONG IntShearX;
  SLONG IntShearY;
} GP_ROTCONTEXT;

ERRORCODE gr_SUB_CheckAndSetRotAng(GP_ROTCONTEXT *rc, DOUBLE degrees);
ERRORCODE gr_SetRotationAngle(GP_ROTCONTEXT *rc, DOUBLE degrees);
ERRORCODE gr_StepRotationAngle(GP_ROTCONTEXT *rc, DOUBLE degrees);
ERRORCODE gr_ResetRotationContext(GP_ROTCONTEXT *rc);
ERRORCODE gr_SetCenterOfRotation(GP_ROTCONTEXT *rc, SINT x, SINT y);
ERRORCODE gr_SetRotationAreaSource(GP_ROTCONTEXT *rc, GRCONTEXTPTR src);
ERRORCODE gr_SetRotationAreaDim(GP_ROTCONTEXT *rc, SINT width, SINT height);
ERRORCODE gr_SetRotationAreaSrcOrg(GP_ROTCONTEXT *rc, SINT x, SINT y);
ERRORCODE gr_SetRotationAreaDestOrg(GP_ROTCONTEXT *rc, SINT x, SINT y);
ERRORCODE gr_RotatePoint(GP_ROTCONTEXT *rc, SINT x, SINT y, SINT *xr, SINT *yr);
ERRORCODE gr_PutStraightPoint(GP_ROTCONTEXT *rc, SINT x, SINT y, SINT *xr, SINT *yr);

// ---- Bitmap fonts ----

SINT fnt_INIT_Daravazos06x09(FONT *font);
SINT fnt_INIT_Daravazos06x11(FONT *font);
SINT fnt_INIT_Daravazos09x15(FONT *font);
ERRORCODE gr_AddFont(FONT *font, FONTINDEX slot);
ERRORCODE gr_SetFontType(GR_CONTEXT *gc, FONTINDEX slot);
ERRORCODE gr_SetFontZoom(GR_CONTEXT *gc, ZOOMFACTOR zx, ZOOMFACTOR zy);
ERRORCODE gr_SetFontDirection(GR_CONTEXT *gc, PRINTDIR dir);
SINT gr_GetFontWidth(FONTINDEX slot);
SINT gr_GetFontHeight(FONTINDEX slot);
SINT gr_GetFontDescender(FONTINDEX slot);
ERRORCODE gr_PrintString(GR_CONTEXT *gc, const UCHAR *text);
ERRORCODE gf_PrintFastChar(GR_CONTEXT *gc, UCHAR ch);
ERRORCODE gf_PrintChar(GR_CONTEXT *gc, UCHAR ch);
ERRORCODE gr_StringPixelDim(GR_CONTEXT *gc, const UCHAR *text, SINT *dim);
SINT gr_GetPStrLen(GR_CONTEXT *gc, const UCHAR *text, UCHAR kind);
SINT gf_GetPStrLen(GR_CONTEXT *gc, const FONT *font, const UCHAR *text, UCHAR kind);
void gf_ComputeNewCurPosInHorMode(SINT degrees, SINT advance, SINT height, ZOOMFACTOR zx, ZOOMFACTOR zy, SINT *dx,
                                  SINT *dy);
