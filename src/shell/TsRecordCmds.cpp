// The Record menu's commands on the current record: Add New, Duplicate, Delete, Rename, Check
// Data, Sort Inputs, Find, Repeat Find and Go To.
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>

#include "TsMain.h"
#include "TsMessages.h"
#include "TsRecordDlgs.h"
#include "common/Parse.h"
#include "common/TextUtil.h"
#include "store/MdaFind.h"

namespace {

constexpr int32_t kMaxFieldId = 999999999;

// The typed field ID, trailing blanks removed; 0 when it is not 1 to 999999999.
int32_t TypedFieldId(const QLineEdit* edit) {
  int32_t id = 0;
  if (!ParseLongInt(TrimRight(CpStr(edit->text())), id) || id < 1 || id > kMaxFieldId) return 0;
  return id;
}

bool HasName(const TFieldRec& rec) { return !rec.Field_Name.Str().empty() || !rec.SubFld_Nam.Str().empty(); }

void ShowIdentity(TRecordIdDlg& dlg, const TFieldRec& rec) {
  dlg.IdEdit->setText(QString::number(rec.Field_ID));
  dlg.NameEdit->setText(QStr(rec.Field_Name.Str()));
  dlg.SubNameEdit->setText(QStr(rec.SubFld_Nam.Str()));
}

void Refuse(const QString& message, QWidget* focus) {
  Messages().Error(message);
  focus->setFocus(Qt::OtherFocusReason);
}

}  // namespace

void TMainForm::ConnectRecordCmds() {
  auto on = [this](const char* name, auto handler) { connect(Action(name), &QAction::triggered, this, handler); };
  on("RecordAddCmd", [this] { NewEditRec(false); });
  on("RecordDuplicateCmd", [this] { NewEditRec(true); });
  on("RecordDeleteCmd", [this] { DeleteEditRec(); });
  on("RecordRenameCmd", [this] { RenameEditRec(); });
  on("RecordCheckCmd", [this] { DoEditRecCheckDlg(); });
  on("RecordSortCmd", [this] { SortEditRec(); });
  on("RecordFindCmd", [this] { FindEditRec(false); });
  on("RecordFindNextCmd", [this] { FindEditRec(true); });
  on("RecordGoToCmd", [this] { GoToEditRec(); });
}

void TMainForm::ShowFoundRecord(const TFieldRec& rec, int n) {
  AssignEditRec(rec, n);
  UpdateStatusBar();
  const QSignalBlocker block(recScroll_);
  recScroll_->setRange(1, std::max(mda_.RecordCount(), 1));
  recScroll_->setValue(n);
}

// The identity dialog's duplicate search: a record with the ID, or with the same non-empty field
// and subfield names (without regard to case). `skip` is a record number that does not count.
static bool CheckIdentity(TMdaFile& mda, TRecordIdDlg& dlg, int32_t id, int skip) {
  const std::string name = CpStr(dlg.NameEdit->text());
  const std::string sub = CpStr(dlg.SubNameEdit->text());
  const TRecordTest test = [&](const TFieldRec& r) {
    return r.Field_ID == id || (HasName(r) && SameText(r.Field_Name.Str(), name) && SameText(r.SubFld_Nam.Str(), sub));
  };
  TFieldRec found{};
  int n = 0;
  bool hit = mda.FindNext(1, test, found, n);
  if (hit && n == skip) hit = mda.FindNext(skip + 1, test, found, n);
  if (!hit && mda.ErrorState != esNone) {
    Messages().Error(QMsg(mda.FullErrorText()));
    return false;
  }
  if (!hit) return true;
  if (found.Field_ID == id) Refuse("That field ID has already been used.", dlg.IdEdit);
  else Refuse("That field name and subfield name have already been used.", dlg.NameEdit);
  return false;
}

bool TMainForm::NewEditRec(bool duplicate) {
  if (!projectOpen_ || !FormDataOkay()) return false;
  const bool multiState = mda_.ProjectState() == 0 && !duplicate;
  QStringList states;
  if (multiState)
    for (int s = 1; s <= mcn_.StateCount(); ++s) states << QStr(mcn_.StateName(s));
  TRecordIdDlg dlg(duplicate ? "Duplicate Current Record" : "Add New Record", duplicate ? 122 : 121, false,
                   QStr(mcn_.RegionWord()), states, this);
  if (HasRecords()) ShowIdentity(dlg, editRec_);
  int32_t id = 0;
  dlg.Check = [&] {
    id = TypedFieldId(dlg.IdEdit);
    if (id == 0) {
      Refuse("Enter a valid field ID for the new record.", dlg.IdEdit);
      return false;
    }
    if (dlg.StateCombo && dlg.StateCombo->currentIndex() < 0) {
      Refuse("Select the field's " + QStr(mcn_.RegionWord()) + ".", dlg.StateCombo);
      return false;
    }
    return CheckIdentity(mda_, dlg, id, 0);
  };
  if (dlg.exec() != QDialog::Accepted) return false;
  const uint16_t state =
      static_cast<uint16_t>(dlg.StateCombo ? dlg.StateCombo->currentIndex() + 1 : mda_.ProjectState());
  if (!SaveEditRec()) return false;
  TFieldRec rec = duplicate ? editRec_ : mda_.NewRecord(id, state);
  rec.Field_ID = id;
  rec.Field_Name.Set(CpStr(dlg.NameEdit->text()).substr(0, 15));
  rec.SubFld_Nam.Set(CpStr(dlg.SubNameEdit->text()).substr(0, 5));
  int n = 0;
  bool ok = false;
  {
    TWaitCursor wait;
    ok = mda_.InsertRecord(rec, 0, n);
  }
  if (!ok) {
    ShowFileError();
    return false;
  }
  AssignEditRec(rec, n);
  UpdateForm();
  const QSignalBlocker block(recScroll_);
  recScroll_->setValue(n);
  UpdateStatusBar();
  return true;
}

bool TMainForm::DeleteEditRec() {
  if (!HasRecords()) return false;
  const QString text = "\nAre you sure that you want to delete the current field record?\n\nField ID:  " +
                       QString::number(editRec_.Field_ID) + "\n" + "Field Name:  " +
                       QStr(editRec_.Field_Name.Str()) + "\n" + "Subfield Name:  " +
                       QStr(editRec_.SubFld_Nam.Str()) + "\n\n" + "(This will permanently remove the record " +
                       "from the project file.)\n";
  if (Messages().Confirm(text, true, TAnswer::No) != TAnswer::Yes) return false;  // Enter keeps the record
  TFieldRec next{};
  int nextNumber = 0;
  bool ok = false;
  {
    TWaitCursor wait;
    ok = mda_.DeleteRecord(curRec_, next, nextNumber);
  }
  if (!ok) {
    ShowFileError();
    return false;
  }
  if (mda_.RecordCount() > 0) ShowFoundRecord(next, nextNumber);
  else {
    curRec_ = 0;
    UpdateForm();
  }
  UpdateMenu();
  return true;
}

bool TMainForm::RenameEditRec() {
  if (!HasRecords() || !FormDataOkay()) return false;
  TRecordIdDlg dlg("Rename Current Record", 124, true, {}, {}, this);
  ShowIdentity(dlg, editRec_);
  int32_t id = 0;
  dlg.Check = [&] {
    id = TypedFieldId(dlg.IdEdit);
    if (id == 0) {
      Refuse("Enter a valid field ID.", dlg.IdEdit);
      return false;
    }
    return CheckIdentity(mda_, dlg, id, curRec_);
  };
  if (dlg.exec() != QDialog::Accepted) return false;
  const std::string name = CpStr(dlg.NameEdit->text()).substr(0, 15);
  const std::string sub = CpStr(dlg.SubNameEdit->text()).substr(0, 5);
  if (id == editRec_.Field_ID && name == editRec_.Field_Name.Str() && sub == editRec_.SubFld_Nam.Str()) return false;
  if (!SaveEditRec()) return false;
  TFieldRec rec = editRec_;
  rec.Field_ID = id;
  rec.Field_Name.Set(name);
  rec.SubFld_Nam.Set(sub);
  int n = 0;
  bool ok = false;
  {
    TWaitCursor wait;
    ok = mda_.InsertRecord(rec, curRec_, n);
  }
  if (!ok) {
    ShowFileError();
    return false;
  }
  editRec_ = rec;
  savedRec_ = rec;
  curRec_ = n;
  UpdateStatusBar();
  const QSignalBlocker block(recScroll_);
  recScroll_->setValue(n);
  return true;
}

void TMainForm::DoEditRecCheckDlg() {
  if (!HasRecords() || !FormDataOkay()) return;
  const std::vector<int> missing = mda_.CheckRecord(editRec_);
  QString text = "Current record's data is complete.";
  if (!missing.empty()) {
    text = "The current record's data is incomplete, as follows:\n";
    for (int item : missing) text += "\n" + QStr(TMdaFile::CheckText(item, editRec_)) + "\n";
  }
  TRecordCheckDlg dlg(text, this);
  dlg.exec();
}

bool TMainForm::SortEditRec() {
  if (!HasRecords() || !FormDataOkay()) return false;
  if (Messages().Confirm("\nAre you sure that you want to sort the current record?\n\n(This will put the current "
                         "record's fertilizers, pesticides, operations, and other inputs into chronological "
                         "order.)\n") != TAnswer::Yes)
    return false;
  TFieldRec sorted = editRec_;
  TMdaFile::SortInputs(sorted);
  const TFieldRec saved = savedRec_;
  AssignEditRec(sorted, curRec_);
  savedRec_ = saved;  // the sorted record counts as modified and is written on leaving it
  return true;
}

bool TMainForm::FindEditRec(bool repeat) {
  if (!HasRecords() || (repeat && find_.text.empty()) || !FormDataOkay()) return false;
  if (!repeat) {
    TFindDlg dlg(QStr(find_.text), find_.kind, this);
    dlg.Check = [&] {
      const std::string text = CpStr(dlg.TextEdit->text());
      const std::string error = text.empty() ? std::string("No search data specified.")
                                             : FindTextError(dlg.Kind(), text, *refs_);
      if (error.empty()) return true;
      Refuse(QMsg(error), dlg.TextEdit);
      return false;
    };
    if (dlg.exec() != QDialog::Accepted) return false;
    find_.text = CpStr(dlg.TextEdit->text());
    find_.kind = dlg.Kind();
    find_.caption = FindKindCaption(find_.kind);
  }
  if (!SaveEditRec()) return false;
  const int start = find_.kind == fkFieldId ? 1 : repeat ? curRec_ + 1 : curRec_;
  TFieldRec rec{};
  int n = 0;
  bool found = false;
  {
    TWaitCursor wait;
    found = start <= mda_.RecordCount() && mda_.FindNext(start, MakeFindTest(find_.kind, find_.text, *refs_), rec, n);
  }
  if (found) {
    ShowFoundRecord(rec, n);
    return true;
  }
  if (mda_.ErrorState != esNone) ShowFileError();
  else Messages().Error(QStr(FindNotFoundText(find_.kind)));
  return false;
}

bool TMainForm::GoToEditRec() {
  if (!HasRecords() || !FormDataOkay()) return false;
  TGoToDlg dlg(this);
  int n = 0;
  dlg.Check = [&] {
    n = dlg.NumberEdit->text().trimmed().toInt();
    if (n >= 1 && n <= mda_.RecordCount()) return true;
    Refuse("Enter a record number in the range 1-" + QString::number(mda_.RecordCount()) + ".", dlg.NumberEdit);
    return false;
  };
  if (dlg.exec() != QDialog::Accepted) return false;
  return SaveEditRec() && GoToRec(n);
}
