// Libraries the reader needs only for some of what it does (sounds, answers
// to assistive technology) are loaded on first use rather than imported:
// every imported library is loaded before the window can open, and these
// cost the reader's start-up time that a reader who never hears a sound or
// runs a screen reader would pay for nothing.
#pragma once

#include <windows.h>

namespace lanthorn {

// Loads `name` (e.g. "winmm.dll") from the system folder, never from the
// program's or the current folder. Null when it cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);

// The entry point `name` of `library` as a function pointer of type F; null
// when the library is null or lacks it.
template <typename F>
F LibraryEntry(HMODULE library, const char* name) {
  if (library == nullptr) return nullptr;
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace lanthorn
