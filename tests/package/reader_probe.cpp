// A Qt generic plugin that the package test loads into the installed reader
// (QT_PLUGIN_PATH to this build's plugins, QT_QPA_GENERIC_PLUGINS=lanthornprobe),
// so that the program under test is the packaged one, untouched. It plays
// as a player would: waits for the opening screens to reach the details
// screen, presses the icon bar's Next, waits for the first story page's
// choices, saves a picture of the window, and ends the reader with the
// menu's Exit, which writes the save file.
//
// It reports each step on standard error ("probe: ..."); when a step does
// not come within LANTHORN_PROBE_SECONDS (20) it says which and ends the
// process with exit code 3 at once, without a save.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGenericPlugin>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kNextButton = 511;    // the icon bar's Next
constexpr int kFirstChoice = 5000;  // a page's choice buttons
constexpr int kLastChoice = 5999;

void Say(const QString& text) {
  std::fprintf(stderr, "probe: %s\n", text.toLocal8Bit().constData());
  std::fflush(stderr);
}

QMainWindow* ReaderWindow() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* window = qobject_cast<QMainWindow*>(w); window != nullptr && window->isVisible()) {
      return window;
    }
  }
  return nullptr;
}

QAbstractButton* Control(QMainWindow* window, int id) {
  for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
    if (b->property("controlId").toInt() == id) return b;
  }
  return nullptr;
}

int ChoiceCount(QMainWindow* window) {
  int count = 0;
  for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
    const int id = b->property("controlId").toInt();
    if (id >= kFirstChoice && id <= kLastChoice) ++count;
  }
  return count;
}

QAction* MenuAction(QMainWindow* window, const QString& text) {
  for (QAction* top : window->menuBar()->actions()) {
    if (top->menu() == nullptr) continue;
    for (QAction* action : top->menu()->actions()) {
      if (action->text() == text) return action;
    }
  }
  return nullptr;
}

class ReaderProbe : public QObject {
 public:
  ReaderProbe() {
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("LANTHORN_PROBE_SECONDS", &ok);
    deadline_ = ok && seconds > 0 ? seconds * 1000 : 20000;
    connect(&timer_, &QTimer::timeout, this, [this] { Step(); });
    timer_.start(kPoll);
  }

 private:
  static constexpr int kPoll = 50;
  enum class Waiting { kWindow, kNext, kChoices, kDone };

  void Step() {
    waited_ += kPoll;
    QMainWindow* window = ReaderWindow();
    switch (waiting_) {
      case Waiting::kWindow:
        if (window == nullptr) break;
        Say(QString("window \"%1\"").arg(window->windowTitle()));
        Say(QString("application \"%1\" of \"%2\", desktop entry %3")
                .arg(QApplication::applicationName(), QApplication::organizationName(),
                     QGuiApplication::desktopFileName()));
        Next(Waiting::kNext);
        break;
      case Waiting::kNext: {
        QAbstractButton* next = window != nullptr ? Control(window, kNextButton) : nullptr;
        if (next == nullptr || !next->isEnabled() || !next->isVisible()) break;
        Say("details screen: pressing Next");
        next->click();
        Next(Waiting::kChoices);
        break;
      }
      case Waiting::kChoices: {
        const int choices = window != nullptr ? ChoiceCount(window) : 0;
        if (choices == 0) break;
        Say(QString("story page with %1 choices").arg(choices));
        const QString shot = qEnvironmentVariable("LANTHORN_PROBE_SCREENSHOT");
        if (!shot.isEmpty() && !window->grab().save(shot)) Say("could not save " + shot);
        QAction* exit = MenuAction(window, "&Exit");
        if (exit == nullptr) GiveUp("the menu has no &Exit");
        Say("Exit");
        exit->trigger();
        Next(Waiting::kDone);
        break;
      }
      case Waiting::kDone: timer_.stop(); return;
    }
    if (waiting_ != Waiting::kDone && waited_ > deadline_) {
      static const char* const kWhat[] = {"the window", "the details screen's Next",
                                          "the story page's choices"};
      GiveUp(QString("no %1 after %2 ms").arg(kWhat[static_cast<int>(waiting_)]).arg(waited_));
    }
  }

  void Next(Waiting what) {
    waiting_ = what;
    waited_ = 0;
  }

  [[noreturn]] static void GiveUp(const QString& why) {
    Say(why);
    std::_Exit(3);
  }

  QTimer timer_;
  Waiting waiting_ = Waiting::kWindow;
  int waited_ = 0;
  int deadline_ = 0;
};

}  // namespace

class ReaderProbePlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "reader_probe.json")

 public:
  QObject* create(const QString& key, const QString&) override {
    return key == "lanthornprobe" ? new ReaderProbe : nullptr;
  }
};

#include "reader_probe.moc"
