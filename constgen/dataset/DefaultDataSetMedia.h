/* A group of the default data set: DirectShow and Media Foundation, whose strmif.h clashes with
   the kernel-streaming ksmedia.h that audioclient.h brings, and the audio endpoint interfaces,
   whose devicetopology.h clashes with ntsecapi.h (the enumerator Network). */
#define DRUX_DATA_SET_PRELUDE_ONLY
#include "DefaultDataSet.h"
#include <d3d9.h>
#include <strmif.h>
#include <dshow.h>
#include <dvdmedia.h>
#include <amaudio.h>
#include <ks.h>
#include <evr.h>
#include <dxva2api.h>
#include <mfobjects.h>
#include <mfapi.h>
#include <mfidl.h>
#include <mfreadwrite.h>
#include <wmsdk.h>
#include <endpointvolume.h>
