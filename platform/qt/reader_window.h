// The reader's main window on Qt: the "&Menu" menu, the page (the client
// area, where the core paints and places its controls) and the vertical
// scroll bar. Qt's events become the core's.
#pragma once

#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QWidget>

#include "platform/qt/qt_platform.h"

class QScrollBar;

namespace lanthorn {

struct Reader;
class ReaderWindow;

class PageWidget : public QWidget {
  Q_OBJECT
 public:
  PageWidget(QWidget* parent, Reader& reader, QtPlatform& platform);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  Reader& reader_;
  QtPlatform& platform_;
};

// A page choice: the core draws its face.
class ChoiceButton : public QPushButton {
  Q_OBJECT
 public:
  ChoiceButton(Reader& reader, QtPlatform& platform, uint16_t id, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Reader& reader_;
  QtPlatform& platform_;
  uint16_t id_;
};

// A text input box: Tab or Enter submits its text, Up and Down scroll.
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
  void BringToFront();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void ScrollAction(int action);

  Reader& reader_;
  QtPlatform& platform_;
  PageWidget* page_;
  QScrollBar* scrollBar_;
};

}  // namespace lanthorn
