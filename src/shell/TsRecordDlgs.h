// The dialogs of the Record menu: the record identity (Add New, Duplicate, Rename), Find, Go To
// and the record check. Each OK runs the owner's check, which shows its message and names the
// field to focus; the dialog stays open until the check passes.
#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <functional>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// OK buttons run a check; a failing check keeps the dialog open.
class TCheckedDlg : public QDialog {
  Q_OBJECT

 public:
  TCheckedDlg(const QString& title, int helpContext, QWidget* parent);
  std::function<bool()> Check;
  int HelpContext() const { return helpContext_; }

 protected:
  // Adds the OK, Cancel (unless `withCancel` is false) and Help buttons under `content`.
  void AddButtons(QLayout* content, bool withCancel = true);
  void done(int result) override;

 private:
  int helpContext_;
};

class TRecordIdDlg : public TCheckedDlg {
  Q_OBJECT

 public:
  // `rename` gives the "New ..." captions; `regionWord` ("state") labels the state list, shown
  // when `states` is not empty.
  TRecordIdDlg(const QString& title, int helpContext, bool rename, const QString& regionWord,
               const QStringList& states, QWidget* parent = nullptr);

  QLineEdit* IdEdit = nullptr;
  QLineEdit* NameEdit = nullptr;
  QLineEdit* SubNameEdit = nullptr;
  QComboBox* StateCombo = nullptr;  // null when hidden
};

class TFindDlg : public TCheckedDlg {
  Q_OBJECT

 public:
  TFindDlg(const QString& text, int kind, QWidget* parent = nullptr);
  QLineEdit* TextEdit = nullptr;
  QButtonGroup* Kinds = nullptr;
  int Kind() const;
};

class TGoToDlg : public TCheckedDlg {
  Q_OBJECT

 public:
  explicit TGoToDlg(QWidget* parent = nullptr);
  QLineEdit* NumberEdit = nullptr;
};

class TRecordCheckDlg : public TCheckedDlg {
  Q_OBJECT

 public:
  TRecordCheckDlg(const QString& text, QWidget* parent = nullptr);
  QString Text() const { return text_; }

 private:
  QString text_;
};

// A push button with its hint as tooltip and status tip, which Enter does not press unless it
// is the default button.
QPushButton* HintedButton(const QString& caption, const QString& hint);

// Shows a help context of the dialogs; set by the program, empty in tests.
std::function<void(int)>& RecordDlgHelp();
// Marks a window with its help context (F1 finds it there) and opens that context on the box's Help.
void SetHelpContext(QWidget* window, int context, QDialogButtonBox* buttons = nullptr);
// The help context of the nearest window up from `widget` that has one; 0 when none has.
int HelpContextOf(const QWidget* widget);
