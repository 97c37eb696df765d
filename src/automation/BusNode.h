// Serves the properties of one object on the bus, under the interface its "D-Bus Interface"
// class information names, and tells who called. Qt's own property export hides the caller, which
// the automation service needs to know when its clients have gone; so this node answers the
// Properties interface itself and leaves introspection and Peer to Qt.
#pragma once

#include <QDBusVirtualObject>
#include <functional>

class TBusNode : public QDBusVirtualObject {
  Q_OBJECT

 public:
  // `noteCaller` receives the unique bus name of every caller.
  TBusNode(QObject& target, std::function<void(const QString&)> noteCaller, QObject* parent = nullptr);

  QString Interface() const;
  QString introspect(const QString& path) const override;
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

 private:
  // The reply to a call of the Properties interface or of ours.
  QDBusMessage Properties(const QDBusMessage& message);
  QDBusMessage Get(const QDBusMessage& message) const;
  QDBusMessage GetAll(const QDBusMessage& message) const;
  QDBusMessage Set(const QDBusMessage& message);
  // The index of an exported property, or -1.
  int PropertyIndex(const QString& name) const;
  // An error reply when the interface argument names another interface than ours.
  bool ForeignInterface(const QDBusMessage& message, QDBusMessage& error) const;

  QObject& target_;
  std::function<void(const QString&)> noteCaller_;
};
