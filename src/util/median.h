// Median filters over a line of 8-bit samples: fast paths for windows of 3, 5 and 7, a histogram for others.
#pragma once
#include "corvan/types.h"

// Fills pu8Filtered[0 .. u32DataLength - 1]. A window of 7 needs 7 samples and a window of 5 needs 4; shorter
// lines leave the output untouched. Windows other than 3, 5 and 7 share one static histogram: not reentrant.
void U_MEDIAN_vFilter(const U8 *pu8Data, U8 *pu8Filtered, U32 u32DataLength, U32 u32FilterLength);
U32 u32FastMedian3(U32 a, U32 b, U32 c);
U32 u32FastMedian5(U32 a, U32 b, U32 c, U32 d, U32 e);
// Inserts a value with its sample index at its ascending place into a window of nCount entries.
void U_MEDIAN_vInsert7(int *pnSortedIndex, U8 *pu8SortedData, int nCount, int nIndexIn, U8 u8DataIn);
// Replaces the entry of sample nIndexOut in a sorted window of 7 by u8DataIn (sample nIndexIn), keeping the
// order. A window without nIndexOut is left as it is.
void U_MEDIAN_vReplace7(int *pnSortedIndex, U8 *pu8SortedData, int nIndexOut, int nIndexIn, U8 u8DataIn);
