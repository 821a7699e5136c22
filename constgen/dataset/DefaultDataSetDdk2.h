/* A group of the default data set, written by DataSetGroups.sh beside this file (run it again
   rather than editing): driver-kit headers after ntddk.h that clash with an earlier group's. */
/* Made by DataSetGroups.sh */
/* Include directory: ddk */
#include <ntddk.h>
#include <strmini.h>
