// The allocator: partition choice, fall-back, waiting, reallocation, the block service and the fatal path.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <ostream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "kernel/mbox.h"
#include "kernel/mem_partition.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "test_environment.h"

namespace {

struct SizeCase {
  U32 request;
  U32 usable;  // of the block that serves it
};

void PrintTo(const SizeCase &size, std::ostream *pOut) { *pOut << size.request << " bytes"; }

std::string sizeCaseName(const ::testing::TestParamInfo<SizeCase> &info) {
  return "Request" + std::to_string(info.param.request);
}

class PartitionChoice : public ::testing::TestWithParam<SizeCase> {};

TEST_P(PartitionChoice, SmallestFittingPartitionAlignedForAnyType) {
  void *pvBlock = H_MEMORY_pvMalloc(GetParam().request);
  ASSERT_NE(pvBlock, nullptr);
  EXPECT_EQ(H_MEMORY_u32BlockSize(pvBlock), GetParam().usable);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(pvBlock) % alignof(std::max_align_t), 0u);
  std::memset(pvBlock, 0xA5, GetParam().request);  // the whole request is usable (ASan checks the bounds)
  H_MEMORY_vFree(pvBlock);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PartitionChoice,
                         ::testing::Values(SizeCase{0, 44}, SizeCase{44, 44}, SizeCase{45, 168}, SizeCase{168, 168},
                                           SizeCase{169, 1024}, SizeCase{4097, 8796}, SizeCase{8796, 8796},
                                           SizeCase{8797, 16384}, SizeCase{65537, 819896},
                                           SizeCase{819896, 819896}),
                         sizeCaseName);

// Takes every block of the partition with this usable size (and nothing else).
std::vector<void *> exhaust(U32 usable) {
  std::vector<void *> blocks;
  for (;;) {
    void *pvBlock = H_MEMORY_pvMallocNoWait(usable);
    if (pvBlock == nullptr || H_MEMORY_u32BlockSize(pvBlock) != usable) {
      H_MEMORY_vFree(pvBlock);
      return blocks;
    }
    blocks.push_back(pvBlock);
  }
}

void freeAll(std::vector<void *> &blocks) {
  for (void *pvBlock : blocks) H_MEMORY_vFree(pvBlock);
  blocks.clear();
}

TEST(Allocator, FallsBackToLargerPartitionsThenWaitsOnTheSmallest) {
  std::vector<void *> smallest = exhaust(44);
  EXPECT_EQ(smallest.size(), 2700u);
  void *pvFallback = H_MEMORY_pvMalloc(10);
  EXPECT_EQ(H_MEMORY_u32BlockSize(pvFallback), 168u);

  // Every partition from the smallest up is exhausted: NoWait gives up, the waiting form gets the next 44-byte
  // block that is freed.
  std::vector<void *> larger;
  for (U32 usable : {168u, 1024u, 4096u, 8796u, 16384u, 65536u, 819896u}) {
    std::vector<void *> blocks = exhaust(usable);
    larger.insert(larger.end(), blocks.begin(), blocks.end());
  }
  EXPECT_EQ(H_MEMORY_pvMallocNoWait(10), nullptr);
  void *pvWaited = nullptr;
  std::thread waiter([&] { pvWaited = H_MEMORY_pvMalloc(10); });
  void *pvFreed = smallest.back();
  smallest.pop_back();
  H_MEMORY_vFree(pvFreed);
  waiter.join();
  EXPECT_EQ(pvWaited, pvFreed);

  H_MEMORY_vFree(pvWaited);
  H_MEMORY_vFree(pvFallback);
  freeAll(larger);
  freeAll(smallest);
}

TEST(Allocator, ReallocMovesToTheSmallestFittingPartition) {
  char *pcBlock = static_cast<char *>(H_MEMORY_pvMalloc(40));
  for (int i = 0; i < 40; ++i) pcBlock[i] = static_cast<char>(i);
  char *pcGrown = static_cast<char *>(H_MEMORY_pvRealloc(pcBlock, 100));
  EXPECT_NE(pcGrown, pcBlock);
  EXPECT_EQ(H_MEMORY_u32BlockSize(pcGrown), 168u);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(pcGrown[i], static_cast<char>(i));
  for (int i = 40; i < 100; ++i) pcGrown[i] = static_cast<char>(i);

  EXPECT_EQ(H_MEMORY_pvRealloc(pcGrown, 120), pcGrown);  // still the smallest that fits

  char *pcShrunk = static_cast<char *>(H_MEMORY_pvRealloc(pcGrown, 30));
  EXPECT_EQ(H_MEMORY_u32BlockSize(pcShrunk), 44u);
  for (int i = 0; i < 30; ++i) EXPECT_EQ(pcShrunk[i], static_cast<char>(i));

  void *pvNew = H_MEMORY_pvRealloc(nullptr, 20);  // NULL: a plain allocation
  EXPECT_EQ(H_MEMORY_u32BlockSize(pvNew), 44u);
  H_MEMORY_vFree(pvNew);
  H_MEMORY_vFree(pcShrunk);
}

TEST(Allocator, CallocClears) {
  void *pvDirty = H_MEMORY_pvMalloc(1000);
  std::memset(pvDirty, 0xFF, 1000);
  H_MEMORY_vFree(pvDirty);
  const unsigned char *pu8Block = static_cast<unsigned char *>(H_MEMORY_pvCalloc(10, 100));
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(pu8Block[i], 0) << i;
  H_MEMORY_vFree(const_cast<unsigned char *>(pu8Block));
}

TEST(Allocator, DumpMailFreesOrAcknowledges) {
  // Without a semaphore the message goes back to its partition: it is the one free block afterwards.
  std::vector<void *> smallest = exhaust(44);
  GENERIC_MESSAGE *pMsg = static_cast<GENERIC_MESSAGE *>(smallest.back());
  smallest.pop_back();
  pMsg->msghdr.sema = 0;
  H_MEMORY_vDumpMail(pMsg);
  void *pvAgain = H_MEMORY_pvMallocNoWait(10);
  EXPECT_EQ(pvAgain, pMsg);

  // With a semaphore it stays the sender's and the semaphore is signalled.
  GENERIC_MESSAGE *pAcked = static_cast<GENERIC_MESSAGE *>(pvAgain);
  L_SEMA_SetPending(SEMA_SHUTDOWN_KEYB);
  pAcked->msghdr.sema = SEMA_SHUTDOWN_KEYB;
  H_MEMORY_vDumpMail(pAcked);
  EXPECT_EQ(L_SEMA_WaitTicks(SEMA_SHUTDOWN_KEYB, 0), 0);
  void *pvOther = H_MEMORY_pvMallocNoWait(10);  // not freed: the smallest partition is still full
  EXPECT_EQ(H_MEMORY_u32BlockSize(pvOther), 168u);
  H_MEMORY_vFree(pvOther);
  H_MEMORY_vFree(pAcked);
  freeAll(smallest);
}

TEST(BlockService, Codes) {
  alignas(16) static unsigned char body[64];
  H_MEMORY_vFree(H_MEMORY_pvMalloc(1));  // the allocator holds all eight partitions from now on
  EXPECT_EQ(L_MEM_Create(nullptr, 16, 4), -lsMAP_INVALID);
  EXPECT_EQ(L_MEM_Create(body, 0, 4), -lsMAP_INVALID);
  EXPECT_EQ(L_MEM_Create(body, 16, 0), -lsMAP_INVALID);
  EXPECT_EQ(L_MEM_Create(body, 16, 4), -lsMAP_NONE_AVAIL);
  EXPECT_EQ(L_MEM_Allocate(0), nullptr);
  EXPECT_EQ(L_MEM_Free(9, body), -lsMAP_INVALID);
  EXPECT_EQ(L_MEM_GetBlockSize(9), -lsMAP_INVALID);

  // Partition 1 serves the smallest blocks.
  const S32 blockSize = L_MEM_GetBlockSize(1);
  EXPECT_GT(blockSize, 44);
  EXPECT_EQ(blockSize % static_cast<S32>(alignof(std::max_align_t)), 0);
  unsigned char *pu8Block = static_cast<unsigned char *>(L_MEM_Allocate(1));
  ASSERT_NE(pu8Block, nullptr);
  EXPECT_EQ(L_MEM_Free(1, pu8Block + 4), -lsMAP_CROSSED);
  EXPECT_EQ(L_MEM_Free(1, body), -lsMAP_CROSSED);
  EXPECT_EQ(L_MEM_Free(1, pu8Block), 0);
}

TEST(BlockService, TimedWaitGivesUpAtTheLimit) {
  H_MEMORY_vFree(H_MEMORY_pvMalloc(1));
  std::vector<void *> taken;
  while (void *pvBlock = L_MEM_Allocate(8)) taken.push_back(pvBlock);
  EXPECT_EQ(taken.size(), 8u);
  EXPECT_EQ(L_MEM_AllocateWaitTicks(8, 0), nullptr);
  for (void *pvBlock : taken) L_MEM_Free(8, pvBlock);
  EXPECT_NE(L_MEM_AllocateWaitTicks(8, 0), nullptr);
}

// Requests above the largest block are fatal: FATAL.LOG gets a time line and the error line, status 10.
struct Request {
  const char *pcName;
  void (*pfCall)();
};

void PrintTo(const Request &request, std::ostream *pOut) { *pOut << request.pcName; }

class TooLargeDeathTest : public ::testing::TestWithParam<Request> {};

TEST_P(TooLargeDeathTest, FatalLogAndStatus10) {
  const std::string path = TEST_dataDirectory() + "/FATAL.LOG";
  std::remove(path.c_str());
  EXPECT_EXIT(GetParam().pfCall(), ::testing::ExitedWithCode(10), "");
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_TRUE(std::regex_match(text.str(),
                               std::regex(R"([A-Z][a-z]{2} [A-Z][a-z]{2} [ \d]\d \d\d:\d\d:\d\d \d{4}\n)"
                                          R"(error: Requesting a partition that is too large in memory\.cpp at \d+\n)")))
      << text.str();
}

INSTANTIATE_TEST_SUITE_P(Requests, TooLargeDeathTest,
                         ::testing::Values(Request{"Malloc", [] { H_MEMORY_pvMalloc(819897); }},
                                           Request{"MallocNoWait", [] { H_MEMORY_pvMallocNoWait(0xFFFFFFFFu); }},
                                           // 0x10000 * 0x10001 overflows 32 bits
                                           Request{"CallocOverflow", [] { H_MEMORY_pvCalloc(0x10000, 0x10001); }},
                                           Request{"Realloc", [] { H_MEMORY_pvRealloc(nullptr, 819897); }}),
                         [](const ::testing::TestParamInfo<Request> &info) { return std::string(info.param.pcName); });

}  // namespace
