// The session bus service file through which clients start the program: installed for the user
// by "-regserver" and removed by "-unregserver".
#pragma once

#include <QString>

inline constexpr const char* kServiceName = "Tesserel.Application";

// The file's text: the bus starts `program` with "-embedding" when a client asks for the name.
QString ServiceFileText(const QString& program);
// $XDG_DATA_HOME/dbus-1/services/Tesserel.Application.service ($XDG_DATA_HOME defaults to
// ~/.local/share).
QString UserServiceFile();
// Write or remove the user's service file; false with the reason in `message`, else what was done.
bool InstallServiceFile(const QString& program, QString& message);
bool RemoveServiceFile(QString& message);
