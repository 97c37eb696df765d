// What the plan export, the plan import and the planner soils update share: starting the planner
// and checking its version, the texts of its errors, and reading plan tables and cells.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "interchange/QrlLink.h"

inline constexpr const char* kQrlName = "QRL";
inline constexpr const char* kQrlUnknownError = "Unknown error.";
inline constexpr const char* kQrlNotStarted =
    "Unable to start QRL automation server.\r\nMake sure correct version of QRL is installed.";
inline constexpr const char* kQrlTooOld =
    "Installed version of QRLdoes not support this feature.\r\nInstall newer version of QRL.";
// The oldest planner that serves the interchange, and the first whose field rows have DrainDef and
// AnnManured instead of Drained.
inline constexpr const char* kQrlLeastVersion = "0.1.9.7";
inline constexpr const char* kQrlDrainDefVersion = "0.2.0.0";

// Versions compare as text, character by character ("0.1.10.0" is below "0.1.9.7").
bool VersionBelow(const std::string& version, const std::string& least);

// The planner's error number relative to the object-defined error base (-2147221504).
int32_t QrlErrorNumber(int32_t code);
// "Error " + number + " raised by " + source + "."
std::string QrlErrorTail(const TQrlError& error);
// A call the planner refused: its message, "." (unless it ends with one), CR LF and the tail. A
// planner that could not be reached: what became of it and what to do (QrlCallText).
std::string QrlErrorText(const TQrlError& error);
// A call the planner refused: its message. A planner that could not be reached: what became of it
// and what to do, with the error's message and tail.
std::string QrlCallText(const TQrlError& error);
// Whether the planner answered the failed call (refused it), so that a step may pass over it.
inline bool QrlRefused(const TQrlError& error) { return error.Fault == TQrlFault::Refused; }

// Starts the planner, hands it the waiting hook (may be null) and checks its version; null with
// `message` when it cannot be started or is too old. `version` receives its file version.
std::unique_ptr<IQrlApp> StartPlanner(const TQrlStarter& starter, std::string& version, std::string& message,
                                      std::function<bool()> waiting = nullptr);
// A new plan for a state (its full name); null with "Unable to create QRL plan for ..." otherwise.
std::unique_ptr<IQrlPlan> CreateStatePlan(IQrlApp& app, const std::string& stateName, std::string& message);

// The listed columns of every row of a plan table; a cell the planner refuses to give is Null.
// False with the message when the table's rows cannot be counted or the planner cannot be reached.
bool ReadPlanRows(IQrlPlan& plan, const std::string& table, const std::vector<std::string>& columns, TDbRows& rows,
                  std::string& message);
// Puts a cell; a value the planner refuses is passed over. False with the message when the
// planner cannot be reached.
bool PutCell(IQrlPlan& plan, const std::string& table, int row, const std::string& column, const TQrlValue& value,
             std::string& message);
// One cell, Null when the planner refuses to give it. False with the message when the planner
// cannot be reached.
bool ReadCell(IQrlPlan& plan, const std::string& table, int row, const std::string& column, TQrlValue& value,
              std::string& message);

// A cell's truth: a number other than 0 (automation true is -1), or the text "True".
bool CellTrue(const TDbValue& value);
// A cell's number: false for Null and for a text that is not a number.
bool CellNumber(const TDbValue& value, double& number);
// A number rounded to a whole one and held within 0..65535 (WholeWord) or 0..255 (WholeByte).
uint16_t WholeWord(double number);
uint8_t WholeByte(double number);
// A cell's text: the text itself, or a number written out.
std::string CellText(const TDbValue& value);
// Whether two cells hold the same key: equal numbers, or equal texts without regard to case.
bool SameCell(const TDbValue& a, const TDbValue& b);
