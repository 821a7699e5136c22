/* A group of the default data set, written by DataSetGroups.sh beside this file (run it again
   rather than editing): headers of the toolchain that compile in C after windows.h, from direct.h
   to dmksctrl.h and clashing with none of each other. */
/* Made by DataSetGroups.sh */
#define DRUX_DATA_SET_PRELUDE_ONLY
#include "DefaultDataSet.h"
#include <direct.h>
#include <directmanipulation.h>
#include <dirent.h>
#include <diskguid.h>
#include <dismapi.h>
#include <dispatch.h>
#include <dispdib.h>
#include <dlcapi.h>
#include <dls2.h>
#include <dmksctrl.h>
