// Attribute values by storage letter, the feature's presence mask and list order, and display control.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "chartlib/reader/ch2_attribute.h"
#include "feature_fixture.h"

using namespace chart_fixture;

namespace {

constexpr UCHAR kDepare = 41;
constexpr UINT16 kDrval1 = 82, kDrval2 = 83, kInform = 98, kObjnam = 109, kUniqid = 191;

class Ch2Attributes : public Ch2Features {
 protected:
  // Decodes one value written at a fresh address, for a feature with zoom range min..max.
  ERRORCODE DecodeAt(UINT16 code, const AttributeWriter &a, ATTRIBUTEINFO2 *out, int min = 0, int max = 0) {
    uint32_t at = 0;
    Open([&](FeatureWriter &f) {
      at = f.Raw(a.Data());
      firstFeature = f.End();
    });
    FEATURECONTEXT2 feature{};
    feature.sFeatureRecordInfo.cMinZoomLevel = static_cast<SCHAR>(min);
    feature.sFeatureRecordInfo.cMaxZoomLevel = static_cast<SCHAR>(max);
    CHARTCONTEXT2 cc{0, at, 3};
    std::memset(out, 0xA5, sizeof *out);
    const ERRORCODE e = GetAttributeIntoAttributeInfo(&cc, &feature, 0, code, out);
    EXPECT_LE(cc.Address, at + a.Data().size());
    return e;
  }
};

TEST_F(Ch2Attributes, EveryStorageLetterReadsBack) {
  struct Case {
    UINT16 code;
    AttributeWriter data;
    ERRORCODE result;
    UCHAR type;
    double number;  // the float or integer value, where the type has one
  };
  const Case cases[] = {
      {1, AttributeWriter().Value('E', 3), CL_SUCCESS, CH2_ATTR_ENUM, 3},              // BCNSHP
      {1, AttributeWriter().Marker('E', true), CH2_WARN_VALUE_UNKNOWN, CH2_ATTR_ENUM, 0},
      {1, AttributeWriter().Marker('E', false), CH2_WARN_VALUE_NOT_AVAILABLE, CH2_ATTR_ENUM, 0},
      {109, AttributeWriter().Value('T', 0x1234), CL_SUCCESS, CH2_ATTR_RESOURCE, 0x1234},  // OBJNAM
      {109, AttributeWriter().Marker('T', true), CH2_WARN_VALUE_UNKNOWN, CH2_ATTR_RESOURCE, 0},
      {127, AttributeWriter().Marker('B', false), CH2_WARN_VALUE_NOT_AVAILABLE, CH2_ATTR_RESOURCE, 0},
      {193, AttributeWriter().Value('G', 7), CL_SUCCESS, CH2_ATTR_CODE, 7},            // atrb1
      {140, AttributeWriter().Value('H', -100), CL_SUCCESS, CH2_ATTR_FLOAT, -1.0},      // VALMAG /100
      {140, AttributeWriter().Marker('H', true), CH2_WARN_VALUE_UNKNOWN, CH2_ATTR_FLOAT, 0},
      {130, AttributeWriter().Value('J', 25), CL_SUCCESS, CH2_ATTR_FLOAT, 2.5},         // SOUACC /10
      {130, AttributeWriter().Marker('J', false), CH2_WARN_VALUE_NOT_AVAILABLE, CH2_ATTR_FLOAT, 0},
      {85, AttributeWriter().Value('K', 1234), CL_SUCCESS, CH2_ATTR_FLOAT, 123.4},      // ELEVAT /10
      {85, AttributeWriter().Marker('K', true), CH2_WARN_VALUE_UNKNOWN, CH2_ATTR_FLOAT, 0},
      {143, AttributeWriter().Value('M', -250), CL_SUCCESS, CH2_ATTR_FLOAT, -2.5},      // VALSOU /100
      {143, AttributeWriter().Marker('M', true), CH2_WARN_VALUE_UNKNOWN, CH2_ATTR_FLOAT, 0},
      {215, AttributeWriter().Value('I', -7), CL_SUCCESS, CH2_ATTR_SIGNED, -7},         // ofsetx
      {215, AttributeWriter().Marker('I', false), CH2_WARN_VALUE_NOT_AVAILABLE, CH2_ATTR_SIGNED, 0},
      {168, AttributeWriter().Value('N', 0xFFFF), CL_SUCCESS, CH2_ATTR_SIGNED, 65535},  // grnend: no markers
      {188, AttributeWriter().Value('O', 300), CL_SUCCESS, CH2_ATTR_UNSIGNED, 300},     // sourid
      {188, AttributeWriter().Marker('O', false), CH2_WARN_VALUE_NOT_AVAILABLE, CH2_ATTR_UNSIGNED, 0},
      {191, AttributeWriter().Value('P', 99), CL_SUCCESS, CH2_ATTR_UNSIGNED, 99},       // uniqid
      {191, AttributeWriter().Marker('P', true), CH2_WARN_VALUE_UNKNOWN, CH2_ATTR_UNSIGNED, 0},
      {80, AttributeWriter().Marker('A', true), CH2_WARN_VALUE_UNKNOWN, CH2_ATTR_STRING, 0},  // DATEND
      {35, AttributeWriter().Marker('L', false), CH2_WARN_VALUE_NOT_AVAILABLE, CH2_ATTR_LIST, 0},
      {182, AttributeWriter().Value('P', 1), CH2_ERR_ATTRIBUTE_CODE, 0, 0},            // realen: undecodable
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "code " << c.code << " size " << c.data.Data().size());
    ATTRIBUTEINFO2 info;
    EXPECT_EQ(DecodeAt(c.code, c.data, &info), c.result);
    if (c.result == CH2_ERR_ATTRIBUTE_CODE) continue;
    EXPECT_EQ(info.usAttributeCode, c.code);
    EXPECT_EQ(info.ucAttributeType, c.type);
    if (c.result != CL_SUCCESS) {
      if (c.type == CH2_ATTR_STRING) {
        EXPECT_EQ(info.uAttributeValue.sString.iNoOfCharsInString, 0);
      }
      continue;
    }
    const auto &v = info.uAttributeValue;
    switch (c.type) {
      case CH2_ATTR_ENUM: EXPECT_EQ(v.ucEnum, c.number); break;
      case CH2_ATTR_FLOAT: EXPECT_NEAR(v.fFloat, c.number, 1e-4); break;
      case CH2_ATTR_SIGNED: EXPECT_EQ(v.slSignedInteger, c.number); break;
      default: EXPECT_EQ(v.ulUnsignedInteger, c.number); break;
    }
  }

  ATTRIBUTEINFO2 info;
  ASSERT_EQ(DecodeAt(80, AttributeWriter().Text("abc"), &info), CL_SUCCESS);
  EXPECT_EQ(info.ucAttributeType, CH2_ATTR_STRING);
  EXPECT_STREQ(info.uAttributeValue.sString.cString, "abc");
  ASSERT_EQ(DecodeAt(167, AttributeWriter().Text("hi"), &info), CL_SUCCESS);  // fropen, S
  EXPECT_EQ(info.uAttributeValue.sString.iNoOfCharsInString, 2);
  ASSERT_EQ(DecodeAt(35, AttributeWriter().List({1, 5}), &info), CL_SUCCESS);  // CATLIT
  EXPECT_EQ(info.uAttributeValue.sList.iNoInList, 2);
  EXPECT_EQ(info.uAttributeValue.sList.ucAttributeListValue[1], 5);
  EXPECT_EQ(DecodeAt(0, AttributeWriter().Value('E', 1), &info), CH2_ERR_ATTRIBUTE_CODE);
  EXPECT_EQ(info.ucAttributeType, 0);
  EXPECT_EQ(DecodeAt(300, AttributeWriter().Value('E', 1), &info), CH2_ERR_UNKNOWN_ATTRIBUTE);
}

TEST_F(Ch2Attributes, DisplayControl) {
  ATTRIBUTEINFO2 info;
  // zoom 3..5: three entries, the third repeating the second
  ASSERT_EQ(DecodeAt(164, AttributeWriter().Display({{0xB5, 0x1E5A, -3, 4}, {0x01, 0x0200, 1, 2}, {255, 0, 0, 0}}),
                     &info, 3, 5),
            CL_SUCCESS);
  const auto &dc = info.uAttributeValue.sDisplayControl;
  ASSERT_EQ(dc.iNoInDisplayControl, 3);
  EXPECT_EQ(dc.sForZoomLevel[2].iSymbolSizeAndRotation, 0x0200);
  EXPECT_EQ(dc.sForZoomLevel[2].cOffsetY, 2);
  SINT d, a, j, f, size, rot, ox, oy;
  EXPECT_EQ(ch2_DecodeAttributeDisplayControl(&dc.sForZoomLevel[0], &d, &a, &j, &f, &size, &rot, &ox, &oy), CL_SUCCESS);
  EXPECT_EQ((std::vector<SINT>{d, a, j, f, size, rot, ox, oy}), (std::vector<SINT>{1, 5, 1, 1, 15, 90, -3, 4}));
  // The first entry is always five bytes, even when it starts with 255.
  ASSERT_EQ(DecodeAt(164, AttributeWriter().Display({{255, 0x0010, 0, 0}}), &info, 2, 2), CL_SUCCESS);
  EXPECT_EQ(info.uAttributeValue.sDisplayControl.sForZoomLevel[0].iSymbolSizeAndRotation, 0x10);
  ASSERT_EQ(DecodeAt(164, AttributeWriter(), &info, 5, 3), CL_SUCCESS);
  EXPECT_EQ(info.uAttributeValue.sDisplayControl.iNoInDisplayControl, 0);
}

TEST_F(Ch2Attributes, PresenceOrderSkippingAndUnits) {
  // DEPARE positions 1 (DRVAL1) and 7 (INFORM) present; a feet layer.
  presence = {{kDepare, (1u << 30) | (1u << 24), 0}, {136, 0x80000000u, 0}};
  Open([](FeatureWriter &f) {
    f.Line(false, {0, 0, 1, 1}, kDepare, ZoomByte(0, 15), AttributeWriter().Value('M', 125).Value('T', 0x100).Data(), {});
    f.Line(false, {0, 0, 1, 1}, kDepare, ZoomByte(0, 15), {}, {});
    f.Point(136, ZoomByte(0, 15), AttributeWriter().Value('P', 42).Data(), -9800000, 5400000);
    f.End();
  }, 1);
  ASSERT_EQ(Next(0), CL_SUCCESS);
  ATTRIBUTEINFO2 info;
  ASSERT_EQ(ch2_GetSpecificAttribute(&ctx, &fc, &info, kDrval1), CL_SUCCESS);
  EXPECT_FLOAT_EQ(info.uAttributeValue.fFloat, 12.5f);
  EXPECT_EQ(info.ucUnitOfMeasure, 3);
  ASSERT_EQ(ch2_GetSpecificAttribute(&ctx, &fc, &info, kInform), CL_SUCCESS);
  EXPECT_EQ(info.uAttributeValue.ulResourceId, 0x100u);
  EXPECT_EQ(info.ucUnitOfMeasure, 0);
  EXPECT_EQ(ch2_GetSpecificAttribute(&ctx, &fc, &info, kDrval2), CH2_WARN_NOT_CARRIED);
  EXPECT_EQ(ch2_GetSpecificAttribute(&ctx, &fc, &info, kObjnam), CH2_WARN_NOT_CARRIED);

  std::vector<UINT16> codes;
  ERRORCODE e;
  for (BOOL first = TRUE; (e = ch2_GetAttribute(&ctx, &fc, &info, first)) == CL_SUCCESS; first = FALSE)
    codes.push_back(info.usAttributeCode);
  EXPECT_EQ(e, CH2_WARN_NO_MORE_ATTRIBUTES);
  EXPECT_EQ(codes, (std::vector<UINT16>{kDrval1, kInform}));
  EXPECT_EQ(info.usAttributeCode, 0);

  ASSERT_EQ(Next(0), CL_SUCCESS);
  EXPECT_EQ(ch2_GetSpecificAttribute(&ctx, &fc, &info, kDrval1), CH2_WARN_NO_ATTRIBUTES);

  // Mask 0x80000000: only position 0, uniqid.
  ASSERT_EQ(Next(0), CL_SUCCESS);
  ASSERT_EQ(ch2_GetAttribute(&ctx, &fc, &info, TRUE), CL_SUCCESS);
  EXPECT_EQ(info.usAttributeCode, kUniqid);
  EXPECT_EQ(info.uAttributeValue.ulUnsignedInteger, 42u);
  EXPECT_EQ(ch2_GetAttribute(&ctx, &fc, &info, FALSE), CH2_WARN_NO_MORE_ATTRIBUTES);
}

}  // namespace
