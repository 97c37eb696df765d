// The stand-in planner's objects on the session bus: /Application and the plan objects /Plan/<n>
// (QrlWire.h has the object model and its encoding), each call handed to the plan model behind
// them.
#pragma once

#include <QDBusVirtualObject>
#include <QElapsedTimer>

#include <map>
#include <memory>

#include "interchange/QrlLink.h"

class TStandinBus : public QDBusVirtualObject {
 public:
  explicit TStandinBus(std::unique_ptr<IQrlApp> app);
  ~TStandinBus() override;

  // Serves the objects on the bus and takes the name "QRL.Application"; false with the reason when
  // the name is taken or the objects cannot be registered.
  bool Serve(QDBusConnection& bus, QString& reason);
  // Milliseconds since the last call.
  qint64 IdleMs() const { return lastCall_.elapsed(); }
  int OpenPlans() const { return static_cast<int>(plans_.size()); }

  QString introspect(const QString& path) const override;
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

 private:
  QDBusMessage AppCall(const QDBusMessage& call);
  QDBusMessage PropertyCall(const QDBusMessage& call);
  QDBusMessage PlanCall(const QDBusMessage& call);
  QDBusMessage PlanMethod(IQrlPlan& plan, const QDBusMessage& call);
  // A new plan object for a plan the model made or opened.
  QDBusMessage Published(const QDBusMessage& call, std::unique_ptr<IQrlPlan> plan, const TQrlError& error);

  std::unique_ptr<IQrlApp> app_;
  std::map<int, std::unique_ptr<IQrlPlan>> plans_;
  int nextPlan_ = 1;
  QElapsedTimer lastCall_;
};
