#include "TsCostGrid.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <algorithm>
#include <array>

#include "TsEdit.h"
#include "TsMessages.h"
#include "reference/CostTable.h"
#include "vocab/CropVocab.h"
#include "vocab/UnitVocab.h"

namespace {

const char* const kHeadings[kCostColumns] = {"", "Input Name", "Type", "Applicable Crops", "Unit Cost", "Cost Unit"};
const int kWidths[kCostColumns] = {15, 210, 70, 140, 70, 70};
constexpr int kCellPadding = 10;
constexpr int kRowHeight = 24;
constexpr int kVisibleRows = 10;
constexpr int kCostLength = 7;

// The columns' widths: at least the designed ones, wider where the font needs room for the widest
// text a column can hold (a name of 30 characters, every crop letter, the longest unit name).
std::array<int, kCostColumns> ColumnWidths(const QFontMetrics& fm) {
  auto need = [&fm](const std::string& text) { return fm.horizontalAdvance(QStr(text)) + kCellPadding; };
  int unit = 0;
  for (int u = 1; u <= kUnitCount; ++u) unit = std::max(unit, need(UnitLongName(u)));
  const int needs[kCostColumns] = {0, fm.averageCharWidth() * 30, need(CategoryShortName(5)),
                                   need(CropMaskLetters(DisplayCropsMask())), need("999.000"), unit};
  std::array<int, kCostColumns> widths{};
  for (int c = 0; c < kCostColumns; ++c) widths[c] = std::max(kWidths[c], needs[c]);
  return widths;
}

}  // namespace

class TCostGrid::TModel : public QAbstractTableModel {
 public:
  TModel(const TCostGrid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {}

  void Reset(int rows) {
    beginResetModel();
    rows_ = rows;
    endResetModel();
  }
  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows_; }
  int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : kCostColumns; }

  QVariant data(const QModelIndex& index, int role) const override {
    const int row = index.row() + 1, col = index.column();
    switch (role) {
      case Qt::DisplayRole:
        return grid_.CellText(row, col);
      case Qt::TextAlignmentRole:
        return QVariant((col == ccUnitCost ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
      case Qt::FontRole:
        if (col == ccMarker) {
          QFont marker("Times New Roman");
          marker.setPixelSize(13);
          return marker;
        }
        return {};
      default:
        return {};
    }
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kCostColumns) return {};
    return QString(kHeadings[section]);
  }

  Qt::ItemFlags flags(const QModelIndex&) const override { return Qt::ItemIsEnabled; }

 private:
  const TCostGrid& grid_;
  int rows_ = 0;
};

TCostGrid::TCostGrid(const TCostTable& table, QWidget* parent) : QTableView(parent), table_(table) {
  setObjectName("CostTable");
  model_ = new TModel(*this, this);
  setModel(model_);
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setFocusPolicy(Qt::NoFocus);  // the cost entry takes the focus
  setTabKeyNavigation(false);
  setWordWrap(false);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setMinimumSectionSize(kRowHeight);
  verticalHeader()->setDefaultSectionSize(kRowHeight);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setSectionsClickable(false);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setMinimumSectionSize(kWidths[0]);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  model_->Reset(kVisibleRows);
  int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
  const std::array<int, kCostColumns> widths = ColumnWidths(fontMetrics());
  for (int c = 0; c < kCostColumns; ++c) {
    setColumnWidth(c, widths[c]);
    width += widths[c];
  }
  setFixedSize(width, horizontalHeader()->sizeHint().height() + kVisibleRows * kRowHeight + 2 * frameWidth());

  UnitCostEdit = new TEntryEdit(viewport());
  UnitCostEdit->setObjectName("UnitCostEdit");
  UnitCostEdit->setFrame(false);
  UnitCostEdit->setMaxLength(kCostLength);
  UnitCostEdit->SetMask(TEntryMask::Number);
  UnitCostEdit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  UnitCostEdit->installEventFilter(this);
  UnitCostEdit->hide();
  Fill(false, true);
}

int TCostGrid::Rows() const { return model_->rowCount(); }

QString TCostGrid::CellText(int row, int column) const {
  if (!enabled_) return {};
  if (column == ccMarker) return row == activeRow_ ? QString(QChar(0xBB)) : QString();
  return QStr(table_.CellText(row, column));
}

void TCostGrid::Fill(bool enabled, bool readOnly) {
  enabled_ = enabled && table_.Rows() > 0;
  model_->Reset(enabled_ ? table_.Rows() : kVisibleRows);
  setEnabled(enabled_);
  UnitCostEdit->setReadOnly(readOnly);
  UnitCostEdit->setVisible(enabled_);
  SetActiveRow(1);
  scrollToTop();
}

void TCostGrid::SetActiveRow(int row) {
  activeRow_ = std::clamp(row, 1, std::max(1, Rows()));
  UnitCostEdit->ShowText(CellText(activeRow_, ccUnitCost));
  if (enabled_) scrollTo(model_->index(activeRow_ - 1, ccUnitCost));
  viewport()->update();
  PlaceEntry();
}

bool TCostGrid::MoveTo(int row) {
  if (!enabled_ || !CheckEntry()) return false;
  SetActiveRow(row);
  return true;
}

bool TCostGrid::CheckEntry() {
  if (UnitCostEdit->hasFocus()) return UnitCostEdit->CheckNow();
  return !UnitCostEdit->InError();  // a failed check on leaving is taking the focus back
}

void TCostGrid::PlaceEntry() {
  if (enabled_) UnitCostEdit->setGeometry(visualRect(model_->index(activeRow_ - 1, ccUnitCost)));
}

void TCostGrid::updateEditorGeometries() {
  QTableView::updateEditorGeometries();
  PlaceEntry();
}

// A click on a row makes it active and puts the focus into its cost.
void TCostGrid::mousePressEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid() && MoveTo(index.row() + 1)) UnitCostEdit->setFocus(Qt::MouseFocusReason);
}

bool TCostGrid::eventFilter(QObject* watched, QEvent* event) {
  if (watched != UnitCostEdit || event->type() != QEvent::KeyPress) return QTableView::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  const auto mods = key->modifiers() & ~Qt::KeypadModifier;
  const int page = kVisibleRows - 1;
  int target = 0;
  if (mods == Qt::NoModifier) {
    switch (key->key()) {
      case Qt::Key_Up: target = activeRow_ - 1; break;
      case Qt::Key_Down:
      case Qt::Key_Return:
      case Qt::Key_Enter: target = activeRow_ + 1; break;
      case Qt::Key_PageUp: target = activeRow_ - page; break;
      case Qt::Key_PageDown: target = activeRow_ + page; break;
      case Qt::Key_Left:  // the only editable column: the arrows stay in the entry
        return !UnitCostEdit->hasSelectedText() && UnitCostEdit->cursorPosition() == 0;
      case Qt::Key_Right:
        return !UnitCostEdit->hasSelectedText() && UnitCostEdit->cursorPosition() == UnitCostEdit->text().length();
      default: return false;
    }
  } else if (mods == Qt::ControlModifier && (key->key() == Qt::Key_Home || key->key() == Qt::Key_End)) {
    target = key->key() == Qt::Key_Home ? 1 : Rows();
  } else {
    return false;
  }
  MoveTo(std::clamp(target, 1, Rows()));
  return true;
}
