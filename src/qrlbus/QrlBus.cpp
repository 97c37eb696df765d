#include "QrlBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <optional>

#include "QrlWire.h"

namespace {

const QString kDBusService = QStringLiteral("org.freedesktop.DBus");
const QString kDBusPath = QStringLiteral("/org/freedesktop/DBus");
const QString kNoReply = QStringLiteral("org.freedesktop.DBus.Error.NoReply");
constexpr uint kStartedOrRunning[] = {1, 2};  // DBUS_START_REPLY_SUCCESS, DBUS_START_REPLY_ALREADY_RUNNING
constexpr int kWaitingTickMs = 100;            // how often a waiting hook is called
constexpr int kAskBusMs = 5000;                // a question to the bus itself

// What the application object and its plans share for one command: the time since the command
// last moved on, the waiting hook, and the failure that cut the planner off.
struct TQrlSession {
  QElapsedTimer SinceProgress;
  std::function<bool()> Waiting;
  std::optional<TQrlError> Broken;
};

// The planner process the application object and its plans belong to: calls go to the unique bus
// name it had when it was reached, so that a planner started anew after this one went away is
// never taken for it (its plan objects would be other plans).
struct TQrlPeer {
  QDBusConnection Bus;
  QString Owner;
  TQrlBusTimeouts Timeouts;
  std::shared_ptr<TQrlSession> Session;
};

// One call to the bus itself; its single answer, or an invalid variant.
QVariant AskBus(const QDBusConnection& bus, const QString& method, const QVariantList& args, int timeoutMs) {
  QDBusMessage call = QDBusMessage::createMethodCall(kDBusService, kDBusPath, kDBusService, method);
  call.setArguments(args);
  const QDBusMessage answer = bus.call(call, QDBus::Block, timeoutMs);
  return answer.type() == QDBusMessage::ReplyMessage && answer.arguments().size() == 1 ? answer.arguments()[0]
                                                                                       : QVariant();
}

// Whether the planner process is still on the bus: a call it did not answer timed out (it is
// stalled) rather than lost its peer.
bool StillThere(const TQrlPeer& peer) {
  return AskBus(peer.Bus, QStringLiteral("NameHasOwner"), {peer.Owner}, kAskBusMs).toBool();
}

// Waits for the answer in an event loop of its own, calling `waiting` every tick; `canceled` when
// it said to stop (the answer, should it come, is dropped).
QDBusMessage WaitLive(const QDBusConnection& bus, const QDBusMessage& call, int timeoutMs,
                      const std::function<bool()>& waiting, bool& canceled) {
  QDBusPendingCall pending = bus.asyncCall(call, timeoutMs);
  QDBusPendingCallWatcher watcher(pending);
  QEventLoop loop;
  QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
    if (canceled || waiting()) return;
    canceled = true;
    loop.quit();
  });
  tick.start(kWaitingTickMs);
  if (!pending.isFinished()) loop.exec();
  return canceled ? QDBusMessage() : pending.reply();
}

TQrlError Failure(TQrlFault fault, const QString& source, const QString& message) {
  return {kQrlBusFailure, QrlText(source), QrlText(message), fault};
}

// One blocking call, waiting at most `limitMs` and no longer than the command may go without
// progress; the reply's arguments, or the error. `abandonable` calls may be given up by the
// waiting hook.
bool Call(const TQrlPeer& peer, const QString& path, const char* interface, const QString& method,
          const QVariantList& args, int limitMs, QVariantList& reply, TQrlError& error, bool abandonable = true) {
  TQrlSession& session = *peer.Session;
  if (session.Broken) {
    error = *session.Broken;
    return false;
  }
  const qint64 left = peer.Timeouts.Stall - session.SinceProgress.elapsed();
  const int waitMs = static_cast<int>(std::clamp<qint64>(left, 0, limitMs));
  QDBusMessage call = QDBusMessage::createMethodCall(peer.Owner, path, QLatin1String(interface), method);
  call.setArguments(args);
  bool canceled = false;
  QDBusMessage answer;
  if (waitMs > 0)
    answer = abandonable && session.Waiting ? WaitLive(peer.Bus, call, waitMs, session.Waiting, canceled)
                                            : peer.Bus.call(call, QDBus::Block, waitMs);
  if (answer.type() == QDBusMessage::ReplyMessage) {
    reply = answer.arguments();
    return true;
  }
  if (canceled) {
    error = Failure(TQrlFault::Canceled, QString(), QStringLiteral("Canceled by user"));
  } else if (waitMs == 0 || (answer.errorName() == kNoReply && StillThere(peer))) {
    // The limit of the call, or the command's: whichever came first says how long QRL kept silent.
    const int silentMs = waitMs < limitMs ? peer.Timeouts.Stall : waitMs;
    error = Failure(TQrlFault::Stalled, kNoReply,
                    QStringLiteral("QRL did not answer for %1 seconds").arg(QString::number(silentMs / 1000.0, 'g', 4)));
  } else {
    error = QrlErrorFromBus(answer.errorName(), answer.errorMessage());
  }
  if (error.Fault != TQrlFault::Refused) session.Broken = error;
  return false;
}

// A reply of the wrong shape: not the planner this program knows.
bool Malformed(const QString& method, TQrlError& error) {
  error = Failure(TQrlFault::Lost, QStringLiteral("org.freedesktop.DBus.Error.InvalidSignature"),
                  QStringLiteral("Unexpected reply to %1.").arg(method));
  return false;
}

// A path the bus cannot carry: refused here, the planner never asked.
bool BadPath(TQrlError& error) {
  error = Failure(TQrlFault::Refused, QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                  QStringLiteral("File name is not valid UTF-8."));
  return false;
}

class TQrlBusPlan : public IQrlPlan {
 public:
  TQrlBusPlan(TQrlPeer peer, QString path) : peer_(std::move(peer)), path_(std::move(path)) {}
  // A plan left open is closed, as releasing the last reference to it would.
  ~TQrlBusPlan() override { Close(); }

  bool RowCount(const std::string& table, int& count, TQrlError& error) override {
    QVariantList reply;
    if (!Call(QStringLiteral("RowCount"), {QrlText(table)}, peer_.Timeouts.Cell, reply, error)) return false;
    if (reply.size() != 1 || reply[0].metaType() != QMetaType::fromType<int>())
      return Malformed(QStringLiteral("RowCount"), error);
    count = reply[0].toInt();
    return true;
  }

  bool GetValue(const std::string& table, int row, const std::string& column, TQrlValue& value,
                TQrlError& error) override {
    QVariantList reply;
    if (!Call(QStringLiteral("GetValue"), {QrlText(table), row, QrlText(column)}, peer_.Timeouts.Cell, reply, error))
      return false;
    if (reply.size() != 1 || !QrlFromBus(reply[0], value)) return Malformed(QStringLiteral("GetValue"), error);
    return true;
  }

  bool SetValue(const std::string& table, int row, const std::string& column, const TQrlValue& value,
                TQrlError& error) override {
    QVariantList reply;
    const QVariantList args{QrlText(table), row, QrlText(column), QVariant::fromValue(QrlToBus(value))};
    return Call(QStringLiteral("SetValue"), args, peer_.Timeouts.Cell, reply, error);
  }

  bool ValueIsValid(const std::string& table, int row, const std::string& column, const TQrlValue& value,
                    bool& valid, TQrlError& error) override {
    QVariantList reply;
    const QVariantList args{QrlText(table), row, QrlText(column), QVariant::fromValue(QrlToBus(value))};
    if (!Call(QStringLiteral("ValueIsValid"), args, peer_.Timeouts.Cell, reply, error)) return false;
    if (reply.size() != 1 || reply[0].metaType() != QMetaType::fromType<bool>())
      return Malformed(QStringLiteral("ValueIsValid"), error);
    valid = reply[0].toBool();
    return true;
  }

  bool ExpandTables(TQrlError& error) override {
    QVariantList reply;
    return FileStep(QStringLiteral("ExpandTables"), {}, reply, error);
  }

  bool SaveAs(const std::string& path, TQrlError& error) override {
    QString busPath;
    if (!QrlPathToBus(path, busPath)) return BadPath(error);
    QVariantList reply;
    return FileStep(QStringLiteral("SaveAs"), {busPath}, reply, error);
  }

  bool ExportToAccess(const std::string& path, TQrlError& error) override {
    QString busPath;
    if (!QrlPathToBus(path, busPath)) return BadPath(error);
    // The five flags ask for every part of the plan.
    QVariantList reply;
    return FileStep(QStringLiteral("ExportToAccess"), {busPath, true, true, true, true, true}, reply, error);
  }

  void Close() override {
    if (closed_) return;
    closed_ = true;
    // Not given up on Cancel: the plan would stay open in the planner. A planner that failed the
    // command is not asked at all.
    QVariantList reply;
    TQrlError ignored;
    ::Call(peer_, path_, kQrlPlanInterface, QStringLiteral("Close"), {}, peer_.Timeouts.Cell, reply, ignored, false);
  }

 private:
  bool Call(const QString& method, const QVariantList& args, int timeoutMs, QVariantList& reply, TQrlError& error) {
    return ::Call(peer_, path_, kQrlPlanInterface, method, args, timeoutMs, reply, error);
  }
  // Making, saving or exporting a plan: a step of its own, which may take the whole stall time.
  bool FileStep(const QString& method, const QVariantList& args, QVariantList& reply, TQrlError& error) {
    peer_.Session->SinceProgress.restart();
    return Call(method, args, peer_.Timeouts.Stall, reply, error);
  }

  TQrlPeer peer_;
  QString path_;
  bool closed_ = false;
};

class TQrlBusApp : public IQrlApp {
 public:
  explicit TQrlBusApp(TQrlPeer peer) : peer_(std::move(peer)) {}

  void Progressed() override { peer_.Session->SinceProgress.restart(); }
  void WhileWaiting(std::function<bool()> waiting) override { peer_.Session->Waiting = std::move(waiting); }

  bool FileVersion(std::string& version, TQrlError& error) override {
    QVariantList reply;
    const QVariantList args{QLatin1String(kQrlAppInterface), QStringLiteral("FileVersion")};
    if (!::Call(peer_, QLatin1String(kQrlAppPath), "org.freedesktop.DBus.Properties", QStringLiteral("Get"), args,
                peer_.Timeouts.Cell, reply, error))
      return false;
    const QVariant value = reply.size() == 1 ? reply[0].value<QDBusVariant>().variant() : QVariant();
    if (value.metaType() != QMetaType::fromType<QString>()) return Malformed(QStringLiteral("FileVersion"), error);
    version = QrlText(value.toString());
    return true;
  }

  std::unique_ptr<IQrlPlan> CreatePlanFile(const std::string& stateName, int mode, TQrlError& error) override {
    return PlanOf(QStringLiteral("CreatePlanFile"), {QrlText(stateName), mode}, error);
  }

  std::unique_ptr<IQrlPlan> OpenPlanFile(const std::string& path, TQrlError& error) override {
    QString busPath;
    if (!QrlPathToBus(path, busPath)) {
      BadPath(error);
      return nullptr;
    }
    return PlanOf(QStringLiteral("OpenPlanFile"), {busPath}, error);
  }

 private:
  std::unique_ptr<IQrlPlan> PlanOf(const QString& method, const QVariantList& args, TQrlError& error) {
    QVariantList reply;
    peer_.Session->SinceProgress.restart();  // a step of its own
    if (!::Call(peer_, QLatin1String(kQrlAppPath), kQrlAppInterface, method, args, peer_.Timeouts.Stall, reply, error))
      return nullptr;
    if (reply.size() != 1 || reply[0].metaType() != QMetaType::fromType<QDBusObjectPath>()) {
      Malformed(method, error);
      return nullptr;
    }
    return std::make_unique<TQrlBusPlan>(peer_, reply[0].value<QDBusObjectPath>().path());
  }

  TQrlPeer peer_;
};

// Asks the bus to start the service unless its name already has an owner (a planner started by
// hand serves as well as an activated one); the unique name of its owner, empty when there is none.
QString Activate(const QDBusConnection& bus, int timeoutMs) {
  const QString name = QLatin1String(kQrlService);
  if (!AskBus(bus, QStringLiteral("NameHasOwner"), {name}, timeoutMs).toBool()) {
    const QVariant result = AskBus(bus, QStringLiteral("StartServiceByName"), {name, 0u}, timeoutMs);
    if (!result.isValid() || (result.toUInt() != kStartedOrRunning[0] && result.toUInt() != kStartedOrRunning[1]))
      return QString();
  }
  return AskBus(bus, QStringLiteral("GetNameOwner"), {name}, timeoutMs).toString();
}

}  // namespace

std::unique_ptr<IQrlApp> StartQrlOnBus(const TQrlBusTimeouts& timeouts) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return nullptr;
  const QString owner = Activate(bus, timeouts.Start);
  if (owner.isEmpty()) return nullptr;
  auto session = std::make_shared<TQrlSession>();
  session->SinceProgress.start();
  return std::make_unique<TQrlBusApp>(TQrlPeer{bus, owner, timeouts, std::move(session)});
}

TQrlStarter QrlBusStarter() {
  return [] { return StartQrlOnBus(); };
}
