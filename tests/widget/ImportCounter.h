// Counts the GDI and USER objects this program makes and gives back, for leak checks that must
// also work under Wine, whose GetGuiResources always answers 0. The libraries under test are
// linked into the test program, so their platform calls go through the program's own import
// slots; those slots are pointed at wrappers that keep a set of the live handles.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

// Live objects by where they came from: the creating function ("CreateSolidBrush", "GetDC",
// "CreatePopupMenu", ...) or "window <class>" for this thread's windows and their descendants.
using ObjectCounts = std::map<std::string, int>;

// Redirects the wrapped imports of this program (once; later calls change nothing) and returns
// the names redirected. A wrapped function this program does not import is simply not there.
const std::vector<std::string>& ImportCounterInstall();

// The objects made through the redirected imports and not yet freed, plus this thread's windows.
// Objects the platform freed behind the wrappers' back (a menu destroyed with its window) are
// dropped first.
ObjectCounts LiveObjectsCount();

// "name: count" lines of the counts that differ, for failure messages.
std::string ObjectCountsDifference(const ObjectCounts& before, const ObjectCounts& after);
