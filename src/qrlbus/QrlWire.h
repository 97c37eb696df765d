// How the planner's automation objects travel on the D-Bus session bus: the names of the service,
// its objects and interfaces, and the encoding of cells and errors. The client binding and the
// stand-in planner of the tests share it, so both ends agree by construction.
//
// - Service "QRL.Application"; object /Application with interface QRL.Application; plan objects
//   /Plan/<n> with interface QRL.Plan.
// - Cells travel as variants: Null as an empty array of strings (as), whole numbers as i (x when
//   they do not fit 32 bits), reals as d, texts as s. Any D-Bus integer type and b read as whole
//   numbers.
// - Texts (cells, table, column and state names, error texts) are UTF-8 on the bus and code page
//   1252 on this side; paths travel as the file system's bytes, which must be UTF-8.
// - A failure raised by the planner is the D-Bus error "QRL.Error.Automation" whose message is
//   "code|source|text" (code in decimal, a signed 32-bit automation error number).
#pragma once

#include <QDBusVariant>
#include <QString>
#include <QVariant>

#include "interchange/QrlLink.h"

inline constexpr char kQrlService[] = "QRL.Application";
inline constexpr char kQrlAppPath[] = "/Application";
inline constexpr char kQrlAppInterface[] = "QRL.Application";
inline constexpr char kQrlPlanPathPrefix[] = "/Plan/";
inline constexpr char kQrlPlanInterface[] = "QRL.Plan";
inline constexpr char kQrlErrorName[] = "QRL.Error.Automation";
inline constexpr char kQrlErrorPrefix[] = "QRL.Error.";

// The automation error number given to failures of the bus itself (no reply, unknown object, a
// reply of the wrong shape): E_FAIL. Their source is the D-Bus error name.
inline constexpr int32_t kQrlBusFailure = -2147467259;

// A cell as a variant argument.
QDBusVariant QrlToBus(const TQrlValue& value);
// A variant argument (the QDBusVariant's content, or the plain value) as a cell; false for a type
// that is no cell.
bool QrlFromBus(const QVariant& value, TQrlValue& cell);

// The message of a planner error: "code|source|text"; a '|' in the source becomes '/'.
QString QrlErrorMessage(const TQrlError& error);
// A D-Bus error as the planner's error: "QRL.Error.*" with a "code|source|text" message gives those
// three, refused by the planner; any other error is a bus failure (kQrlBusFailure, the error name,
// the error message) that lost the planner.
TQrlError QrlErrorFromBus(const QString& name, const QString& message);

// Text between this side (code page 1252) and the bus (UTF-8).
QString QrlText(const std::string& cp1252);
std::string QrlText(const QString& text);
// Paths: the file system's bytes, UTF-8 on the bus, relative ones made absolute against this
// process's folder (the planner's is another); false when they are not UTF-8.
bool QrlPathToBus(const std::string& path, QString& text);
std::string QrlPathFromBus(const QString& text);
