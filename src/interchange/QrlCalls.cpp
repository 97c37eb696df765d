#include "interchange/QrlCalls.h"

#include <cmath>
#include <exception>

#include "common/Format.h"
#include "common/Parse.h"
#include "common/TextUtil.h"

bool VersionBelow(const std::string& version, const std::string& least) { return version < least; }

int32_t QrlErrorNumber(int32_t code) {
  // Unsigned arithmetic wraps as the signed 32-bit sum would.
  return static_cast<int32_t>(static_cast<uint32_t>(code) + 2147221504u);
}

std::string QrlErrorTail(const TQrlError& error) {
  return "Error " + std::to_string(QrlErrorNumber(error.Code)) + " raised by " + error.Source + ".";
}

namespace {

// The error's message and tail: "message.\r\nError N raised by SOURCE."
std::string MessageAndTail(const TQrlError& error) {
  const bool stop = !error.Message.empty() && error.Message.back() == '.';
  return error.Message + (stop ? "" : ".") + "\r\n" + QrlErrorTail(error);
}

}  // namespace

std::string QrlErrorText(const TQrlError& error) {
  return QrlRefused(error) ? MessageAndTail(error) : QrlCallText(error);
}

std::string QrlCallText(const TQrlError& error) {
  switch (error.Fault) {
    case TQrlFault::Refused: return error.Message;
    case TQrlFault::Lost:
      return "The connection to the QRL automation server was lost.\r\n" + MessageAndTail(error) +
             "\r\nMake sure QRL is running, then try again.";
    case TQrlFault::Stalled:
      return "The QRL automation server stopped answering.\r\n" + MessageAndTail(error) +
             "\r\nMake sure QRL is running and is not waiting for input, then try again.";
    case TQrlFault::Canceled: break;
  }
  return "Canceled by user.";
}

std::unique_ptr<IQrlApp> StartPlanner(const TQrlStarter& starter, std::string& version, std::string& message,
                                      std::function<bool()> waiting) {
  std::unique_ptr<IQrlApp> app;
  std::string reason;  // why the start failed, when the starter says
  try {
    if (starter) app = starter();
  } catch (const std::exception& e) {
    app.reset();
    reason = e.what();
  } catch (...) {
    app.reset();
  }
  if (!app) {
    message = kQrlNotStarted;
    if (!reason.empty()) message += "\r\n" + reason;
    return nullptr;
  }
  app->WhileWaiting(std::move(waiting));
  TQrlError error;
  if (!app->FileVersion(version, error)) {
    message = QrlCallText(error);
    return nullptr;
  }
  if (VersionBelow(version, kQrlLeastVersion)) {
    message = kQrlTooOld;
    return nullptr;
  }
  return app;
}

std::unique_ptr<IQrlPlan> CreateStatePlan(IQrlApp& app, const std::string& stateName, std::string& message) {
  TQrlError error;
  std::unique_ptr<IQrlPlan> plan = app.CreatePlanFile(stateName, 1, error);
  if (!plan) message = "Unable to create QRL plan for " + stateName + ".\r\n\r\n" + QrlErrorText(error);
  return plan;
}

bool ReadPlanRows(IQrlPlan& plan, const std::string& table, const std::vector<std::string>& columns, TDbRows& rows,
                  std::string& message) {
  rows = {};
  rows.Columns = columns;
  int count = 0;
  TQrlError error;
  if (!plan.RowCount(table, count, error)) {
    message = QrlCallText(error);
    return false;
  }
  for (int row = 0; row < count; ++row) {
    rows.Rows.emplace_back();
    for (const auto& column : columns)
      if (!ReadCell(plan, table, row, column, rows.Rows.back().emplace_back(), message)) return false;
  }
  return true;
}

bool PutCell(IQrlPlan& plan, const std::string& table, int row, const std::string& column, const TQrlValue& value,
             std::string& message) {
  TQrlError error;
  if (plan.SetValue(table, row, column, value, error) || QrlRefused(error)) return true;
  message = QrlCallText(error);
  return false;
}

bool ReadCell(IQrlPlan& plan, const std::string& table, int row, const std::string& column, TQrlValue& value,
              std::string& message) {
  TQrlError error;
  if (plan.GetValue(table, row, column, value, error)) return true;
  value = {};
  if (QrlRefused(error)) return true;
  message = QrlCallText(error);
  return false;
}

bool CellTrue(const TDbValue& value) {
  if (value.Kind == TDbValue::TKind::Text) return SameText(value.Str, "True");
  return value.Number() != 0;
}

bool CellNumber(const TDbValue& value, double& number) {
  number = 0;
  switch (value.Kind) {
    case TDbValue::TKind::Integer: number = static_cast<double>(value.Int); return true;
    case TDbValue::TKind::Real: number = value.Real; return true;
    case TDbValue::TKind::Text: return ParseReal(Trim(value.Str), number);
    default: return false;
  }
}

uint16_t WholeWord(double number) {
  if (!(number > 0)) return 0;  // also NaN
  return number >= 65535 ? 65535 : static_cast<uint16_t>(std::lround(number));
}

uint8_t WholeByte(double number) {
  if (!(number > 0)) return 0;
  return number >= 255 ? 255 : static_cast<uint8_t>(std::lround(number));
}

std::string CellText(const TDbValue& value) {
  switch (value.Kind) {
    case TDbValue::TKind::Integer: return std::to_string(value.Int);
    case TDbValue::TKind::Real: return ShortestReal(value.Real);
    case TDbValue::TKind::Text: return value.Str;
    default: return {};
  }
}

bool SameCell(const TDbValue& a, const TDbValue& b) {
  if (a.IsNull() || b.IsNull()) return false;
  if (a.Kind != TDbValue::TKind::Text && b.Kind != TDbValue::TKind::Text) return a.Number() == b.Number();
  return SameText(CellText(a), CellText(b));
}
