#include "interchange/QrlCalls.h"

#include <cmath>

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

std::string QrlErrorText(const TQrlError& error) { return error.Message + ".\r\n" + QrlErrorTail(error); }

std::unique_ptr<IQrlApp> StartPlanner(const TQrlStarter& starter, std::string& version, std::string& message) {
  std::unique_ptr<IQrlApp> app;
  try {
    if (starter) app = starter();
  } catch (...) {
    app.reset();
  }
  if (!app) {
    message = kQrlNotStarted;
    return nullptr;
  }
  TQrlError error;
  if (!app->FileVersion(version, error)) {
    message = error.Message;
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
    message = error.Message;
    return false;
  }
  for (int row = 0; row < count; ++row) {
    rows.Rows.emplace_back();
    for (const auto& column : columns) rows.Rows.back().push_back(CellValue(plan, table, row, column));
  }
  return true;
}

void PutCell(IQrlPlan& plan, const std::string& table, int row, const std::string& column, const TQrlValue& value) {
  TQrlError ignored;
  plan.SetValue(table, row, column, value, ignored);
}

TQrlValue CellValue(IQrlPlan& plan, const std::string& table, int row, const std::string& column) {
  TQrlValue value;
  TQrlError error;
  if (!plan.GetValue(table, row, column, value, error)) return {};
  return value;
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
