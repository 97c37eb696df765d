#include "TsRecordDlgs.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "TsMessages.h"
#include "store/MdaFind.h"

namespace {

QLineEdit* DigitsEdit(int length) {
  auto* edit = new QLineEdit;
  edit->setMaxLength(length);
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9 ]*"), edit));
  return edit;
}

QLineEdit* TextEdit(int length) {
  auto* edit = new QLineEdit;
  edit->setMaxLength(length);
  return edit;
}

}  // namespace

QPushButton* HintedButton(const QString& caption, const QString& hint) {
  auto* button = new QPushButton(caption);
  button->setToolTip(hint);
  button->setStatusTip(hint);
  button->setAutoDefault(false);
  return button;
}

std::function<void(int)>& RecordDlgHelp() {
  static std::function<void(int)> help;
  return help;
}

void SetHelpContext(QWidget* window, int context, QDialogButtonBox* buttons) {
  window->setProperty("helpContext", context);
  if (buttons)
    QObject::connect(buttons, &QDialogButtonBox::helpRequested, window, [context] {
      if (RecordDlgHelp()) RecordDlgHelp()(context);
    });
}

int HelpContextOf(const QWidget* widget) {
  for (; widget; widget = widget->parentWidget())
    if (const int context = widget->property("helpContext").toInt()) return context;
  return 0;
}

TCheckedDlg::TCheckedDlg(const QString& title, int helpContext, QWidget* parent)
    : QDialog(parent), helpContext_(helpContext) {
  setWindowTitle(title);
}

void TCheckedDlg::AddButtons(QLayout* content, bool withCancel) {
  auto flags = QDialogButtonBox::Ok | QDialogButtonBox::Help;
  if (withCancel) flags |= QDialogButtonBox::Cancel;
  auto* buttons = new QDialogButtonBox(flags);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  SetHelpContext(this, helpContext_, buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(content);
  layout->addWidget(buttons);
}

void TCheckedDlg::done(int result) {
  if (result == QDialog::Accepted && Check && !Check()) return;
  QDialog::done(result);
}

TRecordIdDlg::TRecordIdDlg(const QString& title, int helpContext, bool rename, const QString& regionWord,
                           const QStringList& states, QWidget* parent)
    : TCheckedDlg(title, helpContext, parent) {
  IdEdit = DigitsEdit(9);
  NameEdit = TextEdit(15);
  SubNameEdit = TextEdit(5);
  auto* form = new QFormLayout;
  const QString prefix = rename ? "New " : "";
  form->addRow(prefix + "Field &ID", IdEdit);
  form->addRow(prefix + "Field &Name", NameEdit);
  form->addRow(prefix + "S&ubfield Name", SubNameEdit);
  if (!states.isEmpty()) {
    StateCombo = new QComboBox;
    StateCombo->addItems(states);
    StateCombo->setCurrentIndex(-1);
    QString word = regionWord;
    if (!word.isEmpty()) word[0] = word[0].toUpper();
    form->addRow("&" + word, StateCombo);
  }
  AddButtons(form);
}

TFindDlg::TFindDlg(const QString& text, int kind, QWidget* parent) : TCheckedDlg("Find Record", 127, parent) {
  TextEdit = ::TextEdit(30);
  TextEdit->setText(text);
  auto* form = new QFormLayout;
  form->addRow("Find &What", TextEdit);
  auto* box = new QGroupBox(" &Data To Search ");
  auto* grid = new QGridLayout(box);
  Kinds = new QButtonGroup(this);
  constexpr int kRowsPerColumn = (kFindKindCount + 1) / 2;
  for (int k = 0; k < kFindKindCount; ++k) {
    auto* button = new QRadioButton(QStr(FindKindChoice(k)));
    Kinds->addButton(button, k);
    grid->addWidget(button, k % kRowsPerColumn, k / kRowsPerColumn);
  }
  if (QAbstractButton* b = Kinds->button(kind)) b->setChecked(true);
  auto* layout = new QVBoxLayout;
  layout->addLayout(form);
  layout->addWidget(box);
  AddButtons(layout);
}

int TFindDlg::Kind() const { return std::max(Kinds->checkedId(), 0); }

TGoToDlg::TGoToDlg(QWidget* parent) : TCheckedDlg("Go To Record", 129, parent) {
  NumberEdit = DigitsEdit(5);
  auto* form = new QFormLayout;
  form->addRow("&Record Number", NumberEdit);
  AddButtons(form);
}

TRecordCheckDlg::TRecordCheckDlg(const QString& text, QWidget* parent)
    : TCheckedDlg("Record Check", 125, parent), text_(text) {
  auto* view = new QPlainTextEdit(text);
  view->setReadOnly(true);
  view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  view->setMinimumSize(420, 260);
  auto* layout = new QVBoxLayout;
  layout->addWidget(view);
  AddButtons(layout, false);
}
