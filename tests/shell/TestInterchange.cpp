// Export, import, merge and extract driven through the File menu and their dialogs, with the
// results read back through the core.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "ShellEnv.h"
#include "../support/DbfSamples.h"
#include "PlanStore.h"
#include "TsInterchange.h"
#include "TsSoils.h"
#include "filebase/FileUtl.h"
#include "interchange/SqlDb.h"

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A planner that keeps its first call waiting, as one stopped under a debugger would: it calls the
// waiting hook until that gives up, or fails as stalled after three seconds.
class TSilentPlanner : public IQrlApp {
 public:
  explicit TSilentPlanner(int& waits) : waits_(waits) {}
  bool FileVersion(std::string&, TQrlError& error) override {
    error = {kQrlErrorBase, "QRL", "QRL did not answer for 3 seconds", TQrlFault::Stalled};
    for (int i = 0; i < 300; ++i, ++waits_) {
      QThread::msleep(10);
      if (waiting_ && !waiting_()) {
        error.Fault = TQrlFault::Canceled;
        break;
      }
    }
    return false;
  }
  std::unique_ptr<IQrlPlan> CreatePlanFile(const std::string&, int, TQrlError&) override { return nullptr; }
  std::unique_ptr<IQrlPlan> OpenPlanFile(const std::string&, TQrlError&) override { return nullptr; }
  void WhileWaiting(std::function<bool()> waiting) override { waiting_ = std::move(waiting); }

 private:
  int& waits_;
  std::function<bool()> waiting_;
};

class TestInterchange : public QObject {
  Q_OBJECT

  TShellEnv* env_ = nullptr;
  std::unique_ptr<TMainForm> form_;

  QString Path(const char* name) const { return QString::fromStdString(env_->File(name)); }

  // Sets the export dialog up with `setup` and presses OK; the chooser answers the file dialogs.
  void Export(std::function<void(TExportDataDlg*)> setup) {
    WhenModal([setup](QDialog* d) {
      auto* dlg = qobject_cast<TExportDataDlg*>(d);
      QVERIFY(dlg);
      setup(dlg);
      dlg->accept();
      if (dlg->isVisible()) dlg->reject();
    });
    form_->Action("FileExportCmd")->trigger();
  }

  // The project's records, read through the core.
  std::vector<TFieldRec> Records(const std::string& path) {
    TFolderRefs refs(env_->Folder());
    TMdaFile f;
    std::vector<TFieldRec> out;
    if (!f.OpenProject(path, false, refs.refs)) return out;
    for (int n = 1; n <= f.RecordCount(); ++n) {
      out.emplace_back();
      f.ReadRecord(n, out.back());
    }
    return out;
  }

 private slots:
  void init() {
    env_ = new TShellEnv;
    env_->WriteReferenceFiles();
    env_->MakeProject("farm.tsj", 2, 3);
    form_ = env_->Start({env_->File("farm.tsj")});
    env_->messages.Clear();
  }
  void cleanup() {
    form_.reset();
    delete env_;
  }

  // dBASE and JSON exports through the dialog, then both imported back (create, update, JSON).
  void exportThenImportBack() {
    TTestChooser chooser;
    // Custom costs without a cost file keep the dialog open; a bad name asks again.
    chooser.names << Path("fields.txt") << Path("farm.fld.dbf") << Path("farm.app.dbf");
    bool stayedOpen = false;
    Export([&stayedOpen](TExportDataDlg* dlg) {
      QVERIFY(dlg->FormatBtns[efDatabase]->isChecked());  // the first use: a database, nothing ticked
      QVERIFY(!dlg->Exclude.Name->isChecked() && !dlg->CustomCheck->isChecked());
      dlg->CustomCheck->setChecked(true);
      dlg->accept();
      stayedOpen = dlg->isVisible();
      dlg->CustomCheck->setChecked(false);
      dlg->Exclude.Name->setChecked(true);
      dlg->FormatBtns[efDbase]->setChecked(true);
    });
    QVERIFY(stayedOpen);
    QCOMPARE(env_->messages.errors.size(), 2);
    QVERIFY(env_->messages.errors[0].startsWith("You checked the Use Custom Costs box, but you have not selected a "
                                                "custom cost file.\n\nClick the Load button to select a cost file"));
    QVERIFY(env_->messages.errors[1].endsWith("\n\nUse a different file name."));
    QCOMPARE(env_->messages.infos, QStringList({"\n3 field records exported to file\n" + Path("farm.fld.dbf") +
                                                "\n\n0 application records exported to file\n" +
                                                Path("farm.app.dbf") + "\n"}));

    // The dialog remembers the choices; JSON this time.
    env_->messages.Clear();
    chooser.names << Path("farm.json");
    Export([](TExportDataDlg* dlg) {
      QVERIFY(dlg->FormatBtns[efDbase]->isChecked() && dlg->Exclude.Name->isChecked());
      dlg->FormatBtns[efJson]->setChecked(true);
    });
    QCOMPARE(env_->messages.infos, QStringList({"\n3 field records exported to file\n" + Path("farm.json") + "\n"}));

    // The database.
    env_->messages.Clear();
    chooser.names << Path("farm.sqlite");
    Export([](TExportDataDlg* dlg) { dlg->FormatBtns[efDatabase]->setChecked(true); });
    QCOMPARE(env_->messages.errors, QStringList());
    TDbReader db;
    TDbRows fields;
    QVERIFY(db.Open(env_->File("farm.sqlite")) && db.ReadTable("Field", fields, "Field_ID"));
    QCOMPARE(fields.Rows.size(), size_t(3));
    QCOMPARE(fields.Value(1, "Field_Name").Str, std::string("North & South"));
    QVERIFY(fields.Value(0, "Operation").IsNull() || fields.Value(0, "Operation").Str.empty());  // excluded

    TDbfFile exported;
    QVERIFY(exported.OpenTable(env_->File("farm.fld.dbf"), 0, omReadDenyWrite));
    QCOMPARE(exported.RecordCount(), 3u);
    exported.Close();

    // Create from a field table; No leaves the open project as it was.
    env_->messages.Clear();
    QVERIFY(WriteDbfSample(env_->File("fields.dbf"), {{"FIELD_NAME", "CROP_YEAR", "COUNTY", "ACRES"},
                                                      {{"", "North & South", "2024", "19015", "55"},
                                                       {"", "Pond", "2024", "19169", "7.5"}}}));
    chooser.names << Path("fields.dbf") << Path("fromdbf.tsj");
    env_->messages.answers = {TAnswer::No};
    form_->Action("FileImportDbfNewCmd")->trigger();
    QCOMPARE(env_->messages.questions,
             QStringList({"\nSuccessfully created project file\n" + Path("fromdbf.tsj") +
                          ".\n\n2 field records were imported from dBASE file\n" + Path("fields.dbf") +
                          ".\n\nDo you want to open the new project file?\n"}));
    QCOMPARE(env_->messages.all.size(), 1);
    QCOMPARE(form_->ProjectFile().FileName, env_->File("farm.tsj"));
    QCOMPARE(Records(env_->File("fromdbf.tsj")).size(), size_t(2));

    // An update cancelled from its progress window leaves the project as it was.
    env_->messages.Clear();
    chooser.names << Path("fields.dbf") << Path("farm.tsj");
    env_->messages.answers = {TAnswer::Yes};
    QTimer::singleShot(0, form_.get(), [this] {
      if (auto* progress = form_->findChild<QProgressDialog*>()) progress->cancel();
    });
    form_->Action("FileImportDbfUpdCmd")->trigger();
    QCOMPARE(env_->messages.all.size(), 1);  // the confirmation only
    QVERIFY(form_->ProjectOpen());
    QCOMPARE(form_->ProjectFile().RecordCount(), 3);

    // Update the open project: confirmed first, one row matches, one is added; the window shows
    // the updated file.
    env_->messages.Clear();
    chooser.names << Path("fields.dbf") << Path("farm.dbf") << Path("farm.tsj");
    env_->messages.answers = {TAnswer::Yes, TAnswer::No};
    form_->Action("FileImportDbfUpdCmd")->trigger();
    QCOMPARE(env_->messages.errors, QStringList({QStr(BadExtensionText(env_->File("farm.dbf"), ".tsj")) +
                                                 "\n\nUse a different file name."}));
    QCOMPARE(env_->messages.questions.size(), 2);
    QVERIFY(env_->messages.questions[0].startsWith("\n" + Path("farm.tsj") + "\n\nImporting data will modify"));
    QVERIFY(env_->messages.questions[1].contains("1 field records were updated in project.\n1 field records were "
                                                 "added to project."));
    QVERIFY(form_->ProjectOpen());
    QCOMPARE(form_->ProjectFile().RecordCount(), 4);
    TFieldRec updated;
    QVERIFY(form_->ProjectFile().ReadRecord(2, updated));
    QCOMPARE(float(updated.Field_Size), 55.0f);

    // The JSON document becomes a project again, without the excluded operation names.
    env_->messages.Clear();
    chooser.names << Path("farm.json") << Path("fromjson.tsj");
    env_->messages.answers = {TAnswer::Yes};
    form_->Action("FileImportJsonCmd")->trigger();
    QCOMPARE(env_->messages.errors, QStringList());
    QCOMPARE(form_->ProjectFile().FileName, env_->File("fromjson.tsj"));
    QCOMPARE(form_->ProjectFile().RecordCount(), 3);
    QCOMPARE(form_->EditRec().Operation.Str(), std::string());
    QCOMPARE(Records(env_->File("farm.tsj"))[0].Operation.Str(), std::string("Farm 1"));
  }

  // The planner reached in-process: a plan export, a project made from the plan, and the soils of
  // all records and of one record filled from the planner's county soils; a missing planner.
  void planExportImportAndSoils() {
    TPlanStoreSettings settings;
    bool missing = false;
    form_->SetQrlStarter([&]() -> std::unique_ptr<IQrlApp> {
      return missing ? nullptr : std::make_unique<TPlanStoreApp>(settings);
    });
    TTestChooser chooser;
    chooser.names << Path("farm.qrl");
    Export([](TExportDataDlg* dlg) {
      dlg->FormatBtns[efPlan]->setChecked(true);
    });
    QCOMPARE(env_->messages.errors, QStringList());
    QCOMPARE(env_->messages.infos, QStringList({"\n3 field records exported to file\n" + Path("farm.qrl") + "\n"}));

    env_->messages.Clear();
    chooser.names << Path("farm.qrl") << Path("fromplan.tsj");
    env_->messages.answers = {TAnswer::Yes};
    form_->Action("FileImportQrlCmd")->trigger();
    QCOMPARE(env_->messages.questions,
             QStringList({"\nSuccessfully created project file\n" + Path("fromplan.tsj") +
                          ".\n\n3 field records were imported from plan file\n" + Path("farm.qrl") +
                          ".\n\nDo you want to open the new project file?\n"}));
    QCOMPARE(form_->ProjectFile().FileName, env_->File("fromplan.tsj"));
    std::vector<TFieldRec> imported(3);
    QCOMPARE(form_->ProjectFile().RecordCount(), 3);
    for (int n = 1; n <= 3; ++n) QVERIFY(form_->ProjectFile().ReadRecord(n, imported[n - 1]));
    QCOMPARE(imported[1].Field_Name.Str(), std::string("North & South"));
    QCOMPARE(float(imported[2].Field_Size), 30.0f);
    QCOMPARE(imported[0].Operation.Str(), std::string("Farm 1"));
    QCOMPARE(imported[0].Cur_Crop, uint16_t(crCorn));

    // Soils: two symbols the planner knows in Story County, one it does not.
    QVERIFY(form_->CloseProjectFile());
    {
      TFolderRefs refs(env_->Folder());
      TMdaFile f;
      QVERIFY(f.OpenProject(env_->File("fromplan.tsj"), true, refs.refs));
      TFieldRec rec;
      QVERIFY(f.ReadRecord(1, rec));
      rec.Soil_Sym[0] = "138b";
      rec.Soil_Sym[1] = "999X";
      QVERIFY(f.WriteRecord(1, rec, false));
      QVERIFY(f.ReadRecord(2, rec));
      rec.Soil_Sym[0] = "55";
      QVERIFY(f.WriteRecord(2, rec, true));
    }
    QVERIFY(form_->OpenProjectFile(env_->File("fromplan.tsj")));
    env_->messages.Clear();
    env_->messages.answers = {TAnswer::Yes};
    form_->Action("FileSoilsQrlCmd")->trigger();
    QCOMPARE(env_->messages.infos,
             QStringList({"\n2 soils were updated.\n1 soils were not updated. Check that soil map unit symbols are "
                          "valid for county.\n"}));
    QCOMPARE(form_->EditRec().Soil_Name[0].Str(), std::string("Clarion loam"));  // the shown record read again
    TFieldRec second;
    QVERIFY(form_->ProjectFile().ReadRecord(2, second));
    QCOMPARE(second.Soil_Name[0].Str(), std::string("Nicollet clay loam"));

    env_->messages.Clear();  // the Erosion page's button: the current record only
    QVERIFY(form_->findChild<QPushButton*>("UpdSoilsQrlBtn")->isEnabled());
    form_->findChild<QPushButton*>("UpdSoilsQrlBtn")->click();
    QCOMPARE(env_->messages.errors, QStringList({"Unable to update 1 soil(s). Check that soil map unit symbol(s) are "
                                                 "valid for county."}));

    env_->messages.Clear();
    missing = true;
    form_->findChild<QPushButton*>("UpdSoilsQrlBtn")->click();
    QCOMPARE(env_->messages.errors,
             QStringList({"Unable to update soils for the following reason:\n\nUnable to start QRL automation "
                          "server.\r\nMake sure correct version of QRL is installed."}));
  }

  // A document with a character projects cannot hold: the refusal asks whether to replace such
  // characters; declined nothing is made, accepted the project holds the replacement.
  void jsonCharactersReplacedWhenAsked() {
    const std::string json = env_->File("lodz.json");
    std::ofstream(json) << "{\"project\": {\"State\": 2, \"Year\": 2024}, \"records\": [{\"Field_ID\": 1, "
                           "\"Notes\": \"\xC5\x81\xC3\xB3" "d\xC5\xBA\"}]}";
    TTestChooser chooser;
    chooser.names << Path("lodz.json") << Path("lodz.tsj") << Path("lodz.json") << Path("lodz.tsj");
    env_->messages.answers = {TAnswer::No};
    form_->Action("FileImportJsonCmd")->trigger();
    const QString question = "\nUnable to import JSON file for the following reason:\n\nRecord 1: Notes holds the "
                             "character U+0141, which code page 1252 cannot hold.\n\nDo you want to import it with "
                             "every such character replaced by the nearest one projects can hold (L for \u0141, for "
                             "example, and ? where there is none)?\n";
    QCOMPARE(env_->messages.questions, QStringList({question}));
    QCOMPARE(env_->messages.errors, QStringList());
    QVERIFY(!QFile::exists(Path("lodz.tsj")));

    env_->messages.Clear();
    env_->messages.answers = {TAnswer::Yes, TAnswer::No};
    form_->Action("FileImportJsonCmd")->trigger();
    QCOMPARE(env_->messages.questions.size(), 2);
    QVERIFY(env_->messages.questions[1].contains("1 field records were imported from JSON file\n" + Path("lodz.json") +
                                                 ".\n\n2 characters were replaced.\n\n"));
    QCOMPARE(Records(env_->File("lodz.tsj")).at(0).Notes.Str(), std::string("L\xF3" "dz"));
  }

  // While the planner keeps a call waiting, the progress window stays live and its Cancel ends the
  // update at once, without an error.
  void planSilentCallCanceled() {
    int waits = 0;
    form_->SetQrlStarter([&waits] { return std::make_unique<TSilentPlanner>(waits); });
    QTimer::singleShot(300, [] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dlg = dynamic_cast<TSoilsProgressDlg*>(w); dlg && dlg->isVisible()) dlg->CancelBtn->click();
    });
    env_->messages.answers = {TAnswer::Yes};
    QElapsedTimer clock;
    clock.start();
    form_->Action("FileSoilsQrlCmd")->trigger();
    QVERIFY(clock.elapsed() < 2000);
    QVERIFY(waits > 0);
    QCOMPARE(env_->messages.errors, QStringList());
    QCOMPARE(env_->messages.infos, QStringList({"\nThe soils update was cancelled after 0 of 3 records; the soils "
                                                "updated so far are kept.\n\n0 soils were updated.\n"}));
  }

  // The spreadsheet choices: a workbook under the name chosen, and three CSV files named after
  // the name chosen for them; the same rows as the database.
  void spreadsheetExports() {
    TTestChooser chooser;
    chooser.names << Path("farm.xlsx") << Path("out.csv");
    Export([](TExportDataDlg* dlg) {
      QCOMPARE(dlg->FormatBtns[efXlsx]->text(), QString("Spreadsheet (&XLSX)"));
      QCOMPARE(dlg->FormatBtns[efCsv]->text(), QString("CS&V Files"));
      dlg->FormatBtns[efXlsx]->setChecked(true);
    });
    Export([](TExportDataDlg* dlg) {
      QVERIFY(dlg->FormatBtns[efXlsx]->isChecked());  // remembered
      dlg->FormatBtns[efCsv]->setChecked(true);
    });
    QCOMPARE(env_->messages.errors, QStringList());
    QCOMPARE(env_->messages.infos,
             QStringList({"\n3 field records exported to file\n" + Path("farm.xlsx") +
                              "\n\n0 application records exported to file.\n",
                          "\n3 field records exported to file\n" + Path("out.Fields.csv") +
                              "\n\n0 application records exported to file\n" + Path("out.Applications.csv") + "\n"}));
    QCOMPARE(FileBytes(env_->File("farm.xlsx")).substr(0, 2), std::string("PK"));
    const std::string project = FileBytes(env_->File("out.Project.csv"));
    QVERIFY(project.starts_with("\xEF\xBB\xBF" "File_Name,File_Path,State_Name,"));
    QVERIFY(project.find("\r\nfarm.tsj,") != std::string::npos);
    const std::string fields = FileBytes(env_->File("out.Fields.csv"));
    QCOMPARE(std::count(fields.begin(), fields.end(), '\n'), 4L);
    QVERIFY(fields.find("North & South") != std::string::npos);
  }

  // A clash refuses the merge whole; a declined merge changes nothing; then a merge and an
  // extract of the merged project, advanced a year, under a title.
  void mergeThenExtract() {
    env_->MakeProject("clash.tsj", 2, 1);
    env_->MakeProject("other.tsj", 2, 1, false, 201);
    TTestChooser chooser;
    chooser.names << Path("clash.tsj") << Path("other.tsj") << Path("other.tsj");
    env_->messages.answers = {TAnswer::Yes, TAnswer::No, TAnswer::Yes};
    form_->GoToRec(2);
    for (int i = 0; i < 3; ++i) form_->Action("FileMergeCmd")->trigger();
    const QString failure = "Unable to merge file for the following reason:\n\n";
    QCOMPARE(env_->messages.errors, QStringList({failure + "Field ID 101 is used in both project files.",
                                                 failure + "Merge canceled by user."}));
    QCOMPARE(env_->messages.questions[2], "\n" + Path("other.tsj") +
                                              "\nFile contains 1 records.\n\nDo you want to merge these records "
                                              "into the current project file?\n");
    QCOMPARE(form_->ProjectFile().RecordCount(), 4);
    QCOMPARE(form_->EditRec().Field_ID, 102);  // the current record stays shown
    QCOMPARE(form_->RecordScrollBar()->maximum(), 4);
    QCOMPARE(form_->RecordScrollBar()->value(), form_->CurrentRecord());

    // Extract: the open project itself is refused as output, then the new file is written.
    env_->messages.Clear();
    chooser.names << Path("farm.tsj") << Path("next.tsj");
    WhenModal([](QDialog* d) {
      auto* dlg = qobject_cast<TExtractDlg*>(d);
      QVERIFY(dlg && dlg->AdvanceCheck->isEnabled() && dlg->TitleEdit->text().isEmpty());
      dlg->TitleEdit->setText("Next year");
      dlg->AdvanceCheck->setChecked(true);
      dlg->Exclude.Name->setChecked(true);
      dlg->accept();
    });
    form_->Action("FileExtractCmd")->trigger();
    QCOMPARE(env_->messages.errors.size(), 1);
    QVERIFY(env_->messages.errors[0].endsWith("\n\nUse a different file name."));
    QCOMPARE(env_->messages.infos,
             QStringList({"\n4 records extracted and saved to file\n" + Path("next.tsj") + "\n"}));
    TFolderRefs refs(env_->Folder());
    TMdaFile next;
    QVERIFY(next.OpenProject(env_->File("next.tsj"), false, refs.refs));
    QCOMPARE(next.ProjectYear(), uint16_t(2025));
    QCOMPARE(next.Title(), std::string("Next year"));
    TFieldRec rec;
    QVERIFY(next.ReadRecord(4, rec));
    QCOMPARE(rec.Field_ID, 201);
    QCOMPARE(rec.Year, uint16_t(2025));
    QCOMPARE(rec.Operation.Str(), std::string());
    QCOMPARE(rec.Prev_Crop, uint16_t(crCorn));  // last year's corn became the previous crop

    // The title is empty again, the other choices are kept.
    WhenModal([](QDialog* d) {
      auto* dlg = qobject_cast<TExtractDlg*>(d);
      QVERIFY(dlg && dlg->TitleEdit->text().isEmpty() && dlg->AdvanceCheck->isChecked());
      dlg->reject();
    });
    form_->Action("FileExtractCmd")->trigger();
  }
};

QTEST_MAIN(TestInterchange)

#include "TestInterchange.moc"
