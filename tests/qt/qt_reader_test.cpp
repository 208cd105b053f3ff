// The Qt reader, driven as a reader would drive it, on the offscreen
// platform: the opening sequence, a story choice, a typed answer, scrolling
// a long page, the Sounds screen, Exit writing the save file and a second
// copy refused. Screenshots of the same pages as the Win32 suite's go to
// build/screenshots/qt.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include "book/paragraph_store.h"
#include "platform/qt/qt_app.h"
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
    QCOMPARE(file.readAll(), SaveRecord(2, 1));
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
      window->grab().save(QString(LANTHORN_SCREENSHOTS_DIR "/pictures/%1.png").arg(page - 1, 3, 10, QChar('0')));
    }
    QVERIFY(pictures >= 20);
  }

  void aSecondCopyIsRefusedAndBringsTheFirstForward() {
    auto first = Start(crossing_->book());
    QVERIFY(first->Start());
    QVERIFY(QTest::qWaitForWindowExposed(first->window()));
    auto second = Start(crossing_->book());
    QVERIFY(!second->Start());
    QVERIFY(messages_.isEmpty());
    QTRY_VERIFY(first->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  }
};

QTEST_MAIN(QtReaderTest)
#include "qt_reader_test.moc"
