// Coordinate blocks: table-driven scaled decoding with exact remainders, and over-zoom decoding.
#include "chartlib/reader/ch2_vector.h"

#include <array>

namespace {

// Quotient and remainder of a delta divided by 2^s, truncating toward zero.
struct QR {
  signed char q, r;
};
struct ShortQR {
  signed char qx, qy, rx, ry;
};

constexpr int Nibble(int n) { return n <= 8 ? n : n - 16; }
constexpr QR Divide(int d, int s) {
  const int p = 1 << s;
  return QR{static_cast<signed char>(d / p), static_cast<signed char>(d % p)};
}

struct Tables {
  std::array<std::array<ShortQR, 256>, CH2_MAX_SCALING + 1> shortT{};
  std::array<std::array<QR, 256>, CH2_MAX_SCALING + 1> medium{};
};

constexpr Tables MakeTables() {
  Tables t{};
  for (int s = 0; s <= CH2_MAX_SCALING; ++s) {
    for (int b = 0; b < 256; ++b) {
      const QR x = Divide(Nibble(b >> 4), s), y = Divide(Nibble(b & 15), s);
      t.shortT[s][b] = ShortQR{x.q, y.q, x.r, y.r};
      t.medium[s][b] = Divide(static_cast<signed char>(b), s);
    }
  }
  return t;
}

constexpr Tables kTables = MakeTables();

// Output one point; true when the buffer is now full.
bool Emit(VECTORCONTEXT2 *vc, MAPDATA2 *md) {
  md->iBuf[md->iCount++] = vc->iAbsoluteX;
  md->iBuf[md->iCount++] = vc->iAbsoluteY;
  return md->iCount >= CH2_MAPDATA_VALUES;
}

// Moves one component by (q, r) at scaling s; remainders stay in 0..2^s - 1.
inline int Carry(int q, int r, SINT *rem, int s) {
  *rem += r;
  if (*rem < 0) {
    *rem += 1 << s;
    --q;
  } else if (*rem >= (1 << s)) {
    *rem -= 1 << s;
    ++q;
  }
  return q;
}

void SetPen(VECTORCONTEXT2 *vc, int64_t dx, int64_t dy, SINT s) {
  if (s >= 0) {
    const int64_t mask = (int64_t{1} << s) - 1;
    vc->iAbsoluteX = static_cast<SINT>(dx >> s);
    vc->iAbsoluteY = static_cast<SINT>(dy >> s);
    vc->iRemdX = static_cast<SINT>(dx & mask);
    vc->iRemdY = static_cast<SINT>(dy & mask);
  } else {
    vc->iAbsoluteX = static_cast<SINT>(dx * (int64_t{1} << -s));
    vc->iAbsoluteY = static_cast<SINT>(dy * (int64_t{1} << -s));
    vc->iRemdX = vc->iRemdY = 0;
  }
}

void ReadAbsolute(CHARTCONTEXT2 *cc, const CHARTVIEW2 *cv, VECTORCONTEXT2 *vc) {
  const int64_t x = ch2_ReadWord(cc) & 0xFFFF, y = ch2_ReadWord(cc) & 0xFFFF;
  SetPen(vc, x - static_cast<int64_t>(cv->ulViewOrigX), y - static_cast<int64_t>(cv->ulViewOrigY), cv->iScaling);
}

ERRORCODE Decode(CHARTCONTEXT2 *cc, const CHARTVIEW2 *cv, VECTORCONTEXT2 *vc, MAPDATA2 *md) {
  return cv->iScaling < 0 ? ch2_OverzoomVector(cc, cv, vc, md) : ch2_ScaleVector(cc, cv, vc, md);
}

// After a block's codes: a full buffer resumes later; otherwise on to the next pointer.
ERRORCODE FinishBlock(ERRORCODE decoded, CHARTCONTEXT2 *cc, LAYERCONTEXT2 *lc, VECTORCONTEXT2 *vc) {
  if (decoded == CH2_WARN_BUFFER_FULL) {
    vc->uiCurrentMemoryLocation = cc->Address;
    lc->usCurrentState = LAYERSTATE_BUFFER_FULL2;
    return CH2_WARN_BUFFER_FULL;
  }
  if (++vc->ulCOORDSPointerCounter >= vc->ulNumberOfPointerInTheCOORDS) {
    lc->usCurrentState = LAYERSTATE_ENDOF_RECORD2;
    return CL_SUCCESS;
  }
  lc->usCurrentState = LAYERSTATE_BUFFER_RETURNED2;
  CHARTCONTEXT2 peek{cc->ChartId, vc->ulAddressOfNextCOORDS, CH2_READ_FEATURES};
  return (ch2_ReadLong(&peek) & CH2_POINTER_NEW_PART) ? CL_SUCCESS : CH2_WARN_CONTINUES_PART;
}

ERRORCODE GetVector(MAPCONTEXT2 *ctx, LAYERCONTEXT2 *lc, FEATURECONTEXT2 *fc, VECTORCONTEXT2 *vc, MAPDATA2 *md,
                    bool second) {
  md->iCount = 0;
  const SINT chartId = ctx->sMapHeader.iChartDeviceId;
  switch (lc->usCurrentState) {
    case LAYERSTATE_RETRIVED_FEATURE2: {
      CHARTCONTEXT2 cc{chartId, fc->ulVectorOrRelationDataAddress, CH2_READ_FEATURES};
      if (second) cc.Address += 4 * ch2_ReadCount(&cc, fc->ucLengthWidth);
      vc->ulNumberOfPointerInTheCOORDS = ch2_ReadCount(&cc, fc->ucLengthWidth);
      vc->ulCOORDSPointerCounter = 0;
      vc->ulAddressOfNextCOORDS = cc.Address;
      if (vc->ulNumberOfPointerInTheCOORDS == 0) {
        lc->usCurrentState = LAYERSTATE_ENDOF_RECORD2;
        return CL_SUCCESS;
      }
      return ch2_InterpretCOORDData(ctx, lc, vc, md);
    }
    case LAYERSTATE_BUFFER_RETURNED2:
      return ch2_InterpretCOORDData(ctx, lc, vc, md);
    case LAYERSTATE_BUFFER_FULL2: {
      CHARTCONTEXT2 cc{chartId, vc->uiCurrentMemoryLocation, CH2_READ_COORDINATES};
      Emit(vc, md);
      return FinishBlock(Decode(&cc, &ctx->sChartView, vc, md), &cc, lc, vc);
    }
    default:
      return CL_SUCCESS;
  }
}

}  // namespace

ERRORCODE ch2_GetVector(MAPCONTEXT2 *ctx, LAYERCONTEXT2 *lc, FEATURECONTEXT2 *fc, VECTORCONTEXT2 *vc, MAPDATA2 *md) {
  return GetVector(ctx, lc, fc, vc, md, false);
}

ERRORCODE ch2_GetVectorForBridge(MAPCONTEXT2 *ctx, LAYERCONTEXT2 *lc, FEATURECONTEXT2 *fc, VECTORCONTEXT2 *vc,
                                 MAPDATA2 *md) {
  return GetVector(ctx, lc, fc, vc, md, true);
}

ERRORCODE ch2_InterpretCOORDData(MAPCONTEXT2 *ctx, LAYERCONTEXT2 *lc, VECTORCONTEXT2 *vc, MAPDATA2 *md) {
  const SINT chartId = ctx->sMapHeader.iChartDeviceId;
  CHARTCONTEXT2 pc{chartId, vc->ulAddressOfNextCOORDS, CH2_READ_FEATURES};
  const UINT32 pointer = ch2_ReadLong(&pc);
  vc->bIsHiddenLine = (pointer & CH2_POINTER_HIDDEN) ? TRUE : FALSE;
  vc->ulCurrentAddressOfSpatialData = pointer & CH2_POINTER_ADDRESS;
  vc->ulAddressOfNextCOORDS = pc.Address;
  CHARTCONTEXT2 cc{chartId, vc->ulCurrentAddressOfSpatialData, CH2_READ_COORDINATES};
  ReadAbsolute(&cc, &ctx->sChartView, vc);
  const ERRORCODE e = Emit(vc, md) ? CH2_WARN_BUFFER_FULL : Decode(&cc, &ctx->sChartView, vc, md);
  return FinishBlock(e, &cc, lc, vc);
}

ERRORCODE ch2_ScaleVector(CHARTCONTEXT2 *cc, const CHARTVIEW2 *cv, VECTORCONTEXT2 *vc, MAPDATA2 *md) {
  // The chart reader refuses maps that would scale past the tables.
  const SINT s = cv->iScaling > CH2_MAX_SCALING ? CH2_MAX_SCALING : cv->iScaling;
  const auto &shortT = kTables.shortT[s];
  const auto &medium = kTables.medium[s];
  for (;;) {
    const SINT code = ch2_ReadByte(cc) & 0xFF;
    if (code == CH2_CODE_END) {
      vc->iRemdX = vc->iRemdY = 0;
      return CL_SUCCESS;
    }
    int qx, qy, rx, ry;
    if (code == CH2_CODE_JUMP) {
      ReadAbsolute(cc, cv, vc);
      if (Emit(vc, md)) return CH2_WARN_BUFFER_FULL;
      continue;
    }
    if (code == CH2_CODE_MEDIUM) {
      const QR &x = medium[ch2_ReadByte(cc) & 0xFF];
      const QR &y = medium[ch2_ReadByte(cc) & 0xFF];
      qx = x.q, rx = x.r, qy = y.q, ry = y.r;
    } else if ((code & 0xF0) == 0x80) {
      const QR &x = medium[ch2_ReadByte(cc) & 0xFF];
      qx = x.q, rx = x.r, qy = shortT[code].qy, ry = shortT[code].ry;
    } else if ((code & 0x0F) == 0x08) {
      const QR &y = medium[ch2_ReadByte(cc) & 0xFF];
      qx = shortT[code].qx, rx = shortT[code].rx, qy = y.q, ry = y.r;
    } else {
      const ShortQR &e = shortT[code];
      qx = e.qx, rx = e.rx, qy = e.qy, ry = e.ry;
    }
    qx = Carry(qx, rx, &vc->iRemdX, s);
    qy = Carry(qy, ry, &vc->iRemdY, s);
    if (qx == 0 && qy == 0) continue;
    vc->iAbsoluteX += qx;
    vc->iAbsoluteY += qy;
    if (Emit(vc, md)) return CH2_WARN_BUFFER_FULL;
  }
}

ERRORCODE ch2_OverzoomVector(CHARTCONTEXT2 *cc, const CHARTVIEW2 *cv, VECTORCONTEXT2 *vc, MAPDATA2 *md) {
  const SINT m = -cv->iScaling > 31 ? 31 : -cv->iScaling;
  const auto &shortT = kTables.shortT[0];
  const auto &medium = kTables.medium[0];
  for (;;) {
    const SINT code = ch2_ReadByte(cc) & 0xFF;
    if (code == CH2_CODE_END) return CL_SUCCESS;
    if (code == CH2_CODE_JUMP) {
      ReadAbsolute(cc, cv, vc);
    } else {
      int dx, dy;
      if (code == CH2_CODE_MEDIUM) {
        dx = medium[ch2_ReadByte(cc) & 0xFF].q;
        dy = medium[ch2_ReadByte(cc) & 0xFF].q;
      } else if ((code & 0xF0) == 0x80) {
        dx = medium[ch2_ReadByte(cc) & 0xFF].q;
        dy = shortT[code].qy;
      } else if ((code & 0x0F) == 0x08) {
        dx = shortT[code].qx;
        dy = medium[ch2_ReadByte(cc) & 0xFF].q;
      } else {
        dx = shortT[code].qx;
        dy = shortT[code].qy;
      }
      vc->iAbsoluteX += static_cast<SINT>(static_cast<uint32_t>(dx) << m);
      vc->iAbsoluteY += static_cast<SINT>(static_cast<uint32_t>(dy) << m);
    }
    if (Emit(vc, md)) return CH2_WARN_BUFFER_FULL;
  }
}
