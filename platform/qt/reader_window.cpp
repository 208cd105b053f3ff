#include "platform/qt/reader_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>

#include "page/commands.h"
#include "shell/main_window.h"
#include "shell/reader.h"

namespace lanthorn {

namespace {

Key KeyOf(int key) {
  switch (key) {
    case Qt::Key_PageUp: return Key::kPageUp;
    case Qt::Key_PageDown: return Key::kPageDown;
    case Qt::Key_End: return Key::kEnd;
    case Qt::Key_Home: return Key::kHome;
    case Qt::Key_Up: return Key::kUp;
    case Qt::Key_Down: return Key::kDown;
    default: return Key::kOther;
  }
}

}  // namespace

PageWidget::PageWidget(QWidget* parent, Reader& reader, QtPlatform& platform)
    : QWidget(parent), reader_(reader), platform_(platform) {
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setFocusPolicy(Qt::StrongFocus);
}

void PageWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QtCanvas canvas(platform_, painter);
  platform_.BeginPainting();
  OnPaint(reader_, canvas);
  platform_.EndPainting();
}

void PageWidget::resizeEvent(QResizeEvent*) { OnSize(reader_, width(), height()); }

void PageWidget::keyPressEvent(QKeyEvent* event) {
  if (!OnKeyDown(reader_, KeyOf(event->key()))) QWidget::keyPressEvent(event);
}

ChoiceButton::ChoiceButton(Reader& reader, QtPlatform& platform, uint16_t id, QWidget* parent)
    : QPushButton(parent), reader_(reader), platform_(platform), id_(id) {}

void ChoiceButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.setPen(isDown() ? Qt::darkGray : Qt::black);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  painter.setPen(Qt::black);
  QtCanvas canvas(platform_, painter);
  OnDrawItem(reader_, canvas, id_, {0, 0, width(), height()});
}

InputBox::InputBox(Reader& reader, uint16_t id, QWidget* parent)
    : QLineEdit(parent), reader_(reader), id_(id) {}

bool InputBox::event(QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Return || key == Qt::Key_Enter) {
      OnCommand(reader_, id_, kEditEntered);
      return true;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      OnVerticalScroll(reader_, key == Qt::Key_Up ? kLineUp : kLineDown);
      return true;
    }
  }
  return QLineEdit::event(event);
}

ReaderWindow::ReaderWindow(Reader& reader, QtPlatform& platform)
    : reader_(reader), platform_(platform) {
  QMenu* menu = menuBar()->addMenu(kMenuTitle);
  for (const MenuItem& item : kMenu) {
    const uint16_t id = item.id;
    menu->addAction(item.text, this, [this, id] { Command(id); });
  }
  auto* client = new QWidget(this);
  auto* layout = new QHBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  page_ = new PageWidget(client, reader, platform);
  scrollBar_ = new QScrollBar(Qt::Vertical, client);
  layout->addWidget(page_, 1);
  layout->addWidget(scrollBar_);
  setCentralWidget(client);
  connect(scrollBar_, &QScrollBar::actionTriggered, this, &ReaderWindow::ScrollAction);
}

void ReaderWindow::SetPageSize(int width, int height) {
  page_->setFixedSize(width, height);
  adjustSize();
  setFixedSize(sizeHint());
}

void ReaderWindow::Command(uint16_t id, uint16_t notification) {
  OnCommand(reader_, id, notification);
}

void ReaderWindow::BringToFront() {
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  show();
  raise();
  activateWindow();
  page_->update();
}

void ReaderWindow::ScrollAction(int action) {
  // The core decides where the page goes: the bar's own move is undone and
  // the request handed over, with the thumb's place for a drag.
  platform_.SetTrackPosition(scrollBar_->sliderPosition());
  scrollBar_->setSliderPosition(scrollBar_->value());
  uint16_t request = kEndScroll;
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: request = kLineDown; break;
    case QAbstractSlider::SliderSingleStepSub: request = kLineUp; break;
    case QAbstractSlider::SliderPageStepAdd: request = kPageDown; break;
    case QAbstractSlider::SliderPageStepSub: request = kPageUp; break;
    case QAbstractSlider::SliderToMinimum: request = kTop; break;
    case QAbstractSlider::SliderToMaximum: request = kBottom; break;
    case QAbstractSlider::SliderMove: request = kThumbTrack; break;
    default: break;
  }
  OnVerticalScroll(reader_, request);
}

void ReaderWindow::closeEvent(QCloseEvent* event) {
  OnDestroy(reader_);
  event->accept();
  QApplication::quit();
}

}  // namespace lanthorn
