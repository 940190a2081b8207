// Closest point of approach of AIS targets and the collision alarm test, from the own position, speed and
// heading in the settings store and the targets' positions, speeds and courses, as straight-line motion in
// Mercator metres. Callers hold RES_AIS_DATA.
#pragma once
#include "corvan/point.h"
#include "nmea/ais/ais_types.h"

// Writes CPA (nautical miles) and TCPA (minutes) of every target in the pool.
void ais_vCalculateCollisionValues(AISPOOL *pPool);
// The point reached after timeMin minutes at speed (knots) and course (degrees).
void T_NMEA_vCalFuturePos(const POINT *ptCurPointMM, double speed, double cog, double timeMin,
                          POINT *ptFuturePointMM);
// The rhumb-line distance between two Mercator points in nautical miles; FALSE when a point does not convert.
BOOLEAN T_NMEA_vCalculateDistance(POINT shipPos1, POINT shipPos2, FLOAT *fDistance);
// TRUE when the target is dangerous under the limits 'SCPA' (nautical miles) and 'STCP' (seconds).
BOOLEAN T_NMEA_bAisHasAlarm(const ais_DeviceInfo *pAisInfo);
// The closed-form variant in degrees; returns the result of the last chart-library call.
ERRORCODE ais_Calculate_CollisionValue(DOUBLE dOwnHeading, DOUBLE dOwnSpeed, POSITION tOwnPosition,
                                       AISPOOL *pPool);
