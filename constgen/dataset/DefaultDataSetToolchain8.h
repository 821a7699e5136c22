/* A group of the default data set, written by DataSetGroups.sh beside this file (run it again
   rather than editing): headers of the toolchain that compile in C after windows.h, from
   compstui.h to cor.h and clashing with none of each other. */
/* Made by DataSetGroups.sh */
#define DRUX_DATA_SET_PRELUDE_ONLY
#include "DefaultDataSet.h"
#include <compstui.h>
#include <computecore.h>
#include <computedefs.h>
#include <computenetwork.h>
#include <computestorage.h>
#include <comsvcs.h>
#include <comutil.h>
#include <confpriv.h>
#include <conio.h>
#include <cor.h>
