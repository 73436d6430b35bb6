#pragma once
// GDI+ declarations. Its headers want min and max from the C library's macros, which the project
// switches off (NOMINMAX), so they are given as functions here.
#include <windows.h>

#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <objidl.h>
#include <gdiplus.h>
