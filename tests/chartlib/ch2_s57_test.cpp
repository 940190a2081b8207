#include <gtest/gtest.h>
#include <strings.h>

#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "chartlib/reader/ch2_s57.h"

namespace {

TEST(S57Tables, ObjectLists) {
  EXPECT_EQ(ch2_PositionOfAttributeInList(41, 82), 1);    // DEPARE, DRVAL1
  EXPECT_EQ(ch2_PositionOfAttributeInList(41, 109), -1);  // DEPARE, OBJNAM
  EXPECT_EQ(ch2_AttributeAtPositionForS57(71, 1), 35);    // LIGHTS, CATLIT
  EXPECT_EQ(ch2_AttributeAtPositionForS57(71, 64), 0);
  EXPECT_EQ(ch2_AttributeAtPositionForS57(71, 28), 0);    // past the list
  EXPECT_STREQ(ch2_GetS57CodeTextPointer(215), "panpho");
  EXPECT_STREQ(ch2_GetS57CodeTextPointer(0), "undef");
  EXPECT_STREQ(ch2_GetS57CodeTextPointer(180), "undef");
  // Every named object's list is framed uniqid first, atrb1 atrb2 last; c_mast carries nothing.
  for (int t = 1; t < 256; ++t) {
    const CH2_S57OBJECT &o = ch2_S57ObjectTable[t];
    if (o.ucType == 0 || t == 203) continue;
    SCOPED_TRACE(o.acAcronym);
    int n = 0;
    while (n < CH2_S57_MAX_ATTRIBUTES && o.ausAttributes[n]) ++n;
    ASSERT_GE(n, 3);
    EXPECT_EQ(o.ausAttributes[0], 191);
    EXPECT_EQ(o.ausAttributes[n - 2], 193);
    EXPECT_EQ(o.ausAttributes[n - 1], 194);
  }
  EXPECT_EQ(ch2_S57ObjectTable[203].ausAttributes[0], 0);
  // What the presentation reads of the format's own classes.
  EXPECT_GE(ch2_PositionOfAttributeInList(201, 164), 0);  // annota: dspcnt
  EXPECT_GE(ch2_PositionOfAttributeInList(201, 199), 0);  // annota: subcat
  EXPECT_GE(ch2_PositionOfAttributeInList(208, 158), 0);  // roaedg: catroa
  EXPECT_GE(ch2_PositionOfAttributeInList(214, 204), 0);  // psgiio: catser
  EXPECT_GE(ch2_PositionOfAttributeInList(159, 70), 0);   // WRECKS: CATWRK
  EXPECT_GE(ch2_PositionOfAttributeInList(42, 138), 0);   // DEPCNT: VALDCO
  EXPECT_EQ(ch2_S57ObjectTable[159].ucLayerId, 176);
}

TEST(S57Tables, AttributeEncodings) {
  EXPECT_EQ(ch2_GetAttributeStorageType(300), 0);
  EXPECT_EQ(ch2_GetAttributeStorageType(143), 'M');
  EXPECT_EQ(ch2_GetAttributeStorageType(0), ' ');
  SINT16 divisor = 0;
  UCHAR uc[2] = {};
  EXPECT_EQ(ch2_GetAttributeDetailsFromAttributeCode(143, &divisor, uc), 0);
  EXPECT_EQ(divisor, 100);
  EXPECT_EQ(uc[0], 2);
  EXPECT_EQ(uc[1], 2);
  EXPECT_EQ(ch2_GetAttributeDetailsFromAttributeCode(114, &divisor, uc), 0);  // POSACC
  EXPECT_EQ(divisor, 10);
  EXPECT_EQ(uc[0], 11);
  EXPECT_EQ(uc[1], 3);
  EXPECT_EQ(ch2_GetAttributeDetailsFromAttributeCode(258, &divisor, uc), -1);
  EXPECT_STREQ(ch2_GetAttributeCodeTextPointer(1), "BCNSHP");
  EXPECT_STREQ(ch2_GetAttributeTextDescription(257), "catmrk");
  EXPECT_EQ(ch2_GetAttributeCodeTextPointer(400), nullptr);
  EXPECT_EQ(ch2_GetAttributeStorageType(129), 'B');
  EXPECT_EQ(ch2_GetAttributeStorageType(182), 'F');
}

TEST(S57Tables, EnumTexts) {
  struct Case {
    UINT16 code, value;
    const char *text;
  } cases[] = {
      {1, 3, "Beacon tower"},        {1, 254, "Data not available"}, {1, 255, "Unknown"},
      {1, 2, "Withy"},               {1, 7, "Buoyant beacon"},       {1, 8, nullptr},  // past BCNSHP's run
      {1, 0, nullptr},               {109, 1, nullptr},              {6, 3, "Other tidal flow"},
      {6, 4, nullptr},               {66, 2, "Not IMO - adopted"},   {256, 2, "Bear Left"},
      {257, 1, "Starting point"},    {257, 253, nullptr},  // catmrk ends before the closing entry
      {116, 1, nullptr},             // PUNITS: no texts
      {181, 1, ch2_SystemTexts[1882]}, {242, 1, ch2_SystemTexts[1882]},  // rdunit and rounit share a run
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.code << " " << c.value);
    const char *t = ch2_GetAttributeEnumText(c.code, c.value);
    if (!c.text || !c.text[0]) {
      EXPECT_EQ(t, nullptr);
    } else {
      EXPECT_STREQ(t, c.text);
    }
  }
  EXPECT_STREQ(ch2_SystemTexts[0], "ERROR TEXT (ENGLISH)");
  EXPECT_STREQ(ch2_SystemTexts[2856], "UNKNOWN S57 CODE");
  EXPECT_STREQ(ch2_SystemTexts[10], "Conical (nun, ogival)");
}

// The catalogue as gdal-data ships it; one row per line, fields split at commas outside quotes.
std::vector<std::vector<std::string>> ReadCsv(const std::string &name) {
  std::vector<std::vector<std::string>> rows;
  std::ifstream in("/usr/share/gdal/" + name);
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> f(1);
    bool quoted = false, escaped = false;
    for (char ch : line) {
      if (escaped) {
        f.back() += ch;
        escaped = false;
      } else if (ch == '\\') {
        escaped = true;
      } else if (ch == '"')
        quoted = !quoted;
      else if (ch == ',' && !quoted)
        f.emplace_back();
      else
        f.back() += ch;
    }
    rows.push_back(f);
  }
  return rows;
}

bool Upper(const char *acr) { return acr[0] >= 'A' && acr[0] <= 'Z'; }

TEST(S57Tables, AgreeWithTheCatalogue) {
  auto attrs = ReadCsv("s57attributes.csv");
  auto objs = ReadCsv("s57objectclasses.csv");
  auto values = ReadCsv("s57expectedinput.csv");
  if (attrs.empty() || objs.empty() || values.empty()) GTEST_SKIP() << "gdal-data is not installed";
  std::map<std::string, int> catAttr;
  for (auto &r : attrs) catAttr[r[2]] = std::stoi(r[0]);
  std::set<std::string> catObj;
  for (auto &r : objs) catObj.insert(r[2]);
  std::map<int, std::map<int, std::string>> catValues;
  for (auto &r : values) catValues[std::stoi(r[0])][std::stoi(r[1])] = r[2];

  for (int t = 1; t < 256; ++t) {
    const char *acr = ch2_S57ObjectTable[t].acAcronym;
    if (ch2_S57ObjectTable[t].ucType && Upper(acr)) {
      EXPECT_TRUE(catObj.count(acr)) << acr;
    }
  }
  int enumerated = 0, withTexts = 0;
  for (int code = 1; code <= 257; ++code) {
    const CH2_S57ATTRIBUTE &e = ch2_S57AttributeTable[code];
    if (!Upper(e.acAcronym)) continue;
    ASSERT_TRUE(catAttr.count(e.acAcronym)) << e.acAcronym;
    if (e.ucStorage != 'E' && e.ucStorage != 'L') continue;
    ++enumerated;
    auto it = catValues.find(catAttr[e.acAcronym]);
    if (it == catValues.end()) continue;
    ++withTexts;
    for (auto &[v, meaning] : it->second) {
      if (code == 1 && v == 2) {  // the catalogue's "whity"
        EXPECT_STREQ(ch2_GetAttributeEnumText(code, v), "Withy");
        continue;
      }
      const char *ours = ch2_SystemTexts[e.usFirstTextOrDivisor + v - 1];
      EXPECT_EQ(strcasecmp(ours, meaning.c_str()), 0) << e.acAcronym << " " << v << " " << ours;
    }
  }
  int formatEnumerated = 0;
  for (int code = 1; code <= 257; ++code)
    formatEnumerated += ch2_S57AttributeTable[code].ucStorage == 'E' || ch2_S57AttributeTable[code].ucStorage == 'L';
  EXPECT_EQ(formatEnumerated, 141);
  EXPECT_EQ(withTexts, 96);
  EXPECT_GE(enumerated, withTexts);
}

}  // namespace
