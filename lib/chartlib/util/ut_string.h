// The chart library's own string operations and one-value number formatter. Zero-terminated 8-bit strings;
// case folding covers A-Z only.
#pragma once
#include "chartlib/chartlib_types.h"

char *ut_strcpy(char *dst, const char *src);
char *ut_strcat(char *dst, const char *src);
// At most n characters, then a terminator: dst needs n + 1 bytes. n <= 0 writes nothing.
char *ut_strncpy(char *dst, const char *src, SINT n);
char *ut_strncat(char *dst, const char *src, SINT n);
SINT ut_strlen(const char *s);
// Difference of the first differing characters as signed bytes; 0 when equal.
SINT ut_strcmp(const char *a, const char *b);
SINT ut_stricmp(const char *a, const char *b);
SINT ut_strnicmp(const char *a, const char *b, SINT n);
// Radix 2, 10 (signed) or 16 (lower case); null for any other radix. buf needs 33 bytes for radix 2.
char *ut_itoa(SLONG value, char *buf, SINT radix);
// One conversion "%" pad width "." precision letter, e.g. "% 3.1f", after a copied prefix; decimal half-up
// rounding. Returns the characters written (prefix and padding included), 0 for a format it cannot use.
SINT ut_sprintf(char *buf, const char *format, DOUBLE value);
