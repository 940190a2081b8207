// Stand-in for the port services until the chart data access is built: no chart has port data.
#include "chartlib/bp_services.h"

ERRORCODE bp_GetItemId(BPTABLE *, UINT, UINT *) { return BP_WARN_NO_SITE_DATA; }
ERRORCODE bp_SetFilterQualifier(BPTABLE *, UINT) { return BP_WARN_NO_SITE_DATA; }
ERRORCODE bp_CheckPortDataService(BPTABLE *, ULONG, UINT, ULONG *) { return BP_WARN_NO_SITE_DATA; }
ERRORCODE bp_GetPortServiceDataInfo(BPTABLE *, UINT, ULONG, UINT16 *, ULONG *, UINT *, ULONG *) {
  return BP_WARN_OUT_OF_TABLE;
}
ERRORCODE bp_GetPortServiceData(BPTABLE *, UINT, ULONG, ULONG *, UC_BUFFER *, ULONG) { return BP_WARN_OUT_OF_TABLE; }
ERRORCODE bp_GetPortServiceDataOffset(BPTABLE *, UINT, ULONG, ULONG *, UC_BUFFER *, ULONG) {
  return BP_WARN_OUT_OF_TABLE;
}
ERRORCODE bp_GetPortCodesByName(BPTABLE *, const char *, SINT, void *, BOOL, UC_BUFFER *, SINT) {
  return BP_WARN_NO_SITE_DATA;
}
ERRORCODE bp_GetCommonData(BPTABLE *, UINT, UCHAR *, ULONG) { return BP_WARN_NO_COMMON_KEY; }
