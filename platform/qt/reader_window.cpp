#include "platform/qt/reader_window.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <QSettings>
#include <QWheelEvent>

#include "page/commands.h"
#include "page/page.h"
#include "shell/keyboard.h"
#include "shell/main_window.h"
#include "shell/page_text.h"
#include "shell/reader.h"
#include "shell/startup.h"

namespace lanthorn {

namespace {

Key KeyOf(const QKeyEvent* event) {
  // Keys with Ctrl, Alt or Meta belong to the menu and the system.
  if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
    return Key::kOther;
  }
  const int key = event->key();
  if (key >= Qt::Key_1 && key <= Qt::Key_9) {
    return static_cast<Key>(static_cast<int>(Key::kDigit1) + (key - Qt::Key_1));
  }
  switch (key) {
    case Qt::Key_PageUp: return Key::kPageUp;
    case Qt::Key_PageDown: return Key::kPageDown;
    case Qt::Key_End: return Key::kEnd;
    case Qt::Key_Home: return Key::kHome;
    case Qt::Key_Up: return Key::kUp;
    case Qt::Key_Down: return Key::kDown;
    case Qt::Key_Tab: return event->modifiers() & Qt::ShiftModifier ? Key::kBackTab : Key::kTab;
    case Qt::Key_Backtab: return Key::kBackTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return Key::kEnter;
    case Qt::Key_Space: return Key::kSpace;
    default: return Key::kOther;
  }
}

// The page's text for assistive technology: its name is the window's title,
// its text the page in reading order (shell/page_text.h); the page's
// controls are its children.
class PageAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit PageAccessible(PageWidget* page) : QAccessibleWidget(page, QAccessible::Document) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return widget()->window()->windowTitle();
    if (t == QAccessible::Value || t == QAccessible::Description) return PageString();
    return QAccessibleWidget::text(t);
  }

  // QAccessibleTextInterface: the text is read only, with no selection.
  void selection(int, int* start, int* end) const override { *start = *end = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QString text(int start, int end) const override { return PageString().mid(start, end - start); }
  int characterCount() const override { return static_cast<int>(PageString().size()); }
  QRect characterRect(int) const override { return QRect(); }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int* start, int* end) const override {
    *start = offset;
    *end = offset;
    return QString();
  }

 private:
  QString PageString() const {
    const Reader& reader = static_cast<const PageWidget*>(widget())->reader();
    char text[kPageTextSize + 1024];
    const int32_t length = PageText(reader, text, sizeof text);
    return FromBookText(text, length);
  }
};

// The margins beside the page's column: they keep it in the middle.
class Desk : public QWidget {
 public:
  explicit Desk(QWidget* parent) : QWidget(parent) {}
  ReaderWindow* window = nullptr;

 protected:
  void resizeEvent(QResizeEvent*) override {
    if (window != nullptr) window->PlacePage();
  }
};

QAccessibleInterface* AccessibleFactory(const QString& className, QObject* object) {
  if (className == QLatin1String("lanthorn::PageWidget") && object->isWidgetType()) {
    return new PageAccessible(static_cast<PageWidget*>(object));
  }
  return nullptr;
}

}  // namespace

PageWidget::PageWidget(QWidget* parent, Reader& reader, QtPlatform& platform)
    : QWidget(parent), reader_(reader), platform_(platform) {
  // The page is the desktop's paper colour: its base, as behind text fields.
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  setFocusPolicy(Qt::StrongFocus);
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(AccessibleFactory);
    return true;
  }();
  (void)factoryInstalled;
}

void PageWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QtCanvas canvas(platform_, painter, PageColoursOf(palette()).ink);
  platform_.BeginPainting();
  const bool rebuilding = reader_.navigation.rebuild != 0;
  OnPaint(reader_, canvas);
  platform_.EndPainting();
  if (rebuilding) {
    if (auto* main = qobject_cast<ReaderWindow*>(window())) main->PageChanged();
  }
}

void PageWidget::resizeEvent(QResizeEvent*) {
  // The core lays the page out at its client's width at every paint.
  MainWindowCreated(reader_);
  OnSize(reader_, width(), height());
  update();
}

bool PageWidget::Wheel(QWheelEvent* event) {
  // One notch is 120 eighths of a degree; finer wheels add up to notches.
  wheelRest_ += event->angleDelta().y();
  const int notches = wheelRest_ / 120;
  wheelRest_ -= notches * 120;
  if (notches != 0) OnWheel(reader_, notches);
  event->accept();
  return true;
}

void PageWidget::wheelEvent(QWheelEvent* event) { Wheel(event); }

ChoiceButton::ChoiceButton(Reader& reader, QtPlatform& platform, uint16_t id, bool framed,
                           QWidget* parent)
    : QPushButton(parent), reader_(reader), platform_(platform), id_(id), framed_(framed) {}

void ChoiceButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const PageColours colours = PageColoursOf(palette());
  painter.fillRect(rect(), colours.paper);
  if (framed_) {
    painter.setPen(isDown() ? palette().color(QPalette::Mid) : colours.ink);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
  painter.setPen(colours.ink);
  QtCanvas canvas(platform_, painter, colours.ink);
  OnDrawItem(reader_, canvas, id_, {0, 0, width(), height()}, hasFocus());
}

InputBox::InputBox(Reader& reader, uint16_t id, QWidget* parent)
    : QLineEdit(parent), reader_(reader), id_(id) {}

bool InputBox::event(QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Return ||
        key == Qt::Key_Enter || key == Qt::Key_Up || key == Qt::Key_Down) {
      if (OnInputBoxKey(reader_, id_, KeyOf(static_cast<QKeyEvent*>(event)))) return true;
    }
  }
  return QLineEdit::event(event);
}

ReaderWindow::ReaderWindow(Reader& reader, QtPlatform& platform, QSettings* settings)
    : reader_(reader), platform_(platform), settings_(settings) {
  QMenu* menu = menuBar()->addMenu(kMenuTitle);
  for (const MenuItem& item : kMenu) {
    const uint16_t id = item.id;
    // This reader's own entries, the text size, come before Exit.
    if (id == kExit) {
      menu->addSeparator();
      QAction* larger = menu->addAction("&Larger Text", this, [this] { StepTextSize(1); });
      larger->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
      QAction* smaller = menu->addAction("S&maller Text", this, [this] { StepTextSize(-1); });
      smaller->setShortcuts(QKeySequence::ZoomOut);
      QAction* normal =
          menu->addAction("&Normal Text Size", this, [this] { SetTextSize(kNormalTextSize); });
      normal->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
      menu->addSeparator();
    }
    menu->addAction(item.text, this, [this, id] { Command(id); });
  }
  auto* client = new QWidget(this);
  auto* layout = new QHBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* desk = new Desk(client);
  desk_ = desk;
  desk_->setMinimumSize(kMinimumPageWidth, kMinimumPageHeight);
  page_ = new PageWidget(desk_, reader, platform);
  scrollBar_ = new QScrollBar(Qt::Vertical, client);
  layout->addWidget(desk_, 1);
  layout->addWidget(scrollBar_);
  desk->window = this;
  if (settings_ != nullptr) {
    const int kept = settings_->value("text/size", kNormalTextSize).toInt();
    for (const int size : kTextSizes) {
      if (size == kept) textSize_ = kept;
    }
    platform_.SetTextScale(textSize_ / 100.0);
  }
  setCentralWidget(client);
  connect(scrollBar_, &QScrollBar::actionTriggered, this, &ReaderWindow::ScrollAction);
  scrollBar_->installEventFilter(this);
  qApp->installEventFilter(this);
}

bool ReaderWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Wheel && watched == scrollBar_) {
    return page_->Wheel(static_cast<QWheelEvent*>(event));
  }
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (widget->window() != this || qobject_cast<InputBox*>(widget) != nullptr) return false;
  if (!page_->isAncestorOf(widget) && widget != page_ && widget != this) return false;
  return OnKeyDown(reader_, KeyOf(static_cast<QKeyEvent*>(event)));
}

void ReaderWindow::PageChanged() {
  if (!QAccessible::isActive()) return;
  QAccessibleEvent changed(page_, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&changed);
}

void ReaderWindow::SetPageSize(int width, int height) {
  resize(std::max(width, kMinimumPageWidth) + scrollBar_->sizeHint().width(),
         std::max(height, kMinimumPageHeight) + menuBar()->sizeHint().height());
}

int ReaderWindow::ColumnWidth() const {
  const FontHandle normal = reader_.page.geometry.normalFont;
  const QFontMetrics metrics(normal != nullptr ? *platform_.Font(normal) : font());
  return std::max(kMinimumPageWidth,
                  kColumnCharacters * metrics.averageCharWidth() + 2 * kLeftMargin);
}

void ReaderWindow::PlacePage() {
  const int width = std::min(desk_->width(), ColumnWidth());
  page_->setGeometry((desk_->width() - width) / 2, 0, width, desk_->height());
}

void ReaderWindow::SetTextSize(int percent) {
  if (percent == textSize_) return;
  textSize_ = percent;
  platform_.SetTextScale(percent / 100.0);
  if (settings_ != nullptr) settings_->setValue("text/size", percent);
  PlacePage();
  // A page's buttons and boxes are measured when it is built: a story page
  // is built again at the new size; a screen of the opening sequence, which
  // building moves on, keeps them until the next page.
  if (reader_.navigation.screenNumber == kNoScreen) {
    reader_.render.scrollOffset = 0;
    reader_.navigation.rebuild = 1;
  }
  page_->update();
}

void ReaderWindow::StepTextSize(int direction) {
  const int count = static_cast<int>(std::size(kTextSizes));
  int at = 0;
  while (at < count && kTextSizes[at] < textSize_) ++at;
  at = std::clamp(at + direction, 0, count - 1);
  SetTextSize(kTextSizes[at]);
}

void ReaderWindow::Command(uint16_t id, uint16_t notification) {
  OnCommand(reader_, id, notification);
}

void ReaderWindow::BringToFront() {
  if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
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
  if (settings_ != nullptr && !isMaximized() && !isFullScreen()) {
    settings_->setValue("window/size", size());
  }
  OnDestroy(reader_);
  event->accept();
  QApplication::quit();
}

}  // namespace lanthorn
