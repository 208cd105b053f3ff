#include "platform/qt/qt_app.h"

#include <QGuiApplication>
#include <QIcon>
#include <QSessionManager>
#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

#include "platform/window_frame.h"
#include "shell/main_window.h"
#include "shell/save_file.h"
#include "shell/startup.h"

namespace lanthorn {

namespace {

// A signal handler may only write: it tells the event loop through a pipe.
int signalPipe[2] = {-1, -1};

void OnEndSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t put = write(signalPipe[0], &byte, 1);
}

}  // namespace

QtReaderApp::QtReaderApp(const Book& book) : reader_(std::make_unique<Reader>(book, platform_)) {}

QtReaderApp::~QtReaderApp() = default;

bool QtReaderApp::Start() {
  if (!StartReader(*reader_)) return false;
  // Listening at once, a copy started a moment later finds this one.
  platform_.ListenForOtherCopies(kWindowClassName);
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
  window_->show();
  return true;
}

void QtReaderApp::HandleSessionEnd() {
  if (signalPipe[0] < 0 && socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) {
    return;
  }
  signalNotifier_ = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, window_.get());
  QObject::connect(signalNotifier_, &QSocketNotifier::activated, window_.get(), [this] {
    char byte = 0;
    [[maybe_unused]] const ssize_t got = read(signalPipe[1], &byte, 1);
    // As the Exit command: the loop ends and Finish writes the save file.
    OnCommand(*reader_, kExit, 0);
  });
  struct sigaction action {};
  action.sa_handler = OnEndSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
  if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    QObject::connect(gui, &QGuiApplication::commitDataRequest, window_.get(),
                     [this](QSessionManager&) { KeepReaderPlace(*reader_); });
  }
}

int QtReaderApp::Finish(int loopExitCode) { return FinishReader(*reader_, loopExitCode); }

}  // namespace lanthorn
