/* A group of the default data set, written by DataSetGroups.sh beside this file (run it again
   rather than editing): headers of the toolchain that compile in C after windows.h, from correg.h
   to dvbsiparser.h and clashing with none of each other. */
/* Made by DataSetGroups.sh */
#define DRUX_DATA_SET_PRELUDE_ONLY
#include "DefaultDataSet.h"
#include <correg.h>
#include <d3d.h>
#include <d3drm.h>
#include <d3drmdef.h>
#include <d3drmobj.h>
#include <d3dtypes.h>
#include <daogetrw.h>
#include <dbdaoint.h>
#include <dbgeng.h>
#include <dmksctrl.h>
#include <dmusics.h>
#include <dplobby.h>
#include <dpnathlp.h>
#include <dsclient.h>
#include <dskquota.h>
#include <dssec.h>
#include <dvbsiparser.h>
