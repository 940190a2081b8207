// The chart reader's byte reads over the owner's read callback.
#include "chartlib/reader/ch2_read.h"

#include <cstring>
#include <string>

namespace {

const CH2_READ_CALLBACKS *g_table = nullptr;
void *g_owner = nullptr;
thread_local int t_recoveryDepth = 0;

// Fills dst from the image; false (after throwing when a recovery point is armed) on failure.
bool Fetch(SINT slot, UINT32 address, UCHAR *dst, UINT32 count) {
  bool ok = slot >= 0 && slot < CH2_MAX_CHART_SLOTS && g_table != nullptr && g_table->pfRead != nullptr &&
            g_table->pfRead(g_owner, slot, address, dst, count);
  if (ok) return true;
  if (t_recoveryDepth > 0) throw CH2_ReadFailure(slot, address);
  return false;
}

// count bytes little-endian (count <= 4); -1 on failure. The address advances either way.
int64_t ReadLE(SINT slot, UINT32 *address, UINT32 count) {
  UCHAR b[4] = {};
  const UINT32 at = *address;
  *address = at + count;
  if (!Fetch(slot, at, b, count)) return -1;
  uint32_t v = 0;
  for (UINT32 i = count; i-- > 0;) v = (v << 8) | b[i];
  return v;
}

}  // namespace

void ch2_SetReadCallbacks(const CH2_READ_CALLBACKS *table, void *owner) {
  g_table = table;
  g_owner = owner;
}

CH2_ReadFailure::CH2_ReadFailure(SINT chartId, UINT32 address)
    : std::runtime_error("chart read failed in slot " + std::to_string(chartId) + " at " + std::to_string(address)),
      ChartId(chartId),
      Address(address) {}

CH2_RecoveryPoint::CH2_RecoveryPoint() { ++t_recoveryDepth; }
CH2_RecoveryPoint::~CH2_RecoveryPoint() { --t_recoveryDepth; }
bool CH2_RecoveryPoint::Armed() { return t_recoveryDepth > 0; }

SINT ch2_ReadByte(CHARTCONTEXT2 *ctx) { return static_cast<SINT>(ReadLE(ctx->ChartId, &ctx->Address, 1)); }
SINT ch2_ReadWord(CHARTCONTEXT2 *ctx) { return static_cast<SINT>(ReadLE(ctx->ChartId, &ctx->Address, 2)); }
UINT32 ch2_ReadLong(CHARTCONTEXT2 *ctx) { return static_cast<UINT32>(ReadLE(ctx->ChartId, &ctx->Address, 4)); }

SINT ch2_ReadBlock(UCHAR *dst, UINT32 count, CHARTCONTEXT2 *ctx) {
  const UINT32 at = ctx->Address;
  ctx->Address = at + count;
  if (count == 0) return 0;
  if (!Fetch(ctx->ChartId, at, dst, count)) {
    std::memset(dst, 0, count);
    return -1;
  }
  return static_cast<SINT>(count);
}

SINT ch_ReadByte(CHART_CONTEXT *ctx) { return static_cast<SINT>(ReadLE(ctx->ChartId, &ctx->Address, 1)); }
SINT ch_ReadWord(CHART_CONTEXT *ctx) { return static_cast<SINT>(ReadLE(ctx->ChartId, &ctx->Address, 2)); }
UINT32 ch_GetChUDblWord(CHART_CONTEXT *ctx) { return static_cast<UINT32>(ReadLE(ctx->ChartId, &ctx->Address, 4)); }
SLONG ch_GetChSDblWord(CHART_CONTEXT *ctx) { return static_cast<SLONG>(ch_GetChUDblWord(ctx)); }

void ch_ReadBlock(CHART_CONTEXT *ctx, UINT count, UCHAR *buffer) {
  CHARTCONTEXT2 c{ctx->ChartId, ctx->Address, 0};
  ch2_ReadBlock(buffer, count, &c);
  ctx->Address = c.Address;
}

SINT ap_CheckFile(SINT slot, const char *path) {
  if (path == nullptr || path[0] == '\0' || path[0] == '/' || path[0] == '\\') return 0;
  // Refuse any ".." component: the path comes from the card.
  const std::string p(path);
  size_t start = 0;
  while (start <= p.size()) {
    size_t end = p.find_first_of("/\\", start);
    if (end == std::string::npos) end = p.size();
    if (p.compare(start, end - start, "..") == 0 && end - start == 2) return 0;
    start = end + 1;
  }
  if (slot < 0 || slot >= CH2_MAX_CHART_SLOTS || g_table == nullptr || g_table->pfCheckFile == nullptr) return 0;
  const std::string full = "DARAVAZO/CHARTS/TOPDOWN/" + p;
  return g_table->pfCheckFile(g_owner, slot, full.c_str()) ? 1 : 0;
}
