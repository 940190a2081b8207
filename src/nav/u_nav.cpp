#include "nav/u_nav.h"

namespace {

// 65536 x sin(i degrees) to the nearest integer, i = 0..90.
const S32 anSinTable[91] = {
    0,     1144,  2287,  3430,  4572,  5712,  6850,  7987,  9121,  10252, 11380, 12505, 13626, 14742, 15855, 16962,
    18064, 19161, 20252, 21336, 22415, 23486, 24550, 25607, 26656, 27697, 28729, 29753, 30767, 31772, 32768, 33754,
    34729, 35693, 36647, 37590, 38521, 39441, 40348, 41243, 42126, 42995, 43852, 44695, 45525, 46341, 47143, 47930,
    48703, 49461, 50203, 50931, 51643, 52339, 53020, 53684, 54332, 54963, 55578, 56175, 56756, 57319, 57865, 58393,
    58903, 59396, 59870, 60326, 60764, 61183, 61584, 61966, 62328, 62672, 62997, 63303, 63589, 63856, 64104, 64332,
    64540, 64729, 64898, 65048, 65177, 65287, 65376, 65446, 65496, 65526, 65536};

}  // namespace

S32 U_NAV_nIntSin(S32 nAngle) {
  bool bNegate = false;
  // Taken as 64 bits so that the most negative angle negates too.
  long long a = nAngle;
  if (a < 0) {
    a = -a;
    bNegate = true;
  }
  if (a < 720) {
    if (a >= 360) a -= 360;
  } else {
    a %= 360;
  }
  if (a > 180) {
    a -= 180;
    bNegate = !bNegate;
  }
  if (a > 90) a = 180 - a;
  return bNegate ? -anSinTable[a] : anSinTable[a];
}

S32 U_NAV_nIntCos(S32 nAngle) {
  return U_NAV_nIntSin(static_cast<S32>((static_cast<long long>(nAngle) + 90) % 360));
}
