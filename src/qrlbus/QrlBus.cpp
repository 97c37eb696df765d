#include "QrlBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>

#include "QrlWire.h"

namespace {

const QString kDBusService = QStringLiteral("org.freedesktop.DBus");
const QString kDBusPath = QStringLiteral("/org/freedesktop/DBus");
constexpr uint kStartedOrRunning[] = {1, 2};  // DBUS_START_REPLY_SUCCESS, DBUS_START_REPLY_ALREADY_RUNNING

// One blocking call; the reply's arguments, or the error as the planner's.
bool Call(const QDBusConnection& bus, const QString& path, const char* interface, const QString& method,
          const QVariantList& args, int timeoutMs, QVariantList& reply, TQrlError& error) {
  QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kQrlService), path, QLatin1String(interface), method);
  call.setArguments(args);
  const QDBusMessage answer = bus.call(call, QDBus::Block, timeoutMs);
  if (answer.type() == QDBusMessage::ReplyMessage) {
    reply = answer.arguments();
    return true;
  }
  error = QrlErrorFromBus(answer.errorName(), answer.errorMessage());
  return false;
}

// A reply of the wrong shape.
bool Malformed(const QString& method, TQrlError& error) {
  error = QrlErrorFromBus(QStringLiteral("org.freedesktop.DBus.Error.InvalidSignature"),
                          QStringLiteral("Unexpected reply to %1.").arg(method));
  return false;
}

bool BadPath(TQrlError& error) {
  error = QrlErrorFromBus(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                          QStringLiteral("File name is not valid UTF-8."));
  return false;
}

class TQrlBusPlan : public IQrlPlan {
 public:
  TQrlBusPlan(QDBusConnection bus, QString path, TQrlBusTimeouts timeouts)
      : bus_(std::move(bus)), path_(std::move(path)), timeouts_(timeouts) {}
  // A plan left open is closed, as releasing the last reference to it would.
  ~TQrlBusPlan() override { Close(); }

  bool RowCount(const std::string& table, int& count, TQrlError& error) override {
    QVariantList reply;
    if (!Call(QStringLiteral("RowCount"), {QrlText(table)}, timeouts_.Cell, reply, error)) return false;
    if (reply.size() != 1 || reply[0].metaType() != QMetaType::fromType<int>())
      return Malformed(QStringLiteral("RowCount"), error);
    count = reply[0].toInt();
    return true;
  }

  bool GetValue(const std::string& table, int row, const std::string& column, TQrlValue& value,
                TQrlError& error) override {
    QVariantList reply;
    if (!Call(QStringLiteral("GetValue"), {QrlText(table), row, QrlText(column)}, timeouts_.Cell, reply, error))
      return false;
    if (reply.size() != 1 || !QrlFromBus(reply[0], value)) return Malformed(QStringLiteral("GetValue"), error);
    return true;
  }

  bool SetValue(const std::string& table, int row, const std::string& column, const TQrlValue& value,
                TQrlError& error) override {
    QVariantList reply;
    const QVariantList args{QrlText(table), row, QrlText(column), QVariant::fromValue(QrlToBus(value))};
    return Call(QStringLiteral("SetValue"), args, timeouts_.Cell, reply, error);
  }

  bool ValueIsValid(const std::string& table, int row, const std::string& column, const TQrlValue& value,
                    bool& valid, TQrlError& error) override {
    QVariantList reply;
    const QVariantList args{QrlText(table), row, QrlText(column), QVariant::fromValue(QrlToBus(value))};
    if (!Call(QStringLiteral("ValueIsValid"), args, timeouts_.Cell, reply, error)) return false;
    if (reply.size() != 1 || reply[0].metaType() != QMetaType::fromType<bool>())
      return Malformed(QStringLiteral("ValueIsValid"), error);
    valid = reply[0].toBool();
    return true;
  }

  bool ExpandTables(TQrlError& error) override {
    QVariantList reply;
    return Call(QStringLiteral("ExpandTables"), {}, timeouts_.File, reply, error);
  }

  bool SaveAs(const std::string& path, TQrlError& error) override {
    QString busPath;
    if (!QrlPathToBus(path, busPath)) return BadPath(error);
    QVariantList reply;
    return Call(QStringLiteral("SaveAs"), {busPath}, timeouts_.File, reply, error);
  }

  bool ExportToAccess(const std::string& path, TQrlError& error) override {
    QString busPath;
    if (!QrlPathToBus(path, busPath)) return BadPath(error);
    // The five flags ask for every part of the plan.
    QVariantList reply;
    return Call(QStringLiteral("ExportToAccess"), {busPath, true, true, true, true, true}, timeouts_.File, reply,
                error);
  }

  void Close() override {
    if (closed_) return;
    closed_ = true;
    QVariantList reply;
    TQrlError ignored;
    Call(QStringLiteral("Close"), {}, timeouts_.File, reply, ignored);
  }

 private:
  bool Call(const QString& method, const QVariantList& args, int timeoutMs, QVariantList& reply, TQrlError& error) {
    return ::Call(bus_, path_, kQrlPlanInterface, method, args, timeoutMs, reply, error);
  }

  QDBusConnection bus_;
  QString path_;
  TQrlBusTimeouts timeouts_;
  bool closed_ = false;
};

class TQrlBusApp : public IQrlApp {
 public:
  TQrlBusApp(QDBusConnection bus, TQrlBusTimeouts timeouts) : bus_(std::move(bus)), timeouts_(timeouts) {}

  bool FileVersion(std::string& version, TQrlError& error) override {
    QVariantList reply;
    const QVariantList args{QLatin1String(kQrlAppInterface), QStringLiteral("FileVersion")};
    if (!::Call(bus_, QLatin1String(kQrlAppPath), "org.freedesktop.DBus.Properties", QStringLiteral("Get"), args,
                timeouts_.Cell, reply, error))
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
    if (!::Call(bus_, QLatin1String(kQrlAppPath), kQrlAppInterface, method, args, timeouts_.File, reply, error))
      return nullptr;
    if (reply.size() != 1 || reply[0].metaType() != QMetaType::fromType<QDBusObjectPath>()) {
      Malformed(method, error);
      return nullptr;
    }
    return std::make_unique<TQrlBusPlan>(bus_, reply[0].value<QDBusObjectPath>().path(), timeouts_);
  }

  QDBusConnection bus_;
  TQrlBusTimeouts timeouts_;
};

// One call to the bus itself; its single answer, or an invalid variant.
QVariant AskBus(const QDBusConnection& bus, const QString& method, const QVariantList& args, int timeoutMs) {
  QDBusMessage call = QDBusMessage::createMethodCall(kDBusService, kDBusPath, kDBusService, method);
  call.setArguments(args);
  const QDBusMessage answer = bus.call(call, QDBus::Block, timeoutMs);
  return answer.type() == QDBusMessage::ReplyMessage && answer.arguments().size() == 1 ? answer.arguments()[0]
                                                                                       : QVariant();
}

// Asks the bus to start the service unless its name already has an owner (a planner started by
// hand serves as well as an activated one).
bool Activate(const QDBusConnection& bus, int timeoutMs) {
  const QString name = QLatin1String(kQrlService);
  if (AskBus(bus, QStringLiteral("NameHasOwner"), {name}, timeoutMs).toBool()) return true;
  const QVariant result = AskBus(bus, QStringLiteral("StartServiceByName"), {name, 0u}, timeoutMs);
  return result.isValid() && (result.toUInt() == kStartedOrRunning[0] || result.toUInt() == kStartedOrRunning[1]);
}

}  // namespace

std::unique_ptr<IQrlApp> StartQrlOnBus(const TQrlBusTimeouts& timeouts) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || !Activate(bus, timeouts.Start)) return nullptr;
  return std::make_unique<TQrlBusApp>(bus, timeouts);
}

TQrlStarter QrlBusStarter() {
  return [] { return StartQrlOnBus(); };
}
