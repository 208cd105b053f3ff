#include "platform/qt/qt_app.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QSessionManager>
#include <QSettings>
#include <QSocketNotifier>
#include <QStandardPaths>

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

void SetApplicationNames() {
  QCoreApplication::setApplicationName(kApplicationName);
  QCoreApplication::setOrganizationName(kOrganisationName);
  QCoreApplication::setOrganizationDomain(kOrganisationDomain);
  QGuiApplication::setDesktopFileName(kDesktopFileName);
}

QString PrepareSaveFolder(const QString& startFolder, SaveMove* moved) {
  SaveMove result = SaveMove::kNone;
  QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  // Without a home to find the data folder in, the start folder serves.
  if (folder.isEmpty()) folder = startFolder;
  QDir().mkpath(folder);
  const QString old = QDir(startFolder).filePath(kSaveFileName);
  const QString kept = QDir(folder).filePath(kSaveFileName);
  const QFileInfo oldInfo(old);
  if (oldInfo.isFile() && oldInfo.canonicalFilePath() != QFileInfo(kept).canonicalFilePath()) {
    if (QFileInfo::exists(kept)) {
      result = SaveMove::kLeft;
    } else if (HeldByAnotherCopy(QFile::encodeName(old))) {
      result = SaveMove::kHeld;
    } else {
      // A rename within one file system; a copy and a removal across two.
      result = QFile::rename(old, kept) ? SaveMove::kMoved : SaveMove::kFailed;
    }
  }
  if (moved != nullptr) *moved = result;
  // A game that could not be moved is played where it is, and moved at a
  // later start; one a running copy holds is that copy's, which the start
  // folder's lock and socket then find and bring forward.
  if (result == SaveMove::kHeld || result == SaveMove::kFailed) return startFolder;
  return folder;
}

QtReaderApp::QtReaderApp(const Book& book, const QString& saveFolder, QSettings* settings)
    : settings_(settings), reader_(std::make_unique<Reader>(book, platform_)) {
  platform_.SetSaveFolder(saveFolder);
}

QtReaderApp::~QtReaderApp() = default;

bool QtReaderApp::Start() {
  if (!StartReader(*reader_)) return false;
  // Listening at once, a copy started a moment later finds this one.
  platform_.ListenForOtherCopies(kWindowClassName);
  const WindowPlacement place = PlaceMainWindow(*reader_);
  window_ = std::make_unique<ReaderWindow>(*reader_, platform_, settings_);
  platform_.SetWindow(window_.get());
  const char* title = reader_->book.information.title;
  window_->setWindowTitle(FromBookText(title, static_cast<int32_t>(qstrlen(title))));
  window_->setWindowIcon(QIcon(":/icon/lanthorn.ico"));
  const QSize kept = settings_ != nullptr ? settings_->value("window/size").toSize() : QSize();
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (kept.isValid()) {
    // Not larger than the screen it now opens on.
    window_->resize(screen != nullptr ? kept.boundedTo(screen->availableSize()) : kept);
  } else {
    window_->SetPageSize(place.width - kFrameWidth, place.height - kFrameHeight);
    window_->move(place.x, place.y);
  }
  OnCreate(*reader_, window_.get());
  // The fonts are made: the column's width is known.
  window_->PlacePage();
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
