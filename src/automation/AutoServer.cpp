#include "AutoServer.h"

#include <QCloseEvent>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QWidget>

#include "AutoObjects.h"
#include "BusNode.h"
#include "SvcFile.h"
#include "TsMessages.h"
#include "TsStart.h"

namespace {

int IdleSetting() {
  bool ok = false;
  const int ms = qEnvironmentVariableIntValue("TESSEREL_AUTOMATION_IDLE_MS", &ok);
  return ok && ms > 0 ? ms : TAutomationServer::kIdleMilliseconds;
}

}  // namespace

TAutomationServer::TAutomationServer(const TAppStartup& startup, QWidget& mainWindow, QObject* parent)
    : QObject(parent), startup_(startup), window_(mainWindow) {
  application_ = new TApplication(startup, mainWindow, this);
  versionInfo_ = new TVersionInfo(startup, this);
  auto note = [this](const QString& name) { NoteCaller(name); };
  applicationNode_ = new TBusNode(*application_, note, this);
  versionInfoNode_ = new TBusNode(*versionInfo_, note, this);
  idle_.setSingleShot(true);
  idle_.setInterval(IdleSetting());
  connect(&idle_, &QTimer::timeout, this, [this] {
    if (serving_ && callers_.isEmpty() && !window_.isVisible()) emit Idle();
  });
  window_.installEventFilter(this);
}

TAutomationServer::~TAutomationServer() {
  window_.removeEventFilter(this);
  if (!serving_) return;
  bus_.unregisterObject(kVersionInfoPath);
  bus_.unregisterObject(kApplicationPath);
  bus_.unregisterService(kServiceName);
}

bool TAutomationServer::Serve(const QDBusConnection& bus, QString* reason) {
  auto fail = [reason](const QString& why) {
    if (reason) *reason = why;
    return false;
  };
  if (serving_) return true;
  if (!bus.isConnected()) return fail("no session bus to serve automation clients on");
  bus_ = bus;
  if (!bus_.registerVirtualObject(kApplicationPath, applicationNode_) ||
      !bus_.registerVirtualObject(kVersionInfoPath, versionInfoNode_)) {
    bus_.unregisterObject(kApplicationPath);
    return fail("the automation objects could not be placed on the session bus");
  }
  if (!bus_.registerService(kServiceName)) {
    bus_.unregisterObject(kVersionInfoPath);
    bus_.unregisterObject(kApplicationPath);
    return fail(QString("another program serves %1 on the session bus").arg(kServiceName));
  }
  watcher_ = new QDBusServiceWatcher(QString(), bus_, QDBusServiceWatcher::WatchForUnregistration, this);
  connect(watcher_, &QDBusServiceWatcher::serviceUnregistered, this, &TAutomationServer::CallerGone);
  bus_.connect(QString(), "/org/freedesktop/DBus/Local", "org.freedesktop.DBus.Local", "Disconnected", this,
               SLOT(BusLost()));
  serving_ = true;
  CheckIdle();
  return true;
}

void TAutomationServer::NoteCaller(const QString& name) {
  if (!serving_ || callers_.contains(name) || name == bus_.baseService()) return;
  // Watched first, then asked for: a caller that leaves in between is not missed. One that has
  // already gone never comes back under its unique name.
  watcher_->addWatchedService(name);
  if (bus_.interface() && !bus_.interface()->isServiceRegistered(name).value()) {
    watcher_->removeWatchedService(name);
    return;
  }
  callers_.insert(name);
  CheckIdle();
}

void TAutomationServer::CallerGone(const QString& name) {
  watcher_->removeWatchedService(name);
  callers_.remove(name);
  CheckIdle();
}

void TAutomationServer::BusLost() {
  for (const QString& name : std::as_const(callers_)) watcher_->removeWatchedService(name);
  callers_.clear();
  CheckIdle();
}

void TAutomationServer::CheckIdle() {
  if (serving_ && callers_.isEmpty() && !window_.isVisible()) {
    if (!idle_.isActive()) idle_.start();
  } else {
    idle_.stop();
  }
}

bool TAutomationServer::CloseWanted() {
  if (callers_.isEmpty()) return true;
  const QString name = QStr(startup_.VersionInfo.InternalName);
  return Messages().Confirm("\nOther programs are using " + name +
                                " through automation and may fail when it closes.\n\nDo you want to close " + name +
                                " anyway?\n",
                            false) == TAnswer::Yes;
}

bool TAutomationServer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &window_) {
    if (event->type() == QEvent::Close && !CloseWanted()) {
      event->ignore();
      return true;
    }
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide) CheckIdle();
  }
  return QObject::eventFilter(watched, event);
}
