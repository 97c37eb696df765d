#include "StandinBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>

#include "QrlWire.h"

namespace {

const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

const char kAppXml[] = R"(  <interface name="QRL.Application">
    <property name="FileVersion" type="s" access="read"/>
    <method name="CreatePlanFile">
      <arg name="state" type="s" direction="in"/>
      <arg name="mode" type="i" direction="in"/>
      <arg name="plan" type="o" direction="out"/>
    </method>
    <method name="OpenPlanFile">
      <arg name="path" type="s" direction="in"/>
      <arg name="plan" type="o" direction="out"/>
    </method>
  </interface>
)";

const char kPlanXml[] = R"(  <interface name="QRL.Plan">
    <method name="RowCount">
      <arg name="table" type="s" direction="in"/>
      <arg name="count" type="i" direction="out"/>
    </method>
    <method name="GetValue">
      <arg name="table" type="s" direction="in"/>
      <arg name="row" type="i" direction="in"/>
      <arg name="column" type="s" direction="in"/>
      <arg name="value" type="v" direction="out"/>
    </method>
    <method name="SetValue">
      <arg name="table" type="s" direction="in"/>
      <arg name="row" type="i" direction="in"/>
      <arg name="column" type="s" direction="in"/>
      <arg name="value" type="v" direction="in"/>
    </method>
    <method name="ValueIsValid">
      <arg name="table" type="s" direction="in"/>
      <arg name="row" type="i" direction="in"/>
      <arg name="column" type="s" direction="in"/>
      <arg name="value" type="v" direction="in"/>
      <arg name="valid" type="b" direction="out"/>
    </method>
    <method name="ExpandTables"/>
    <method name="SaveAs">
      <arg name="path" type="s" direction="in"/>
    </method>
    <method name="ExportToAccess">
      <arg name="path" type="s" direction="in"/>
      <arg name="flag1" type="b" direction="in"/>
      <arg name="flag2" type="b" direction="in"/>
      <arg name="flag3" type="b" direction="in"/>
      <arg name="flag4" type="b" direction="in"/>
      <arg name="flag5" type="b" direction="in"/>
    </method>
    <method name="Close"/>
  </interface>
)";

QDBusMessage Failed(const QDBusMessage& call, const TQrlError& error) {
  return call.createErrorReply(QLatin1String(kQrlErrorName), QrlErrorMessage(error));
}

QDBusMessage BadArgs(const QDBusMessage& call) {
  return call.createErrorReply(QDBusError::InvalidArgs,
                               QStringLiteral("Wrong arguments (%1) for %2.").arg(call.signature(), call.member()));
}

QDBusMessage UnknownMethod(const QDBusMessage& call) {
  return call.createErrorReply(QDBusError::UnknownMethod,
                               QStringLiteral("No method %1.%2 at %3.").arg(call.interface(), call.member(), call.path()));
}

// The reply of a call that either succeeded without results or failed with `error`.
QDBusMessage Done(const QDBusMessage& call, bool ok, const TQrlError& error) {
  return ok ? call.createReply() : Failed(call, error);
}

std::string Text(const QVariant& arg) { return QrlText(arg.toString()); }

}  // namespace

TStandinBus::TStandinBus(std::unique_ptr<IQrlApp> app) : app_(std::move(app)) { lastCall_.start(); }

TStandinBus::~TStandinBus() = default;

bool TStandinBus::Serve(QDBusConnection& bus, QString& reason) {
  if (!bus.registerVirtualObject(QLatin1String(kQrlAppPath), this) ||
      !bus.registerVirtualObject(QStringLiteral("/Plan"), this, QDBusConnection::SubPath)) {
    reason = QStringLiteral("cannot register the objects: ") + bus.lastError().message();
    return false;
  }
  if (!bus.registerService(QLatin1String(kQrlService))) {
    reason = QStringLiteral("cannot take the name %1: %2").arg(QLatin1String(kQrlService), bus.lastError().message());
    return false;
  }
  return true;
}

QString TStandinBus::introspect(const QString& path) const {
  if (path == QLatin1String(kQrlAppPath)) return QLatin1String(kAppXml);
  if (path.startsWith(QLatin1String(kQrlPlanPathPrefix))) return QLatin1String(kPlanXml);
  return QString();
}

bool TStandinBus::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
  // Introspection and the peer interface are answered by the bus library.
  if (message.interface().startsWith(QLatin1String("org.freedesktop.DBus.")) && message.interface() != kProperties)
    return false;
  lastCall_.restart();
  QDBusMessage reply;
  if (message.path() == QLatin1String(kQrlAppPath))
    reply = message.interface() == kProperties ? PropertyCall(message) : AppCall(message);
  else
    reply = PlanCall(message);
  QDBusConnection(connection).send(reply);
  return true;
}

QDBusMessage TStandinBus::PropertyCall(const QDBusMessage& call) {
  const QVariantList args = call.arguments();
  const bool get = call.member() == QLatin1String("Get") && call.signature() == QLatin1String("ss");
  const bool getAll = call.member() == QLatin1String("GetAll") && call.signature() == QLatin1String("s");
  if (!get && !getAll) {
    if (call.member() == QLatin1String("Set"))
      return call.createErrorReply(QDBusError::PropertyReadOnly, QStringLiteral("FileVersion is read-only."));
    return UnknownMethod(call);
  }
  const QString interface = args[0].toString();
  if ((!interface.isEmpty() && interface != QLatin1String(kQrlAppInterface)) ||
      (get && args[1].toString() != QLatin1String("FileVersion")))
    return call.createErrorReply(QDBusError::UnknownProperty, QStringLiteral("No such property."));
  std::string version;
  TQrlError error;
  if (!app_->FileVersion(version, error)) return Failed(call, error);
  const QString value = QrlText(version);
  if (get) return call.createReply(QVariant::fromValue(QDBusVariant(value)));
  return call.createReply(QVariantMap{{QStringLiteral("FileVersion"), value}});
}

QDBusMessage TStandinBus::AppCall(const QDBusMessage& call) {
  if (!call.interface().isEmpty() && call.interface() != QLatin1String(kQrlAppInterface)) return UnknownMethod(call);
  const QVariantList args = call.arguments();
  TQrlError error;
  if (call.member() == QLatin1String("CreatePlanFile")) {
    if (call.signature() != QLatin1String("si")) return BadArgs(call);
    return Published(call, app_->CreatePlanFile(Text(args[0]), args[1].toInt(), error), error);
  }
  if (call.member() == QLatin1String("OpenPlanFile")) {
    if (call.signature() != QLatin1String("s")) return BadArgs(call);
    return Published(call, app_->OpenPlanFile(QrlPathFromBus(args[0].toString()), error), error);
  }
  return UnknownMethod(call);
}

QDBusMessage TStandinBus::Published(const QDBusMessage& call, std::unique_ptr<IQrlPlan> plan, const TQrlError& error) {
  if (!plan) return Failed(call, error);
  const int id = nextPlan_++;
  plans_[id] = std::move(plan);
  const QString path = QLatin1String(kQrlPlanPathPrefix) + QString::number(id);
  return call.createReply(QVariant::fromValue(QDBusObjectPath(path)));
}

QDBusMessage TStandinBus::PlanCall(const QDBusMessage& call) {
  const QString prefix = QLatin1String(kQrlPlanPathPrefix);
  bool numeric = false;
  const int id = call.path().startsWith(prefix) ? call.path().mid(prefix.size()).toInt(&numeric) : 0;
  const auto plan = numeric ? plans_.find(id) : plans_.end();
  if (plan == plans_.end())
    return call.createErrorReply(QDBusError::UnknownObject, QStringLiteral("No plan at %1.").arg(call.path()));
  if (!call.interface().isEmpty() && call.interface() != QLatin1String(kQrlPlanInterface)) return UnknownMethod(call);
  if (call.member() == QLatin1String("Close")) {
    if (!call.signature().isEmpty()) return BadArgs(call);
    plan->second->Close();
    plans_.erase(plan);
    return call.createReply();
  }
  return PlanMethod(*plan->second, call);
}

QDBusMessage TStandinBus::PlanMethod(IQrlPlan& plan, const QDBusMessage& call) {
  const QString method = call.member(), signature = call.signature();
  const QVariantList args = call.arguments();
  TQrlError error;
  if (method == QLatin1String("RowCount")) {
    if (signature != QLatin1String("s")) return BadArgs(call);
    int count = 0;
    return plan.RowCount(Text(args[0]), count, error) ? call.createReply(count) : Failed(call, error);
  }
  if (method == QLatin1String("GetValue")) {
    if (signature != QLatin1String("sis")) return BadArgs(call);
    TQrlValue value;
    if (!plan.GetValue(Text(args[0]), args[1].toInt(), Text(args[2]), value, error)) return Failed(call, error);
    return call.createReply(QVariant::fromValue(QrlToBus(value)));
  }
  if (method == QLatin1String("SetValue") || method == QLatin1String("ValueIsValid")) {
    TQrlValue value;
    if (signature != QLatin1String("sisv") || !QrlFromBus(args[3], value)) return BadArgs(call);
    if (method == QLatin1String("SetValue"))
      return Done(call, plan.SetValue(Text(args[0]), args[1].toInt(), Text(args[2]), value, error), error);
    bool valid = false;
    if (!plan.ValueIsValid(Text(args[0]), args[1].toInt(), Text(args[2]), value, valid, error))
      return Failed(call, error);
    return call.createReply(valid);
  }
  if (method == QLatin1String("ExpandTables")) {
    if (!signature.isEmpty()) return BadArgs(call);
    return Done(call, plan.ExpandTables(error), error);
  }
  if (method == QLatin1String("SaveAs")) {
    if (signature != QLatin1String("s")) return BadArgs(call);
    return Done(call, plan.SaveAs(QrlPathFromBus(args[0].toString()), error), error);
  }
  if (method == QLatin1String("ExportToAccess")) {
    if (signature != QLatin1String("sbbbbb")) return BadArgs(call);
    return Done(call, plan.ExportToAccess(QrlPathFromBus(args[0].toString()), error), error);
  }
  return UnknownMethod(call);
}
