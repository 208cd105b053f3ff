// The Qt reader measured as the browser reader is (scripts/measure-readers):
// the time from the process's start to the first page painted, and a page
// turn's time (the restart page as an aside, then Return to the story, each
// a rebuild and a paint). Run it in a scratch folder: it writes a save file
// there that opens the book on page 63, the page the browser is measured on.
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>

#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/qt/qt_app.h"
#include "shell/main_window.h"
#include "shell/save_record.h"
#include "shell/startup.h"

namespace {

// Milliseconds since this process started (its start time in /proc, in
// clock ticks since boot, against the boot-time clock).
double SinceProcessStart() {
  std::ifstream file("/proc/self/stat");
  std::string stat;
  std::getline(file, stat);
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string field;
  for (int i = 3; i <= 22; ++i) fields >> field;  // field 22: start time
  const double started = std::stod(field) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6 -
         started;
}

class FirstPaint : public QObject {
 public:
  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    if (event->type() == QEvent::Paint && milliseconds < 0) painting = true;
    return false;
  }
  bool painting = false;
  double milliseconds = -1;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  {
    char record[lanthorn::kSaveRecordSize] = {};
    record[0] = 63;
    record[2] = 1;
    record[28] = static_cast<char>(lanthorn::kSaveFormatMark);
    std::ofstream(lanthorn::kSaveFileName, std::ios::binary).write(record, sizeof record);
  }
  lanthorn::QtReaderApp reader(lanthorn::CompiledBook());
  FirstPaint watch;
  if (!reader.Start()) return 1;
  reader.window()->page()->installEventFilter(&watch);
  QElapsedTimer waiting;
  waiting.start();
  while (watch.milliseconds < 0 && waiting.elapsed() < 10000) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    // The paint event has been handled once processEvents returns after it.
    if (watch.painting) watch.milliseconds = SinceProcessStart();
  }
  printf("first page painted: %.1f ms after the process started\n", watch.milliseconds);

  lanthorn::ReaderWindow* window = reader.window();
  std::vector<double> turns;
  for (int i = 0; i < 400; ++i) {
    QElapsedTimer turn;
    turn.start();
    window->Command(i % 2 == 0 ? lanthorn::kOpenRestart : lanthorn::kReturn);
    QApplication::processEvents();
    turns.push_back(static_cast<double>(turn.nsecsElapsed()) / 1e6);
  }
  printf("page turn: median %.3f ms over %zu turns\n", Median(turns), turns.size());
  return 0;
}
