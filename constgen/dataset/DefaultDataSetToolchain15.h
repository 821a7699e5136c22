/* A group of the default data set, written by DataSetGroups.sh beside this file (run it again
   rather than editing): headers of the toolchain that compile in C after windows.h, from d3dx9.h
   to d3dx9tex.h and clashing with none of each other. */
/* Made by DataSetGroups.sh */
#define DRUX_DATA_SET_PRELUDE_ONLY
#include "DefaultDataSet.h"
#include <d3dx9.h>
#include <d3dx9core.h>
#include <d3dx9effect.h>
#include <d3dx9math.h>
#include <d3dx9mesh.h>
#include <d3dx9shader.h>
#include <d3dx9shape.h>
#include <d3dx9tex.h>
