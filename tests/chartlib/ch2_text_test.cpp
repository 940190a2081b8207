// Language directory, text-resource index and text lookup with fallback.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "chart_files.h"
#include "chart_writer.h"
#include "chartlib/reader/ch2_text.h"

using namespace chart_fixture;

namespace {

class Ch2Texts : public ::testing::Test {
 protected:
  // "en" (records a, b) and "fr" (Unicode), then the texts.
  void OpenTwoLanguages() {
    ChartWriter w;
    const uint32_t dir = LanguageDirectory(w, {{"en", false, 0}, {"fr", true, 0}});
    w.Link(kEndOfChain);
    PatchLanguageAddress(w, dir, 0, w.Here());
    TextRecord(w, 9, 20, {{9, "nine"}, {12, "twelve, a longer text"}, {20, "only english"}});
    TextRecord(w, 30, 40, {{30, "thirty"}, {40, "forty"}});
    w.Record(0, Bytes(), Width::One);
    PatchLanguageAddress(w, dir, 1, w.Here());
    // "neuf" as 16-bit units
    TextRecord(w, 9, 12, {{9, std::string("n\0e\0u\0f\0", 8)}, {12, std::string("a\0b\0c\0", 6)}});
    TextRecord(w, 30, 30, {{30, std::string("t\0", 2)}});
    w.Record(0, Bytes(), Width::One);
    files.OpenImage(0, w.Data());
  }
  std::string Text(UINT16 id, ERRORCODE *e, UINT16 capacity = 64) {
    UCHAR buf[64] = {};
    UINT16 len = capacity;
    *e = ch2_GetResourceText(id, rc.get(), buf, &len);
    return std::string(reinterpret_cast<char *>(buf), len);
  }
  ChartFiles files;
  std::unique_ptr<RESOURCECONTEXT2> rc = std::make_unique<RESOURCECONTEXT2>();
};

TEST_F(Ch2Texts, DirectorySelectionAndLookup) {
  OpenTwoLanguages();
  UINT32 count = 99;
  ASSERT_EQ(ch2_LoadLanguageDirectory(0, rc.get(), &count), CL_SUCCESS);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(ch2_SetLanguage("de", rc.get()), CH2_WARN_LANGUAGE_CODE);
  EXPECT_EQ(rc->usCurrentlySelectedLanguage, 0);
  ASSERT_EQ(ch2_LoadTextResourceTable(rc.get()), CL_SUCCESS);
  EXPECT_EQ(rc->sTextResourceTable.iNumOfEntries, 2);
  ERRORCODE e;
  EXPECT_EQ(Text(9, &e), "nine");
  EXPECT_EQ(e, CL_SUCCESS);
  EXPECT_EQ(Text(40, &e), "forty");
  EXPECT_EQ(Text(12, &e, 8), "twelve, ");  // a text longer than the buffer: capacity bytes
  EXPECT_EQ(Text(11, &e), "");            // inside a record's range, absent
  EXPECT_EQ(e, CH2_WARN_NO_TEXT);
  EXPECT_EQ(Text(25, &e), "");            // between records
  EXPECT_EQ(e, CH2_WARN_NO_TEXT);
  EXPECT_EQ(Text(41, &e), "");            // past a complete index
  EXPECT_EQ(e, CH2_WARN_NO_TEXT);
  UCHAR buf[4] = {'x', 'x', 'x', 'x'};
  UINT16 len = 4;
  EXPECT_EQ(ch2_GetResourceText(8, rc.get(), buf, &len), CH2_WARN_TEXT_ID_LOW);
  EXPECT_EQ(buf[0], 0);

  ASSERT_EQ(ch2_SetLanguage("fr", rc.get()), CL_SUCCESS);
  EXPECT_EQ(rc->usCurrentlySelectedLanguage, 1);
  UCHAR code[2];
  ch2_GetLanguage(code, rc.get());
  EXPECT_EQ(std::string(reinterpret_cast<char *>(code), 2), "fr");
  ASSERT_EQ(ch2_LoadTextResourceTable(rc.get()), CL_SUCCESS);
  EXPECT_EQ(Text(9, &e), std::string("n\0e\0u\0f\0", 8));
  EXPECT_EQ(Text(12, &e, 5).size(), 5u);  // reports 5 ...
  UCHAR units[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
  len = 5;
  ASSERT_EQ(ch2_GetResourceText(12, rc.get(), units, &len), CL_SUCCESS);
  EXPECT_EQ(len, 5);
  EXPECT_EQ(units[3], 0);     // ... of which two units are stored
  EXPECT_EQ(units[4], 0xEE);
  EXPECT_EQ(Text(20, &e), "only english");  // from the first language
  EXPECT_EQ(e, CL_SUCCESS);
  EXPECT_EQ(Text(41, &e), "");
  EXPECT_EQ(e, CH2_WARN_NO_TEXT);
  rc->usCurrentlySelectedLanguage = 2;
  EXPECT_EQ(ch2_LoadTextResourceTable(rc.get()), CH2_ERR_LANGUAGE_RANGE);
}

TEST_F(Ch2Texts, NoDirectoryAndNoSignature) {
  files.OpenImage(0, ChartWriter().Data());
  UINT32 count = 5;
  EXPECT_EQ(ch2_LoadLanguageDirectory(0, rc.get(), &count), CH2_ERR_NO_LANGUAGES);
  EXPECT_EQ(count, 0u);
  ChartWriter w(false);
  LanguageDirectory(w, {{"en", false, 0}});
  w.Link(kEndOfChain);
  files.OpenImage(1, w.Data());
  EXPECT_EQ(ch2_LoadLanguageDirectory(1, rc.get(), &count), CH2_WARN_NO_SIGNATURE);
  EXPECT_EQ(count, 1u);
}

TEST_F(Ch2Texts, FullIndexKeepsTheRecordThatDidNotFit) {
  ChartWriter w;
  const uint32_t dir = LanguageDirectory(w, {{"en", false, 0}});
  w.Link(kEndOfChain);
  PatchLanguageAddress(w, dir, 0, w.Here());
  for (uint16_t i = 0; i < 5001; ++i) {
    const uint16_t id = static_cast<uint16_t>(10 + 2 * i);
    TextRecord(w, id, id, {{id, "t" + std::to_string(id)}});
  }
  w.Record(0, Bytes(), Width::One);
  files.OpenImage(0, w.Data());
  UINT32 count;
  ASSERT_EQ(ch2_LoadLanguageDirectory(0, rc.get(), &count), CL_SUCCESS);
  EXPECT_EQ(ch2_LoadTextResourceTable(rc.get()), CH2_WARN_TEXT_INDEX_FULL);
  EXPECT_EQ(rc->sTextResourceTable.iNumOfEntries, 5000);
  ERRORCODE e;
  EXPECT_EQ(Text(10 + 2 * 5000, &e), "t10010");
  EXPECT_EQ(e, CL_SUCCESS);
  EXPECT_EQ(Text(10 + 2 * 4999, &e), "t10008");
  EXPECT_EQ(Text(5000, &e), "t5000");
}

}  // namespace
