/* A group of the default data set, written by DataSetGroups.sh beside this file (run it again
   rather than editing): headers of the toolchain that compile in C after windows.h, from
   codecapi.h to compressapi.h and clashing with none of each other. */
/* Made by DataSetGroups.sh */
#define DRUX_DATA_SET_PRELUDE_ONLY
#include "DefaultDataSet.h"
#include <codecapi.h>
#include <colordlg.h>
#include <comadmin.h>
#include <comdefsp.h>
#include <comip.h>
#include <comlite.h>
#include <commapi.h>
#include <complex.h>
#include <compobj.h>
#include <compressapi.h>
