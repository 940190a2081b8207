// Stand-in of the info task's palette transparency until the info task exists: the first palette's value.
#include "ui/info.h"

U8 T_INFO_u8ConvertAlphaVector(U32 u32AlphaVector) { return static_cast<U8>(u32AlphaVector & 0xFF); }
