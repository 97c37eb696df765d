#include "AutoObjects.h"

#include <QWidget>

#include "TsMessages.h"
#include "TsStart.h"

TApplication::TApplication(const TAppStartup& startup, QWidget& mainWindow, QObject* parent)
    : QObject(parent), startup_(startup), window_(mainWindow) {}

QString TApplication::Name() const { return QStr(startup_.VersionInfo.ProductName); }

QString TApplication::Version() const { return QStr(startup_.VersionInfo.ProductVersion); }

int TApplication::WindowState() const {
  if (window_.isMinimized()) return tsWindowStateMinimized;
  return window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen) ? tsWindowStateMaximized
                                                                              : tsWindowStateNormal;
}

void TApplication::SetWindowState(int state) {
  const Qt::WindowStates now = window_.windowState();
  switch (state) {
    case tsWindowStateNormal:
      // A minimized program is restored to the state it had; otherwise the window becomes normal.
      if (now & Qt::WindowMinimized) window_.setWindowState(now & ~Qt::WindowMinimized);
      else window_.setWindowState(now & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
      break;
    case tsWindowStateMinimized:
      window_.setWindowState(now | Qt::WindowMinimized);
      break;
    case tsWindowStateMaximized:
      window_.setWindowState((now & ~(Qt::WindowMinimized | Qt::WindowFullScreen)) | Qt::WindowMaximized);
      break;
    default:
      break;
  }
}

bool TApplication::Visible() const { return window_.isVisible(); }

void TApplication::SetVisible(bool visible) { window_.setVisible(visible); }

bool TApplication::UserControl() const { return startup_.NormalStart; }

QString TApplication::Path() const { return QPath(startup_.ProgramFolder); }

QDBusObjectPath TApplication::VersionInfo() const { return QDBusObjectPath(kVersionInfoPath); }

TVersionInfo::TVersionInfo(const TAppStartup& startup, QObject* parent) : QObject(parent), startup_(startup) {}

QString TVersionInfo::Comments() const { return QStr(startup_.VersionInfo.Comments); }
QString TVersionInfo::CompanyName() const { return QStr(startup_.VersionInfo.CompanyName); }
QString TVersionInfo::FileDescription() const { return QStr(startup_.VersionInfo.FileDescription); }
QString TVersionInfo::FileVersion() const { return QStr(startup_.VersionInfo.FileVersion); }
QString TVersionInfo::InternalName() const { return QStr(startup_.VersionInfo.InternalName); }
QString TVersionInfo::LegalCopyright() const { return QStr(startup_.VersionInfo.LegalCopyright); }
QString TVersionInfo::LegalTrademarks() const { return QStr(startup_.VersionInfo.LegalTrademarks); }
QString TVersionInfo::OriginalFilename() const { return QStr(startup_.VersionInfo.OriginalFilename); }
QString TVersionInfo::ProductName() const { return QStr(startup_.VersionInfo.ProductName); }
QString TVersionInfo::ProductVersion() const { return QStr(startup_.VersionInfo.ProductVersion); }
QString TVersionInfo::Programmer() const { return QStr(startup_.VersionInfo.Programmer); }
