// The reader's main window on Qt: the "&Menu" menu, the page (the client
// area, where the core paints and places its controls) and the vertical
// scroll bar. Qt's events become the core's.
#pragma once

#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QWidget>

class QAction;
class QScrollBar;
class QSettings;
class QWheelEvent;

#include "platform/qt/qt_platform.h"

namespace lanthorn {

struct Reader;
class ReaderWindow;

// The page: the core paints it; the wheel anywhere over it scrolls it, and
// assistive technology reads its text (an accessible interface of its own).
class PageWidget : public QWidget {
  Q_OBJECT
 public:
  PageWidget(QWidget* parent, Reader& reader, QtPlatform& platform);
  Reader& reader() const { return reader_; }
  // Turns wheel movement into whole notches for the core; true when used.
  bool Wheel(QWheelEvent* event);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  Reader& reader_;
  QtPlatform& platform_;
  int wheelRest_ = 0;  // the part of a notch not yet scrolled
};

// A page choice: the core draws its face and, when it has the focus, its
// focus ring. A picture choice has no border.
class ChoiceButton : public QPushButton {
  Q_OBJECT
 public:
  ChoiceButton(Reader& reader, QtPlatform& platform, uint16_t id, bool framed, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Reader& reader_;
  QtPlatform& platform_;
  uint16_t id_;
  bool framed_;
};

// A text input box: Tab or Enter submits its text, Up and Down scroll (the
// core's rule, shell/keyboard.h).
class InputBox : public QLineEdit {
  Q_OBJECT
 public:
  InputBox(Reader& reader, uint16_t id, QWidget* parent);

 protected:
  bool event(QEvent* event) override;

 private:
  Reader& reader_;
  uint16_t id_;
};

// The steps of the text size setting, as a percentage of the core's size.
constexpr int kTextSizes[] = {70, 80, 90, 100, 110, 125, 140, 160, 180, 200};
constexpr int kNormalTextSize = 100;
// The page is never narrower than the widest picture with its margins, nor
// lower than the core's smallest window.
constexpr int kMinimumPageWidth = 368;
constexpr int kMinimumPageHeight = 320;
// A wide window shows the page as a centred column about this many average
// characters wide, a comfortable length of line to read.
constexpr int kColumnCharacters = 75;

// The main window: the "&Menu" menu, the page and the scroll bar. It can be
// resized; past the reading column's width the page stays a column in the
// middle. It keeps its size and the text size in the settings given to it
// ("window/size", "text/size").
class ReaderWindow : public QMainWindow {
  Q_OBJECT
 public:
  ReaderWindow(Reader& reader, QtPlatform& platform, QSettings* settings = nullptr);

  Reader& reader() const { return reader_; }
  PageWidget* page() const { return page_; }
  QScrollBar* scrollBar() const { return scrollBar_; }
  // Sizes the window so that its page is width x height pixels.
  void SetPageSize(int width, int height);
  // The text size, one of kTextSizes: the page is laid out again in it, and
  // it is kept in the settings.
  void SetTextSize(int percent);
  int TextSize() const { return textSize_; }
  // The next size up (+1) or down (-1) from the present one.
  void StepTextSize(int direction);
  // The widest the page grows: the reading column at the present text size.
  int ColumnWidth() const;
  // Places the page in the window's middle, at most the column's width.
  void PlacePage();
  // Runs a command as the window procedure would.
  void Command(uint16_t id, uint16_t notification = 0);
  // Comes to the front (restored if minimised), without staying on top.
  void BringToFront();
  // Tells assistive technology that the page has a new text.
  void PageChanged();

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Keys on the window's page and buttons (not its input boxes, which keep
  // their own) go to the core first, and the wheel over the scroll bar.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ScrollAction(int action);

  Reader& reader_;
  QtPlatform& platform_;
  QSettings* settings_;
  QWidget* desk_;  // the page's column and the margins beside it
  PageWidget* page_;
  QScrollBar* scrollBar_;
  int textSize_ = kNormalTextSize;
};

}  // namespace lanthorn
