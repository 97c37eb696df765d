#include "TsEdit.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

#include "TsMessages.h"

TEntryEdit::TEntryEdit(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textEdited, this, &TEntryEdit::EnforceMask);
}

void TEntryEdit::SetMask(TEntryMask mask) { mask_ = mask; }

bool TEntryEdit::Allows(TEntryMask mask, QChar c) {
  switch (mask) {
    case TEntryMask::Any:
    case TEntryMask::Upper:
      return c.isPrint();
    case TEntryMask::Digits:
      return c.isDigit();
    case TEntryMask::Number:
      return c.isDigit() || c == '-' || c == '.';
    case TEntryMask::Letters:
    case TEntryMask::UpperLetters:
      return c.isLetter();
    case TEntryMask::PostalDigits:
      return c.isDigit() || c == '-';
  }
  return false;
}

void TEntryEdit::EnforceMask(const QString& edited) {
  const bool upper = mask_ == TEntryMask::Upper || mask_ == TEntryMask::UpperLetters;
  const int cursor = cursorPosition();
  int keptBeforeCursor = 0;
  QString kept;
  for (int i = 0; i < edited.size(); ++i) {
    if (!Allows(mask_, edited[i])) continue;
    kept += upper ? edited[i].toUpper() : edited[i];
    if (i < cursor) ++keptBeforeCursor;
  }
  if (kept == edited) return;
  if (kept.size() < edited.size()) QApplication::beep();
  setText(kept);
  setCursorPosition(keptBeforeCursor);
}

void TEntryEdit::ShowText(const QString& text) {
  savedText_ = text;
  SetErrorDisplay(false);
  setText(text);
  if (hasFocus()) selectAll();
}

void TEntryEdit::ReformatText(const QString& text) { setText(text); }

QString TEntryEdit::RunCheck(bool leaving) {
  if (!validator_ || isReadOnly() || !IsChanged()) {
    SetErrorDisplay(false);
    return {};
  }
  checking_ = true;
  const QString message = validator_(*this, leaving);
  checking_ = false;
  SetErrorDisplay(!message.isEmpty());
  // The accepted text is in the record now: Ctrl+Z returns to it from here on.
  if (message.isEmpty()) savedText_ = text();
  return message;
}

bool TEntryEdit::CheckNow() {
  const QString message = RunCheck(false);
  if (message.isEmpty()) return true;
  Messages().Error(message);
  setFocus(Qt::OtherFocusReason);
  return false;
}

void TEntryEdit::UndoChanges() {
  setText(savedText_);
  SetErrorDisplay(false);
  selectAll();
}

void TEntryEdit::SetErrorDisplay(bool on) {
  if (inError_ == on) return;
  inError_ = on;
  QPalette pal = QApplication::palette(this);
  if (on) {
    pal.setColor(QPalette::Base, Qt::red);
    pal.setColor(QPalette::Text, Qt::black);
    pal.setColor(QPalette::Highlight, Qt::black);
    pal.setColor(QPalette::HighlightedText, Qt::red);
  }
  setPalette(pal);
}

void TEntryEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  if (!inError_) savedText_ = text();
  // After a mouse click has placed the cursor.
  QTimer::singleShot(0, this, [this] {
    if (hasFocus()) selectAll();
  });
}

void TEntryEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // Opening a menu or another window is not leaving the field.
  if (checking_ || event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
    return;
  const QString message = RunCheck(true);
  if (message.isEmpty()) return;
  // The field keeps the focus: take it back once the focus change is complete, then explain.
  QTimer::singleShot(0, this, [this, message] {
    setFocus(Qt::OtherFocusReason);
    Messages().Error(message);
  });
}

void TEntryEdit::MoveFocus(bool next) {
  QWidget* target = next ? nextInFocusChain() : previousInFocusChain();
  while (target && target != this && (!target->isVisibleTo(window()) || !target->isEnabled() ||
                                      !(target->focusPolicy() & Qt::TabFocus)))
    target = next ? target->nextInFocusChain() : target->previousInFocusChain();
  if (target && target != this) target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

bool TEntryEdit::event(QEvent* event) {
  // Ctrl+Home and Ctrl+End belong to the record navigation, Ctrl+Z to this field's undo.
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() == Qt::ControlModifier && (key->key() == Qt::Key_Home || key->key() == Qt::Key_End)) {
      event->ignore();
      return true;
    }
  }
  return QLineEdit::event(event);
}

void TEntryEdit::keyPressEvent(QKeyEvent* event) {
  const auto mods = event->modifiers() & ~Qt::KeypadModifier;
  const int key = event->key();
  if (event->matches(QKeySequence::Undo)) {
    UndoChanges();
    return;
  }
  if (mods == Qt::NoModifier) {
    const bool noSelection = !hasSelectedText();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down ||
        (key == Qt::Key_Right && noSelection && cursorPosition() == text().length())) {
      MoveFocus(true);
      return;
    }
    if (key == Qt::Key_Up || (key == Qt::Key_Left && noSelection && cursorPosition() == 0)) {
      MoveFocus(false);
      return;
    }
  }
  const QString typed = event->text();
  if (!isReadOnly() && !typed.isEmpty() && typed.at(0).isPrint() && !(mods & Qt::ControlModifier)) {
    for (QChar c : typed)
      if (!Allows(mask_, c)) {
        QApplication::beep();
        return;
      }
    if (mask_ == TEntryMask::Upper || mask_ == TEntryMask::UpperLetters) {
      insert(typed.toUpper());
      return;
    }
  }
  QLineEdit::keyPressEvent(event);
}

namespace {

class TComboKeys : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* combo = static_cast<QComboBox*>(watched);
    auto* key = static_cast<QKeyEvent*>(event);
    const auto mods = key->modifiers() & ~Qt::KeypadModifier;
    const bool closed = !combo->view()->isVisible();
    int move = 0;  // -1 back, +1 on
    switch (key->key()) {
      case Qt::Key_Backtab:
        move = -1;
        break;
      case Qt::Key_Tab:
        move = mods == Qt::ShiftModifier ? -1 : (mods == Qt::NoModifier ? 1 : 0);
        break;
      case Qt::Key_Left:
        move = mods == Qt::NoModifier ? -1 : 0;
        break;
      case Qt::Key_Right:
      case Qt::Key_Return:
      case Qt::Key_Enter:
        move = mods == Qt::NoModifier && closed ? 1 : 0;
        break;
      case Qt::Key_Up:
        move = mods == Qt::NoModifier && closed ? -1 : 0;
        break;
      case Qt::Key_Down:
        move = mods == Qt::NoModifier && closed ? 1 : 0;
        break;
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
        return closed;
      default:
        break;
    }
    if (move == 0) return false;
    QWidget* w = combo;
    do
      w = move > 0 ? w->nextInFocusChain() : w->previousInFocusChain();
    while (w != combo && (!w->isVisibleTo(combo->window()) || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus)));
    w->setFocus(move > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
  }
};

class TWheelGuard : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Wheel || static_cast<QWidget*>(watched)->hasFocus()) return false;
    event->ignore();  // handled here, not accepted: the wheel goes on to the parent
    return true;
  }
};

}  // namespace

void InstallComboKeys(QComboBox* combo) { combo->installEventFilter(new TComboKeys(combo)); }

void TakeWheelOnlyWithFocus(QComboBox* combo) {
  combo->setFocusPolicy(Qt::StrongFocus);  // the wheel does not give it the focus either
  combo->installEventFilter(new TWheelGuard(combo));
}
