// String operations and the fixed-point formatter the chart texts are built with.
#include "chartlib/util/ut_string.h"

#include <cmath>

namespace {

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

SINT Diff(char a, char b) { return static_cast<SCHAR>(a) - static_cast<SCHAR>(b); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr int kMaxGroups = 100;  // 400 digits

}  // namespace

char *ut_strcpy(char *dst, const char *src) {
  char *d = dst;
  while ((*d++ = *src++) != '\0') {
  }
  return dst;
}

char *ut_strcat(char *dst, const char *src) {
  ut_strcpy(dst + ut_strlen(dst), src);
  return dst;
}

char *ut_strncpy(char *dst, const char *src, SINT n) {
  if (n <= 0) return dst;
  SINT i = 0;
  for (; i < n && src[i] != '\0'; ++i) dst[i] = src[i];
  dst[i] = '\0';
  return dst;
}

char *ut_strncat(char *dst, const char *src, SINT n) {
  if (n > 0) ut_strncpy(dst + ut_strlen(dst), src, n);
  return dst;
}

SINT ut_strlen(const char *s) {
  SINT n = 0;
  while (s[n] != '\0') ++n;
  return n;
}

SINT ut_strcmp(const char *a, const char *b) {
  for (; *a == *b; ++a, ++b)
    if (*a == '\0') return 0;
  return Diff(*a, *b);
}

SINT ut_stricmp(const char *a, const char *b) {
  for (; Fold(*a) == Fold(*b); ++a, ++b)
    if (*a == '\0') return 0;
  return Diff(Fold(*a), Fold(*b));
}

SINT ut_strnicmp(const char *a, const char *b, SINT n) {
  for (SINT i = 0; i < n; ++i) {
    if (Fold(a[i]) != Fold(b[i])) return Diff(Fold(a[i]), Fold(b[i]));
    if (a[i] == '\0') return 0;
  }
  return 0;
}

char *ut_itoa(SLONG value, char *buf, SINT radix) {
  if (radix != 2 && radix != 10 && radix != 16) return nullptr;
  char *p = buf;
  uint32_t u = static_cast<uint32_t>(value);
  if (radix == 10 && value < 0) {
    *p++ = '-';
    u = 0u - u;  // the magnitude, also of -2^31
  }
  char *first = p;
  do {
    const uint32_t d = u % static_cast<uint32_t>(radix);
    *p++ = static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10);
    u /= static_cast<uint32_t>(radix);
  } while (u != 0);
  *p = '\0';
  for (char *q = p - 1; first < q; ++first, --q) {
    const char t = *first;
    *first = *q;
    *q = t;
  }
  return buf;
}

SINT ut_sprintf(char *buf, const char *format, DOUBLE value) {
  SINT n = 0;
  const char *f = format;
  while (*f != '\0' && *f != '%') buf[n++] = *f++;
  buf[n] = '\0';
  // Each character is looked at only when the ones before it are there, so a short format is not overrun; a
  // width that is not a digit is refused like a precision that is not.
  if (*f != '%' || f[1] == '\0' || !IsDigit(f[2]) || f[3] != '.' || !IsDigit(f[4])) return 0;
  const char pad = f[1];
  const int width = f[2] - '0', precision = f[4] - '0';
  static const DOUBLE kPow10[10] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  DOUBLE v = value * kPow10[precision];
  if (!std::isfinite(v)) return 0;
  const bool negative = v < 0.0;
  if (negative) v = -v;

  // Base-10,000 groups, lowest first, rounded half up on the first four fractional digits.
  uint16_t groups[kMaxGroups + 1];
  int count = 0;
  DOUBLE whole = std::floor(v);
  const int fraction = static_cast<int>((v - whole) * 10000.0);
  if (whole < 9007199254740992.0) {  // 2^53: every step below is exact
    while (whole >= 1.0) {
      const DOUBLE g = std::fmod(whole, 10000.0);
      groups[count++] = static_cast<uint16_t>(g);
      whole = (whole - g) / 10000.0;
    }
  } else {  // mantissa times a power of two, doubled group by group so that every digit is the value's own
    int e;
    uint64_t mantissa = static_cast<uint64_t>(std::ldexp(std::frexp(whole, &e), 53));
    for (; mantissa != 0; mantissa /= 10000) groups[count++] = static_cast<uint16_t>(mantissa % 10000);
    for (e -= 53; e > 0; --e) {
      int carry = 0;
      for (int i = 0; i < count; ++i) {
        const int g = groups[i] * 2 + carry;
        groups[i] = static_cast<uint16_t>(g % 10000);
        carry = g / 10000;
      }
      if (carry != 0) {
        if (count == kMaxGroups) return 0;
        groups[count++] = static_cast<uint16_t>(carry);
      }
    }
  }
  if (fraction >= 5000) {
    int i = 0;
    for (; i < count && groups[i] == 9999; ++i) groups[i] = 0;
    if (i == count) {
      if (count == kMaxGroups) return 0;
      groups[count++] = 1;
    } else {
      groups[i]++;
    }
  }

  // Digits most significant first, without leading zeros, at least one before the point.
  char digits[4 * kMaxGroups];
  int len = 0;
  for (int i = count - 1; i >= 0; --i) {
    const int g = groups[i];
    const char four[4] = {static_cast<char>('0' + g / 1000), static_cast<char>('0' + g / 100 % 10),
                          static_cast<char>('0' + g / 10 % 10), static_cast<char>('0' + g % 10)};
    int k = 0;
    if (i == count - 1)
      while (k < 3 && four[k] == '0') ++k;
    for (; k < 4; ++k) digits[len++] = four[k];
  }
  const int total = len > precision ? len : precision + 1;
  const int lead = total - len;  // zeros before the digits
  const int text = (negative ? 1 : 0) + total + (precision > 0 ? 1 : 0);
  for (int i = text; i < width; ++i) buf[n++] = pad;  // the pad goes before the sign
  if (negative) buf[n++] = '-';
  for (int i = 0; i < total; ++i) {
    if (precision > 0 && i == total - precision) buf[n++] = '.';
    buf[n++] = i < lead ? '0' : digits[i - lead];
  }
  buf[n] = '\0';
  return n;
}
