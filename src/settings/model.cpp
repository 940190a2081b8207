// Model table. The search answers with the row index, -1 for none, so the first row answers like any other.
#include "settings/model.h"

#include "settings/database.h"

namespace {

struct MODEL_FEATURES {
  MODEL_TYPE eModel;
  U32 support_flags;
  const char *sModelText;
};

constexpr U32 kRegional1 = 1u << 0;
constexpr U32 kRegional2 = 1u << 1;
constexpr U32 kRegional3 = 1u << 2;
constexpr U32 kRegional4 = 1u << 3;
constexpr U32 k160x240 = 1u << 8;
constexpr U32 k240x240 = 1u << 9;
constexpr U32 k240x320 = 1u << 10;
constexpr U32 kColor = 1u << 19;
constexpr U32 kCartography = 1u << 22;
constexpr U32 kFishFinder = 1u << 24;
constexpr U32 kPlumbscan = 1u << 25;

// Bits 4-7, 19-22 and 28 are common to both units of this product.
constexpr U32 kProductBits = 0xF0u | (0xFu << 19) | (1u << 28);

const MODEL_FEATURES s_modelFeatures[] = {
    {MODEL_DOMESTIC, kProductBits, "CV-800"},
    {MODEL_DEFAULT, kProductBits | kRegional1, "CV-800i"},
};

int nFindModel(MODEL_TYPE Model) {
  for (int n = 0; n < static_cast<int>(sizeof s_modelFeatures / sizeof s_modelFeatures[0]); n++) {
    if (s_modelFeatures[n].eModel == Model) return n;
  }
  return -1;
}

MODEL_TYPE eCurrentModel() {
  U32 u32Model = MODEL_DEFAULT;
  if (!H_DATABASE_bFetchU32(FCID("SMDL"), &u32Model, nullptr, nullptr)) return MODEL_DEFAULT;
  return static_cast<MODEL_TYPE>(u32Model);
}

U32 u32Flags() {
  const int n = nFindModel(eCurrentModel());
  return n < 0 ? 0 : s_modelFeatures[n].support_flags;
}

BOOLEAN bHas(U32 u32Bit) { return (u32Flags() & u32Bit) != 0 ? TRUE : FALSE; }

U32 u32RegionalSelection() {
  U32 u32Selection = 1;
  if (!H_DATABASE_bFetchU32(FCID("SIMT"), &u32Selection, nullptr, nullptr)) return 1;
  return u32Selection;
}

}  // namespace

BOOLEAN MODEL_bRegisterModel(MODEL_TYPE Model) {
  return (Model == MODEL_DOMESTIC || Model == MODEL_DEFAULT) ? TRUE : FALSE;
}

const char *MODEL_pcFetchModelText(MODEL_TYPE Model) {
  const int n = Model == 0 ? -1 : nFindModel(Model);
  return n < 0 ? "     " : s_modelFeatures[n].sModelText;
}

BOOLEAN MODEL_bSupportsCartography(void) { return bHas(kCartography); }
BOOLEAN MODEL_bIsColor(void) { return bHas(kColor); }
BOOLEAN MODEL_bIsPlumbscan(void) { return bHas(kPlumbscan); }
BOOLEAN MODEL_bDisplay240x320(void) { return bHas(k240x320); }
BOOLEAN MODEL_bDisplay240x240(void) { return bHas(k240x240); }
BOOLEAN MODEL_bDisplay160x240(void) { return bHas(k160x240); }
BOOLEAN MODEL_bFishFinderSeries(void) { return bHas(kFishFinder); }
BOOLEAN MODEL_bInternationalModel3(void) { return bHas(kRegional3); }
BOOLEAN MODEL_bInternationalModel4(void) { return bHas(kRegional4); }

BOOLEAN MODEL_bInternationalModel1(void) {
  return (bHas(kRegional1) && u32RegionalSelection() == 1) ? TRUE : FALSE;
}

BOOLEAN MODEL_bInternationalModel2(void) {
  const U32 u32Bits = u32Flags();
  if (u32Bits & kRegional2) return TRUE;
  return ((u32Bits & kRegional1) && u32RegionalSelection() == 2) ? TRUE : FALSE;
}

BOOLEAN MODEL_bDomesticModel(void) {
  return (u32Flags() & (kRegional1 | kRegional2 | kRegional3 | kRegional4)) == 0 ? TRUE : FALSE;
}
