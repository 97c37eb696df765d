#include "QrlWire.h"

#include <QStringList>

#include <filesystem>
#include <limits>

#include "common/Cp1252.h"

QDBusVariant QrlToBus(const TQrlValue& value) {
  switch (value.Kind) {
    case TQrlValue::TKind::Integer:
      if (value.Int >= std::numeric_limits<int32_t>::min() && value.Int <= std::numeric_limits<int32_t>::max())
        return QDBusVariant(QVariant::fromValue(static_cast<int>(value.Int)));
      return QDBusVariant(QVariant::fromValue(static_cast<qlonglong>(value.Int)));
    case TQrlValue::TKind::Real:
      return QDBusVariant(QVariant::fromValue(value.Real));
    case TQrlValue::TKind::Text:
      return QDBusVariant(QVariant::fromValue(QrlText(value.Str)));
    case TQrlValue::TKind::Null:
      break;
  }
  return QDBusVariant(QVariant::fromValue(QStringList()));
}

bool QrlFromBus(const QVariant& value, TQrlValue& cell) {
  if (value.metaType() == QMetaType::fromType<QDBusVariant>()) return QrlFromBus(value.value<QDBusVariant>().variant(), cell);
  switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
      cell = TQrlValue::OfInt(value.toLongLong());
      return true;
    case QMetaType::ULongLong:
      if (value.toULongLong() > static_cast<qulonglong>(std::numeric_limits<int64_t>::max())) return false;
      cell = TQrlValue::OfInt(value.toLongLong());
      return true;
    case QMetaType::Double:
      cell = TQrlValue::OfReal(value.toDouble());
      return true;
    case QMetaType::QString:
      cell = TQrlValue::OfText(QrlText(value.toString()));
      return true;
    case QMetaType::QStringList:
      if (!value.toStringList().isEmpty()) return false;
      cell = TQrlValue();
      return true;
    default:
      return false;
  }
}

QString QrlErrorMessage(const TQrlError& error) {
  QString source = QrlText(error.Source);
  source.replace(QLatin1Char('|'), QLatin1Char('/'));
  return QString::number(error.Code) + QLatin1Char('|') + source + QLatin1Char('|') + QrlText(error.Message);
}

TQrlError QrlErrorFromBus(const QString& name, const QString& message) {
  TQrlError error;
  if (name.startsWith(QLatin1String(kQrlErrorPrefix))) {
    const qsizetype first = message.indexOf(QLatin1Char('|'));
    const qsizetype second = first < 0 ? -1 : message.indexOf(QLatin1Char('|'), first + 1);
    bool numeric = false;
    const int code = second < 0 ? 0 : message.left(first).toInt(&numeric);
    if (numeric) {
      error.Code = code;
      error.Source = QrlText(message.mid(first + 1, second - first - 1));
      error.Message = QrlText(message.mid(second + 1));
      return error;
    }
  }
  error.Code = kQrlBusFailure;
  error.Source = QrlText(name);
  error.Message = QrlText(message);
  error.Fault = TQrlFault::Lost;
  return error;
}

QString QrlText(const std::string& cp1252) { return QString::fromStdString(Cp1252ToUtf8(cp1252)); }

std::string QrlText(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

bool QrlPathToBus(const std::string& path, QString& text) {
  // The planner runs in a folder of its own: a relative name is made absolute here.
  std::string full = path;
  std::error_code ec;
  if (!path.empty()) {
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    if (!ec) full = absolute.string();
  }
  text = QString::fromStdString(full);
  return text.toStdString() == full;
}

std::string QrlPathFromBus(const QString& text) { return text.toStdString(); }
