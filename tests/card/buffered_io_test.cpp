// Block-buffered card files: the handle interface's reads, seeks, writes and appends, and the command interface
// over a caller's stream, checked against the bytes on disk.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "card/mmc_buffered.h"
#include "kernel/memory.h"

namespace {

std::vector<U8> pattern(size_t szCount, U8 u8Seed) {
  std::vector<U8> v(szCount);
  for (size_t i = 0; i < szCount; ++i) v[i] = static_cast<U8>(i * 7 + u8Seed + i / 251);
  return v;
}

class BufferedIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char acTemplate[] = "/tmp/corvan-bufio-XXXXXX";
    m_sDir = mkdtemp(acTemplate);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(m_sDir, ec);
  }
  std::string file(const std::vector<U8> &vBytes) {
    const std::string sPath = m_sDir + "/f" + std::to_string(m_nFiles++);
    std::ofstream(sPath, std::ios::binary).write(reinterpret_cast<const char *>(vBytes.data()),
                                                 static_cast<std::streamsize>(vBytes.size()));
    return sPath;
  }
  static std::vector<U8> contents(const std::string &sPath) {
    std::ifstream in(sPath, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::string m_sDir;
  int m_nFiles = 0;
};

TEST_F(BufferedIoTest, OpenAcceptsOnlyTheSixModesAndTheDefaultBufferIsTheCallersOrOwned) {
  const std::string sPath = file(pattern(10, 1));
  for (const char *pcMode : {"r+", "rb+", "w+", "a+", "R", "", "rw"}) {
    EXPECT_EQ(U_MMC_psBufferedOpen(sPath.c_str(), pcMode, nullptr, 0), nullptr) << pcMode;
  }
  EXPECT_EQ(U_MMC_psBufferedOpen((m_sDir + "/missing").c_str(), "rb", nullptr, 0), nullptr);
  std::vector<U8> vLent(8192);
  for (const char *pcMode : {"r", "rb", "w", "wb", "a", "ab"}) {
    BUFFERED_IO_CONTROL *pIo = U_MMC_psBufferedOpen(file(pattern(10, 1)).c_str(), pcMode, vLent.data(), 0);
    ASSERT_NE(pIo, nullptr) << pcMode;
    EXPECT_EQ(pIo->numBufferSize, 4096);
    EXPECT_EQ(pIo->pcBuffer, vLent.data());
    EXPECT_FALSE(pIo->bAllocated);
    EXPECT_EQ(U_MMC_nBufferedClose(pIo), 0);
  }
  BUFFERED_IO_CONTROL *pIo = U_MMC_psBufferedOpen(sPath.c_str(), "rb", nullptr, 100);
  ASSERT_NE(pIo, nullptr);
  EXPECT_EQ(pIo->numBufferSize, 100);
  EXPECT_TRUE(pIo->bAllocated);
  EXPECT_EQ(H_MEMORY_u32BlockSize(pIo->pcBuffer) >= 100u, true);
  EXPECT_EQ(U_MMC_nBufferedClose(pIo), 0);
}

TEST_F(BufferedIoTest, ReadsSeeksAndTellsInWholeAlignedBlocks) {
  const std::vector<U8> vData = pattern(10000, 3);
  BUFFERED_IO_CONTROL *pIo = U_MMC_psBufferedOpen(file(vData).c_str(), "rb", nullptr, 0);
  ASSERT_NE(pIo, nullptr);
  EXPECT_EQ(U_MMC_nBufferedTell(pIo), 0);
  std::vector<U8> vOut(20000);
  ASSERT_EQ(U_MMC_nBufferedRead(vOut.data(), 10, pIo), 10);
  EXPECT_EQ(std::ftell(pIo->pFile), 4096);  // the first read filled one buffer from position 0
  EXPECT_EQ(U_MMC_nBufferedTell(pIo), 10);
  // Origin 1, offset 0 inside the buffer: nothing reread.
  ASSERT_EQ(U_MMC_nBufferedSeek(pIo, 0, 1), 0);
  EXPECT_EQ(std::ftell(pIo->pFile), 4096);
  EXPECT_EQ(U_MMC_nBufferedTell(pIo), 10);
  struct Case {
    long lOffset;
    int nOrigin;
    int nResult;
    long lPosition;    // logical position afterwards
    long lStream;      // stream position afterwards (block end)
  };
  const Case cases[] = {
      {5000, 0, 0, 5000, 8192},    // another block: read whole from its aligned start
      {-4000, 1, 0, 1000, 4096},   // back into the first block
      {4096, 0, 0, 4096, 4096},    // just after the held bytes: no read
      {-100, 2, 0, 9900, 10000},   // from the end, in the short last block
      {0, 3, -1, 9900, 10000},     // unknown origin
      {-20000, 1, -1, 9900, 10000},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(U_MMC_nBufferedSeek(pIo, c.lOffset, c.nOrigin), c.nResult) << c.lOffset;
    EXPECT_EQ(U_MMC_nBufferedTell(pIo), c.lPosition) << c.lOffset;
    EXPECT_EQ(std::ftell(pIo->pFile), c.lStream) << c.lOffset;
    U8 u8 = 0;
    if (c.lPosition < 10000) {
      ASSERT_EQ(U_MMC_nBufferedRead(&u8, 1, pIo), 1);
      EXPECT_EQ(u8, vData[static_cast<size_t>(c.lPosition)]);
      ASSERT_EQ(U_MMC_nBufferedSeek(pIo, -1, 1), 0);
    }
  }
  // Past the end: the rest, then nothing.
  ASSERT_EQ(U_MMC_nBufferedSeek(pIo, 9000, 0), 0);
  EXPECT_EQ(U_MMC_nBufferedRead(vOut.data(), 5000, pIo), 1000);
  EXPECT_TRUE(std::equal(vOut.begin(), vOut.begin() + 1000, vData.begin() + 9000));
  EXPECT_EQ(U_MMC_nBufferedRead(vOut.data(), 5000, pIo), 0);
  EXPECT_EQ(U_MMC_nBufferedRead(vOut.data(), 0, pIo), 0);
  EXPECT_EQ(U_MMC_nBufferedWrite(vOut.data(), 10, pIo), 0);
  EXPECT_EQ(U_MMC_nBufferedFlush(pIo), 0);
  EXPECT_EQ(U_MMC_nBufferedClose(pIo), 0);
}

TEST_F(BufferedIoTest, HandleWritesGoOutAsWholeBlocksAndSeekIsRefused) {
  const std::string sPath = m_sDir + "/out";
  BUFFERED_IO_CONTROL *pIo = U_MMC_psBufferedOpen(sPath.c_str(), "wb", nullptr, 0);
  ASSERT_NE(pIo, nullptr);
  EXPECT_EQ(U_MMC_nBufferedSeek(pIo, 0, 0), -1);
  const std::vector<U8> vData = pattern(4096 + 100, 5);
  EXPECT_EQ(U_MMC_nBufferedWrite(vData.data(), 4096, pIo), 4096);
  EXPECT_EQ(contents(sPath).size() + static_cast<size_t>(std::ftell(pIo->pFile)) >= 4096u, true);
  EXPECT_EQ(pIo->numCount, 0);
  EXPECT_EQ(std::ftell(pIo->pFile), 4096);
  EXPECT_EQ(U_MMC_nBufferedWrite(vData.data() + 4096, 100, pIo), 100);
  EXPECT_EQ(U_MMC_nBufferedTell(pIo), 4196);
  EXPECT_EQ(U_MMC_nBufferedClose(pIo), 0);
  EXPECT_EQ(contents(sPath), vData);
}

TEST_F(BufferedIoTest, AppendRewritesTheTailInPlaceAndCreatesAMissingFile) {
  const std::vector<U8> vOld = pattern(10000, 9);
  const std::string sPath = file(vOld);
  BUFFERED_IO_CONTROL *pIo = U_MMC_psBufferedOpen(sPath.c_str(), "ab", nullptr, 0);
  ASSERT_NE(pIo, nullptr);
  EXPECT_EQ(pIo->numCount, 1808);
  EXPECT_TRUE(std::equal(pIo->pcBuffer, pIo->pcBuffer + 1808, vOld.begin() + 8192));
  EXPECT_EQ(U_MMC_nBufferedTell(pIo), 10000);
  const std::vector<U8> vNew = pattern(2288, 77);
  EXPECT_EQ(U_MMC_nBufferedWrite(vNew.data(), 2288, pIo), 2288);
  fflush(pIo->pFile);
  std::vector<U8> vExpected = vOld;
  vExpected.insert(vExpected.end(), vNew.begin(), vNew.end());
  EXPECT_EQ(contents(sPath), vExpected);  // bytes 8192..12287 written whole, once
  EXPECT_EQ(U_MMC_nBufferedClose(pIo), 0);
  EXPECT_EQ(contents(sPath), vExpected);

  const std::string sMissing = m_sDir + "/new";
  pIo = U_MMC_psBufferedOpen(sMissing.c_str(), "a", nullptr, 0);
  ASSERT_NE(pIo, nullptr);
  EXPECT_EQ(U_MMC_nBufferedTell(pIo), 0);
  EXPECT_EQ(U_MMC_nBufferedWrite(vNew.data(), 10, pIo), 10);
  EXPECT_EQ(U_MMC_nBufferedClose(pIo), 0);
  EXPECT_EQ(contents(sMissing), std::vector<U8>(vNew.begin(), vNew.begin() + 10));
}

TEST_F(BufferedIoTest, CommandInterfaceBuffersTheCallersStream) {
  const std::string sPath = m_sDir + "/cmd";
  BUFFERED_IO_CONTROL io{};
  FILE *pFile = std::fopen(sPath.c_str(), "wb");
  ASSERT_NE(pFile, nullptr);
  EXPECT_TRUE(U_MMC_bBufferedIO(static_cast<BUFFERED_IO_COMMAND>(0), &io, nullptr, 0, pFile));
  EXPECT_TRUE(U_MMC_bBufferedIO(static_cast<BUFFERED_IO_COMMAND>(7), &io, nullptr, 0, pFile));
  EXPECT_EQ(io.pcBuffer, nullptr);
  ASSERT_TRUE(U_MMC_bBufferedIO(INITIALIZE_WRITE, &io, nullptr, 16, pFile));
  EXPECT_EQ(io.numCount, 16);
  const std::vector<U8> vData = pattern(40, 2);
  EXPECT_TRUE(U_MMC_bBufferedIO(BUFFERED_WRITE, &io, const_cast<U8 *>(vData.data()), 40, pFile));
  EXPECT_EQ(io.numCount, 8);
  EXPECT_TRUE(U_MMC_bBufferedIO(CLOSE_WRITE, &io, nullptr, 0, pFile));
  EXPECT_EQ(io.pcBuffer, nullptr);
  EXPECT_EQ(contents(sPath), vData);

  // Nothing filled: nothing written, TRUE.
  pFile = std::fopen(sPath.c_str(), "wb");
  ASSERT_TRUE(U_MMC_bBufferedIO(INITIALIZE_WRITE, &io, nullptr, 0, pFile));
  EXPECT_TRUE(U_MMC_bBufferedIO(CLOSE_WRITE, &io, nullptr, 0, pFile));
  EXPECT_TRUE(contents(sPath).empty());

  pFile = std::fopen(sPath.c_str(), "rb");
  ASSERT_FALSE(U_MMC_bBufferedIO(INITIALIZE_READ, &io, nullptr, 0, pFile));  // empty file
  EXPECT_TRUE(U_MMC_bBufferedIO(CLOSE_READ, &io, nullptr, 0, pFile));
  std::ofstream(sPath, std::ios::binary).write(reinterpret_cast<const char *>(vData.data()), 40);
  pFile = std::fopen(sPath.c_str(), "rb");
  std::vector<U8> vLent(16), vOut(40);
  ASSERT_TRUE(U_MMC_bBufferedIO(INITIALIZE_READ, &io, vLent.data(), 16, pFile));
  EXPECT_TRUE(U_MMC_bBufferedIO(BUFFERED_READ, &io, vOut.data(), 40, pFile));
  EXPECT_EQ(vOut, vData);
  EXPECT_FALSE(U_MMC_bBufferedIO(BUFFERED_READ, &io, vOut.data(), 1, pFile));
  EXPECT_TRUE(U_MMC_bBufferedIO(CLOSE_READ, &io, nullptr, 0, pFile));
  EXPECT_FALSE(U_MMC_bBufferedIO(BUFFERED_READ, &io, vOut.data(), 1, nullptr));
}

TEST_F(BufferedIoTest, FailuresAtCloseAreReported) {
  // The stream's own buffer holds the bytes until the close, which is where a full card shows.
  BUFFERED_IO_CONTROL io{};
  FILE *pFile = std::fopen("/dev/full", "wb");
  ASSERT_NE(pFile, nullptr);
  ASSERT_TRUE(U_MMC_bBufferedIO(INITIALIZE_WRITE, &io, nullptr, 0, pFile));
  const std::vector<U8> vData = pattern(100, 1);
  EXPECT_TRUE(U_MMC_bBufferedIO(BUFFERED_WRITE, &io, const_cast<U8 *>(vData.data()), 100, pFile));
  EXPECT_FALSE(U_MMC_bBufferedIO(CLOSE_WRITE, &io, nullptr, 0, pFile));

  BUFFERED_IO_CONTROL *pIo = U_MMC_psBufferedOpen("/dev/full", "wb", nullptr, 0);
  ASSERT_NE(pIo, nullptr);
  EXPECT_EQ(U_MMC_nBufferedWrite(vData.data(), 100, pIo), 100);
  EXPECT_EQ(U_MMC_nBufferedClose(pIo), -1);

  BUFFERED_IO_CONTROL bare{};
  EXPECT_EQ(U_MMC_nBufferedClose(&bare), -1);
}

}  // namespace
