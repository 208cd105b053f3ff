// Measures a window program's start-up: the time from process creation until
// its first window is painted and idle, and its working set at that moment.
//
//   startup-probe PROGRAM.exe WINDOW_CLASS RUNS
//
// Prints "PROGRAM median_ms=... working_set_kib=..." and closes the program.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: startup-probe PROGRAM.exe WINDOW_CLASS RUNS\n");
    return 2;
  }
  const std::string program = argv[1];
  const char* windowClass = argv[2];
  const int runs = std::max(1, std::atoi(argv[3]));
  std::vector<double> times;
  SIZE_T workingSet = 0;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);

  for (int run = 0; run < runs; ++run) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string commandLine = "\"" + program + "\"";
    LARGE_INTEGER begin;
    QueryPerformanceCounter(&begin);
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
      std::fprintf(stderr, "startup-probe: cannot start %s\n", program.c_str());
      return 1;
    }
    // Idle after its first paint: the window exists and its queue is empty.
    WaitForInputIdle(process.hProcess, 30000);
    HWND window = nullptr;
    for (int i = 0; i < 3000 && window == nullptr; ++i) {
      window = FindWindowA(windowClass, nullptr);
      if (window == nullptr) Sleep(1);
    }
    if (window != nullptr) SendMessageA(window, WM_NULL, 0, 0);  // its paint is done
    LARGE_INTEGER end;
    QueryPerformanceCounter(&end);
    times.push_back(1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) /
                    static_cast<double>(frequency.QuadPart));
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory)) {
      workingSet = memory.WorkingSetSize;
    }
    if (window != nullptr) PostMessageA(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  std::sort(times.begin(), times.end());
  std::printf("%s median_ms=%.1f working_set_kib=%zu\n", program.c_str(), times[times.size() / 2],
              static_cast<size_t>(workingSet / 1024));
  return 0;
}
