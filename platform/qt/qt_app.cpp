#include "platform/qt/qt_app.h"

#include <QIcon>

#include "platform/window_frame.h"
#include "shell/main_window.h"
#include "shell/startup.h"

namespace lanthorn {

QtReaderApp::QtReaderApp(const Book& book)
    : reader_(std::make_unique<Reader>(book, platform_)) {}

QtReaderApp::~QtReaderApp() = default;

bool QtReaderApp::Start() {
  if (!StartReader(*reader_)) return false;
  const WindowPlacement place = PlaceMainWindow(*reader_);
  window_ = std::make_unique<ReaderWindow>(*reader_, platform_);
  platform_.SetWindow(window_.get());
  const char* title = reader_->book.information.title;
  window_->setWindowTitle(FromBookText(title, static_cast<int32_t>(qstrlen(title))));
  window_->setWindowIcon(QIcon(":/icon/lanthorn.ico"));
  window_->SetPageSize(place.width - kFrameWidth, place.height - kFrameHeight);
  window_->move(place.x, place.y);
  OnCreate(*reader_, window_.get());
  const Rect client = platform_.ClientRect();
  OnSize(*reader_, client.right, client.bottom);
  MainWindowCreated(*reader_);
  platform_.ListenForOtherCopies(kWindowClassName);
  window_->show();
  return true;
}

int QtReaderApp::Finish(int loopExitCode) { return FinishReader(*reader_, loopExitCode); }

}  // namespace lanthorn
