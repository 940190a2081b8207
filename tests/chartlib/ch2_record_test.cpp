// Record framing, record search, the signature and the read seam.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "chart_files.h"
#include "chart_writer.h"
#include "chartlib/reader/ch2_record.h"

using namespace chart_fixture;

namespace {

class Ch2Record : public ::testing::Test {
 protected:
  ChartFiles files;
};

struct FramingCase {
  const char *name;
  std::vector<uint8_t> bytes;  // header, length, data
  UINT16 type;
  UCHAR width;
  UINT32 length;
  bool valid;
};

TEST_F(Ch2Record, FramesEveryLengthWidth) {
  const FramingCase cases[] = {
      {"valid type 4, bits 6-7 = 11: 4-byte length", {0xC4, 0x80, 3, 0, 0, 0, 9, 9, 9}, 4, 4, 3, true},
      {"deleted type 4, 2-byte length", {0x44, 0x00, 3, 0, 9, 9, 9}, 4, 2, 3, false},
      {"bits 6-7 = 10: 4-byte length", {0x84, 0x80, 2, 0, 0, 0, 9, 9}, 4, 4, 2, true},
      {"bits 6-7 = 00: 1-byte length", {0x11, 0x80, 2, 9, 9}, 17, 1, 2, true},
      {"length 0", {0x12, 0x80, 0}, 18, 1, 0, true},
      {"bits 8-14 kept in the raw header", {0x13, 0xC7, 1, 9}, 19, 1, 1, true},
  };
  for (const FramingCase &c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> image(10 + c.bytes.size(), 0xEE);  // the record at address 10
    for (size_t i = 0; i < c.bytes.size(); ++i) image[10 + i] = c.bytes[i];
    files.OpenImage(3, image);
    RECORDCONTEXT2 rc{};
    SetRecordContext(&rc, 3, 10);
    EXPECT_EQ(GetRecordTypeAndLength(&rc), c.type);
    EXPECT_EQ(rc.usRecordType, static_cast<UINT16>(c.bytes[0] | c.bytes[1] << 8));
    EXPECT_EQ(rc.ucNoOfBytesForLengthsWithinRecord, c.width);
    EXPECT_EQ(rc.ulRecordLength, c.length);
    EXPECT_EQ(rc.ulRecordAddress, 10u + 2 + c.width);
    EXPECT_EQ(rc.ulNextRecordAddress, rc.ulRecordAddress + c.length);
    EXPECT_EQ(rc.sChartContext.Address, rc.ulRecordAddress);
    EXPECT_EQ(IsRecordValid(&rc) != 0, c.valid);
    EXPECT_EQ(IsRecordDeleted(&rc) != 0, !c.valid);
    EXPECT_EQ(NotEndOfRecord(&rc) != 0, c.length != 0);
    EXPECT_EQ(IsEndOfRecord(&rc) != 0, c.length == 0);
  }
}

TEST_F(Ch2Record, PointerOperationsAndBlocksWithinRecord) {
  ChartWriter w;
  const uint32_t at = w.Record(33, Bytes().U16(3).U8(1).U8(2).U8(3).U16(0x1234), Width::Two);
  const uint32_t second = w.Record(34, Bytes().U8(7), Width::One);
  files.OpenImage(0, w.Data());
  RECORDCONTEXT2 rc{};
  SetRecordContext(&rc, 0, at);
  SetRecordReadingType(&rc, CH2_READ_FEATURES);
  EXPECT_EQ(rc.sChartContext.ReadingType, CH2_READ_FEATURES);
  GetRecordTypeAndLength(&rc);
  EXPECT_EQ(SkipBlockWithinRecord(&rc.sChartContext), 3);
  EXPECT_EQ(ch2_ReadWord(&rc.sChartContext), 0x1234);
  EXPECT_TRUE(IsEndOfRecord(&rc));
  MoveRecordPointer(&rc, -2);
  EXPECT_TRUE(NotEndOfRecord(&rc));
  EXPECT_EQ(GetNextRecordTypeAndLength(&rc), 34);
  EXPECT_EQ(rc.ulRecordAddress, second + 3);
  ResetRecordPointer(&rc);
  EXPECT_EQ(rc.sChartContext.Address, 0u);
  SetRecordPointer(&rc, 4);
  EXPECT_EQ(ch2_ReadLong(&rc.sChartContext), CH2_SIGNATURE);
}

// A chain to search and where the search should end (0: nothing found).
struct SearchCase {
  const char *name;
  std::function<uint32_t(ChartWriter &)> build;  // returns the data address expected, or 0
};

TEST_F(Ch2Record, FindRecordWalksTheChain) {
  const SearchCase cases[] = {
      {"steps over a deleted type 4",
       [](ChartWriter &w) {
         w.Record(4, Bytes().U32(1), Width::Four, false);
         w.Record(6, Bytes().U32(2), Width::One);
         const uint32_t found = w.Record(4, Bytes().U32(3), Width::FourAlt);
         w.Link(kEndOfChain);
         return found + 6;
       }},
      {"a link of 0xFFFFFFFF ends the search",
       [](ChartWriter &w) {
         w.Record(6, Bytes(), Width::One);
         w.Link(kEndOfChain);
         w.Record(4, Bytes().U32(3), Width::Four);  // behind the end
         return 0u;
       }},
      {"a deleted link is still followed",
       [](ChartWriter &w) {
         const uint32_t link = w.Link(0, false, Width::Four);
         w.Record(4, Bytes().U32(9), Width::Four, false);
         w.Link(kEndOfChain);
         const uint32_t found = w.Record(4, Bytes().U32(3), Width::Two);
         w.Link(kEndOfChain);
         w.PatchLink(link, found);
         return found + 4;
       }},
      {"a link of any width continues at its address",
       [](ChartWriter &w) {
         const uint32_t link = w.Link(0, true, Width::Two);
         w.Record(5, Bytes().Zeros(40), Width::One);
         const uint32_t found = w.Record(4, Bytes().U32(3), Width::One);
         w.PatchLink(link, found);
         return found + 3;
       }},
      {"a chain that loops back on itself ends with 0",
       [](ChartWriter &w) {
         const uint32_t start = w.Record(6, Bytes().U32(1), Width::One);
         w.Link(start);
         return 0u;
       }},
      {"a link to itself ends with 0",
       [](ChartWriter &w) {
         const uint32_t link = w.Link(0);
         w.PatchLink(link, link);
         return 0u;
       }},
  };
  for (const SearchCase &c : cases) {
    SCOPED_TRACE(c.name);
    ChartWriter w;
    const uint32_t expected = c.build(w);
    files.OpenImage(1, w.Data());
    RECORDCONTEXT2 rc{};
    SetRecordContext(&rc, 1, 0);
    const UINT16 found = FindRecord(&rc, CH2_REC_MAP_DIRECTORY);
    if (expected == 0) {
      EXPECT_EQ(found, 0);
    } else {
      EXPECT_EQ(found, CH2_REC_MAP_DIRECTORY);
      EXPECT_EQ(rc.ulRecordAddress, expected);
      EXPECT_EQ(rc.sChartContext.Address, expected);
      EXPECT_EQ(ch2_ReadLong(&rc.sChartContext), 3u);
    }
  }
}

TEST_F(Ch2Record, ChartPresenceNeedsTheSignature) {
  files.OpenImage(0, ChartWriter(true).Data());
  files.OpenImage(1, ChartWriter(false).Data());
  EXPECT_EQ(ch2_ChartPresence(0), CL_SUCCESS);
  EXPECT_EQ(ch2_ChartPresence(1), CH2_WARN_NO_SIGNATURE);
  EXPECT_EQ(ch2_ChartPresence(2), CH2_WARN_NO_SIGNATURE);  // an empty slot, no recovery point
}

TEST_F(Ch2Record, ReadsAreLittleEndianAcrossBlocks) {
  std::vector<uint8_t> image(1100);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7 + 1);
  const auto path = std::filesystem::temp_directory_path() / ("ch2_blocks_" + std::to_string(::getpid()));
  ASSERT_TRUE(WriteFile(path.string(), image));
  files.OpenImage(0, image);
  ASSERT_TRUE(files.OpenFile(1, path.string()));
  for (SINT slot : {0, 1}) {
    SCOPED_TRACE(slot);
    for (UINT32 at : {0u, 509u, 510u, 511u, 1023u, 1096u}) {
      CHARTCONTEXT2 cc{slot, at, 0};
      const UINT32 expected = image[at] | image[at + 1] << 8 | image[at + 2] << 16 | UINT32{image[at + 3]} << 24;
      EXPECT_EQ(ch2_ReadLong(&cc), expected) << at;
      EXPECT_EQ(cc.Address, at + 4);
      cc.Address = at;
      EXPECT_EQ(ch2_ReadWord(&cc), image[at] | image[at + 1] << 8);
      EXPECT_EQ(ch2_ReadByte(&cc), image[at + 2]);
      EXPECT_EQ(cc.Address, at + 3);
    }
    UCHAR buf[600];
    CHARTCONTEXT2 cc{slot, 300, 0};
    EXPECT_EQ(ch2_ReadBlock(buf, sizeof buf, &cc), 600);
    EXPECT_EQ(cc.Address, 900u);
    EXPECT_TRUE(std::equal(buf, buf + 600, image.begin() + 300));
    CHART_CONTEXT pc{slot, 510};
    EXPECT_EQ(ch_ReadByte(&pc), image[510]);
    EXPECT_EQ(ch_ReadWord(&pc), image[511] | image[512] << 8);
    const UINT32 u = ch_GetChUDblWord(&pc);
    pc.Address -= 4;
    EXPECT_EQ(ch_GetChSDblWord(&pc), static_cast<SLONG>(u));
    EXPECT_EQ(pc.Address, 517u);
  }
  std::filesystem::remove(path);
}

// How a read fails.
struct FailureCase {
  const char *name;
  std::function<void(ChartFiles &)> damage;
  UINT32 address;
};

TEST_F(Ch2Record, FailedReadsThrowOnlyToARecoveryPoint) {
  const FailureCase cases[] = {
      {"empty slot", [](ChartFiles &f) { f.Close(5); }, 0},
      {"past the end", [](ChartFiles &) {}, 1022},
      {"medium error in the second block", [](ChartFiles &f) { f.FailBlock(5, 1); }, 510},
  };
  for (const FailureCase &c : cases) {
    SCOPED_TRACE(c.name);
    files.OpenImage(5, std::vector<uint8_t>(1024, 0x5A));
    c.damage(files);
    CHARTCONTEXT2 cc{5, c.address, 0};
    EXPECT_EQ(ch2_ReadLong(&cc), 0xFFFFFFFFu);
    EXPECT_EQ(cc.Address, c.address + 4);
    cc.Address = c.address;
    if (c.address == 0) {
      EXPECT_EQ(ch2_ReadByte(&cc), -1);
      EXPECT_EQ(ch2_ReadWord(&cc), -1);
    }
    UCHAR buf[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    cc.Address = c.address;
    EXPECT_EQ(ch2_ReadBlock(buf, 8, &cc), -1);
    EXPECT_EQ(buf[0], 0);
    CHART_CONTEXT pc{5, c.address};
    EXPECT_EQ(ch_GetChSDblWord(&pc), -1);

    bool thrown = false;
    try {
      CH2_RecoveryPoint point;
      cc.Address = c.address;
      ch2_ReadLong(&cc);
      ADD_FAILURE() << "the read returned";
    } catch (const CH2_ReadFailure &e) {
      thrown = true;
      EXPECT_EQ(e.ChartId, 5);
    }
    EXPECT_TRUE(thrown);
    EXPECT_FALSE(CH2_RecoveryPoint::Armed());
  }
}

TEST_F(Ch2Record, RecoveryPointsBelongToTheirThread) {
  CH2_RecoveryPoint point;
  SINT elsewhere = 0;
  bool armedElsewhere = true;
  std::thread other([&] {
    armedElsewhere = CH2_RecoveryPoint::Armed();
    CHARTCONTEXT2 cc{9, 0, 0};
    elsewhere = ch2_ReadByte(&cc);  // no point on this thread: -1
  });
  other.join();
  EXPECT_FALSE(armedElsewhere);
  EXPECT_EQ(elsewhere, -1);
  CHARTCONTEXT2 cc{9, 0, 0};
  EXPECT_THROW(ch2_ReadByte(&cc), CH2_ReadFailure);
  {
    CH2_RecoveryPoint inner;  // points nest
  }
  EXPECT_TRUE(CH2_RecoveryPoint::Armed());
}

TEST_F(Ch2Record, CheckFileLooksInThePhotoFolderOfTheCard) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("ch2_card_" + std::to_string(::getpid()));
  fs::create_directories(root / "DARAVAZO/CHARTS/TOPDOWN/sub");
  std::ofstream(root / "DARAVAZO/CHARTS/TOPDOWN/sub/A1.jpg") << "x";
  std::ofstream(root / "DARAVAZO/CHARTS/secret.txt") << "x";
  files.OpenImage(2, ChartWriter().Data());
  files.SetCardRoot(2, root.string());
  const struct {
    SINT slot;
    const char *path;
    SINT expected;
  } cases[] = {
      {2, "sub/A1.jpg", 1},   {2, "sub/A2.jpg", 0},        {2, "sub", 0},
      {2, "../secret.txt", 0}, {2, "sub/../../secret.txt", 0}, {2, "/etc/passwd", 0},
      {3, "sub/A1.jpg", 0},   {-1, "sub/A1.jpg", 0},       {2, "", 0},
  };
  for (const auto &c : cases) EXPECT_EQ(ap_CheckFile(c.slot, c.path), c.expected) << c.slot << " " << c.path;
  fs::remove_all(root);
}

}  // namespace
