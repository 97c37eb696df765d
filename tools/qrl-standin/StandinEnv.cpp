#include "StandinEnv.h"

#include <QStringList>

namespace {

// A whole number variable within [low, high]; missing or empty keeps `value`.
bool ReadNumber(const char* name, qint64 low, qint64 high, qint64& value, QString& reason) {
  const QString text = qEnvironmentVariable(name).trimmed();
  if (text.isEmpty()) return true;
  bool ok = false;
  const qint64 number = text.toLongLong(&ok);
  if (!ok || number < low || number > high) {
    reason = QStringLiteral("%1 must be a whole number from %2 to %3, not \"%4\"").arg(QLatin1String(name)).arg(low).arg(high).arg(text);
    return false;
  }
  value = number;
  return true;
}

}  // namespace

bool ReadStandinEnv(TStandinEnv& env, QString& reason) {
  TPlanStoreSettings& plans = env.Plans;
  if (const QString version = qEnvironmentVariable("QRL_STANDIN_VERSION").trimmed(); !version.isEmpty())
    plans.FileVersion = version.toStdString();
  if (const QString soils = qEnvironmentVariable("QRL_STANDIN_SOILS"); !soils.isEmpty()) plans.SoilsPath = soils.toStdString();
  for (const QString& name : qEnvironmentVariable("QRL_STANDIN_OMIT").split(QLatin1Char(','), Qt::SkipEmptyParts))
    plans.OmitFromExport.push_back(name.trimmed().toStdString());
  qint64 fields = plans.FieldRows, idleSeconds = env.IdleMs / 1000;
  if (!ReadNumber("QRL_STANDIN_FIELDS", 0, 100000, fields, reason) ||
      !ReadNumber("QRL_STANDIN_IDLE", 1, 86400, idleSeconds, reason))
    return false;
  plans.FieldRows = static_cast<int>(fields);
  env.IdleMs = idleSeconds * 1000;
  return true;
}

std::unique_ptr<IQrlApp> MakeStandinPlanner(const TStandinEnv& env) { return std::make_unique<TPlanStoreApp>(env.Plans); }
