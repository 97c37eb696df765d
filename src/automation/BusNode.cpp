#include "BusNode.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QMetaProperty>

namespace {

const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// The exported properties are those the target's classes declare beyond QObject's.
int FirstProperty() { return QObject::staticMetaObject.propertyCount(); }

}  // namespace

TBusNode::TBusNode(QObject& target, std::function<void(const QString&)> noteCaller, QObject* parent)
    : QDBusVirtualObject(parent), target_(target), noteCaller_(std::move(noteCaller)) {}

QString TBusNode::Interface() const {
  const QMetaObject* mo = target_.metaObject();
  const int i = mo->indexOfClassInfo("D-Bus Interface");
  return i < 0 ? QString() : QString::fromLatin1(mo->classInfo(i).value());
}

QString TBusNode::introspect(const QString&) const {
  QString xml = "  <interface name=\"" + Interface() + "\">\n";
  const QMetaObject* mo = target_.metaObject();
  for (int i = FirstProperty(); i < mo->propertyCount(); ++i) {
    const QMetaProperty p = mo->property(i);
    xml += QString("    <property name=\"%1\" type=\"%2\" access=\"%3\"/>\n")
               .arg(QString::fromLatin1(p.name()), QString::fromLatin1(QDBusMetaType::typeToSignature(p.metaType())),
                    p.isWritable() ? "readwrite" : "read");
  }
  return xml + "  </interface>\n";
}

bool TBusNode::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
  if (noteCaller_ && !message.service().isEmpty()) noteCaller_(message.service());
  // Introspection and Peer are Qt's.
  if (message.interface() != kPropertiesInterface && message.interface() != Interface()) return false;
  const QDBusMessage reply = Properties(message);  // a Set is made also when no reply is wanted
  if (message.isReplyRequired()) connection.send(reply);
  return true;
}

QDBusMessage TBusNode::Properties(const QDBusMessage& message) {
  const QString member = message.member(), signature = message.signature();
  if (message.interface() == kPropertiesInterface) {
    if (member == "Get" && signature == "ss") return Get(message);
    if (member == "GetAll" && signature == "s") return GetAll(message);
    if (member == "Set" && signature == "ssv") return Set(message);
  }
  // The interface itself has nothing but properties.
  return message.createErrorReply(QDBusError::UnknownMethod,
                                  "No method " + member + "(" + signature + ") in " + message.interface());
}

int TBusNode::PropertyIndex(const QString& name) const {
  const int i = target_.metaObject()->indexOfProperty(name.toLatin1().constData());
  return i >= FirstProperty() ? i : -1;
}

bool TBusNode::ForeignInterface(const QDBusMessage& message, QDBusMessage& error) const {
  const QString iface = message.arguments().at(0).toString();
  if (iface.isEmpty() || iface == Interface()) return false;
  error = message.createErrorReply(QDBusError::UnknownInterface, "No interface " + iface + " at " + message.path());
  return true;
}

QDBusMessage TBusNode::Get(const QDBusMessage& message) const {
  QDBusMessage error;
  if (ForeignInterface(message, error)) return error;
  const QString name = message.arguments().at(1).toString();
  const int i = PropertyIndex(name);
  if (i < 0) return message.createErrorReply(QDBusError::UnknownProperty, "No property " + name);
  return message.createReply(QVariant::fromValue(QDBusVariant(target_.metaObject()->property(i).read(&target_))));
}

QDBusMessage TBusNode::GetAll(const QDBusMessage& message) const {
  QDBusMessage error;
  if (ForeignInterface(message, error)) return error;
  QVariantMap all;
  const QMetaObject* mo = target_.metaObject();
  for (int i = FirstProperty(); i < mo->propertyCount(); ++i)
    all.insert(QString::fromLatin1(mo->property(i).name()), mo->property(i).read(&target_));
  return message.createReply(QVariant::fromValue(all));
}

QDBusMessage TBusNode::Set(const QDBusMessage& message) {
  QDBusMessage error;
  if (ForeignInterface(message, error)) return error;
  const QString name = message.arguments().at(1).toString();
  const int i = PropertyIndex(name);
  if (i < 0) return message.createErrorReply(QDBusError::UnknownProperty, "No property " + name);
  QMetaProperty p = target_.metaObject()->property(i);
  if (!p.isWritable()) return message.createErrorReply(QDBusError::PropertyReadOnly, "Property " + name + " is read-only");
  const QVariant value = message.arguments().at(2).value<QDBusVariant>().variant();
  // Only the property's own type: a client that sends anything else has made a mistake.
  if (value.metaType() != p.metaType())
    return message.createErrorReply(QDBusError::InvalidArgs,
                                    "Property " + name + " takes the type " + QDBusMetaType::typeToSignature(p.metaType()));
  p.write(&target_, value);
  return message.createReply();
}
