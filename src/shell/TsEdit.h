// The entry field of the pages and the keyboard conventions of the page lists.
#pragma once

#include <QLineEdit>
#include <functional>

class QComboBox;

// Which characters may be typed.
enum class TEntryMask {
  Any,           // any character
  Digits,        // 0-9
  Number,        // digits, minus sign and decimal point
  Letters,       // letters only, kept as typed
  UpperLetters,  // letters only, turned to upper case
  PostalDigits,  // digits and "-"
  Upper,         // any character, turned to upper case
};

// An entry field: selects its contents when entered, refuses keys its mask does not allow with a
// beep (pasted or dropped text loses the characters the mask does not allow, also with a beep), moves to the neighbouring field with Enter, Up, Down and Left/Right at the ends of the
// text, checks its text when it is left and keeps the focus (shown black on red) while the check
// fails; Ctrl+Z restores the text it had before the changes.
class TEntryEdit : public QLineEdit {
  Q_OBJECT

 public:
  // Checks the text and writes an accepted value; returns the error message, empty when the text
  // is accepted. `leaving` is true when the field loses the focus (the check may then reformat
  // the text).
  using TValidator = std::function<QString(TEntryEdit& edit, bool leaving)>;

  explicit TEntryEdit(QWidget* parent = nullptr);

  void SetMask(TEntryMask mask);
  TEntryMask Mask() const { return mask_; }
  void SetValidator(TValidator validator) { validator_ = std::move(validator); }

  // Shows a value put there by the program: the text the field returns to with Ctrl+Z.
  void ShowText(const QString& text);
  // Rewrites the text of an accepted value (2.50 becomes 2.5).
  void ReformatText(const QString& text);
  bool IsChanged() const { return text() != savedText_; }

  // Runs the check now; a failure shows the error display and the message. True when accepted.
  bool CheckNow();
  bool InError() const { return inError_; }
  // Restores the text of before the changes (Ctrl+Z): the text shown or last accepted.
  void UndoChanges();

  static bool Allows(TEntryMask mask, QChar c);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;

 private:
  // Runs the check; on failure sets the error display and returns the message.
  QString RunCheck(bool leaving);
  void SetErrorDisplay(bool on);
  void MoveFocus(bool next);
  // Keeps only what the mask allows after an edit by the user, wherever the text came from.
  void EnforceMask(const QString& edited);

  TEntryMask mask_ = TEntryMask::Any;
  TValidator validator_;
  QString savedText_;
  bool inError_ = false;
  bool checking_ = false;
};

// Keyboard conventions of a page list: Left and Shift+Tab go back, Tab, Enter and Right go on;
// while the list is closed Up goes back and Down goes on; Page Up and Page Down are left to the
// record navigation.
void InstallComboKeys(QComboBox* combo);

// A list takes the mouse wheel only while it has the focus; otherwise the wheel goes on to what
// holds it (scrolling the page or the grid), so that no value changes under a passing wheel.
void TakeWheelOnlyWithFocus(QComboBox* combo);
