// The unit's model ('SMDL') and what it can do.
#pragma once
#include "corvan/types.h"

typedef enum { MODEL_DOMESTIC = 292, MODEL_DEFAULT = 293 } MODEL_TYPE;

// TRUE only for the models this software runs on (292, 293).
BOOLEAN MODEL_bRegisterModel(MODEL_TYPE Model);
// The model's display text; five spaces for model 0 or one not in the table.
const char *MODEL_pcFetchModelText(MODEL_TYPE Model);

// Queries about the current model (read from 'SMDL' at each call, 293 when absent).
BOOLEAN MODEL_bSupportsCartography(void);
BOOLEAN MODEL_bIsColor(void);
BOOLEAN MODEL_bIsPlumbscan(void);
BOOLEAN MODEL_bDisplay240x320(void);
BOOLEAN MODEL_bDisplay240x240(void);
BOOLEAN MODEL_bDisplay160x240(void);
BOOLEAN MODEL_bFishFinderSeries(void);
BOOLEAN MODEL_bInternationalModel1(void);
BOOLEAN MODEL_bInternationalModel2(void);
BOOLEAN MODEL_bInternationalModel3(void);
BOOLEAN MODEL_bInternationalModel4(void);
BOOLEAN MODEL_bDomesticModel(void);
