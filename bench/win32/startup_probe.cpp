// Measures a window program's start-up: the time from process creation until
// its first window is painted and idle, and its working set at that moment.
//
//   startup-probe PROGRAM.exe WINDOW_CLASS RUNS [OTHER.exe OTHER_CLASS]
//
// Prints "PROGRAM median_ms=... working_set_kib=... min_ms=... q1_ms=... q3_ms=..."
// and closes the program.
// With a second program the two are started in turn, run by run, and a line
// is printed for each: on a shared machine whose load changes, both then see
// the same load, where one block of runs after the other would not. A line
// "paired_ratio_median=..." comes first: the median of the runs' ratios.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Program {
  std::string path;
  const char* windowClass;
  std::vector<double> times;
  SIZE_T workingSet = 0;
};

// One start of the program, until its window is painted and idle; false when
// it cannot be started.
bool StartOnce(Program& program, const LARGE_INTEGER& frequency) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string commandLine = "\"" + program.path + "\"";
  LARGE_INTEGER begin;
  QueryPerformanceCounter(&begin);
  if (!CreateProcessA(program.path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    std::fprintf(stderr, "startup-probe: cannot start %s\n", program.path.c_str());
    return false;
  }
  // Idle after its first paint: the window exists and its queue is empty.
  WaitForInputIdle(process.hProcess, 30000);
  HWND window = nullptr;
  for (int i = 0; i < 3000 && window == nullptr; ++i) {
    window = FindWindowA(program.windowClass, nullptr);
    if (window == nullptr) Sleep(1);
  }
  if (window != nullptr) SendMessageA(window, WM_NULL, 0, 0);  // its paint is done
  LARGE_INTEGER end;
  QueryPerformanceCounter(&end);
  program.times.push_back(1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) /
                          static_cast<double>(frequency.QuadPart));
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory)) {
    program.workingSet = memory.WorkingSetSize;
  }
  if (window != nullptr) PostMessageA(window, WM_CLOSE, 0, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return true;
}

void Report(Program& program) {
  std::sort(program.times.begin(), program.times.end());
  // The median is the figure compared; the fastest start and the first
  // quartile show how far the machine's load spread the runs.
  const std::vector<double>& t = program.times;
  std::printf("%s median_ms=%.1f working_set_kib=%zu min_ms=%.1f q1_ms=%.1f q3_ms=%.1f\n",
              program.path.c_str(), t[t.size() / 2], static_cast<size_t>(program.workingSet / 1024),
              t.front(), t[t.size() / 4], t[t.size() * 3 / 4]);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 6) {
    std::fprintf(stderr,
                 "usage: startup-probe PROGRAM.exe WINDOW_CLASS RUNS [OTHER.exe OTHER_CLASS]\n");
    return 2;
  }
  std::vector<Program> programs;
  programs.push_back({argv[1], argv[2], {}});
  if (argc == 6) programs.push_back({argv[4], argv[5], {}});
  const int runs = std::max(1, std::atoi(argv[3]));
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);

  for (int run = 0; run < runs; ++run) {
    for (Program& program : programs) {
      if (!StartOnce(program, frequency)) return 1;
    }
  }
  // Each pair of starts ran back to back under the same load: the median of
  // their ratios is the steadier figure when the load drifts during a block.
  if (programs.size() == 2) {
    std::vector<double> ratios;
    for (int run = 0; run < runs; ++run) {
      ratios.push_back(programs[0].times[run] / programs[1].times[run]);
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("paired_ratio_median=%.2f\n", ratios[ratios.size() / 2]);
  }
  for (Program& program : programs) Report(program);
  return 0;
}
