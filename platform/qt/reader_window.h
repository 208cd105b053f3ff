// The reader's main window on Qt: the "&Menu" menu, the page (the client
// area, where the core paints and places its controls) and the vertical
// scroll bar. Qt's events become the core's.
#pragma once

#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QWidget>

class QWheelEvent;

#include "platform/qt/qt_platform.h"

class QScrollBar;

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

class ReaderWindow : public QMainWindow {
  Q_OBJECT
 public:
  ReaderWindow(Reader& reader, QtPlatform& platform);

  Reader& reader() const { return reader_; }
  PageWidget* page() const { return page_; }
  QScrollBar* scrollBar() const { return scrollBar_; }
  // Sizes the window so that its page is width x height pixels.
  void SetPageSize(int width, int height);
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
  PageWidget* page_;
  QScrollBar* scrollBar_;
};

}  // namespace lanthorn
