// The Qt reader's entry point.
#include <QApplication>
#include <QDir>
#include <QSettings>

#include "platform/qt/qt_app.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  lanthorn::SetApplicationNames();
  // The save file in the desktop's data folder, the settings where the
  // desktop keeps them (~/.config/Tallowlight Studio/Lanthorn Fell.conf).
  const QString saveFolder = lanthorn::PrepareSaveFolder(QDir::currentPath());
  QSettings settings;
  lanthorn::QtReaderApp reader(lanthorn::CompiledBook(), saveFolder, &settings);
  if (!reader.Start()) return 1;
  reader.HandleSessionEnd();
  const int loopExitCode = QApplication::exec();
  return reader.Finish(loopExitCode);
}
