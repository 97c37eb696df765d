#include "SvcFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "filebase/SafeWrite.h"

namespace {

// The bus reads Exec like a shell command line: a path with blanks or quotes is single-quoted.
QString ShellWord(const QString& word) {
  static const QString plain = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._-+";
  bool quote = word.isEmpty();
  for (QChar c : word) quote = quote || !plain.contains(c);
  if (!quote) return word;
  QString quoted = word;
  quoted.replace("'", "'\\''");
  return "'" + quoted + "'";
}

}  // namespace

QString ServiceFileText(const QString& program) {
  return QString("[D-BUS Service]\nName=%1\nExec=%2 -embedding\n").arg(kServiceName, ShellWord(program));
}

QString UserServiceFile() {
  QString data = qEnvironmentVariable("XDG_DATA_HOME");
  if (data.isEmpty() || QDir::isRelativePath(data)) data = QDir::homePath() + "/.local/share";
  return data + "/dbus-1/services/" + kServiceName + ".service";
}

bool InstallServiceFile(const QString& program, QString& message) {
  const QString path = UserServiceFile();
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
    message = "Unable to create the folder " + QFileInfo(path).absolutePath();
    return false;
  }
  const TWriteResult saved =
      WriteFileSafely(QFile::encodeName(path).toStdString(), ServiceFileText(program).toStdString(), TTargetUse::Replace);
  if (!saved.Ok()) {
    message = "Unable to write " + path + ": " + QString::fromLatin1(saved.Text.c_str());
    return false;
  }
  message = "Installed " + path;
  return true;
}

bool RemoveServiceFile(QString& message) {
  const QString path = UserServiceFile();
  if (!QFileInfo::exists(path)) {
    message = "Nothing to remove: " + path + " does not exist";
    return true;
  }
  QFile file(path);
  if (!file.remove()) {
    message = "Unable to remove " + path + ": " + file.errorString();
    return false;
  }
  message = "Removed " + path;
  return true;
}
