#include "sonar/transducer.h"

#include <cstdio>

#include "kernel/log.h"
#include "settings/database.h"

namespace {

// Names: the branded ones read the same in every language.
const ARRAY_OF_STRING_PTRS Unknown = SAME22("Unknown");
const ARRAY_OF_STRING_PTRS Dual_Beam = SAME22("Dual Beam");
const ARRAY_OF_STRING_PTRS Quad_Beam = SAME22("Quad Beam");
const ARRAY_OF_STRING_PTRS Braxel = SAME22("Braxel");
const ARRAY_OF_STRING_PTRS Dual_50_200 = SAME22("Dual 50/200");
const ARRAY_OF_STRING_PTRS Sidescan_200_50 = SAME22("Sidescan");
const ARRAY_OF_STRING_PTRS Transducer_3D = SAME22("3D");
const ARRAY_OF_STRING_PTRS Single_Beam = SAME22("Single Beam");
const ARRAY_OF_STRING_PTRS Dual_50_200_Deep = SAME22("Dual 50/200D");
const ARRAY_OF_STRING_PTRS Sidescan_200_83_Compact = SAME22("Compact Sidescan");
const ARRAY_OF_STRING_PTRS Sidescan_200_83_Hi_Def = SAME22("Hi-Def Sidescan");
const ARRAY_OF_STRING_PTRS Vexmoor_II = SAME22("Vexmoor 2");
const ARRAY_OF_STRING_PTRS ZP_200_455 = SAME22("ZP 200/455");
const ARRAY_OF_STRING_PTRS MSS_Beam = SAME22("Orbidek");
const ARRAY_OF_STRING_PTRS ZP_200_83 = SAME22("ZP 200/83");
const ARRAY_OF_STRING_PTRS ZP_200_50 = SAME22("ZP 200/50");

const TRANSDUCER_SPECIFICS s_sTransducerSpecifics[NUMBER_OF_TRANSDUCERS] = {
    {0, "", &Unknown, 0x0, 0x0},
    {1, "200/83", &Dual_Beam, 0x3, 0x1},
    {2, "200/83 455", &Quad_Beam, 0x103, 0x7},
    {3, "200/83 455", &Braxel, 0x203, 0x5},
    {4, "200/50", &Dual_50_200, 0x5, 0x1},
    {5, "200/50 262/455", &Sidescan_200_50, 0x1405, 0x5},
    {6, "83 455", &Transducer_3D, 0x10002, 0x0},
    {7, "200", &Single_Beam, 0x1, 0x1},
    {8, "200/50", &Dual_50_200_Deep, 0x5, 0x1},
    {9, "200/83 455", &Sidescan_200_83_Compact, 0x403, 0x5},
    {10, "200/83 455/800", &Sidescan_200_83_Hi_Def, 0xC03, 0x5},
    {11, "200/83", &Vexmoor_II, 0x3, 0x1},
    {12, "200/83", &Unknown, 0x3, 0x1},
    {13, "200/83", &Unknown, 0x3, 0x1},
    {14, "200/50", &Unknown, 0x5, 0x1},
    {15, "455/200 800/455", &ZP_200_455, 0x300009, 0x3},
    {16, "455", &MSS_Beam, 0x1000400, 0xC},
    {17, "83/200 800/455", &ZP_200_83, 0x300003, 0x3},
    {18, "50/200 800/455", &ZP_200_50, 0x300005, 0x3},
};

// Beams of each source.
constexpr U32 kBeams2D = 0xF;
constexpr U32 kBeamsDownImaging = 0x300000;
constexpr U32 kBeamsSideImaging = 0x1C00;
constexpr U32 kBeams360 = 0x1000000;
constexpr U32 kBeamsQuadSide = 0x100;
constexpr U32 kBeamsAlwaysOnModel = 0x3;

const U8 s_au8OptionalTransducer[] = {0, 2, 4};

U8 s_u8CurrentSelectedTransducer[2] = {0, 0};
float s_fMaximumDepthRangeMetres = 200.0f;

bool known(U8 u8Transducer) { return u8Transducer < NUMBER_OF_TRANSDUCERS; }

bool fetchTransducer(U32 *pu32Kind) { return H_DATABASE_bFetchU32(FCID("SSTS"), pu32Kind, nullptr, nullptr); }

U32 sourceBit(NET_SOURCE_TYPE eSource) {
  return eSource < NUMBER_OF_SONAR_SOURCES ? 1u << static_cast<U32>(eSource) : 0;
}

}  // namespace

U32 S_TRANSDUCER_u32GetBeamsForTransducer(U8 u8Transducer) {
  return known(u8Transducer) ? s_sTransducerSpecifics[u8Transducer].u32BeamsSupported : 0;
}

U32 S_TRANSDUCER_u32GetBeamsForTransducerAndSource(U8 u8Transducer, U16 u16SourceType) {
  const U32 u32Beams = S_TRANSDUCER_u32GetBeamsForTransducer(u8Transducer);
  const bool bQuad = u8Transducer == 2;
  switch (u16SourceType) {
    case SONAR_SOURCE_2D: return u32Beams & kBeams2D;
    case SONAR_SOURCE_ZP: return u32Beams & (bQuad ? kBeamsQuadSide : kBeamsDownImaging);
    case SONAR_SOURCE_ZF: return u32Beams & (bQuad ? kBeamsQuadSide : kBeamsSideImaging);
    case SONAR_SOURCE_360: return u32Beams & kBeams360;
    default: return u32Beams;
  }
}

U32 S_TRANSDUCER_u32GetBeamsSupportedByModel(void) {
  U32 u32Beams = kBeamsAlwaysOnModel;
  for (U8 u8Id : s_au8OptionalTransducer) {
    if (s_sTransducerSpecifics[u8Id].pString != nullptr) u32Beams |= s_sTransducerSpecifics[u8Id].u32BeamsSupported;
  }
  return u32Beams;
}

U32 S_TRANSDUCER_u32GetBeamsToDisplay(U8 u8Transducer) {
  return S_TRANSDUCER_u32GetBeamsForTransducer(u8Transducer) & S_TRANSDUCER_u32GetBeamsSupportedByModel();
}

U32 S_TRANSDUCER_u32GetSonarSources(U8 u8Transducer) {
  return known(u8Transducer) ? s_sTransducerSpecifics[u8Transducer].u32SonarSources : 0;
}

const ARRAY_OF_STRING_PTRS *S_TRANSDUCER_pasGetTransducerName(U8 u8Transducer) {
  return known(u8Transducer) ? s_sTransducerSpecifics[u8Transducer].pString : &Unknown;
}

U8 S_TRANSDUCER_u8GetTransducerByCapability(U32 u32Beams) {
  for (U8 u8Id = 1; u8Id < NUMBER_OF_TRANSDUCERS; ++u8Id) {
    if (s_sTransducerSpecifics[u8Id].u32BeamsSupported == u32Beams) return u8Id;
  }
  return 0;
}

BOOLEAN S_TRANSDUCER_bIsSupportedTransducer(U8 u8Transducer) {
  const bool bSupported = u8Transducer == 0 || u8Transducer == 1 || u8Transducer == 2 || u8Transducer == 4;
  log_me("transducer %u is %s", static_cast<unsigned>(u8Transducer), bSupported ? "supported" : "not supported");
  return bSupported ? TRUE : FALSE;
}

BOOLEAN S_TRANSDUCER_bIsPlumbscan(void) {
  U32 u32Kind = 0;
  if (!fetchTransducer(&u32Kind)) return FALSE;
  return (u32Kind == 15 || u32Kind == 17 || u32Kind == 18) ? TRUE : FALSE;
}

BOOLEAN S_TRANSDUCER_bIsFlankscan(void) {
  U32 u32Kind = 0;
  if (!fetchTransducer(&u32Kind)) return FALSE;
  return (u32Kind == 5 || u32Kind == 9 || u32Kind == 10 || u32Kind == 16) ? TRUE : FALSE;
}

BOOLEAN S_TRANSDUCER_bIsDefaultTransducer(void) {
  U32 u32Kind = 0;
  if (!fetchTransducer(&u32Kind)) return TRUE;
  U32 u32Default = 1;
  H_DATABASE_bFetchU32(FCID("SSTD"), &u32Default, nullptr, nullptr);
  return u32Kind == u32Default ? TRUE : FALSE;
}

U32 S_TRANSDUCER_u32LFBeamFrequencyHertz(void) {
  U32 u32Kilohertz = 0;
  H_DATABASE_bFetchU32(FCID("CSFL"), &u32Kilohertz, nullptr, nullptr);
  return u32Kilohertz * 1000;
}

U8 S_TRANSDUCER_u8CurrentTransducer(U8 u8Index) { return u8Index < 2 ? s_u8CurrentSelectedTransducer[u8Index] : 0; }

void S_TRANSDUCER_vSetCurrentTransducer(U8 u8Index, U8 u8Transducer) {
  if (u8Index < 2) s_u8CurrentSelectedTransducer[u8Index] = u8Transducer;
}

float S_TRANSDUCER_fMaximumDepthRangeMetres(void) { return s_fMaximumDepthRangeMetres; }

void S_TRANSDUCER_vSetMaximumDepthRangeMetres(float fMetres) { s_fMaximumDepthRangeMetres = fMetres; }

U32 S_TRANSDUCER_u32GetElementBit(U32 u32Mask, NET_SOURCE_TYPE eSource) {
  return eSource < NUMBER_OF_SONAR_SOURCES ? u32Mask & sourceBit(eSource) : u32Mask;
}

void S_TRANSDUCER_vSetElementBit(U32 *pu32Mask, NET_SOURCE_TYPE eSource) { *pu32Mask |= sourceBit(eSource); }

void S_TRANSDUCER_vUnsetElementBit(U32 *pu32Mask, NET_SOURCE_TYPE eSource) { *pu32Mask &= ~sourceBit(eSource); }

const char *S_TRANSDUCER_pbyteGetFrequencyString(U8 u8Transducer, U8 u8SonarSource) {
  if (!known(u8Transducer) || u8SonarSource > SONAR_SOURCE_360) return "NONE";
  if (u8SonarSource == SONAR_SOURCE_360) return "455";
  const U32 u32Beams =
      S_TRANSDUCER_u32GetBeamsForTransducerAndSource(u8Transducer, u8SonarSource) & S_TRANSDUCER_u32GetBeamsSupportedByModel();
  const char *pcFirst = nullptr;
  if (u32Beams & 0x1) pcFirst = "200";
  if (u32Beams & 0x200700) pcFirst = "455";
  // A later match replaces an earlier one.
  const char *pcSecond = nullptr;
  if (u8SonarSource == SONAR_SOURCE_2D) {
    if (u32Beams & 0x2) pcSecond = "83";
    if (u32Beams & 0x4) pcSecond = "50";
    if (u32Beams & 0x8) pcSecond = "455";
  } else if (u8SonarSource == SONAR_SOURCE_ZP) {
    if (u32Beams & 0x100000) pcSecond = "800";
  } else {
    if (u32Beams & 0x1000) pcSecond = "262";
    if (u32Beams & 0x800) pcSecond = "800";
  }
  if (pcFirst != nullptr && pcSecond == nullptr) return pcFirst;
  static thread_local char s_acText[16];
  std::snprintf(s_acText, sizeof s_acText, "%s/%s", pcFirst != nullptr ? pcFirst : "",
                pcSecond != nullptr ? pcSecond : "");
  return s_acText;
}
