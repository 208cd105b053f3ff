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
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

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

void Wheel(QWidget* widget, int delta) {
  const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
  QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &event);
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
  std::unique_ptr<QtReaderApp> Start(const Book& book) {
    auto app = std::make_unique<QtReaderApp>(book);
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
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
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
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
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
  QtReaderTest test;
  QTEST_SET_MAIN_SOURCE_PATH
  return QTest::qExec(&test, argc, argv);
}
#include "qt_reader_test.moc"
