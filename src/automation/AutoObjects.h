// The two objects that automation clients reach: the application (its name, version, path and
// main window) and its version information. They hold nothing of their own; every value comes
// from the start-up information or the main window, and nothing else of the program is reachable.
#pragma once

#include <QDBusObjectPath>
#include <QObject>
#include <QString>

class QWidget;
class TAppStartup;

// States of the main window as clients see them.
enum TWindowStates { tsWindowStateNormal = 0, tsWindowStateMinimized = 1, tsWindowStateMaximized = 2 };

// Object paths of the two objects on the bus.
inline constexpr const char* kApplicationPath = "/Application";
inline constexpr const char* kVersionInfoPath = "/Application/VersionInfo";

class TApplication : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "Tesserel.IApplication")
  // In the order of the interface.
  Q_PROPERTY(QString Name READ Name)
  Q_PROPERTY(QString Version READ Version)
  Q_PROPERTY(int WindowState READ WindowState WRITE SetWindowState)
  Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
  Q_PROPERTY(bool UserControl READ UserControl)
  Q_PROPERTY(QString Path READ Path)
  Q_PROPERTY(QDBusObjectPath VersionInfo READ VersionInfo)

 public:
  TApplication(const TAppStartup& startup, QWidget& mainWindow, QObject* parent = nullptr);

  QString Name() const;     // ProductName
  QString Version() const;  // ProductVersion
  int WindowState() const;
  // Minimizing keeps the maximized state for the restore; values other than the three states
  // change nothing.
  void SetWindowState(int state);
  bool Visible() const;
  // Shows the main window or hides it (the program keeps running hidden).
  void SetVisible(bool visible);
  bool UserControl() const;  // false when the program was started for an automation client
  QString Path() const;      // the program folder
  QDBusObjectPath VersionInfo() const;

 private:
  const TAppStartup& startup_;
  QWidget& window_;
};

class TVersionInfo : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "Tesserel.IVersionInfo")
  Q_PROPERTY(QString Comments READ Comments)
  Q_PROPERTY(QString CompanyName READ CompanyName)
  Q_PROPERTY(QString FileDescription READ FileDescription)
  Q_PROPERTY(QString FileVersion READ FileVersion)
  Q_PROPERTY(QString InternalName READ InternalName)
  Q_PROPERTY(QString LegalCopyright READ LegalCopyright)
  Q_PROPERTY(QString LegalTrademarks READ LegalTrademarks)
  Q_PROPERTY(QString OriginalFilename READ OriginalFilename)
  Q_PROPERTY(QString ProductName READ ProductName)
  Q_PROPERTY(QString ProductVersion READ ProductVersion)
  Q_PROPERTY(QString Programmer READ Programmer)

 public:
  explicit TVersionInfo(const TAppStartup& startup, QObject* parent = nullptr);

  QString Comments() const;
  QString CompanyName() const;
  QString FileDescription() const;
  QString FileVersion() const;
  QString InternalName() const;
  QString LegalCopyright() const;
  QString LegalTrademarks() const;
  QString OriginalFilename() const;
  QString ProductName() const;
  QString ProductVersion() const;
  QString Programmer() const;

 private:
  const TAppStartup& startup_;
};
