// Memory object and read cache.
#include <gtest/gtest.h>

#include "jp2/jp2_common.h"
#include "jp2/jp2_memory.h"
#include "jp2_test_util.h"

using namespace jp2test;

namespace {

struct CacheFixture {
  Counter count;
  Source src;
  JP2_Memory *m = nullptr;
  JP2_Read_Data *rd = nullptr;
  JP2_Cache *c = nullptr;
  CacheFixture(size_t n, S32 style, U32 block = 10240) {
    for (size_t i = 0; i < n; i++) src.data.push_back((U8)(i * 7));
    JP2_Memory_New(&m, CountMalloc, &count, CountFree, &count);
    JP2_Read_Data_New(&rd, m, ReadSource, &src);
    JP2_Cache_New(&c, m, rd, style, block, nullptr);
  }
  ~CacheFixture() {
    JP2_Cache_Delete(&c);
    JP2_Read_Data_Delete(&rd, m);
    JP2_Memory_Delete(&m);
  }
};

} // namespace

TEST(Jp2Cache, ReadAcrossBlockBoundaryAtTheEndOfTheData) {
  CacheFixture f(10239, 1);
  U8 buf[4];
  U32 got = 99;
  ASSERT_EQ(0, JP2_Cache_Read(f.c, 10238, 4, &got, buf));
  EXPECT_EQ(1u, got);
  EXPECT_EQ((U8)(10238 * 7), buf[0]);
  U32 v;
  EXPECT_EQ(JP2_ERR_SHORT_READ, JP2_Cache_Read_ULong(f.c, 10238, &v));
  EXPECT_EQ(10239u, JP2_Cache_Get_Size(f.c));
}

TEST(Jp2Cache, RepeatedAndScatteredReadsServedFromMemory) {
  CacheFixture f(30000, 1);
  U8 buf[64];
  U32 got;
  ASSERT_EQ(0, JP2_Cache_Read(f.c, 25000, 64, &got, buf)); // far ahead: blocks below are filled when needed
  EXPECT_EQ(64u, got);
  for (int i = 0; i < 64; i++) EXPECT_EQ((U8)((25000 + i) * 7), buf[i]);
  int reads = f.src.reads;
  for (U32 off : {25001u, 25010u, 25040u}) {
    ASSERT_EQ(0, JP2_Cache_Read(f.c, off, 8, &got, buf));
    EXPECT_EQ((U8)(off * 7), buf[0]);
  }
  EXPECT_EQ(reads, f.src.reads);
  // Across blocks 0..2 in one read.
  std::vector<U8> big(25000);
  ASSERT_EQ(0, JP2_Cache_Read(f.c, 1, 25000, &got, big.data()));
  EXPECT_EQ(25000u, got);
  for (U32 i = 0; i < 25000; i += 997) EXPECT_EQ((U8)((i + 1) * 7), big[i]);
}

TEST(Jp2Cache, FarReadCompletesPartialBlockFirstAndStopsAtTheEnd) {
  CacheFixture f(5000, 1, 1024);
  U8 buf[8];
  U32 got;
  ASSERT_EQ(0, JP2_Cache_Read(f.c, 4090, 4, &got, buf)); // block 3, partly filled
  EXPECT_EQ(4u, got);
  ASSERT_EQ(0, JP2_Cache_Read(f.c, 100000, 4, &got, buf));
  EXPECT_EQ(0u, got);
  EXPECT_EQ(4096u, JP2_Cache_Get_Size(f.c));
  ASSERT_EQ(0, JP2_Cache_Read(f.c, 4998, 8, &got, buf));
  EXPECT_EQ(2u, got);
}

TEST(Jp2Cache, WithoutBlocksEveryTypedReadIsOneCallback) {
  CacheFixture f(100, 0);
  U32 v;
  U16 s;
  U8 b;
  ASSERT_EQ(0, JP2_Cache_Read_ULong(f.c, 0, &v));
  ASSERT_EQ(0, JP2_Cache_Read_UShort(f.c, 0, &s));
  ASSERT_EQ(0, JP2_Cache_Read_UChar(f.c, 1, &b));
  EXPECT_EQ(3, f.src.reads);
  EXPECT_EQ(((U32)0 << 24) | (7u << 16) | (14u << 8) | 21u, v);
  EXPECT_EQ(JP2_ERR_SHORT_READ, JP2_Cache_Read_UShort(f.c, 99, &s));
}

TEST(Jp2Cache, ExternalStoreKeepsBlocksOutsideMemory) {
  Counter count;
  Source src;
  for (int i = 0; i < 3000; i++) src.data.push_back((U8)(i * 3));
  Bytes store(100000);
  auto rd = [](U8 *d, U32 off, U32 n, void *p) -> U32 {
    memcpy(d, ((Bytes *)p)->data() + off, n);
    return n;
  };
  auto wr = [](const U8 *d, U32 off, U32 n, void *p) -> S32 {
    memcpy(((Bytes *)p)->data() + off, d, n);
    return 0;
  };
  JP2_Memory *m;
  JP2_Read_Data *srcRd, *storeRd;
  JP2_Write_Data *storeWr;
  JP2_External_Cache *ext;
  JP2_Cache *c;
  JP2_Memory_New(&m, CountMalloc, &count, CountFree, &count);
  JP2_Read_Data_New(&srcRd, m, ReadSource, &src);
  JP2_Read_Data_New(&storeRd, m, rd, &store);
  JP2_Write_Data_New(&storeWr, m, wr, &store);
  JP2_External_Cache_New(&ext, m, storeRd, storeWr, 512);
  ASSERT_EQ(JP2_ERR_GENERAL, JP2_Cache_New(&c, m, srcRd, 2, 0, nullptr));
  ASSERT_EQ(0, JP2_Cache_New(&c, m, srcRd, 2, 0, ext));
  U8 buf[600];
  U32 got;
  ASSERT_EQ(0, JP2_Cache_Read(c, 700, 600, &got, buf));
  EXPECT_EQ(600u, got);
  for (int i = 0; i < 600; i++) ASSERT_EQ((U8)((700 + i) * 3), buf[i]);
  ASSERT_EQ(0, JP2_Cache_Read(c, 2990, 20, &got, buf));
  EXPECT_EQ(10u, got);
  EXPECT_EQ((U8)(2990 * 3), buf[0]);
  JP2_Cache_Delete(&c);
  JP2_External_Cache_Delete(&ext, m);
  JP2_Write_Data_Delete(&storeWr, m);
  JP2_Read_Data_Delete(&storeRd, m);
  JP2_Read_Data_Delete(&srcRd, m);
  JP2_Memory_Delete(&m);
  EXPECT_EQ(count.allocs, count.frees);
}

TEST(Jp2Memory, ReallocKeepsTheOldBlockWhenItCannotGrow) {
  Counter count;
  JP2_Memory *m;
  ASSERT_EQ(0, JP2_Memory_New(&m, CountMalloc, &count, CountFree, &count));
  U8 *p = (U8 *)JP2_Memory_Alloc(m, 16);
  memset(p, 0x5A, 16);
  EXPECT_EQ(nullptr, JP2_Memory_Realloc(m, p, 16, 8));  // smaller: refused, old kept
  count.failAfter = count.allocs;                        // the next allocation fails
  EXPECT_EQ(nullptr, JP2_Memory_Realloc(m, p, 16, 64));
  EXPECT_EQ(0x5A, p[15]); // still ours
  count.failAfter = -1;
  U8 *q = (U8 *)JP2_Memory_Realloc(m, p, 16, 64);
  ASSERT_NE(nullptr, q);
  EXPECT_EQ(0x5A, q[15]);
  EXPECT_EQ(0, q[16]);
  JP2_Memory_Free(m, &q);
  EXPECT_EQ(nullptr, q);
  EXPECT_EQ(nullptr, JP2_Memory_Alloc(m, 0));
  JP2_Memory_Delete(&m);
  EXPECT_EQ(count.allocs, count.frees);
}

TEST(Jp2Memory, BuiltInAllocatorRefusesWhatNoPartitionHolds) {
  EXPECT_EQ(nullptr, JP2_Memory_Default_Malloc(819897, nullptr));
  void *p = JP2_Memory_Default_Malloc(819896, nullptr);
  ASSERT_NE(nullptr, p);
  EXPECT_EQ(0, JP2_Memory_Default_Free(p, nullptr));
}

TEST(Jp2Memory, CommonArithmetic) {
  EXPECT_EQ(6, JP2_Common_GCD(12, 18));
  EXPECT_EQ(36, JP2_Common_LCM(12, 18));
  U32 v = 13;
  JP2_Memory_Align(&v);
  EXPECT_EQ(16u, v);
  EXPECT_EQ(0, JP2_Common_Get_Native_Byte_Order());
}
