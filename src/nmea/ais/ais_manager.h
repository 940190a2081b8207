// The AIS sentence decoder: VDM header checks and multi-sentence assembly per radio channel, conversion of a
// message into a target record, the field-group merge into a stored target, and full-sentence approval.
#pragma once
#include "nmea/ais/ais_message.h"
#include "nmea/ais/ais_types.h"

namespace ais_manager {

typedef enum { AIS_CODE_NONE = 0, AIS_CODE_ABM = 1, AIS_CODE_BBM = 2, AIS_CODE_VDM = 3, AIS_CODE_VDO = 4 } enCode_ais;

typedef struct {
  enCode_ais code;
  const char *pcFormatter;
} aisStringRow;
extern const aisStringRow aisString[4];

typedef struct {
  unsigned total;
  unsigned number;
  unsigned sequence;
  AISMessage *message;  // the completed message of this sentence, else null
  unsigned fillBits;
  ERRORCODE result;
  char channel;  // 'A', 'B', '1', '2', or 0 for an empty field
} aisDataVDM;

constexpr unsigned AIS_FIELDS = 8;
constexpr unsigned AIS_FIELD_CHARS = 83;      // the longest field a sentence can carry
constexpr unsigned AIS_LONGEST_PAYLOAD = 71;  // message 5, the longest message decoded
constexpr unsigned AIS_ASSEMBLY_CHARS = AIS_LONGEST_PAYLOAD + AIS_FIELD_CHARS;

class AISManager {
 public:
  AISManager();
  ERRORCODE ais_DecodeSentence(const char *pcSentence, unsigned *pnTotal, unsigned *pnNumber, aisDataVDM &vdm);
  ERRORCODE DecodeData(const AISMessage *pMsg, aisTargetINFO &info);
  ERRORCODE UpdateData(unsigned nMsgNumber, unsigned nPartNumber, aisTargetINFO newInfo, aisTargetINFO &stored);
  static ERRORCODE ais_ApprovedSentence(const char *pcSentence);
  static ERRORCODE ais_MsgCheck(const char *pcSentence, enCode_ais &eCode);
  // Empties every channel's assembly.
  void Reset();

  // Field split of a sentence held without its start character; returns the count of fields begun.
  static unsigned ais_MsgBreak(const char *pcSentence, char (&aacFields)[AIS_FIELDS][AIS_FIELD_CHARS + 1]);
  static bool ut_NMEAValidNum(const char *pc);
  static long ut_atoi(const char *pc);
  // TRUE for "A", "B", 1, 2 (as a number) and the empty field; the channel character in *pc.
  static bool ut_NMEAValidChannel(const char *pcField, char *pc);

 private:
  // One multi-sentence message being joined, per radio channel.
  struct Assembly {
    char acPayload[AIS_ASSEMBLY_CHARS + 1];
    unsigned nLength;
    unsigned nTotal;
    unsigned nLastNumber;  // 0: nothing being joined
    unsigned nSequence;
  };
  static constexpr unsigned kChannels = 5;  // A, B, 1, 2, none
  Assembly m_aAssembly[kChannels];
  static unsigned channelSlot(char cChannel);
  static void emptyAssembly(Assembly &a);

  ERRORCODE DecodeData_Msg123(const AISClassAPositionReport &m, aisTargetINFO &info);
  ERRORCODE DecodeData_Msg5(const AISClassAExtendedPositionReport &m, aisTargetINFO &info);
  ERRORCODE DecodeData_Msg9(const AISAircraftPositionReport &m, aisTargetINFO &info);
  ERRORCODE DecodeData_Msg18(const AISClassBPositionReport &m, aisTargetINFO &info);
  ERRORCODE DecodeData_Msg19(const AISClassBExtendedPositionReport &m, aisTargetINFO &info);
  ERRORCODE DecodeData_Msg24_A(const AISClassBExtendedPositionReport &m, aisTargetINFO &info);
  ERRORCODE DecodeData_Msg24_B(const AISClassBExtendedPositionReport &m, aisTargetINFO &info);
};

// Setters: raw field values into the record with their validity flags.
ERRORCODE setMMSI_LastMsg(aisTargetINFO &info, unsigned long nMMSI, unsigned nMsg);
void setNavStatus_Rot(aisTargetINFO &info, unsigned nStatus, unsigned nRot);
void setSog_PosAccuracy_Cog(aisTargetINFO &info, unsigned nSog, unsigned nAccuracy, unsigned nCog, bool bWholeKnots);
void setShipPosition(aisTargetINFO &info, long nLatitude, long nLongitude);
void setTrueHeading(aisTargetINFO &info, unsigned nHeading);
void setUTCSec(aisTargetINFO &info, unsigned nSecond);
void setAltitude(aisTargetINFO &info, unsigned nAltitude);
void setName(aisTargetINFO &info, const char *pcName);
void setCallSign(aisTargetINFO &info, const char *pcCallSign);
void setCallSign_Destination(aisTargetINFO &info, const char *pcCallSign, const char *pcDestination);
void setType_Dimension(aisTargetINFO &info, unsigned nType, unsigned long nDimension);
void setImo_Eta_Draught(aisTargetINFO &info, unsigned long nImo, unsigned long nEta, unsigned nDraught);

}  // namespace ais_manager
