// The automation service in the program's own process: the window state rules, the service file,
// and, on a bus daemon of the test's own, the clients that keep a hidden program alive, the warning
// when the user closes a program in use, a second program that finds the name taken and the end
// of the session.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QMainWindow>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include "AutoObjects.h"
#include "AutoServer.h"
#include "SvcFile.h"
#include "TestMessages.h"
#include "TsStart.h"

namespace {

const char* const kAppInterface = "Tesserel.IApplication";

// A bus daemon of the test's own, and connections to it by name.
class TPrivateBus {
 public:
  TPrivateBus() {
    daemon_.start(TESSEREL_DBUS_DAEMON, {"--config-file=" TESSEREL_SESSION_CONF, "--nofork", "--print-address=1"});
    if (daemon_.waitForReadyRead(20000)) address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
  }
  ~TPrivateBus() {
    for (const QString& name : std::as_const(names_)) QDBusConnection::disconnectFromBus(name);
    Stop();
  }
  bool Started() const { return !address_.isEmpty(); }
  QDBusConnection Connect(const QString& name) {
    names_ << name;
    return QDBusConnection::connectToBus(address_, name);
  }
  void Stop() {
    daemon_.kill();
    daemon_.waitForFinished();
  }

 private:
  QProcess daemon_;
  QString address_;
  QStringList names_;
};

// A property call of a client; the reply is waited for with the event loop running, because the
// service answers on this same thread.
QDBusMessage PropertyCall(QDBusConnection& client, const char* member, const QVariantList& args) {
  QDBusMessage call = QDBusMessage::createMethodCall(kServiceName, kApplicationPath, "org.freedesktop.DBus.Properties", member);
  call.setArguments(args);
  return client.call(call, QDBus::BlockWithGui);
}

QVariant Get(QDBusConnection& client, const char* name) {
  const QDBusMessage reply = PropertyCall(client, "Get", {kAppInterface, name});
  return reply.arguments().isEmpty() ? QVariant() : reply.arguments()[0].value<QDBusVariant>().variant();
}

bool Set(QDBusConnection& client, const char* name, const QVariant& value) {
  return PropertyCall(client, "Set", {kAppInterface, name, QVariant::fromValue(QDBusVariant(value))}).type() ==
         QDBusMessage::ReplyMessage;
}

Qt::WindowStates StateOf(const QWidget& w) { return w.windowState() & ~Qt::WindowActive; }

}  // namespace

class TestAutomation : public QObject {
  Q_OBJECT

  TAppStartup automationStart_{{"-embedding"}, "/opt/tesserel/tesserel"};

 private slots:
  void initTestCase() { qputenv("TESSEREL_AUTOMATION_IDLE_MS", "500"); }

  void startSwitches() {
    QVERIFY(!TAppStartup({"/Automation"}, "/x/tesserel").NormalStart);
    QVERIFY(!TAppStartup({"-EMBEDDING"}, "/x/tesserel").NormalStart);
    QVERIFY(TAppStartup::StartSwitch({"/regserver"}) == TStartSwitch::RegServer);
    QVERIFY(TAppStartup::StartSwitch({"-UnRegServer"}) == TStartSwitch::UnregServer);
    QVERIFY(TAppStartup::StartSwitch({"fields.tsj", "-embedding"}) == TStartSwitch::None);
    QCOMPARE(TAppStartup({"-regserver"}, "/x/tesserel").ProjectArgument(), "");
    QCOMPARE(TAppStartup({"-fields"}, "/x/tesserel").ProjectArgument(), "-fields.tsj");
  }

  void windowStateRules() {
    QMainWindow window;
    window.show();
    TApplication app(automationStart_, window);
    QCOMPARE(app.WindowState(), tsWindowStateNormal);
    app.SetWindowState(tsWindowStateMaximized);
    QCOMPARE(StateOf(window), Qt::WindowMaximized);
    app.SetWindowState(tsWindowStateMinimized);
    QCOMPARE(app.WindowState(), tsWindowStateMinimized);
    // Normal restores a minimized program to what it was: maximized.
    app.SetWindowState(tsWindowStateNormal);
    QCOMPARE(StateOf(window), Qt::WindowMaximized);
    QCOMPARE(app.WindowState(), tsWindowStateMaximized);
    app.SetWindowState(tsWindowStateNormal);
    QCOMPARE(StateOf(window), Qt::WindowNoState);
    // Maximized restores a minimized program first.
    app.SetWindowState(tsWindowStateMinimized);
    app.SetWindowState(tsWindowStateMaximized);
    QCOMPARE(StateOf(window), Qt::WindowMaximized);
    // Other values change nothing.
    app.SetWindowState(3);
    app.SetWindowState(-1);
    QCOMPARE(StateOf(window), Qt::WindowMaximized);
    app.SetVisible(false);
    QVERIFY(!window.isVisible());
    QVERIFY(!app.Visible());
    QVERIFY(!app.UserControl());
    QCOMPARE(app.Path(), "/opt/tesserel");
  }

  void serviceFileQuotesTheProgram() {
    QCOMPARE(ServiceFileText("/usr/lib/tesserel/tesserel"),
             "[D-BUS Service]\nName=Tesserel.Application\nExec=/usr/lib/tesserel/tesserel -embedding\n");
    QCOMPARE(ServiceFileText("/opt/my apps/it's/tesserel"),
             "[D-BUS Service]\nName=Tesserel.Application\nExec='/opt/my apps/it'\\''s/tesserel' -embedding\n");
  }

  // A hidden program waits for a connected client however long it takes, warns the user who
  // closes it while it is in use, and ends once the client is gone.
  void clientsKeepAHiddenProgram() {
    TPrivateBus bus;
    QVERIFY(bus.Started());
    TTestMessages messages;
    QMainWindow window;  // hidden, as an automation start leaves it
    TAutomationServer server(automationStart_, window);
    QSignalSpy idle(&server, &TAutomationServer::Idle);
    QVERIFY(server.Serve(bus.Connect("server")));
    {
      QDBusConnection client = bus.Connect("client");
      QCOMPARE(Get(client, "UserControl"), QVariant(false));
      QCOMPARE(server.CallerCount(), 1);
      QVERIFY(Set(client, "Visible", true));
      QVERIFY(window.isVisible());
      messages.answers = {TAnswer::No};
      QVERIFY(!window.close());
      QVERIFY(window.isVisible());
      QCOMPARE(messages.questions,
               QStringList("\nOther programs are using Tesserel through automation and may fail when it closes.\n\n"
                           "Do you want to close Tesserel anyway?\n"));
      QVERIFY(Set(client, "Visible", false));
      QTest::qWait(3 * server.IdleInterval());
      QCOMPARE(idle.count(), 0);
    }
    QDBusConnection::disconnectFromBus("client");  // the client's last reference: it leaves the bus
    QTRY_COMPARE(server.CallerCount(), 0);
    QTRY_COMPARE(idle.count(), 1);
    messages.Clear();
    QVERIFY(window.close());
    QVERIFY(messages.all.isEmpty());
  }

  // A visible program is the user's: it stays when its clients are gone.
  void aVisibleProgramStays() {
    TPrivateBus bus;
    QVERIFY(bus.Started());
    QMainWindow window;
    window.show();
    const TAppStartup normalStart({}, "/opt/tesserel/tesserel");
    TAutomationServer server(normalStart, window);
    QSignalSpy idle(&server, &TAutomationServer::Idle);
    QVERIFY(server.Serve(bus.Connect("server")));
    {
      QDBusConnection client = bus.Connect("client");
      QCOMPARE(Get(client, "UserControl"), QVariant(true));
    }
    QDBusConnection::disconnectFromBus("client");
    QTRY_COMPARE(server.CallerCount(), 0);
    QTest::qWait(3 * server.IdleInterval());
    QCOMPARE(idle.count(), 0);
  }

  // A second program leaves the name to the first; without a bus nothing is served.
  void theNameHasOneOwner() {
    TPrivateBus bus;
    QVERIFY(bus.Started());
    QMainWindow first, second;
    TAutomationServer server(automationStart_, first), other(automationStart_, second);
    QVERIFY(server.Serve(bus.Connect("first")));
    QString why;
    QVERIFY(!other.Serve(bus.Connect("second"), &why));
    QCOMPARE(why, "another program serves Tesserel.Application on the session bus");
    QVERIFY(!other.Serving());
    QDBusConnection client = bus.Connect("client");
    QCOMPARE(Get(client, "Name"), QVariant("Tesserel Recordkeeper"));
    QVERIFY(Set(client, "Visible", true));
    QVERIFY(first.isVisible() && !second.isVisible());
    QVERIFY(!TAutomationServer(automationStart_, second).Serve(QDBusConnection("no such bus"), &why));
    QCOMPARE(why, "no session bus to serve automation clients on");
  }

  // When the session ends, a hidden program has nobody left to wait for.
  void theEndOfTheSessionEndsAHiddenProgram() {
    TPrivateBus bus;
    QVERIFY(bus.Started());
    QMainWindow window;
    TAutomationServer server(automationStart_, window);
    QSignalSpy idle(&server, &TAutomationServer::Idle);
    QVERIFY(server.Serve(bus.Connect("server")));
    QDBusConnection client = bus.Connect("client");
    QCOMPARE(Get(client, "Visible"), QVariant(false));
    QCOMPARE(server.CallerCount(), 1);
    bus.Stop();
    QTRY_COMPARE_WITH_TIMEOUT(idle.count(), 1, 10000);
  }
};

QTEST_MAIN(TestAutomation)
#include "TestAutomation.moc"
