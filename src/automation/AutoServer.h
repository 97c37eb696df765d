// The automation service of the desktop program: the application and version information objects
// under the well-known name "Tesserel.Application" on the session bus, the clients that use them,
// and the end of a program nobody sees or uses any more.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QSet>
#include <QTimer>

class QDBusServiceWatcher;
class QWidget;
class TAppStartup;
class TApplication;
class TBusNode;
class TVersionInfo;

class TAutomationServer : public QObject {
  Q_OBJECT

 public:
  // How long a hidden program without clients waits before it ends, unless
  // TESSEREL_AUTOMATION_IDLE_MS says otherwise.
  static constexpr int kIdleMilliseconds = 30000;

  TAutomationServer(const TAppStartup& startup, QWidget& mainWindow, QObject* parent = nullptr);
  ~TAutomationServer() override;

  // Serves the objects on `bus` and takes the name; false, with the reason, when there is no bus or
  // another program holds the name (nothing is served then).
  bool Serve(const QDBusConnection& bus, QString* reason = nullptr);
  bool Serving() const { return serving_; }
  // Clients that called and are still connected to the bus.
  int CallerCount() const { return static_cast<int>(callers_.size()); }
  int IdleInterval() const { return idle_.interval(); }

  // Called for every call the objects receive, with the caller's unique bus name.
  void NoteCaller(const QString& name);

 signals:
  // The main window has been hidden, with no client connected, for the idle interval: the program
  // should end.
  void Idle();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  // The bus went away (the session ended): nobody can call any more.
  void BusLost();

 private:
  void CallerGone(const QString& name);
  // Starts the idle countdown when the program is hidden and unused, stops it otherwise.
  void CheckIdle();
  // The user closes the window while clients are connected: they are warned about first.
  bool CloseWanted();

  const TAppStartup& startup_;
  QWidget& window_;
  TApplication* application_;
  TVersionInfo* versionInfo_;
  TBusNode* applicationNode_;
  TBusNode* versionInfoNode_;
  QDBusConnection bus_{QString()};
  QDBusServiceWatcher* watcher_ = nullptr;
  QSet<QString> callers_;
  QTimer idle_;
  bool serving_ = false;
};
