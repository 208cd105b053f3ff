// The platform API on Qt 6 Widgets, for Linux and macOS.
#pragma once

#include <QColor>
#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QString>

#include <deque>
#include <functional>
#include <memory>

#include "platform/platform.h"
#include "platform/posix/posix_files.h"

class QFont;
class QPalette;
class QLocalServer;
class QPainter;
class QScrollBar;
class QSoundEffect;
class QTimer;
class QWidget;

namespace lanthorn {

class ReaderWindow;

// Book text is Windows-1252; Qt speaks Unicode.
QString FromBookText(const char* text, int32_t length);
QByteArray ToBookText(const QString& text);

// True when another process holds the file's lock: a copy of the reader
// that has opened it.
bool HeldByAnotherCopy(const QByteArray& name);

// The page's colours from the desktop's palette: its base and its text, or
// black or white instead of the text when the theme's pair would be hard to
// read (a contrast under 4.5 to 1). The palette's current group: a window that
// is not the active one may have colours of its own.
struct PageColours {
  QColor paper;
  QColor ink;
};
PageColours PageColoursOf(const QPalette& palette);
// The contrast of two colours as the Web Content Accessibility Guidelines
// measure it: from 1 (the same) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);

class QtPlatform : public PosixFilePlatform {
 public:
  QtPlatform();
  ~QtPlatform() override;

  void SetWindow(ReaderWindow* window);
  // The folder the save file is kept in; empty for the current folder. The
  // core's bare file name is looked for there.
  void SetSaveFolder(const QString& folder) { saveFolder_ = folder; }
  const QString& SaveFolder() const { return saveFolder_; }
  QString SavePath(const char* name) const;
  // The page's text size, as a share of the core's (1 is its own size):
  // every page font is made again at that size.
  void SetTextScale(double scale);
  double TextScale() const { return textScale_; }
  // The page widget's paint brackets: repaints asked for inside a paint
  // are deferred until it ends.
  void BeginPainting() { painting_ = true; }
  void EndPainting() { painting_ = false; }
  // Where the scroll bar's thumb is being dragged to.
  void SetTrackPosition(int32_t position) { trackPosition_ = position; }
  // Tests answer message boxes through this instead of the user.
  std::function<int(const QString& text, const QString& caption, uint32_t style)> messageBoxHook;

  // A message shown at start-up, before the window is made, after the save
  // file could not be opened is the core's report of it: the file and the
  // system's reason are added below it.
  int ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                     uint32_t style) override;
  TextMetrics DefaultFontMetrics() override;
  int32_t VerticalDotsPerInch() override;
  FontHandle CreatePageFont(int32_t pixelHeight, int32_t weight) override;
  void DeleteFont(FontHandle font) override;
  Size MeasureText(FontHandle font, const char* text, int32_t length) override;
  bool BitmapSize(uint16_t bitmapId, Size* size) override;
  ControlHandle CreateControl(const ControlSpec& request) override;
  void DestroyControl(ControlHandle control) override;
  void MoveControl(ControlHandle control, int32_t x, int32_t y, int32_t width, int32_t height,
                   bool repaint) override;
  void ShowControl(ControlHandle control, bool visible) override;
  void EnableControl(ControlHandle control, bool enabled) override;
  void FocusControl(ControlHandle control) override;
  ControlHandle FocusedControl() override;
  void SetControlFace(ControlHandle control, uint16_t bitmapId) override;
  void SetTextLimit(ControlHandle control, int32_t characters) override;
  int32_t ReadControlText(ControlHandle control, char* buffer, int32_t size) override;
  void SetCheck(ControlHandle control, bool checked) override;
  bool ReadCheck(ControlHandle control) override;
  uint32_t LastError() override { return 0; }
  Rect ClientRect() override;
  void RepaintNow() override;
  void UpdateNow() override;
  void ScrollPageArea(int32_t dy, const Rect& pageArea) override;
  void SetScrollRange(int32_t maximum, int32_t page) override;
  int32_t SetScrollPosition(int32_t position) override;
  ScrollInfo GetScrollInfo() override;
  void StartTimer(uint32_t id, uint32_t milliseconds) override;
  void StopTimer(uint32_t id) override;
  void PostClose() override;
  void PlayWave(const char* resourceName) override;
  void StopSound() override;
  uint32_t TickCount() override;
  int32_t ScreenHeight() override;
  void SystemVersion(uint32_t* major, uint32_t* minor) override;
  // Refuses the file while a copy for this save folder answers (its file may
  // have been deleted and made again under it).
  bool FileExists(const char* name) override;
  FileHandle OpenExclusive(const char* name) override;
  bool FileStillNamed(FileHandle file, const char* name) override;
  // Asks the copy for this folder to come to the front. A copy that holds
  // the save file but does not listen yet is starting: it is asked again
  // until it listens, or until it lets the file go.
  bool ActivateOtherCopy(const char* className) override;

  // Listens for later copies, which ask this one to come to the front. Each
  // save folder has a name of its own, so copies for other folders (other
  // games) never meet.
  void ListenForOtherCopies(const char* className);
  QString ServerName(const char* className) const { return ServerName(className, saveFolder_); }
  static QString ServerName(const char* className, const QString& saveFolder);

  // The program's bitmap resources, decoded once.
  const QPixmap* Bitmap(uint16_t bitmapId);
  // The bitmap for a device pixel ratio: above 1, drawn again from its SVG
  // source at the device's pixels (the same size in the page's units), so
  // pictures stay sharp under a scale factor; the bitmap itself otherwise.
  const QPixmap* Picture(uint16_t bitmapId, qreal pixelRatio);
  const QFont* Font(FontHandle font) const;

 private:
  ReaderWindow* window_ = nullptr;
  bool painting_ = false;
  // Each page font with the pixel height the core asked for.
  std::deque<std::pair<std::unique_ptr<QFont>, int32_t>> fonts_;
  double textScale_ = 1.0;
  QHash<uint16_t, QPixmap> bitmaps_;
  QHash<QPair<uint16_t, int>, QPixmap> pictures_;
  QString saveFolder_;
  QString openFailure_;  // the file and reason of a save file not opened
  int32_t scrollMaximum_ = 100;
  int32_t scrollPage_ = 0;
  int32_t trackPosition_ = 0;
  QTimer* timer_ = nullptr;
  QSoundEffect* sound_ = nullptr;
  QLocalServer* server_ = nullptr;
  QByteArray saveFileName_;
};

// A paint's painter as the core's canvas.
class QtCanvas : public Canvas {
 public:
  // Text and frames are drawn in ink.
  QtCanvas(QtPlatform& platform, QPainter& painter, const QColor& ink)
      : platform_(platform), painter_(painter), ink_(ink) {}
  Size MeasureText(FontHandle font, const char* text, int32_t length) override;
  void DrawString(FontHandle font, const Rect& rect, const char* text, int32_t length,
                  uint32_t flags) override;
  void InvertRect(const Rect& rect) override;
  void DrawBitmap(uint16_t bitmapId, int32_t x, int32_t y) override;
  void FrameRect(const Rect& rect) override;

 private:
  QtPlatform& platform_;
  QPainter& painter_;
  QColor ink_;
};

}  // namespace lanthorn
