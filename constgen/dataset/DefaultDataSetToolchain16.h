/* A group of the default data set, written by DataSetGroups.sh beside this file (run it again
   rather than editing): headers of the toolchain that compile in C after windows.h, from
   dpnathlp.h to dvobj.h and clashing with none of each other. */
/* Made by DataSetGroups.sh */
#define DRUX_DATA_SET_PRELUDE_ONLY
#include "DefaultDataSet.h"
#include <dpnathlp.h>
#include <dsclient.h>
#include <dsconf.h>
#include <dskquota.h>
#include <dsquery.h>
#include <dssec.h>
#include <dtchelp.h>
#include <dvbsiparser.h>
#include <dvdevcod.h>
#include <dvobj.h>
