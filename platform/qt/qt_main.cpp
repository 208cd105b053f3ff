// The Qt reader's entry point.
#include <QApplication>

#include "platform/qt/qt_app.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  lanthorn::QtReaderApp reader(lanthorn::CompiledBook());
  if (!reader.Start()) return 1;
  reader.HandleSessionEnd();
  const int loopExitCode = QApplication::exec();
  return reader.Finish(loopExitCode);
}
