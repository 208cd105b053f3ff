#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMessageBox>
#include <QMetaObject>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSoundEffect>
#include <QSvgRenderer>
#include <QSysInfo>
#include <QTimer>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <cmath>

#include <QCryptographicHash>
#include <QDir>
#include <QThread>

#include "book/windows1252.h"
#include "platform/qt/reader_window.h"
#include "shell/main_window.h"
#include "shell/reader.h"
#include "shell/startup.h"

namespace lanthorn {

namespace {

QWidget* Widget(ControlHandle control) { return static_cast<QWidget*>(control); }

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

bool AskToComeForward(const QString& server) {
  QLocalSocket socket;
  socket.connectToServer(server);
  if (!socket.waitForConnected(500)) return false;
  socket.write("front\n");
  socket.waitForBytesWritten(1000);
  socket.disconnectFromServer();
  return true;
}

QByteArray ReadResource(const QString& name) {
  QFile file(name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The element with this id in an SVG document, with its content: a
// self-closing one, or one whose content holds no element of its own kind.
QString ElementWithId(const QString& svg, const QString& id) {
  const QRegularExpression element(R"re(<(\w+)\b[^<>]*\bid=")re" + QRegularExpression::escape(id) +
                                       R"re("[^<>]*?(?:/>|>.*?</\1>))re",
                                   QRegularExpression::DotMatchesEverythingOption);
  return element.match(svg).captured(0);
}

// The SVG source of a bitmap, as QtSvg can draw it: every <use> is replaced
// by a copy of the element it names, moved by its x and y and in its colour.
// QtSvg takes currentColor from where an element is defined rather than
// from the <use> that shows it, and follows no reference into another file
// (a disabled face borrows its enabled face's glyph, as
// <use href="1111-face-next.svg#glyph"/>), where rsvg, which makes the
// bitmaps, does both. Empty when the bitmap has no source, or a <use> names
// an element that cannot be found.
QString SvgSource(uint16_t bitmapId) {
  QString svg = QString::fromUtf8(ReadResource(QString(":/art/%1.svg").arg(bitmapId)));
  static const QRegularExpression use(R"re(<use\b[^<>]*/>)re");
  static const QRegularExpression attribute(R"re(([\w:-]+)="([^"]*)")re");
  static const QRegularExpression otherFile(R"re(^(\d+)-[^#]*\.svg$)re");
  QRegularExpressionMatch found;
  while ((found = use.match(svg)).hasMatch()) {
    QHash<QString, QString> attributes;
    for (const auto& a : attribute.globalMatch(found.captured(0))) {
      attributes.insert(a.captured(1).section(':', -1), a.captured(2));
    }
    const QString href = attributes.value("href");
    const QString file = href.section('#', 0, 0);
    QString source = svg;
    if (!file.isEmpty()) {
      const QRegularExpressionMatch owner = otherFile.match(file);
      if (!owner.hasMatch()) return QString();
      source = QString::fromUtf8(ReadResource(QString(":/art/%1.svg").arg(owner.captured(1))));
    }
    QString copy = ElementWithId(source, href.section('#', 1));
    if (copy.isEmpty()) return QString();
    copy.remove(QRegularExpression(R"re(\sid="[^"]*")re"));
    if (attributes.contains("color")) copy.replace("currentColor", attributes.value("color"));
    const QString x = attributes.value("x", "0");
    const QString y = attributes.value("y", "0");
    copy = QString("<g transform=\"translate(%1 %2)\">%3</g>").arg(x, y, copy);
    svg.replace(found.capturedStart(), found.capturedLength(), copy);
  }
  // A radial gradient's centre and radius default to the middle and half
  // of what it fills; QtSvg needs them said.
  static const QRegularExpression bareRadial(R"re(<radialGradient\b(?![^<>]*\br=)([^<>]*)>)re");
  svg.replace(bareRadial, R"(<radialGradient cx="0.5" cy="0.5" r="0.5"\1>)");
  return svg;
}

double RelativeLuminance(const QColor& colour) {
  const auto channel = [](double c) {
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  const QColor rgb = colour.toRgb();
  return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) +
         0.0722 * channel(rgb.blueF());
}

}  // namespace

bool HeldByAnotherCopy(const QByteArray& name) {
  const int fd = open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  const bool held = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);
  return held;
}

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = RelativeLuminance(a);
  const double lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

PageColours PageColoursOf(const QPalette& palette) {
  PageColours colours{palette.color(QPalette::Base), palette.color(QPalette::Text)};
  colours.paper.setAlpha(255);
  colours.ink.setAlpha(255);
  if (ContrastRatio(colours.paper, colours.ink) < 4.5) {
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    colours.ink =
        ContrastRatio(colours.paper, black) >= ContrastRatio(colours.paper, white) ? black : white;
  }
  return colours;
}

QString QtPlatform::ServerName(const char* className, const QString& saveFolder) {
  const QString path = saveFolder.isEmpty() ? QDir::currentPath() : saveFolder;
  const QByteArray folder = QDir(path).canonicalPath().toUtf8();
  const QByteArray digest =
      QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16);
  return QString("%1-%2-%3")
      .arg(className, qEnvironmentVariable("USER", "reader"), QString::fromLatin1(digest));
}

QString FromBookText(const char* text, int32_t length) {
  QString out;
  out.reserve(length);
  for (int32_t i = 0; i < length; ++i) {
    out += QChar(static_cast<char16_t>(Windows1252ToUnicode(static_cast<uint8_t>(text[i]))));
  }
  return out;
}

QByteArray ToBookText(const QString& text) {
  QByteArray out;
  for (const QChar c : text) {
    const int byte = UnicodeToWindows1252(c.unicode());
    out += static_cast<char>(byte < 0 ? '?' : byte);
  }
  return out;
}

QtPlatform::QtPlatform() = default;

QtPlatform::~QtPlatform() { delete server_; }

void QtPlatform::SetWindow(ReaderWindow* window) {
  window_ = window;
  timer_ = new QTimer(window);
  sound_ = new QSoundEffect(window);
}

QString QtPlatform::SavePath(const char* name) const {
  const QString file = QFile::decodeName(name);
  if (saveFolder_.isEmpty() || QDir::isAbsolutePath(file)) return file;
  return QDir(saveFolder_).filePath(file);
}

void QtPlatform::SetTextScale(double scale) {
  textScale_ = scale;
  for (auto& [font, pixelHeight] : fonts_) {
    font->setPixelSize(std::max(1, static_cast<int>(std::lround(pixelHeight * scale))));
  }
}

int QtPlatform::ShowMessageBox(WindowHandle /*owner*/, const char* text, const char* caption,
                               uint32_t style) {
  QString body = FromBookText(text, static_cast<int32_t>(qstrlen(text)));
  if (window_ == nullptr && !openFailure_.isEmpty()) {
    body += "\n\n" + openFailure_;
    openFailure_.clear();
  }
  const QString title = caption != nullptr
                            ? FromBookText(caption, static_cast<int32_t>(qstrlen(caption)))
                            : QApplication::applicationDisplayName();
  if (messageBoxHook) return messageBoxHook(body, title, style);
  if (style == kMessageBoxYesNo) {
    return QMessageBox::question(window_, title, body) == QMessageBox::Yes ? kReplyYes : kReplyNo;
  }
  QMessageBox::information(window_, title, body);
  return kReplyOk;
}

TextMetrics QtPlatform::DefaultFontMetrics() {
  QFont font = QApplication::font();
  if (textScale_ != 1.0 && font.pointSizeF() > 0) {
    font.setPointSizeF(font.pointSizeF() * textScale_);
  } else if (textScale_ != 1.0) {
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * textScale_))));
  }
  const QFontMetrics metrics(font);
  return {metrics.height(), metrics.averageCharWidth()};
}

int32_t QtPlatform::VerticalDotsPerInch() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? static_cast<int32_t>(screen->logicalDotsPerInchY() + 0.5) : 96;
}

FontHandle QtPlatform::CreatePageFont(int32_t pixelHeight, int32_t weight) {
  auto font = std::make_unique<QFont>(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
  font->setStyleHint(QFont::SansSerif);
  const int32_t height = pixelHeight > 0 ? pixelHeight : 1;
  font->setPixelSize(std::max(1, static_cast<int>(std::lround(height * textScale_))));
  // Weight 300 is the page's regular text, as GDI shows it with faces that have
  // no light cut; bold is 700.
  font->setWeight(weight >= 600 ? QFont::Bold : QFont::Normal);
  fonts_.emplace_back(std::move(font), height);
  return fonts_.back().first.get();
}

void QtPlatform::DeleteFont(FontHandle /*font*/) {}

const QFont* QtPlatform::Font(FontHandle font) const { return static_cast<const QFont*>(font); }

Size QtPlatform::MeasureText(FontHandle font, const char* text, int32_t length) {
  const QFontMetrics metrics(font != nullptr ? *Font(font) : QApplication::font());
  return {metrics.horizontalAdvance(FromBookText(text, length)), metrics.height()};
}

const QPixmap* QtPlatform::Bitmap(uint16_t bitmapId) {
  auto found = bitmaps_.find(bitmapId);
  if (found == bitmaps_.end()) {
    found = bitmaps_.insert(bitmapId, QPixmap(QString(":/bitmaps/%1.bmp").arg(bitmapId)));
  }
  return found->isNull() ? nullptr : &*found;
}

const QPixmap* QtPlatform::Picture(uint16_t bitmapId, qreal pixelRatio) {
  const QPixmap* bitmap = Bitmap(bitmapId);
  if (bitmap == nullptr || pixelRatio <= 1.0) return bitmap;
  const QString source = SvgSource(bitmapId);
  if (source.isEmpty()) return bitmap;
  const QPair<uint16_t, int> key(bitmapId, static_cast<int>(std::lround(pixelRatio * 100)));
  auto found = pictures_.find(key);
  if (found == pictures_.end()) {
    const QSize size(static_cast<int>(std::ceil(bitmap->width() * pixelRatio)),
                     static_cast<int>(std::ceil(bitmap->height() * pixelRatio)));
    QPixmap picture(size);
    // As in the bitmaps: what the source leaves transparent is white.
    picture.fill(Qt::white);
    QSvgRenderer renderer(source.toUtf8());
    if (renderer.isValid()) {
      QPainter painter(&picture);
      renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
      picture.setDevicePixelRatio(pixelRatio);
    } else {
      picture = *bitmap;
    }
    found = pictures_.insert(key, picture);
  }
  return &*found;
}

bool QtPlatform::BitmapSize(uint16_t bitmapId, Size* size) {
  const QPixmap* bitmap = Bitmap(bitmapId);
  if (bitmap == nullptr) return false;
  *size = {bitmap->width(), bitmap->height()};
  return true;
}

ControlHandle QtPlatform::CreateControl(const ControlSpec& request) {
  Reader& reader = window_->reader();
  QWidget* page = window_->page();
  QWidget* control = nullptr;
  const uint16_t id = request.id;
  switch (request.kind) {
    case ControlKind::kChoiceButton:
    case ControlKind::kPictureButton: {
      auto* button =
          new ChoiceButton(reader, *this, id, request.kind == ControlKind::kChoiceButton, page);
      QObject::connect(button, &QPushButton::clicked, window_,
                       [this, id] { window_->Command(id); });
      control = button;
      break;
    }
    case ControlKind::kTextButton:
    case ControlKind::kBitmapButton: {
      auto* button = new QPushButton(page);
      if (request.kind == ControlKind::kTextButton) {
        button->setText(FromBookText(request.text, static_cast<int32_t>(qstrlen(request.text))));
        button->setDefault(true);
      }
      QObject::connect(button, &QPushButton::clicked, window_,
                       [this, id] { window_->Command(id); });
      control = button;
      break;
    }
    case ControlKind::kCheckBox: {
      auto* box = new QCheckBox(
          FromBookText(request.text, static_cast<int32_t>(qstrlen(request.text))), page);
      QObject::connect(box, &QCheckBox::clicked, window_, [this, id] { window_->Command(id); });
      control = box;
      break;
    }
    case ControlKind::kEditBox: control = new InputBox(reader, id, page); break;
  }
  control->setProperty("controlId", id);
  if (request.name != nullptr && request.name[0] != '\0') {
    const QString name = FromBookText(request.name, static_cast<int32_t>(qstrlen(request.name)));
    control->setAccessibleName(name);
    if (request.kind == ControlKind::kBitmapButton) control->setToolTip(name);
  }
  control->setGeometry(request.x, request.y, request.width, request.height);
  if (request.kind == ControlKind::kBitmapButton) SetControlFace(control, request.bitmapId);
  control->show();
  return control;
}

void QtPlatform::DestroyControl(ControlHandle control) {
  // The focus goes back to the page rather than on to the next control.
  if (Widget(control)->hasFocus()) window_->page()->setFocus();
  // The control may be the one whose click or key is being handled.
  Widget(control)->hide();
  Widget(control)->deleteLater();
}

void QtPlatform::MoveControl(ControlHandle control, int32_t x, int32_t y, int32_t width,
                             int32_t height, bool /*repaint*/) {
  Widget(control)->setGeometry(x, y, width, height);
}

void QtPlatform::ShowControl(ControlHandle control, bool visible) {
  Widget(control)->setVisible(visible);
}

void QtPlatform::EnableControl(ControlHandle control, bool enabled) {
  Widget(control)->setEnabled(enabled);
}

void QtPlatform::FocusControl(ControlHandle control) {
  Widget(control)->setFocus(Qt::TabFocusReason);
}

ControlHandle QtPlatform::FocusedControl() {
  if (window_ == nullptr) return nullptr;
  // The window's own focus child, so that it counts while the window is
  // not the active one too.
  QWidget* focused = window_->focusWidget();
  if (focused == nullptr || !window_->page()->isAncestorOf(focused)) {
    return nullptr;
  }
  return focused->property("controlId").isValid() ? focused : nullptr;
}

void QtPlatform::SetControlFace(ControlHandle control, uint16_t bitmapId) {
  auto* button = qobject_cast<QPushButton*>(Widget(control));
  const QPixmap* face = Bitmap(bitmapId);
  if (button == nullptr || face == nullptr) return;
  // The face is shown as drawn, greyed faces included, in either state; a
  // screen with a scale factor gets it drawn again from its source.
  QIcon icon;
  icon.addPixmap(*face, QIcon::Normal);
  icon.addPixmap(*face, QIcon::Disabled);
  const qreal ratio = button->devicePixelRatioF();
  if (const QPixmap* sharp = Picture(bitmapId, ratio); sharp != face) {
    icon.addPixmap(*sharp, QIcon::Normal);
    icon.addPixmap(*sharp, QIcon::Disabled);
  }
  button->setIcon(icon);
  button->setIconSize(face->size());
}

void QtPlatform::SetTextLimit(ControlHandle control, int32_t characters) {
  if (auto* box = qobject_cast<QLineEdit*>(Widget(control))) box->setMaxLength(characters);
}

int32_t QtPlatform::ReadControlText(ControlHandle control, char* buffer, int32_t size) {
  if (size <= 0) return 0;
  auto* box = qobject_cast<QLineEdit*>(Widget(control));
  const QByteArray text = box != nullptr ? ToBookText(box->text()) : QByteArray();
  const int32_t count = std::min(static_cast<int32_t>(text.size()), size - 1);
  memcpy(buffer, text.constData(), static_cast<size_t>(count));
  buffer[count] = '\0';
  return count;
}

void QtPlatform::SetCheck(ControlHandle control, bool checked) {
  if (auto* box = qobject_cast<QCheckBox*>(Widget(control))) box->setChecked(checked);
}

bool QtPlatform::ReadCheck(ControlHandle control) {
  auto* box = qobject_cast<QCheckBox*>(Widget(control));
  return box != nullptr && box->isChecked();
}

Rect QtPlatform::ClientRect() {
  const QWidget* page = window_->page();
  return {0, 0, page->width(), page->height()};
}

void QtPlatform::RepaintNow() {
  if (painting_) {
    window_->page()->update();
  } else {
    window_->page()->repaint();
  }
}

void QtPlatform::UpdateNow() { RepaintNow(); }

void QtPlatform::ScrollPageArea(int32_t dy, const Rect& pageArea) {
  window_->page()->scroll(0, dy, ToQRect(pageArea));
}

void QtPlatform::SetScrollRange(int32_t maximum, int32_t page) {
  scrollMaximum_ = maximum;
  scrollPage_ = page < 0 ? 0 : page;
  QScrollBar* bar = window_->scrollBar();
  // Win32 stops the position where the last page is in view.
  bar->setRange(0, std::max(0, maximum - std::max(scrollPage_ - 1, 0)));
  bar->setPageStep(std::max(scrollPage_, 1));
  bar->setSingleStep(16);
}

int32_t QtPlatform::SetScrollPosition(int32_t position) {
  QScrollBar* bar = window_->scrollBar();
  bar->setValue(position);
  return bar->value();
}

ScrollInfo QtPlatform::GetScrollInfo() {
  const QScrollBar* bar = window_->scrollBar();
  return {0, scrollMaximum_, scrollPage_, bar->value(), trackPosition_};
}

void QtPlatform::StartTimer(uint32_t id, uint32_t milliseconds) {
  timer_->disconnect();
  QObject::connect(timer_, &QTimer::timeout, window_,
                   [this, id] { OnTimer(window_->reader(), id); });
  timer_->start(static_cast<int>(milliseconds));
}

void QtPlatform::StopTimer(uint32_t /*id*/) { timer_->stop(); }

void QtPlatform::PostClose() { QMetaObject::invokeMethod(window_, "close", Qt::QueuedConnection); }

void QtPlatform::PlayWave(const char* resourceName) {
  // Without an audio device the effect fails quietly; reading goes on.
  sound_->stop();
  sound_->setSource(QUrl(QString("qrc:/sounds/%1.wav").arg(resourceName)));
  sound_->setVolume(0.6f);
  sound_->play();
}

void QtPlatform::StopSound() { sound_->stop(); }

uint32_t QtPlatform::TickCount() {
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int32_t QtPlatform::ScreenHeight() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->size().height() : 768;
}

void QtPlatform::SystemVersion(uint32_t* major, uint32_t* minor) {
  // The system's version as major.minor: the kernel's on Linux, the
  // product's (e.g. 14.5) on macOS.
#ifdef Q_OS_MACOS
  const QStringList parts = QSysInfo::productVersion().split('.');
#else
  const QStringList parts = QSysInfo::kernelVersion().split('.');
#endif
  *major = parts.size() > 0 ? parts[0].toUInt() : 0;
  *minor = parts.size() > 1 ? parts[1].toUInt() : 0;
}

bool QtPlatform::FileExists(const char* name) {
  return PosixFilePlatform::FileExists(QFile::encodeName(SavePath(name)).constData());
}

FileHandle QtPlatform::OpenExclusive(const char* name) {
  const QString path = SavePath(name);
  saveFileName_ = QFile::encodeName(path);
  openFailure_.clear();
  // (A running copy making its deleted file again is the one listening.)
  if (server_ == nullptr && AskToComeForward(ServerName(kWindowClassName))) return nullptr;
  FileHandle file = PosixFilePlatform::OpenExclusive(saveFileName_.constData());
  if (file == nullptr) {
    openFailure_ = QDir::toNativeSeparators(path) + "\n" + QString::fromLocal8Bit(OpenFailure());
  }
  return file;
}

bool QtPlatform::FileStillNamed(FileHandle file, const char* name) {
  return PosixFilePlatform::FileStillNamed(file, QFile::encodeName(SavePath(name)).constData());
}

bool QtPlatform::ActivateOtherCopy(const char* className) {
  const QString server = ServerName(className);
  // A copy started a moment before holds the file before it listens.
  for (int tries = 0; tries < 100; ++tries) {
    if (AskToComeForward(server)) {
      openFailure_.clear();
      return true;
    }
    if (saveFileName_.isEmpty() || !HeldByAnotherCopy(saveFileName_)) return false;
    QThread::msleep(100);
  }
  return false;
}

void QtPlatform::ListenForOtherCopies(const char* className) {
  const QString name = ServerName(className);
  // This copy holds the save file, so a server left by a copy that ended
  // without closing is stale.
  QLocalServer::removeServer(name);
  server_ = new QLocalServer;
  QObject::connect(server_, &QLocalServer::newConnection, server_, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      socket->deleteLater();
      if (window_ != nullptr) window_->BringToFront();
    }
  });
  server_->listen(name);
}

Size QtCanvas::MeasureText(FontHandle font, const char* text, int32_t length) {
  return platform_.MeasureText(font, text, length);
}

void QtCanvas::DrawString(FontHandle font, const Rect& rect, const char* text, int32_t length,
                          uint32_t flags) {
  int alignment = Qt::TextSingleLine;
  alignment |= (flags & kDrawCentre)  ? Qt::AlignHCenter
               : (flags & kDrawRight) ? Qt::AlignRight
                                      : Qt::AlignLeft;
  alignment |= (flags & kDrawVerticalCentre) ? Qt::AlignVCenter : Qt::AlignTop;
  painter_.save();
  if (font != nullptr) painter_.setFont(*platform_.Font(font));
  painter_.setPen(ink_);
  const QRect area(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  painter_.setClipRect(area, Qt::IntersectClip);
  painter_.drawText(area, alignment, FromBookText(text, length));
  painter_.restore();
}

void QtCanvas::InvertRect(const Rect& rect) {
  painter_.save();
  painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
  painter_.fillRect(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top),
                    Qt::black);
  painter_.restore();
}

void QtCanvas::FrameRect(const Rect& rect) {
  painter_.save();
  painter_.setPen(ink_);
  painter_.setBrush(Qt::NoBrush);
  painter_.drawRect(
      QRect(rect.left, rect.top, rect.right - rect.left - 1, rect.bottom - rect.top - 1));
  painter_.restore();
}

void QtCanvas::DrawBitmap(uint16_t bitmapId, int32_t x, int32_t y) {
  const qreal ratio = painter_.device() != nullptr ? painter_.device()->devicePixelRatioF() : 1.0;
  if (const QPixmap* picture = platform_.Picture(bitmapId, ratio)) {
    painter_.drawPixmap(x, y, *picture);
  }
}

}  // namespace lanthorn
