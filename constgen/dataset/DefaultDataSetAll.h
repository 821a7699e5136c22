/* Every group of the default data set, first group first, for reading without a compiler (constgen
   takes a name's first definition, as the data set keeps the first group's value). The groups
   cannot share one translation unit: no compiler is given this header. */
#include "DefaultDataSet.h"
#include "DefaultDataSetWinHttp.h"
#include "DefaultDataSetMedia.h"
#include "DefaultDataSetD3D8.h"
