// The Qt reader, driven as a reader would drive it, on the offscreen
// platform: the opening sequence, a story choice, a typed answer, scrolling
// a long page, the Sounds screen, Exit writing the save file and a second
// copy refused; a page played by keys alone, the wheel, the names assistive
// technology reads, and the save file after a kill. Screenshots of the same
// pages as the Win32 suite's go to build/screenshots/qt.
//
// The test program is also its own helper process (see main): one that
// plays a few pages and waits to be killed, and one that holds the save file
// like a copy that is still starting.
#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cstring>

#include "book/paragraph_store.h"
#include "platform/qt/qt_app.h"
#include "shell/keyboard.h"
#include "shell/save_file.h"
#include "shell/startup.h"
#include "tools/bookc/compile.h"

namespace {

using namespace lanthorn;

QByteArray SaveRecord(int16_t page, uint8_t sound) {
  QByteArray record(kSaveRecordSize, '\0');
  record[0] = static_cast<char>(page & 0xFF);
  record[1] = static_cast<char>(page >> 8);
  record[2] = static_cast<char>(sound);
  record[28] = static_cast<char>(176);
  return record;
}

template <typename Widget>
Widget* ControlWithId(ReaderWindow* window, int id) {
  for (Widget* w : window->page()->findChildren<Widget*>()) {
    if (w->property("controlId").toInt() == id && w->isVisible()) return w;
  }
  return nullptr;
}

// The details screen's "INSTRUCTIONS" shares its id with the icon bar's "?".
QPushButton* ButtonWithText(ReaderWindow* window, const QString& text) {
  for (QPushButton* b : window->page()->findChildren<QPushButton*>()) {
    if (b->text() == text && b->isVisible()) return b;
  }
  return nullptr;
}

QImage Grab(QWidget* widget) { return widget->grab().toImage(); }

// Waits for the window to be on screen and to have the keyboard, as keys
// and focus need.
bool ShownAndActive(QWidget* window) {
  if (!QTest::qWaitForWindowExposed(window)) return false;
  window->activateWindow();
  return QTest::qWaitForWindowActive(window);
}

void Wheel(QWidget* widget, int delta) {
  const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
  QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &event);
}

// The colour most of the image is: the page's paper.
QColor Paper(const QImage& image) {
  QHash<QRgb, int> counts;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y)];
  }
  QRgb most = 0;
  int best = -1;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
    if (it.value() > best) std::tie(most, best) = std::pair(it.key(), it.value());
  }
  return QColor::fromRgb(most);
}

// How many pixels of the image stand out from the paper by at least the
// contrast the guidelines ask of text (4.5 to 1).
int LegiblePixels(const QImage& image, const QColor& paper) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      count += ContrastRatio(QColor::fromRgb(image.pixel(x, y)), paper) >= 4.5;
    }
  }
  return count;
}

// A palette with these colours for the page and for the window around it.
QPalette Palette(QColor window, QColor windowText, QColor base, QColor text, QColor highlight) {
  QPalette palette(window);
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Window, window);
    palette.setColor(group, QPalette::WindowText, windowText);
    palette.setColor(group, QPalette::Button, window);
    palette.setColor(group, QPalette::ButtonText, windowText);
    palette.setColor(group, QPalette::Base, base);
    palette.setColor(group, QPalette::Text, text);
    palette.setColor(group, QPalette::Highlight, highlight);
  }
  return palette;
}

// The data folder's environment for one test: XDG_DATA_HOME in a scratch
// folder, put back as it was afterwards.
class DataHome {
 public:
  DataHome() : old_(qgetenv("XDG_DATA_HOME")), had_(qEnvironmentVariableIsSet("XDG_DATA_HOME")) {
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.path()));
  }
  ~DataHome() {
    if (had_) {
      qputenv("XDG_DATA_HOME", old_);
    } else {
      qunsetenv("XDG_DATA_HOME");
    }
  }
  QString path() const { return dir_.path(); }

 private:
  QTemporaryDir dir_;
  QByteArray old_;
  bool had_;
};

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Helper: plays the crossing from "The Ice" to "A Red Door" in the current
// folder, opens the restart page, says "ready" and waits (to be killed).
int PlayAndWait(int argc, char** argv) {
  QApplication application(argc, argv);
  QDir::setCurrent(QString::fromLocal8Bit(argv[2]));
  bookc::Diagnostics diagnostics;
  auto crossing = bookc::LoadBook(LANTHORN_FIXTURES_DIR "/crossing", diagnostics);
  if (crossing == nullptr) return 3;
  QtReaderApp app(crossing->book());
  if (!app.Start()) return 4;
  app.HandleSessionEnd();
  if (!QTest::qWaitForWindowExposed(app.window())) return 6;
  Reader& reader = app.reader();
  reader.story.random = {true, 1};  // the ice holds
  OnKeyDown(reader, Key::kDigit1);
  auto* box = app.window()->page()->findChild<QLineEdit*>();
  if (box == nullptr) return 5;
  box->setText("red door");
  OnInputBoxKey(reader, 4000, Key::kEnter);
  app.window()->Command(502);
  std::printf("ready %d\n", reader.navigation.readingPosition);
  std::fflush(stdout);
  const int loopExitCode = QApplication::exec();
  return app.Finish(loopExitCode);
}

// Helper: holds the save file as a copy that has opened it but does not
// listen yet; then listens, and says "asked" when a later copy asks it to
// come forward.
int HoldAndListen(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  QDir::setCurrent(QString::fromLocal8Bit(argv[2]));
  const int fd = open(kSaveFileName, O_RDWR | O_CREAT, 0644);
  if (fd < 0 || flock(fd, LOCK_EX | LOCK_NB) != 0) return 3;
  std::printf("locked\n");
  std::fflush(stdout);
  QThread::msleep(800);
  QLocalServer server;
  QLocalServer::removeServer(QtPlatform::ServerName(kWindowClassName, QString()));
  if (!server.listen(QtPlatform::ServerName(kWindowClassName, QString()))) return 4;
  if (!server.waitForNewConnection(10000)) return 5;
  std::printf("asked\n");
  std::fflush(stdout);
  return 0;
}

}  // namespace

class QtReaderTest : public QObject {
  Q_OBJECT

 private:
  // Each test runs in a scratch folder of its own, where the save file lives.
  QTemporaryDir scratch_;
  QString home_;
  std::unique_ptr<bookc::LoadedBook> crossing_;
  QStringList messages_;

  void Screenshot(ReaderWindow* window, const char* name) {
    QDir().mkpath(LANTHORN_SCREENSHOTS_DIR);
    window->grab().save(QString(LANTHORN_SCREENSHOTS_DIR "/%1.png").arg(name));
  }
  void WriteSave(const QByteArray& record) {
    QFile file(kSaveFileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(record);
  }
  std::unique_ptr<QtReaderApp> Start(const Book& book, const QString& saveFolder = QString(),
                                     QSettings* settings = nullptr) {
    auto app = std::make_unique<QtReaderApp>(book, saveFolder, settings);
    app->platform().messageBoxHook = [this](const QString& text, const QString&, uint32_t) {
      messages_ << text;
      return static_cast<int>(kReplyNo);
    };
    return app;
  }

 private slots:
  void init() {
    home_ = QDir::currentPath();
    QDir::setCurrent(scratch_.path());
    QFile::remove(kSaveFileName);
    messages_.clear();
  }
  void cleanup() { QDir::setCurrent(home_); }
  void initTestCase() {
    bookc::Diagnostics diagnostics;
    crossing_ = bookc::LoadBook(LANTHORN_FIXTURES_DIR "/crossing", diagnostics);
    QVERIFY(crossing_ != nullptr);
  }

  void openingSequenceHelpAndTheFirstPage() {
    auto app = Start(CompiledBook());
    QVERIFY(app->Start());
    ReaderWindow* window = app->window();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(app->reader().navigation.screenNumber, int32_t{kTitleScreen});
    Screenshot(window, "01-presents");
    QTRY_COMPARE_WITH_TIMEOUT(app->reader().navigation.screenNumber, int32_t{kDetailsScreen}, 4000);
    Screenshot(window, "02-title");
    QTRY_VERIFY_WITH_TIMEOUT(ButtonWithText(window, "INSTRUCTIONS") != nullptr, 4000);
    Screenshot(window, "03-details");

    QTest::mouseClick(ButtonWithText(window, "INSTRUCTIONS"), Qt::LeftButton);
    QCOMPARE(app->reader().navigation.storyMode, 0u);
    Screenshot(window, "04-help");
    window->Command(510);
    window->Command(511);  // no Next on the help page's story page: nothing
    QCOMPARE(app->reader().navigation.shownPage, int16_t{2});
    Screenshot(window, "05-story");

    window->Command(502);
    QCOMPARE(app->reader().navigation.shownPage, int16_t{3});
    Screenshot(window, "07-restart");
  }

  void aStoryChoiceAndATypedAnswer() {
    WriteSave(SaveRecord(11, 1));  // "The Ice", past the opening screens
    auto app = Start(crossing_->book());
    QVERIFY(app->Start());
    ReaderWindow* window = app->window();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(app->reader().navigation.shownPage, int16_t{11});
    app->reader().story.random = {true, 1};  // the first d20 roll is 2: the ice holds
    QTest::mouseClick(ControlWithId<QPushButton>(window, 5000), Qt::LeftButton);
    QCOMPARE(app->reader().navigation.shownPage, int16_t{12});

    auto* box = ControlWithId<QLineEdit>(window, 4000);
    QVERIFY(box != nullptr);
    QCOMPARE(box->maxLength(), 8);
    Screenshot(window, "06-input");
    QTest::keyClicks(box, "Red Door!");  // the box takes 8 characters
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_COMPARE(app->reader().navigation.shownPage, int16_t{16});
  }

  void scrollingALongPage() {
    WriteSave(SaveRecord(4, 1));  // a page longer than the window
    auto app = Start(crossing_->book());
    QVERIFY(app->Start());
    ReaderWindow* window = app->window();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QScrollBar* bar = window->scrollBar();
    QVERIFY(bar->maximum() > 0);
    QTest::keyClick(window->page(), Qt::Key_Down);
    QCOMPARE(bar->value(), 16);
    QCOMPARE(app->reader().render.scrollOffset, -16);
    QTest::keyClick(window->page(), Qt::Key_End);
    QCOMPARE(bar->value(), bar->maximum());
    QTest::keyClick(window->page(), Qt::Key_Home);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(app->reader().render.scrollOffset, 0);
  }

  void theSoundsScreenKeepsItsSetting() {
    WriteSave(SaveRecord(11, 1));
    auto app = Start(crossing_->book());
    QVERIFY(app->Start());
    ReaderWindow* window = app->window();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->Command(504);
    auto* box = ControlWithId<QCheckBox>(window, 518);
    QVERIFY(box != nullptr);
    QVERIFY(box->isChecked());
    Screenshot(window, "08-sounds");
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(!box->isChecked());
    QTest::mouseClick(ControlWithId<QPushButton>(window, 519), Qt::LeftButton);
    QCOMPARE(app->reader().settings.sound, uint8_t{0});
    QCOMPARE(app->reader().navigation.shownPage, int16_t{11});
  }

  void exitWritesTheSaveFile() {
    auto app = Start(crossing_->book());
    QVERIFY(app->Start());
    ReaderWindow* window = app->window();
    window->Command(509);
    QTRY_VERIFY(!window->isVisible());
    QCOMPARE(app->Finish(0), 0);
    QFile file(kSaveFileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    // The record, and the journal that guards it (shell/save_file.h).
    QCOMPARE(file.readAll().left(kSaveRecordSize), SaveRecord(2, 1));
    QCOMPARE(file.size(), qint64{kSaveFileSize});
  }

  // Every page of the book that shows a picture, for people to look at the
  // book as one illustrated whole.
  void thePicturePages() {
    WriteSave(SaveRecord(3, 0));
    auto app = Start(CompiledBook());
    QVERIFY(app->Start());
    ReaderWindow* window = app->window();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    Reader& reader = app->reader();
    int pictures = 0;
    for (int16_t page = 2; page <= kParagraphCount; ++page) {
      if (!PageExists(reader.book, page)) continue;
      JoinParagraph(reader.book, reader.platform, page, reader.paragraph);
      if (strstr(reader.paragraph.text, "<W1><V") == nullptr) continue;
      GoToPage(reader, page, PageMode::kAside);
      ++pictures;
      QVERIFY(!window->grab().isNull());
      QDir().mkpath(LANTHORN_SCREENSHOTS_DIR "/pictures");
      window->grab().save(
          QString(LANTHORN_SCREENSHOTS_DIR "/pictures/%1.png").arg(page - 1, 3, 10, QChar('0')));
    }
    QVERIFY(pictures >= 20);
  }

  // The first copy comes to the front, restored, but is not left on top.
  void aSecondCopyIsRefusedAndBringsTheFirstForward() {
    auto first = Start(crossing_->book());
    QVERIFY(first->Start());
    QVERIFY(QTest::qWaitForWindowExposed(first->window()));
    first->window()->showMinimized();
    QTRY_VERIFY(first->window()->isMinimized());
    auto second = Start(crossing_->book());
    QVERIFY(!second->Start());
    QVERIFY(messages_.isEmpty());
    QTRY_VERIFY(!first->window()->isMinimized());
    QVERIFY(!first->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  }

  // Each save folder is a game of its own: copies for two folders both run.
  void copiesForOtherFoldersNeverMeet() {
    auto first = Start(crossing_->book());
    QVERIFY(first->Start());
    QTemporaryDir other;
    QDir::setCurrent(other.path());
    auto second = Start(crossing_->book());
    QVERIFY(second->Start());
    QVERIFY(messages_.isEmpty());
    const QString otherName = QtPlatform::ServerName(kWindowClassName, QString());
    QDir::setCurrent(scratch_.path());
    QVERIFY(QtPlatform::ServerName(kWindowClassName, QString()) != otherName);
  }

  // Two copies started at the same moment: the second finds the first
  // holding the file before it listens, waits for it, and brings it forward
  // instead of saying "I cannot the book?".
  void aCopyStartingAtTheSameMomentIsWaitedFor() {
    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(), {"--hold", scratch_.path()});
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));
    auto second = Start(crossing_->book());
    QVERIFY(!second->Start());
    QVERIFY(messages_.isEmpty());
    QVERIFY(holder.waitForFinished(10000));
    QCOMPARE(holder.exitCode(), 0);
    QVERIFY(holder.readAll().contains("asked"));
  }

  // Tab to a choice (its focus ring drawn), Enter, 1, Tab in an empty box
  // (nothing sent), an answer typed and sent with Tab.
  void aPageIsPlayedByKeysAlone() {
    WriteSave(SaveRecord(11, 1));
    auto app = Start(crossing_->book());
    QVERIFY(app->Start());
    ReaderWindow* window = app->window();
    QVERIFY(ShownAndActive(window));
    Reader& reader = app->reader();
    GoToPage(reader, 2, PageMode::kStory);  // "The Beck": two choices
    auto* walk = ControlWithId<QPushButton>(window, 5000);
    QVERIFY(walk != nullptr);
    const QImage before = Grab(walk);
    QTest::keyClick(window->page(), Qt::Key_Tab);
    QTRY_VERIFY(walk->hasFocus());
    const QImage focused = Grab(walk);
    // The ring: two pixels wide, two pixels in from the border.
    const int middle = walk->height() / 2;
    QCOMPARE(before.pixelColor(2, middle), QColor(Qt::white));
    QCOMPARE(focused.pixelColor(2, middle), QColor(Qt::black));
    QCOMPARE(focused.pixelColor(3, middle), QColor(Qt::black));
    QCOMPARE(focused.pixelColor(walk->width() - 3, middle), QColor(Qt::black));
    int changed = 0;
    for (int y = 0; y < before.height(); ++y) {
      for (int x = 0; x < before.width(); ++x) changed += before.pixel(x, y) != focused.pixel(x, y);
    }
    QVERIFY(changed > 2 * (walk->width() + walk->height()));
    Screenshot(window, "09-focused-choice");
    QTest::keyClick(window->page(), Qt::Key_Tab);
    QVERIFY(ControlWithId<QPushButton>(window, 5001)->hasFocus());
    QTest::keyClick(window->page(), Qt::Key_Backtab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(reader.navigation.shownPage, int16_t{11});

    reader.story.random = {true, 1};  // the ice holds
    QTest::keyClick(window->page(), Qt::Key_1);
    QCOMPARE(reader.navigation.shownPage, int16_t{12});
    auto* box = ControlWithId<QLineEdit>(window, 4000);
    QVERIFY(box != nullptr);
    QTRY_VERIFY(box->hasFocus());
    QTest::keyClick(box, Qt::Key_Return);  // empty: nothing sent
    QCOMPARE(reader.navigation.shownPage, int16_t{12});
    QTest::keyClick(box, Qt::Key_Tab);  // empty: the focus walks on
    QCOMPARE(reader.navigation.shownPage, int16_t{12});
    QVERIFY(!box->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QVERIFY(box->hasFocus());
    QTest::keyClicks(box, "red door");
    QTest::keyClick(box, Qt::Key_Tab);
    QCOMPARE(reader.navigation.shownPage, int16_t{16});
  }

  // After a click on an icon-bar button, the keys scroll the page again.
  void theKeysScrollAfterAnIconBarClick() {
    WriteSave(SaveRecord(4, 1));
    auto app = Start(crossing_->book());
    QVERIFY(app->Start());
    ReaderWindow* window = app->window();
    QVERIFY(ShownAndActive(window));
    QPushButton* info = nullptr;
    for (QPushButton* b : window->page()->findChildren<QPushButton*>()) {
      if (b->accessibleName() == "Going back") info = b;
    }
    QVERIFY(info != nullptr);
    QTest::mouseClick(info, Qt::LeftButton);  // the restart page
    window->Command(510);                     // and Return
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    QVERIFY(app->reader().render.scrollOffset < 0);
  }

  void theWheelScrollsAnywhereOverThePage() {
    WriteSave(SaveRecord(4, 1));  // a page longer than the window
    auto app = Start(crossing_->book());
    QVERIFY(app->Start());
    ReaderWindow* window = app->window();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    Reader& reader = app->reader();
    Wheel(window->page(), -120);
    QCOMPARE(reader.render.scrollOffset, -16 * kWheelLines);
    Wheel(window->scrollBar(), -120);
    QCOMPARE(reader.render.scrollOffset, -32 * kWheelLines);
    QCOMPARE(window->scrollBar()->value(), 32 * kWheelLines);
    Wheel(window->page(), 60);  // half a notch: nothing yet
    QCOMPARE(reader.render.scrollOffset, -32 * kWheelLines);
    Wheel(window->page(), 60);
    QCOMPARE(reader.render.scrollOffset, -16 * kWheelLines);
  }

  void assistiveTechnologyReadsNamesAndThePage() {
    WriteSave(SaveRecord(11, 1));
    auto app = Start(crossing_->book());
    QVERIFY(app->Start());
    ReaderWindow* window = app->window();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    GoToPage(app->reader(), 2, PageMode::kStory);
    QAccessibleInterface* walk =
        QAccessible::queryAccessibleInterface(ControlWithId<QPushButton>(window, 5000));
    QVERIFY(walk != nullptr);
    QCOMPARE(walk->text(QAccessible::Name), QString("Walk to the ice"));
    QCOMPARE(walk->role(), QAccessible::Button);
    QStringList bar;
    for (QPushButton* b : window->page()->findChildren<QPushButton*>()) {
      if (b->property("controlId").toInt() >= 4000) continue;
      QAccessibleInterface* button = QAccessible::queryAccessibleInterface(b);
      bar << button->text(QAccessible::Name);
      QCOMPARE(b->toolTip(), button->text(QAccessible::Name));
    }
    bar.sort();
    QCOMPARE(bar, QStringList({"Going back", "Help", "Information", "Next", "Previous", "Return"}));

    QAccessibleInterface* page = QAccessible::queryAccessibleInterface(window->page());
    QVERIFY(page != nullptr);
    QAccessibleTextInterface* text = page->textInterface();
    QVERIFY(text != nullptr);
    const QString all = text->text(0, text->characterCount());
    QVERIFY2(all.startsWith("The Beck\nThe beck is frozen from bank to bank."), qPrintable(all));
    QVERIFY(all.indexOf("Walk to the ice") > all.indexOf("frozen"));
    QCOMPARE(page->text(QAccessible::Value), all);
  }

  // A reader killed in the middle of a session starts again on the last
  // page reached, with what they carried; SIGTERM ends it as Exit does.
  void aKilledReaderResumesWhereItWas() {
    for (const bool kill : {true, false}) {
      QFile::remove(kSaveFileName);
      WriteSave(SaveRecord(11, 1));
      QProcess player;
      player.start(QCoreApplication::applicationFilePath(), {"--play", scratch_.path()});
      QVERIFY(player.waitForReadyRead(20000));
      QCOMPARE(player.readLine().trimmed(), QByteArray("ready 16"));
      if (kill) {
        player.kill();  // SIGKILL: nothing runs after it
      } else {
        player.terminate();  // SIGTERM
      }
      QVERIFY(player.waitForFinished(10000));
      if (!kill) {
        QCOMPARE(player.exitStatus(), QProcess::NormalExit);
        QCOMPARE(player.exitCode(), 0);
      }
      auto app = Start(crossing_->book());
      QVERIFY(app->Start());
      const Reader& reader = app->reader();
      QCOMPARE(reader.navigation.shownPage, int16_t{16});
      QCOMPARE(int{reader.story.state.restartPoints[0].reached}, 1);
      QCOMPARE(app->Finish(0), 0);
      QFile file(kSaveFileName);
      QVERIFY(file.open(QIODevice::ReadOnly));
      QCOMPARE(file.size(), qint64{kSaveFileSize});
    }
  }

  // The save file is kept in the desktop's data folder, made when missing;
  // one found where the reader starts moves there once, and never over a
  // game the data folder already has, nor from under a running copy.
  void theSaveFileMovesOnceIntoTheDataFolder() {
    DataHome data;
    const QString expected = data.path() + "/Tallowlight Studio/Lanthorn Fell";
    SaveMove moved = SaveMove::kFailed;
    // Nothing to move: the folder is made all the same.
    QCOMPARE(PrepareSaveFolder(scratch_.path(), &moved), expected);
    QCOMPARE(moved, SaveMove::kNone);
    QVERIFY(QFileInfo(expected).isDir());
    const QString kept = expected + "/" + kSaveFileName;

    WriteSave(SaveRecord(11, 1));
    QCOMPARE(PrepareSaveFolder(scratch_.path(), &moved), expected);
    QCOMPARE(moved, SaveMove::kMoved);
    QVERIFY(!QFile::exists(kSaveFileName));
    QCOMPARE(ReadAll(kept), SaveRecord(11, 1));

    // Both: the data folder's game is the one played; the other stays.
    WriteSave(SaveRecord(4, 0));
    QCOMPARE(PrepareSaveFolder(scratch_.path(), &moved), expected);
    QCOMPARE(moved, SaveMove::kLeft);
    QCOMPARE(ReadAll(kSaveFileName), SaveRecord(4, 0));
    auto app = Start(crossing_->book(), expected);
    QVERIFY(app->Start());
    QCOMPARE(app->reader().navigation.shownPage, int16_t{11});
    app->window()->Command(kExit);
    QCOMPARE(app->Finish(0), 0);
    QCOMPARE(ReadAll(kept).size(), qsizetype{kSaveFileSize});
    QCOMPARE(ReadAll(kSaveFileName), SaveRecord(4, 0));

    // A copy of an older reader still running on the start folder's file.
    QVERIFY(QFile::remove(kept));
    const int fd = open(kSaveFileName, O_RDWR);
    QVERIFY(fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0);
    // That copy's game: this start goes to it, to be refused and bring it
    // forward.
    QCOMPARE(PrepareSaveFolder(scratch_.path(), &moved), scratch_.path());
    close(fd);
    QCOMPARE(moved, SaveMove::kHeld);
    QVERIFY(QFile::exists(kSaveFileName));
    QVERIFY(!QFile::exists(kept));
  }

  // Started from two folders, the reader is the same game: the second copy
  // finds the first holding the data folder's file and brings it forward.
  void oneGameWhereverTheReaderIsStarted() {
    DataHome data;
    const QString folder = PrepareSaveFolder(scratch_.path());
    auto first = Start(crossing_->book(), folder);
    QVERIFY(first->Start());
    QVERIFY(QTest::qWaitForWindowExposed(first->window()));
    first->window()->showMinimized();
    QTRY_VERIFY(first->window()->isMinimized());
    QTemporaryDir elsewhere;
    QDir::setCurrent(elsewhere.path());
    auto second = Start(crossing_->book(), PrepareSaveFolder(elsewhere.path()));
    QVERIFY(!second->Start());
    QVERIFY(messages_.isEmpty());
    QTRY_VERIFY(!first->window()->isMinimized());
    QVERIFY(!QFile::exists(kSaveFileName));
  }

  // A save file that cannot be opened is named, with the system's reason,
  // below the core's message.
  void aSaveFileThatCannotBeOpenedIsNamedWithItsReason() {
    const struct {
      QString folder;
      int error;
    } cases[] = {{scratch_.path() + "/blocked", EISDIR}, {scratch_.path() + "/gone", ENOENT}};
    QVERIFY(QDir().mkpath(cases[0].folder + "/" + kSaveFileName));  // a folder of its name
    for (const auto& c : cases) {
      messages_.clear();
      auto app = Start(crossing_->book(), c.folder);
      QVERIFY(!app->Start());
      QCOMPARE(messages_.size(), 1);
      const QStringList lines = messages_[0].split('\n');
      QCOMPARE(lines.value(0), QString("I cannot the book?"));
      QVERIFY2(lines.contains(c.folder + "/" + kSaveFileName), qPrintable(messages_[0]));
      QVERIFY2(lines.contains(QString::fromLocal8Bit(strerror(c.error))), qPrintable(messages_[0]));
    }
    // A copy already running: no message, as before.
    messages_.clear();
    auto first = Start(crossing_->book(), scratch_.path());
    QVERIFY(first->Start());
    auto second = Start(crossing_->book(), scratch_.path());
    QVERIFY(!second->Start());
    QVERIFY(messages_.isEmpty());
  }

  // Light, dark and high-contrast desktops, and a theme whose text colour
  // is nearly its base's: the page takes the desktop's base, and its text
  // stands out from it by at least 4.5 to 1.
  void theTextIsLegibleInEveryPalette() {
    const struct {
      const char* name;
      QPalette palette;
      bool paperIsBase;
    } themes[] = {
        {"light", Palette("#efefef", "#000000", "#ffffff", "#1a1a1a", "#3daee9"), true},
        {"dark", Palette("#2b2b2b", "#e6e6e6", "#1e1e1e", "#e0e0e0", "#2a6fb0"), true},
        {"high-contrast", Palette("#000000", "#ffffff", "#000000", "#ffff00", "#00ffff"), true},
        {"charcoal-black-text", Palette("#333333", "#000000", "#3a3a3a", "#111111", "#555555"),
         true},
    };
    for (const auto& theme : themes) {
      WriteSave(SaveRecord(11, 1));
      auto app = Start(crossing_->book());
      QVERIFY(app->Start());
      ReaderWindow* window = app->window();
      window->setPalette(theme.palette);
      QVERIFY(QTest::qWaitForWindowExposed(window));
      GoToPage(app->reader(), 2, PageMode::kStory);  // "The Beck": text and two choices
      const QImage page = Grab(window->page());
      Screenshot(window, (QString("palette-") + theme.name).toUtf8().constData());
      const QColor paper = Paper(page);
      if (theme.paperIsBase) QCOMPARE(paper, theme.palette.color(QPalette::Base));
      // The first lines of text, above the choices and the icon bar.
      const QImage text = page.copy(0, 0, page.width(), page.height() / 4);
      QVERIFY2(
          LegiblePixels(text, paper) > 300,
          qPrintable(
              QString("%1: %2 legible pixels").arg(theme.name).arg(LegiblePixels(text, paper))));
      auto* walk = ControlWithId<QPushButton>(window, 5000);
      QVERIFY(walk != nullptr);
      const QImage choice = Grab(walk);
      QVERIFY2(LegiblePixels(choice, Paper(choice)) > 50, theme.name);
      QCOMPARE(Paper(choice), paper);
      QCOMPARE(app->Finish(0), 0);
    }
  }

  // The page is laid out at the window's width: narrower, its lines wrap
  // sooner and the page runs longer; wider than the reading column, the
  // page stays a column in the window's middle, and the icon bar with it.
  void theWindowResizesAndThePageReflows() {
    WriteSave(SaveRecord(4, 1));  // a long page
    auto app = Start(crossing_->book());
    QVERIFY(app->Start());
    ReaderWindow* window = app->window();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const Reader& reader = app->reader();
    const auto heightAt = [&](int width) {
      window->resize(width, 560);
      if (!QTest::qWaitFor([&] { return window->width() == width; })) return -1;
      window->grab();  // painted: laid out again
      return reader.render.lastContentHeight;
    };
    const int column = window->ColumnWidth();
    QVERIFY(column > kMinimumPageWidth);
    const int32_t wide = heightAt(column + 40);
    Screenshot(window, "reflow-column");
    const int32_t narrow = heightAt(kMinimumPageWidth + 40);
    Screenshot(window, "reflow-narrow");
    QVERIFY2(narrow > wide, qPrintable(QString("%1 narrow, %2 wide").arg(narrow).arg(wide)));
    QCOMPARE(reader.render.pageArea.right, window->page()->width());

    const int32_t widest = heightAt(2400);
    Screenshot(window, "reflow-wide");
    QCOMPARE(widest, wide);  // no longer lines than the column's
    const QRect page = window->page()->geometry();
    QCOMPARE(page.width(), column);
    QVERIFY(std::abs(page.center().x() - window->page()->parentWidget()->width() / 2) <= 1);
    for (QPushButton* b : window->page()->findChildren<QPushButton*>()) {
      if (b->property("controlId").toInt() >= 4000 || !b->isVisible()) continue;
      QVERIFY(b->geometry().right() < page.width());
      QVERIFY(b->width() >= 40);
    }
    // Never narrower than the widest picture with its margins.
    window->resize(100, 100);
    QTRY_VERIFY(window->page()->width() >= kMinimumPageWidth);
  }

  // Ctrl+plus and Ctrl+minus step the text size, Ctrl+0 brings it back; the
  // size and the window's size are kept for the next start.
  void theTextSizeStepsAndIsKept() {
    QTemporaryDir settingsDir;
    QSettings settings(settingsDir.filePath("reader.conf"), QSettings::IniFormat);
    WriteSave(SaveRecord(4, 1));
    auto app = Start(crossing_->book(), QString(), &settings);
    QVERIFY(app->Start());
    ReaderWindow* window = app->window();
    QVERIFY(ShownAndActive(window));
    Reader& reader = app->reader();
    const auto fontHeight = [&] {
      return app->platform().Font(reader.page.geometry.normalFont)->pixelSize();
    };
    const int normal = fontHeight();
    window->grab();
    const int32_t normalHeight = reader.render.lastContentHeight;
    const int normalColumn = window->ColumnWidth();

    QTest::keyClick(window, Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(window->TextSize(), 110);
    QTest::keyClick(window, Qt::Key_Equal, Qt::ControlModifier);  // the key "+" shares
    QCOMPARE(window->TextSize(), 125);
    QVERIFY(fontHeight() > normal);
    window->grab();
    QVERIFY(reader.render.lastContentHeight > normalHeight);
    QVERIFY(window->ColumnWidth() > normalColumn);  // as many characters to a line
    Screenshot(window, "text-larger");
    QTest::keyClick(window, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(window->TextSize(), kNormalTextSize);
    QCOMPARE(fontHeight(), normal);
    QTest::keyClick(window, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(window->TextSize(), 90);
    QVERIFY(fontHeight() < normal);
    for (int i = 0; i < 20; ++i) QTest::keyClick(window, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(window->TextSize(), kTextSizes[0]);

    // The menu's entries do the same.
    QAction* larger = nullptr;
    for (QAction* a : window->findChildren<QAction*>()) {
      if (a->text() == "&Larger Text") larger = a;
    }
    QVERIFY(larger != nullptr);
    larger->trigger();
    QCOMPARE(window->TextSize(), kTextSizes[1]);
    larger->trigger();
    larger->trigger();
    QCOMPARE(window->TextSize(), 100);
    larger->trigger();
    window->resize(640, 500);
    QTRY_COMPARE(window->size(), QSize(640, 500));
    window->Command(kExit);
    QTRY_VERIFY(!window->isVisible());
    QCOMPARE(app->Finish(0), 0);
    app.reset();

    auto again = Start(crossing_->book(), QString(), &settings);
    QVERIFY(again->Start());
    QCOMPARE(again->window()->TextSize(), 110);
    QCOMPARE(again->platform().Font(again->reader().page.geometry.normalFont)->pixelSize(),
             (normal * 110 + 50) / 100);
    QCOMPARE(again->window()->size(), QSize(640, 500));
  }

  // Under a scale factor every picture and icon-bar face is drawn again
  // from its source at the screen's pixels: the same picture, but not its
  // bitmap's pixels doubled.
  void picturesAreSharpUnderAScaleFactor() {
    QtPlatform platform;
    const QStringList bitmaps = QDir(":/bitmaps").entryList({"*.bmp"});
    QVERIFY(bitmaps.size() >= 30);
    for (const QString& name : bitmaps) {
      const auto id = static_cast<uint16_t>(QFileInfo(name).baseName().toUInt());
      const QPixmap* bitmap = platform.Bitmap(id);
      QVERIFY(bitmap != nullptr);
      QCOMPARE(platform.Picture(id, 1.0), bitmap);
      const QPixmap* sharp = platform.Picture(id, 2.0);
      QVERIFY2(sharp != nullptr && sharp != bitmap, qPrintable(name));
      QCOMPARE(sharp->size(), bitmap->size() * 2);
      QCOMPARE(sharp->deviceIndependentSize().toSize(), bitmap->size());

      // Drawn by the canvas on a 2x surface, at the bitmap's place and size.
      QImage surface(bitmap->size() * 2, QImage::Format_RGB32);
      surface.setDevicePixelRatio(2.0);
      surface.fill(Qt::white);
      {
        QPainter painter(&surface);
        QtCanvas canvas(platform, painter, Qt::black);
        canvas.DrawBitmap(id, 0, 0);
      }
      QDir().mkpath(LANTHORN_SCREENSHOTS_DIR "/sharp");
      surface.save(QString(LANTHORN_SCREENSHOTS_DIR "/sharp/%1.png").arg(id));
      int blocks = 0;
      int uneven = 0;
      for (int y = 0; y + 1 < surface.height(); y += 2) {
        for (int x = 0; x + 1 < surface.width(); x += 2) {
          const QRgb p = surface.pixel(x, y);
          ++blocks;
          uneven += surface.pixel(x + 1, y) != p || surface.pixel(x, y + 1) != p ||
                    surface.pixel(x + 1, y + 1) != p;
        }
      }
      QVERIFY2(uneven > blocks / 50,
               qPrintable(QString("%1: %2 of %3").arg(name).arg(uneven).arg(blocks)));
      // Brought down to the bitmap's size, it is the bitmap's picture: its
      // pixels' grey levels a few steps apart on the whole, and every part
      // of it (each eighth of its width and height) close.
      const QImage down =
          surface.scaled(bitmap->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
              .convertToFormat(QImage::Format_RGB32);
      const QImage original = bitmap->toImage().convertToFormat(QImage::Format_RGB32);
      double whole = 0;
      double worstPart = 0;
      for (int py = 0; py < 8; ++py) {
        for (int px = 0; px < 8; ++px) {
          double part = 0;
          int count = 0;
          for (int y = py * original.height() / 8; y < (py + 1) * original.height() / 8; ++y) {
            for (int x = px * original.width() / 8; x < (px + 1) * original.width() / 8; ++x) {
              part += std::abs(qGray(down.pixel(x, y)) - qGray(original.pixel(x, y)));
              ++count;
            }
          }
          whole += part;
          if (count > 0) worstPart = std::max(worstPart, part / count);
        }
      }
      whole /= original.width() * original.height();
      qInfo("%s: %.1f on the whole, %.1f at worst", qPrintable(name), whole, worstPart);
      QVERIFY2(whole < 3 && worstPart < 12,
               qPrintable(QString("%1: %2, %3").arg(name).arg(whole).arg(worstPart)));
    }
  }

  // A save cut short while its record was written over: the journal's
  // record is taken, not the mix.
  void aDamagedLastWriteKeepsTheLastWholeRecord() {
    const QByteArray old = SaveRecord(11, 1);
    QByteArray fresh = SaveRecord(16, 0);
    fresh[2528] = 1;  // restart point 0 reached
    QByteArray file = fresh + fresh + "LFJ1";
    const uint32_t crc =
        Crc32(reinterpret_cast<const uint8_t*>(fresh.constData()), kSaveRecordSize);
    for (int i = 0; i < 4; ++i) file += static_cast<char>(crc >> (8 * i));
    file.replace(1000, kSaveRecordSize - 1000, old.mid(1000));
    WriteSave(file);
    auto app = Start(crossing_->book());
    QVERIFY(app->Start());
    QCOMPARE(app->reader().navigation.shownPage, int16_t{16});
    QCOMPARE(int{app->reader().story.state.restartPoints[0].reached}, 1);
    QCOMPARE(int{app->reader().settings.sound}, 0);
  }
};

int main(int argc, char** argv) {
  if (argc == 3 && qstrcmp(argv[1], "--play") == 0) return PlayAndWait(argc, argv);
  if (argc == 3 && qstrcmp(argv[1], "--hold") == 0) return HoldAndListen(argc, argv);
  QApplication application(argc, argv);
  application.setAttribute(Qt::AA_Use96Dpi, true);
  SetApplicationNames();
  QtReaderTest test;
  QTEST_SET_MAIN_SOURCE_PATH
  return QTest::qExec(&test, argc, argv);
}
#include "qt_reader_test.moc"
