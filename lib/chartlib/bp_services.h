// Port-services table of a chart and the service calls the tide library makes on it.
#pragma once
#include "chartlib/chartlib_types.h"
#include "chartlib/tide/tide_harmonic.h"

constexpr int UC_BUFFER_SIZE = 1536;

struct UC_BUFFER {
  SINT Count;
  UCHAR Buff[UC_BUFFER_SIZE];
};

struct current_data {
  UINT direction;
  UINT speed;
};

union HARMONIC_WORK_BUFFER {
  union {
    fixed Fixed[512];
    UINT Enum[256];
    SINT Sint[256];
  } Vect;
  union {
    fixed Fixed[512];
    UINT Enum[256];
    current_data CurrentData[256];
  } El;
};

struct HARMONIC_COMPONENTS {
  tide_component HarmonicComponentA[TC_MAX_COMPONENTS];
  tide_component HarmonicComponentB[TC_MAX_COMPONENTS];
  HARMONIC_WORK_BUFFER Buffer;
};

struct HARMONICINFOTABLE {
  SINT first_year;
  SINT num_epochs;
  SINT max_cst;
  SINT num_cst;            // pairs in the last station record loaded (not the number kept)
  SLONG LocalTimeOffset;   // seconds east of UTC
  FLOAT MagneticVariation; // degrees, 0 for none
  HARMONIC_COMPONENTS MHC;
  UC_BUFFER UC_Buffer;
};

// Site qualifiers of the port services.
enum : UINT { TIDE_STATION = 5, CURRENT_STATION = 6, GENERIC_SITE = 11 };
// Fixed item numbers of the tide and current services.
enum : UINT { BP_ITEM_TIDE_DATA = 13, BP_ITEM_CURRENT_DATA = 14 };

struct BPTABLE {
  HARMONICINFOTABLE HarmonicInfoTable;
  UINT SiteQualifierFilter;
  UINT SiteTypeFilter;
};

ERRORCODE bp_GetItemId(BPTABLE *table, UINT item_number, UINT *item_id);
ERRORCODE bp_SetFilterQualifier(BPTABLE *table, UINT qualifier);
ERRORCODE bp_CheckPortDataService(BPTABLE *table, ULONG port_code, UINT item_id, ULONG *position);
ERRORCODE bp_GetPortServiceDataInfo(BPTABLE *table, UINT item_id, ULONG position, UINT16 *format, ULONG *length,
                                    UINT *reference_item, ULONG *reference_position);
// Copies up to max bytes of the record's data into buffer->Buff; *length receives the data length.
ERRORCODE bp_GetPortServiceData(BPTABLE *table, UINT item_id, ULONG position, ULONG *length, UC_BUFFER *buffer,
                                ULONG max);
// As bp_GetPortServiceData from *offset within the data; *offset receives the data length.
ERRORCODE bp_GetPortServiceDataOffset(BPTABLE *table, UINT item_id, ULONG position, ULONG *offset,
                                      UC_BUFFER *buffer, ULONG max);
ERRORCODE bp_GetPortCodesByName(BPTABLE *table, const char *text, SINT mode, void *walk, BOOL from_start,
                                UC_BUFFER *buffer, SINT max);
ERRORCODE bp_GetCommonData(BPTABLE *table, UINT key, UCHAR *buffer, ULONG length);
