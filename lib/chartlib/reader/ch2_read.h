// Read seam of the chart reader: every byte of a chart image comes through the owner of the open chart files
// (the chart display's block cache, or a file-backed stand-in in tests), reached through one table of functions.
#pragma once
#include <stdexcept>

#include "chartlib/chartlib_types.h"

// Read position in one open chart image; every read advances Address.
typedef struct tag_chartcontext2 {
  SINT ChartId;        // slot of the open chart image, 0..255
  UINT32 Address;      // byte offset of the next read
  SINT ReadingType;    // 0 headers and directories, 2 layers, 3 features and attributes, 4 coordinates
} CHARTCONTEXT2;

// The port-services reader's two-field cursor.
typedef struct tag_chart_context {
  SINT ChartId;
  UINT32 Address;
} CHART_CONTEXT;

constexpr SINT CH2_MAX_CHART_SLOTS = 256;

// What the owner of the open chart files provides. Filled once at start-up, before any chart is read.
struct CH2_READ_CALLBACKS {
  // Copies count bytes from address of the image in slot into dst; FALSE when the slot holds no open image, the
  // range runs past its end or the medium fails.
  BOOL (*pfRead)(void *owner, SINT slot, UINT32 address, UCHAR *dst, UINT32 count);
  // TRUE when path (relative to the root of the storage device holding the image in slot) names a readable file.
  BOOL (*pfCheckFile)(void *owner, SINT slot, const char *path);
};

// Installs the table (nullptr: no owner; every read then fails).
void ch2_SetReadCallbacks(const CH2_READ_CALLBACKS *table, void *owner);

// Thrown by a failed read when the calling thread has a recovery point; the library never catches it.
class CH2_ReadFailure : public std::runtime_error {
 public:
  CH2_ReadFailure(SINT chartId, UINT32 address);
  SINT ChartId;
  UINT32 Address;
};

// A thread's recovery point: while one is alive on the thread, a failed read throws CH2_ReadFailure (to be caught
// where the point was made); without one, a failed read returns -1. Points nest.
class CH2_RecoveryPoint {
 public:
  CH2_RecoveryPoint();
  ~CH2_RecoveryPoint();
  CH2_RecoveryPoint(const CH2_RecoveryPoint &) = delete;
  CH2_RecoveryPoint &operator=(const CH2_RecoveryPoint &) = delete;
  static bool Armed();  // the calling thread has one
};

// Little-endian reads at the context's address, which advances by the bytes asked for (also when the read fails).
SINT ch2_ReadByte(CHARTCONTEXT2 *ctx);     // 0..255, or -1
SINT ch2_ReadWord(CHARTCONTEXT2 *ctx);     // 0..65535, or -1
UINT32 ch2_ReadLong(CHARTCONTEXT2 *ctx);   // 0xFFFFFFFF (-1) on failure
SINT ch2_ReadBlock(UCHAR *dst, UINT32 count, CHARTCONTEXT2 *ctx);  // count, or -1 (dst then zeroed)

SINT ch_ReadByte(CHART_CONTEXT *ctx);
SINT ch_ReadWord(CHART_CONTEXT *ctx);
UINT32 ch_GetChUDblWord(CHART_CONTEXT *ctx);
SLONG ch_GetChSDblWord(CHART_CONTEXT *ctx);
void ch_ReadBlock(CHART_CONTEXT *ctx, UINT count, UCHAR *buffer);

// 1 when "DARAVAZO/CHARTS/TOPDOWN/" + path is a readable file on the device holding the chart in slot, else 0.
// Paths that are absolute or climb out with ".." are refused.
SINT ap_CheckFile(SINT slot, const char *path);
