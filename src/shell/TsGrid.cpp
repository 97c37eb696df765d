#include "TsGrid.h"

#include <QAbstractItemView>
#include <algorithm>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>

namespace {

const char* const kRowProperty = "gridRow";
const char* const kColProperty = "gridCol";
const QString kMarker = QString(QChar(0xBB));

}  // namespace

TInputGrid::TInputGrid(const QString& name, int rows, const std::vector<TGridColumn>& columns, QWidget* parent)
    : QTableWidget(rows, static_cast<int>(columns.size()) + 1, parent),
      columns_(columns),
      columnLists_(columns.size()),
      sharedList_(columns.size(), false) {
  setObjectName(name);
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  verticalHeader()->hide();
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setHighlightSections(false);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  setFocusPolicy(Qt::ClickFocus);
  const int charWidth = QFontMetrics(font()).averageCharWidth();
  setHorizontalHeaderItem(0, new QTableWidgetItem(""));
  baseWidths_.push_back(charWidth * 3);
  for (int c = 1; c <= Columns(); ++c) {
    setHorizontalHeaderItem(c, new QTableWidgetItem(columns_[c - 1].heading));
    baseWidths_.push_back(charWidth * columns_[c - 1].chars + 16);
  }
  for (int c = 0; c < columnCount(); ++c) {
    setColumnWidth(c, baseWidths_[c]);
    baseWidths_[c] = columnWidth(c);  // the heading may keep a narrow column wider
  }
  BuildEditors();
  SetMarker(1);
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int col) {
    if (col >= 1 && Kind(col) != TCellKind::Fixed) SetActiveCell(activeRow_, col);
  });
  // At least a few rows and part of the columns, scrolling inside; at most all rows. Wider than
  // its columns, the grid gives the extra room to the columns of names (FitColumns).
  setMinimumWidth(std::min(BaseWidth(), 480));
  setMinimumHeight(horizontalHeader()->sizeHint().height() + rowHeight(0) * std::min(rows, 4) + 2 * frameWidth());
  setMaximumHeight(horizontalHeader()->sizeHint().height() + rowHeight(0) * rows + 2 * frameWidth());
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

int TInputGrid::BaseWidth() const {
  int width = 2 * frameWidth();
  for (int w : baseWidths_) width += w;
  return width;
}

QSize TInputGrid::sizeHint() const { return {BaseWidth(), maximumHeight()}; }

// Columns of names (lists and texts of 14 characters or more) share the width beyond the columns'
// own in proportion to their widths; numbers, dates and units keep theirs.
void TInputGrid::FitColumns() {
  const bool allRowsShown = height() >= maximumHeight();
  const int room = width() - BaseWidth() - (allRowsShown ? 0 : verticalScrollBar()->sizeHint().width());
  int named = 0;
  for (int c = 1; c <= Columns(); ++c)
    if (columns_[c - 1].chars >= 14) named += baseWidths_[c];
  for (int c = 1; c <= Columns(); ++c) {
    const bool grows = room > 0 && named > 0 && columns_[c - 1].chars >= 14;
    setColumnWidth(c, baseWidths_[c] + (grows ? room * baseWidths_[c] / named : 0));
  }
}

void TInputGrid::resizeEvent(QResizeEvent* event) {
  QTableWidget::resizeEvent(event);
  FitColumns();
}

void TInputGrid::BuildEditors() {
  for (int r = 1; r <= Rows(); ++r) {
    setItem(r - 1, 0, new QTableWidgetItem);
    for (int c = 1; c <= Columns(); ++c) {
      const TGridColumn& col = columns_[c - 1];
      QWidget* editor = nullptr;
      if (col.kind == TCellKind::Fixed) {
        auto* item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled);
        setItem(r - 1, c, item);
        continue;
      }
      if (col.kind == TCellKind::Entry) {
        auto* edit = new TEntryEdit;
        edit->setFrame(false);
        edit->setMaxLength(col.maxLength);
        edit->SetMask(col.mask);
        if (col.mask == TEntryMask::Number || col.mask == TEntryMask::Digits) edit->setAlignment(Qt::AlignRight);
        edit->SetValidator([this, r, c](TEntryEdit& e, bool leaving) {
          if (!EntryCheck) return QString();
          QString shown = e.text();
          const QString message = EntryCheck(r, c, e.text(), shown);
          if (message.isEmpty() && leaving) e.ReformatText(shown);
          return message;
        });
        editor = edit;
      } else {
        auto* combo = new QComboBox;
        combo->setFrame(false);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(4);
        TakeWheelOnlyWithFocus(combo);
        connect(combo, &QComboBox::currentIndexChanged, this, [this, combo, r, c](int index) {
          if (filling_ || index < 0) return;
          if (ComboChange && !ComboChange(r, c, index)) RedrawCell(r, c);
          (void)combo;
        });
        editor = combo;
      }
      editor->setProperty(kRowProperty, r);
      editor->setProperty(kColProperty, c);
      editor->installEventFilter(this);
      setCellWidget(r - 1, c, editor);
    }
  }
}

void TInputGrid::SetColumnList(int col, const QStringList& items) {
  columnLists_[col - 1] = items;
  sharedList_[col - 1] = true;
  for (int r = 1; r <= Rows(); ++r) RedrawCell(r, col);
}

void TInputGrid::SetHeading(int col, const QString& heading) { horizontalHeaderItem(col)->setText(heading); }

QString TInputGrid::Heading(int col) const { return horizontalHeaderItem(col)->text(); }

TEntryEdit* TInputGrid::EntryAt(int row, int col) const { return qobject_cast<TEntryEdit*>(cellWidget(row - 1, col)); }

QComboBox* TInputGrid::ComboAt(int row, int col) const { return qobject_cast<QComboBox*>(cellWidget(row - 1, col)); }

void TInputGrid::FillCombo(QComboBox* combo, int row, int col) {
  const QStringList items = CellList && !sharedList_[col - 1] ? CellList(row, col) : columnLists_[col - 1];
  const int index = CellIndex ? CellIndex(row, col) : 0;
  filling_ = true;
  const QSignalBlocker block(combo);
  QStringList current;
  for (int i = 0; i < combo->count(); ++i) current << combo->itemText(i);
  if (current != items) {
    combo->clear();
    combo->addItems(items);
  }
  // A stored "none" and a position outside the list show an empty cell.
  combo->setCurrentIndex(index > 0 && index < combo->count() ? index : -1);
  filling_ = false;
}

void TInputGrid::RedrawCell(int row, int col) {
  switch (Kind(col)) {
    case TCellKind::Fixed:
      item(row - 1, col)->setText(CellText ? CellText(row, col) : QString());
      break;
    case TCellKind::Entry:
      EntryAt(row, col)->ShowText(CellText ? CellText(row, col) : QString());
      break;
    case TCellKind::List:
      FillCombo(ComboAt(row, col), row, col);
      break;
  }
}

void TInputGrid::RedrawRow(int row) {
  for (int c = 1; c <= Columns(); ++c) RedrawCell(row, c);
}

void TInputGrid::Redraw() {
  for (int r = 1; r <= Rows(); ++r) RedrawRow(r);
}

void TInputGrid::SetEditable(bool editable) {
  editable_ = editable;
  for (int r = 1; r <= Rows(); ++r)
    for (int c = 1; c <= Columns(); ++c) {
      if (TEntryEdit* e = EntryAt(r, c)) e->setReadOnly(!editable);
      if (QComboBox* combo = ComboAt(r, c)) combo->setEnabled(editable);
    }
}

void TInputGrid::SetMarker(int row) {
  for (int r = 1; r <= Rows(); ++r) item(r - 1, 0)->setText(r == row ? kMarker : QString());
}

void TInputGrid::SetActiveCell(int row, int col, bool focus) {
  row = std::clamp(row, 1, Rows());
  col = std::clamp(col, FirstEditable(), LastEditable());
  while (col < LastEditable() && Kind(col) == TCellKind::Fixed) ++col;
  activeRow_ = row;
  activeCol_ = col;
  SetMarker(row);
  setCurrentCell(row - 1, col);
  if (focus) {
    QWidget* editor = EditorAt(row, col);
    scrollTo(model()->index(row - 1, col));
    if (editor) editor->setFocus(Qt::OtherFocusReason);
  }
}

int TInputGrid::FirstEditable() const {
  for (int c = 1; c <= Columns(); ++c)
    if (columns_[c - 1].kind != TCellKind::Fixed) return c;
  return 1;
}

int TInputGrid::LastEditable() const {
  for (int c = Columns(); c >= 1; --c)
    if (columns_[c - 1].kind != TCellKind::Fixed) return c;
  return Columns();
}

void TInputGrid::MoveRight() {
  int row = activeRow_, col = activeCol_;
  do {
    if (++col > Columns()) {
      col = 1;
      row = row >= Rows() ? 1 : row + 1;
    }
  } while (Kind(col) == TCellKind::Fixed);
  SetActiveCell(row, col);
}

void TInputGrid::MoveLeft() {
  int row = activeRow_, col = activeCol_;
  do {
    if (--col < 1) {
      col = Columns();
      row = row <= 1 ? Rows() : row - 1;
    }
  } while (Kind(col) == TCellKind::Fixed);
  SetActiveCell(row, col);
}

void TInputGrid::MoveVertical(int step) {
  const int row = std::clamp(activeRow_ + step, 1, Rows());
  if (row != activeRow_) SetActiveCell(row, activeCol_);
}

bool TInputGrid::HasEditorFocus() const {
  const QWidget* focus = QApplication::focusWidget();
  return focus && focus != this && isAncestorOf(focus);
}

bool TInputGrid::CheckActiveEntry() {
  auto* edit = qobject_cast<TEntryEdit*>(QApplication::focusWidget());
  if (!edit || !isAncestorOf(edit)) return true;
  return edit->CheckNow();
}

bool TInputGrid::HandleKey(QWidget* editor, int row, int col, QKeyEvent* key) {
  const auto mods = key->modifiers() & ~Qt::KeypadModifier;
  auto* combo = qobject_cast<QComboBox*>(editor);
  auto* edit = qobject_cast<TEntryEdit*>(editor);
  const bool closed = !combo || !combo->view()->isVisible();
  activeRow_ = row;
  activeCol_ = col;
  switch (key->key()) {
    case Qt::Key_Backtab:
      MoveLeft();
      return true;
    case Qt::Key_Tab:
      if (mods == Qt::ShiftModifier) MoveLeft();
      else if (mods == Qt::NoModifier) MoveRight();
      else return false;
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (mods != Qt::NoModifier || !closed) return false;
      MoveRight();
      return true;
    case Qt::Key_Right:
    case Qt::Key_Left: {
      if (mods != Qt::NoModifier || !closed) return false;
      const bool right = key->key() == Qt::Key_Right;
      if (edit && (edit->hasSelectedText() || edit->cursorPosition() != (right ? edit->text().length() : 0)))
        return false;
      right ? MoveRight() : MoveLeft();
      return true;
    }
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (mods != Qt::NoModifier || !closed) return false;
      MoveVertical(key->key() == Qt::Key_Up ? -1 : 1);
      return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      // Left to the record navigation; a closed list does not use them.
      if (combo && closed) {
        key->ignore();
        return true;
      }
      return false;
    default:
      return false;
  }
}

bool TInputGrid::eventFilter(QObject* watched, QEvent* event) {
  auto* editor = qobject_cast<QWidget*>(watched);
  if (!editor || !editor->property(kRowProperty).isValid()) return QTableWidget::eventFilter(watched, event);
  const int row = editor->property(kRowProperty).toInt();
  const int col = editor->property(kColProperty).toInt();
  switch (event->type()) {
    case QEvent::FocusIn:
      activeRow_ = row;
      activeCol_ = col;
      SetMarker(row);
      setCurrentCell(row - 1, col);
      break;
    case QEvent::KeyPress:
      return HandleKey(editor, row, col, static_cast<QKeyEvent*>(event));
    case QEvent::MouseButtonPress:
      if (editor->focusPolicy() != Qt::NoFocus && !editor->hasFocus()) editor->setFocus(Qt::MouseFocusReason);
      break;
    default:
      break;
  }
  return QTableWidget::eventFilter(watched, event);
}

// A click on the first column makes its row active; elsewhere on a fixed cell, the cell's row.
void TInputGrid::mousePressEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid()) {
    const int row = index.row() + 1;
    SetActiveCell(row, index.column() == 0 ? activeCol_ : index.column());
    return;
  }
  QTableWidget::mousePressEvent(event);
}
