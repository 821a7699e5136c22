/* A group of the default data set, written by DataSetGroups.sh beside this file (run it again
   rather than editing): headers of the toolchain that compile in C after windows.h, from
   dcompanimation.h to dir.h and clashing with none of each other. */
/* Made by DataSetGroups.sh */
#define DRUX_DATA_SET_PRELUDE_ONLY
#include "DefaultDataSet.h"
#include <dcompanimation.h>
#include <dcomptypes.h>
#include <ddrawi.h>
#include <delayimp.h>
#include <devioctl.h>
#include <dhcpssdk.h>
#include <dhtmldid.h>
#include <dhtmliid.h>
#include <digitalv.h>
#include <dir.h>
