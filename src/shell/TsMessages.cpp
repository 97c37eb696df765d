#include "TsMessages.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPointer>

#include "common/Cp1252.h"

namespace {

TMessageService* g_service = nullptr;
QPointer<QWidget> g_parent;

QMessageBox::StandardButton Show(QMessageBox::Icon icon, const QString& title, const QString& text,
                                 QMessageBox::StandardButtons buttons, QMessageBox::StandardButton initial) {
  TArrowCursor arrow;
  QMessageBox box(icon, title, text, buttons, DialogOwner());
  box.setDefaultButton(initial);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

QString QStr(const std::string& cp1252) { return QString::fromStdString(Cp1252ToUtf8(cp1252)); }

std::string CpStr(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

QString QPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

std::string PathStr(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString QMsg(const std::string& message) { return QString::fromStdString(MessageToUtf8(message)); }

QString FramedError(const QString& text) { return "\n" + text + "\n"; }

QString FirstLinesText(const std::vector<std::string>& lines, size_t shown) {
  QString text = lines.empty() ? QString() : QString("\n");
  for (size_t i = 0; i < lines.size() && i < shown; ++i) text += "\n" + QStr(lines[i]);
  if (lines.size() > shown) text += "\n(and " + QString::number(lines.size() - shown) + " more)";
  return text;
}

TMessageService& Messages() {
  static TQtMessageService real;
  return g_service ? *g_service : real;
}

void SetMessageService(TMessageService* service) { g_service = service; }

void SetMessageParent(QWidget* parent) { g_parent = parent; }

QWidget* DialogOwner() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  // A dialog that has just closed may still be the active window for a moment.
  if (QWidget* active = QApplication::activeWindow(); active && active->isVisible()) return active;
  return g_parent;
}

void TQtMessageService::Error(const QString& text) {
  Show(QMessageBox::Critical, "Error", FramedError(text), QMessageBox::Ok, QMessageBox::Ok);
}

void TQtMessageService::Info(const QString& text) {
  Show(QMessageBox::Information, "Information", text, QMessageBox::Ok, QMessageBox::Ok);
}

TAnswer TQtMessageService::Confirm(const QString& text, bool withCancel, TAnswer initial) {
  QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
  if (withCancel) buttons |= QMessageBox::Cancel;
  const QMessageBox::StandardButton first = initial == TAnswer::Yes  ? QMessageBox::Yes
                                            : initial == TAnswer::No ? QMessageBox::No
                                            : withCancel             ? QMessageBox::Cancel
                                                                     : QMessageBox::No;
  switch (Show(QMessageBox::Question, "Confirm", text, buttons, first)) {
    case QMessageBox::Yes:
      return TAnswer::Yes;
    case QMessageBox::No:
      return TAnswer::No;
    default:
      return TAnswer::Cancel;
  }
}

bool TQtMessageService::AbortRetry(const QString& text) {
  return Show(QMessageBox::Critical, "Error", FramedError(text), QMessageBox::Abort | QMessageBox::Retry,
              QMessageBox::Retry) == QMessageBox::Retry;
}

TArrowCursor::TArrowCursor() : overridden_(QApplication::overrideCursor() != nullptr) {
  if (overridden_) QApplication::setOverrideCursor(Qt::ArrowCursor);
}

TArrowCursor::~TArrowCursor() {
  if (overridden_) QApplication::restoreOverrideCursor();
}

TWaitCursor::TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

TWaitCursor::~TWaitCursor() { QApplication::restoreOverrideCursor(); }
