/* A group of the default data set, written by DataSetGroups.sh beside this file (run it again
   rather than editing): headers of the toolchain that compile in C after windows.h, from dmo.h to
   dplobby.h and clashing with none of each other. */
/* Made by DataSetGroups.sh */
#define DRUX_DATA_SET_PRELUDE_ONLY
#include "DefaultDataSet.h"
#include <dmo.h>
#include <dmodshow.h>
#include <dmoreg.h>
#include <dmusics.h>
#include <docobjectservice.h>
#include <domdid.h>
#include <dos.h>
#include <downloadmgr.h>
#include <dpfilter.h>
#include <dplobby.h>
