/* A group of the default data set: WinHTTP and the HTTP server API, whose names clash with
   wininet.h's. */
#define DRUX_DATA_SET_PRELUDE_ONLY
#include "DefaultDataSet.h"
#include <winhttp.h>
#include <http.h>
