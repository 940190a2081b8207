#include "util/geomag.h"

#include <cmath>

namespace {

constexpr int N = GEOMAG_MAXORD + 1;
constexpr double kPi = 3.14159265359;
constexpr double kDegToRad = kPi / 180.0;  // 0.017453292519944444
constexpr double kRadToDeg = 57.29577951307855;
constexpr double kSecondsToYears = 3.168876464081849e-8;  // one year of 31,556,926 s
constexpr double kMaxYears = 5.0;

// WGS 84 in kilometres and the model's reference radius.
constexpr double kA2 = 40680631.59076899;
constexpr double kB2 = 40408299.98408706;
constexpr double kC2 = 272331.6066819355;  // a^2 - b^2
constexpr double kA4 = 1654913786623872.2;
constexpr double kC4 = 22083079019902.25;  // a^4 - b^4
constexpr double kRe = 6371.2;

// Recursion factors of the Schmidt semi-normalised Legendre functions.
constexpr double K(int m, int n) {
  if (n == 1 && m == 1) return 0.0;
  return static_cast<double>((n - 1) * (n - 1) - m * m) / static_cast<double>((2 * n - 1) * (2 * n - 3));
}

}  // namespace

double U_GEOMAG_dDeclination(const GEOMAG_MODEL *pModel, double alt, double lat, double lon, U32 u32time) {
  double dt = u32time * kSecondsToYears - pModel->epochYearsAfter1970;
  if (dt < 0.0) dt = 0.0;
  if (dt > kMaxYears) dt = kMaxYears;

  const double rlon = lon * kDegToRad, rlat = lat * kDegToRad;
  const double srlon = std::sin(rlon), crlon = std::cos(rlon);
  const double srlat = std::sin(rlat), crlat = std::cos(rlat);
  const double srlat2 = srlat * srlat, crlat2 = crlat * crlat;

  double sp[N] = {0.0, srlon}, cp[N] = {1.0, crlon};
  for (int m = 2; m < N; ++m) {
    sp[m] = sp[1] * cp[m - 1] + cp[1] * sp[m - 1];
    cp[m] = cp[1] * cp[m - 1] - sp[1] * sp[m - 1];
  }

  // Geodetic to geocentric.
  const double q = std::sqrt(kA2 - kC2 * srlat2);
  const double q1 = alt * q;
  const double q2 = ((q1 + kA2) / (q1 + kB2)) * ((q1 + kA2) / (q1 + kB2));
  const double ct = srlat / std::sqrt(q2 * crlat2 + srlat2);
  // Clamped: rounding must not take the root of a negative number next to a pole.
  const double st = std::sqrt(std::fmax(0.0, 1.0 - ct * ct));
  const double r2 = alt * alt + 2.0 * q1 + (kA4 - kC4 * srlat2) / (q * q);
  const double r = std::sqrt(r2);
  const double d = std::sqrt(kA2 * crlat2 + kB2 * srlat2);
  const double ca = (alt + d) / r;
  const double sa = kC2 * crlat * srlat / (r * d);

  // Kept per call: callers on different tasks evaluate at once.
  double p[N][N] = {}, dp[N][N] = {};
  double pp[N] = {};
  p[0][0] = 1.0;
  pp[0] = 1.0;

  const double aor = kRe / r;
  double ar = aor * aor;
  double br = 0.0, bt = 0.0, bp = 0.0, bpp = 0.0;
  for (int n = 1; n < N; ++n) {
    ar *= aor;
    for (int m = 0; m <= n; ++m) {
      if (n == m) {
        p[m][n] = st * p[m - 1][n - 1];
        dp[m][n] = st * dp[m - 1][n - 1] + ct * p[m - 1][n - 1];
      } else if (n == 1 && m == 0) {
        p[m][n] = ct * p[m][n - 1];
        dp[m][n] = ct * dp[m][n - 1] - st * p[m][n - 1];
      } else {
        const double pm2 = m > n - 2 ? 0.0 : p[m][n - 2];
        const double dpm2 = m > n - 2 ? 0.0 : dp[m][n - 2];
        p[m][n] = ct * p[m][n - 1] - K(m, n) * pm2;
        dp[m][n] = ct * dp[m][n - 1] - st * p[m][n - 1] - K(m, n) * dpm2;
      }

      const double g = pModel->c[m][n] + dt * pModel->cd[m][n];
      const double h = m == 0 ? 0.0 : pModel->c[n][m - 1] + dt * pModel->cd[n][m - 1];
      const double par = ar * p[m][n];
      const double temp1 = g * cp[m] + h * sp[m];
      const double temp2 = g * sp[m] - h * cp[m];
      bt -= ar * temp1 * dp[m][n];
      bp += m * temp2 * par;
      br += (n + 1) * temp1 * par;

      // At a geographic pole the east component comes from the m = 1 terms alone.
      if (st == 0.0 && m == 1) {
        pp[n] = n == 1 ? pp[n - 1] : ct * pp[n - 1] - K(m, n) * pp[n - 2];
        bpp += m * temp2 * ar * pp[n];
      }
    }
  }
  bp = st == 0.0 ? bpp : bp / st;

  const double bx = -bt * ca - br * sa;
  const double by = bp;
  return std::atan2(by, bx) * kRadToDeg;
}

double dMagneticVariation(double alt, double lat, double lon, U32 u32time) {
  return U_GEOMAG_dDeclination(&U_GEOMAG_Wmm2025, alt, lat, lon, u32time);
}
