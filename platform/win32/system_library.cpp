#include "platform/win32/system_library.h"

#include <cstring>

namespace lanthorn {

HMODULE LoadSystemLibrary(const char* name) {
  char path[MAX_PATH];
  const UINT folder = GetSystemDirectoryA(path, MAX_PATH);
  const size_t length = strlen(name);
  if (folder == 0 || folder + 1 + length + 1 > MAX_PATH) return nullptr;
  path[folder] = '\\';
  memcpy(path + folder + 1, name, length + 1);
  return LoadLibraryA(path);
}

}  // namespace lanthorn
