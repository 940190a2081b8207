// Stand-in of the internal chart store's state: the simulator has no chart store, so it is blank.
#include "card/movinand_standin.h"

MOVINAND_STATE U_MOVINAND_eGetMovinandState(U32) { return MOVINAND_STATE_BLANK; }

const char *U_MOVINAND_pcGetMovinandStateText(MOVINAND_STATE state) {
  switch (state) {
    case MOVINAND_STATE_INCOMPLETE: return "MoviNAND Incomplete";
    case MOVINAND_STATE_KARTIVO: return "Kartivo Complete";
    case MOVINAND_STATE_BIC: return "BIC Complete";
    case MOVINAND_STATE_ISOBRIX: return "Isobrix Complete";
    default: return "MoviNAND Blank";
  }
}
