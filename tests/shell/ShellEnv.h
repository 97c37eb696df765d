// A program folder for the GUI tests: small reference files beside a notional program, projects
// made from them, and the main window started on that folder.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

#include "TestMessages.h"
#include "TsFileCmds.h"
#include "TsEdit.h"
#include "TsMain.h"
#include "TsPages.h"
#include "TsStart.h"
#include "common/Locale.h"
#include "reference/RefWriters.h"
#include "vocab/CropVocab.h"
#include "vocab/UnitVocab.h"

// The county names and definition files of a test folder, loaded for projects opened beside the window.
struct TFolderRefs {
  explicit TFolderRefs(const std::string& folder) {
    mcn.Load(folder + "/usa.mcn");
    mdf.Load(folder + "/stnd-usa.mdf");
  }
  TMcnFile mcn;
  TMdfFile mdf;
  TLoadedRefs refs{mcn, mdf};
};

class TShellEnv {
 public:
  TShellEnv() { PinUsLocale(); }

  std::string Folder() const { return dir_.path().toStdString(); }
  std::string File(const std::string& name) const { return Folder() + "/" + name; }
  std::string ProgramFile() const { return File("tesserel"); }

  // usa.mcn with Illinois (2 counties) and Iowa (3); stnd-usa.mdf with a few inputs for corn.
  void WriteReferenceFiles(bool counties = true, bool definitions = true) const {
    std::string message;
    if (counties) {
      TMcnContents mcn;
      mcn.Country = 1;
      mcn.CountryName = "USA";
      mcn.States = {{"IL", "Illinois", 17, {{"Adams", 1}, {"Champaign", 19}}},
                    {"IA", "Iowa", 19, {{"Boone", 15}, {"Story", 169}, {"Polk", 153}}}};
      WriteMcnFile(File("usa.mcn"), mcn, message);
    }
    if (definitions) {
      TMdfContents mdf;
      mdf.Release = EncodeDay(2024, 1, 2);
      mdf.Country = 1;
      const uint32_t corn = CropBit(crCorn);
      mdf.Inputs = {{1701, "Corn", 4.5f, unBushel, unBushel, corn, 0, 0},
                    {1901, "Non-GMO premium", 0.3f, unBushel, unBushel, corn, 0, 0},
                    {1951, "Corn rootworm Bt FEE", 12, unAcre, unAcre, corn, 0, 0},
                    {1952, "Glyphosate tolerant", 8, unAcre, unAcre, corn, 0, 0},
                    {3001, "Anhydrous ammonia", 0.45f, unPound, unPound, 0xFFFFFFFFu, 0, 0}};
      WriteMdfFile(File("stnd-usa.mdf"), mdf, message);
    }
  }

  // A project of `count` records of the given state (fields 101, 102, ... unless `firstId` says
  // otherwise), closed again.
  std::string MakeProject(const std::string& name, int state, int count, bool locked = false, int firstId = 101) const {
    TFolderRefs loaded(Folder());
    TMdaFile f;
    const std::string path = File(name);
    if (!f.CreateProject(path, static_cast<uint16_t>(state), loaded.refs, "Test project", 2024))
      qFatal("create failed");
    for (int i = 1; i <= count; ++i) {
      TFieldRec rec = f.NewRecord(firstId - 1 + i, static_cast<uint16_t>(state));
      rec.Operation = "Farm " + std::to_string(i);
      rec.County = 2;
      rec.Field_Size = 10.0f * i;
      rec.Cur_Crop = crCorn;
      rec.Field_Name = i == 2 ? "North & South" : "";
      if (!f.WriteRecord(i, rec, false)) qFatal("write failed: %s", f.FullErrorText().c_str());
    }
    if (locked) {
      f.Header.Flags = kHeaderLocked;
      f.WriteHeader(true);
    }
    f.Close();
    return path;
  }

  std::string Bytes(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // The main window on this folder, started with `args`; InitForm's result in `started`.
  std::unique_ptr<TMainForm> Start(const std::vector<std::string>& args, bool* started = nullptr) {
    startup_ = std::make_unique<TAppStartup>(args, ProgramFile());
    auto form = std::make_unique<TMainForm>(*startup_);
    form->show();
    const bool ok = form->InitForm();
    if (started) *started = ok;
    return form;
  }

  TTestMessages messages;

 private:
  QTemporaryDir dir_;
  std::unique_ptr<TAppStartup> startup_;
};

// A chooser that hands out prepared names.
class TTestChooser : public TFileChooser {
 public:
  TTestChooser() { SetFileChooser(this); }
  ~TTestChooser() override { SetFileChooser(nullptr); }
  QString OpenFile(const QString&, const QString&, bool* readOnly) override {
    if (readOnly) *readOnly = openReadOnly;
    return Next();
  }
  QString SaveFile(const QString&, const QString&, bool) override { return Next(); }
  QStringList names;
  bool openReadOnly = false;

 private:
  QString Next() { return names.isEmpty() ? QString() : names.takeFirst(); }
};

// Shows the field's page, types the text over its contents and leaves it with Tab.
inline void TypeAndLeave(TMainForm& form, const char* name, const QString& text) {
  TEntryEdit* e = form.Pages()->Entry(name);
  for (int p = 0; p < form.Pages()->count(); ++p)
    if (form.Pages()->widget(p)->isAncestorOf(e)) form.Pages()->setCurrentIndex(p);
  e->setFocus();
  e->selectAll();
  QTest::keyClick(e, Qt::Key_Delete);
  QTest::keyClicks(e, text);
  QTest::keyClick(e, Qt::Key_Tab);
  QCoreApplication::processEvents();
}

// Runs `action` on the next modal dialog once it is up (the dialogs run their own loop).
inline void WhenModal(std::function<void(QDialog*)> action) {
  QTimer::singleShot(10, [action] {
    if (auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget())) action(dlg);
    else WhenModal(action);
  });
}
