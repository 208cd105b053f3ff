// Names for assistive technology on Win32 (Microsoft Active Accessibility).
// The reader's windows keep the texts they have always had ("Rstrt", an
// empty text for an owner-drawn choice); what a screen reader asks for, the
// window's accessible object, is the system's standard one for the window
// with its name, and for the main window also its value, given in words.
#pragma once

#include <windows.h>
#include <oleacc.h>

namespace lanthorn {

// The answer to WM_GETOBJECT for OBJID_CLIENT of `window`: the standard
// object with `name` (and, if not null, `value`) in place of its own, both
// Windows-1252. 0 when it could not be made (the caller then lets the
// default handling answer).
LRESULT AnswerWithName(HWND window, WPARAM flags, const char* name, const char* value);

// The object AnswerWithName hands over (one reference, the caller's), or null
// (also when the accessibility libraries cannot be loaded).
IAccessible* MakeNamedAccessible(HWND window, const char* name, const char* value);

}  // namespace lanthorn
