/* A group of the default data set: Direct3D 8, whose types clash with Direct3D 9's. */
#define DRUX_DATA_SET_PRELUDE_ONLY
#include "DefaultDataSet.h"
#include <d3d8.h>
