// The preview window (find, save, print), the "Save Report As" chooser and the word processor
// viewer with its cache folder.
#include <QtTest>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTextBrowser>

#include "../support/PdfText.h"
#include "../support/RtfSample.h"
#include "ShellEnv.h"
#include "TsAbout.h"
#include "TsPreview.h"
#include "TsReportView.h"
#include "reports/DocFile.h"

class TestPreview : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<TTestMessages> messages_;
  std::unique_ptr<TTestChooser> chooser_;

  QString Path(const QString& name) const { return dir_->filePath(name); }
  QString Write(const QString& name, const std::string& bytes) const {
    QFile f(Path(name));
    f.open(QIODevice::WriteOnly);
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return f.fileName();
  }
  static QByteArray Bytes(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
  }
  // The words of the two-page sample report as printed: `header` above each page, its number below.
  static QString PagedSampleWords(const QString& header) {
    const QString words = QString::fromUtf8(SampleReportWords());
    const qsizetype second = words.indexOf("Second page");
    return header + " " + words.left(second) + "Page 1 of 2 " + header + " " + words.mid(second) + " Page 2 of 2";
  }
  // Finds `text`: the start of the hit, selected, or -1 for a miss (which shows a message).
  int Find(TRtfPreviewDlg& dlg, const QString& text, bool matchCase = false) const {
    const qsizetype shown = messages_->all.size();
    dlg.FindEdit->setText(text);
    dlg.MatchCaseCheck->setChecked(matchCase);
    dlg.FindBtnClick();
    if (messages_->all.size() > shown) return -1;
    const QTextCursor c = dlg.View->textCursor();
    return c.selectedText() == dlg.View->document()->toPlainText().mid(c.selectionStart(), text.size()) &&
                   c.selectedText().compare(text, Qt::CaseInsensitive) == 0
               ? c.selectionStart()
               : -2;
  }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    messages_ = std::make_unique<TTestMessages>();
    chooser_ = std::make_unique<TTestChooser>();
  }
  void cleanup() {
    chooser_.reset();
    messages_.reset();
    dir_.reset();
  }

  void windowHasTheSpecifiedControlsAndGeometry() {
    QMainWindow main;
    main.setGeometry(40, 50, 900, 700);
    main.show();
    TRtfPreviewDlg dlg(&main);
    QCOMPARE(dlg.windowTitle(), "Preview");
    QCOMPARE(dlg.FindGroup->title(), " Find Text ");
    QCOMPARE(dlg.FindEdit->maxLength(), 255);
    QCOMPARE(dlg.MatchCaseCheck->text(), "&Match Case");
    QCOMPARE(dlg.FindBtn->toolTip(), "Search report for text");
    QCOMPARE(dlg.PrintBtn->toolTip(), "Print report");
    QCOMPARE(dlg.SaveBtn->toolTip(), "Save report to file");
    QCOMPARE(dlg.CloseBtn->toolTip(), "Close Preview");
    QCOMPARE(dlg.minimumSize(), QSize(632, 453));
    QCOMPARE(dlg.size(), main.size());
    QCOMPARE(dlg.pos(), main.pos());
    QVERIFY(dlg.View->isReadOnly());
    QCOMPARE(dlg.View->lineWrapMode(), QTextEdit::NoWrap);
    dlg.SetWordWrap(true);
    QCOMPARE(dlg.View->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    dlg.show();
    dlg.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    dlg.FindEdit->setFocus();
    QTRY_VERIFY(dlg.FindBtn->isDefault());  // Enter finds while the focus is in the Find group
    dlg.View->setFocus();
    QTRY_VERIFY(!dlg.FindBtn->isDefault());
    QTest::keyClick(dlg.View, Qt::Key_Escape);
    QVERIFY(!dlg.isVisible());
  }

  // Searches run forward from one past the selection start; the last word of the report is found
  // once, and then reported missing with the search text selected for changing.
  void findWalksForwardToTheEndOfTheText() {
    TRtfPreviewDlg dlg;
    QVERIFY(dlg.LoadFile(Write("r.rtf", SampleReportRtf())));
    dlg.show();
    const QString text = dlg.View->document()->toPlainText();
    QCOMPARE(Find(dlg, "caf"), 0);
    QCOMPARE(Find(dlg, "caf"), -1);
    QCOMPARE(messages_->infos, QStringList{"\nText 'caf' was not found.\n"});
    QCOMPARE(dlg.FindEdit->selectedText(), "caf");
    QCOMPARE(dlg.View->textCursor().selectedText(), QString::fromUtf8("Caf"));  // a miss keeps the selection

    dlg.View->moveCursor(QTextCursor::Start);
    QCOMPARE(Find(dlg, "corn", true), -1);
    QCOMPARE(Find(dlg, "Corn", true), text.indexOf("Corn"));
    QCOMPARE(Find(dlg, "e"), text.indexOf("end"));
    QCOMPARE(Find(dlg, "e"), text.indexOf("Red") + 1);

    messages_->Clear();
    const int last = text.indexOf("Docs");
    QCOMPARE(Find(dlg, "DOCS"), last);
    QCOMPARE(Find(dlg, "DOCS"), -1);
    QCOMPARE(messages_->infos, QStringList{"\nText 'DOCS' was not found.\n"});
    QCOMPARE(Find(dlg, "ocs"), last + 1);  // from one past the selection start
    Find(dlg, "");
    QCOMPARE(messages_->all.size(), 1);  // an empty search text finds nothing and says nothing
    QCOMPARE(dlg.View->textCursor().selectionStart(), last + 1);
  }

  // Save copies the file shown; a rich-text view insists on .rtf (or PDF), refused names are
  // said so, and PDF renders the report.
  void saveCopiesRefusesAndRenders() {
    TRtfPreviewDlg dlg;
    const QString source = Write("r.rtf", SampleReportRtf());
    QVERIFY(dlg.LoadFile(source));
    chooser_->names = {Path("copy.txt"), Path("copy.RTF")};
    dlg.SaveBtnClick();
    QCOMPARE(messages_->errors, QStringList{Path("copy.txt") + "\r\nFile does not have a valid extension (.rtf)." +
                                            "\n\nUse a different file name."});
    QCOMPARE(Bytes(Path("copy.RTF")), Bytes(source));

    messages_->Clear();
    chooser_->names = {Path("a*b.rtf")};
    dlg.SaveBtnClick();
    const QString why = "\nUnable to create this file for the following reason:\n\nCan't create file. ";
    QCOMPARE(messages_->errors, QStringList{Path("a*b.rtf") + why + "File's drive, folder, or name is invalid."});
    messages_->Clear();
    chooser_->names = {Path("missing/x.rtf")};
    dlg.SaveBtnClick();
    QCOMPARE(messages_->errors,
             QStringList{Path("missing/x.rtf") + why + "The folder " + Path("missing") + " does not exist."});

    chooser_->names = {Path("r.pdf")};
    dlg.SaveBtnClick();
    QCOMPARE(QString::fromStdString(PdfWords(Path("r.pdf").toStdString())), PagedSampleWords("Field Report \u2013 2024"));

    TRtfPreviewDlg plain;
    plain.SetPlainText(true);
    QVERIFY(plain.LoadFile(Write("p.txt", "+==+\r\n|ab|\r\n")));
    QCOMPARE(plain.View->toPlainText(), "+==+\n|ab|\n");
    chooser_->names = {Path("p.dat")};
    plain.SaveBtnClick();
    QCOMPARE(Bytes(Path("p.dat")), QByteArray("+==+\r\n|ab|\r\n"));
    QVERIFY(!plain.LoadFile(Path("gone.txt")));
  }

  // Print goes through the print dialog, in landscape when the report is, with the job title;
  // cancelling the dialog prints nothing.
  void printUsesTheDialogOrientationAndTitle() {
    TRtfPreviewDlg dlg;
    QVERIFY(dlg.LoadFile(Write("r.rtf", SampleReportRtf())));
    dlg.SetLandscape(true);
    dlg.SetPrintJobTitle("Field Report");
    dlg.SetFurniture({"", "Farm (farm.tsj)", {}});
    QString jobTitle;
    PrintSetup() = [&](QPrinter& printer, QWidget*) {
      jobTitle = printer.docName();
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(Path("printed.pdf"));
      return true;
    };
    dlg.PrintBtnClick();
    QCOMPARE(jobTitle, "Field Report");
    QCOMPARE(QString::fromStdString(PdfWords(Path("printed.pdf").toStdString())),
             PagedSampleWords("Field Report Farm (farm.tsj)"));
    const QStringList pages = QString::fromStdString(PdfPages(Path("printed.pdf").toStdString())).split(' ');
    QCOMPARE(pages.value(0), "2");
    QVERIFY(pages.value(1).toDouble() > pages.value(3).toDouble());  // landscape on the printer's paper

    PrintSetup() = [&](QPrinter& printer, QWidget*) {
      printer.setOutputFileName(Path("cancelled.pdf"));
      return false;
    };
    dlg.PrintBtnClick();
    QVERIFY(!QFile::exists(Path("cancelled.pdf")));
    PrintSetup() = nullptr;
  }

  void saveReportAsGivesTheKindOfTheExtension() {
    chooser_->names = {Path("a?.rtf"), Path("Report.HTML")};
    QString name;
    int kind = 0;
    QVERIFY(SelectReportFile(-1, "Save Report As", name, kind));
    QCOMPARE(messages_->errors,
             QStringList{Path("a?.rtf") + "\r\nFile's drive, folder, or name is invalid.\n\nUse a different file name."});
    QCOMPARE(name, Path("Report.HTML"));
    QCOMPARE(kind, int(okHtml));
    const std::pair<const char*, int> cases[] = {{"r.Rtf", okRtf}, {"r.pdf", okPdf}, {"r", okText}, {"r.doc", okText}};
    for (const auto& [file, expected] : cases) {
      chooser_->names = {Path(file)};
      QVERIFY(SelectReportFile(-1, "Save Report As", name, kind));
      QCOMPARE(kind, expected);
    }
    chooser_->names = {};
    QVERIFY(!SelectReportFile(-1, "Save Report As", name, kind));
  }

  // A temporary report for the word processor is written to the cache folder and left there for
  // the application; when none takes it the message says so and the file goes.
  void wordProcessorGetsTheReportFromTheCacheFolder() {
    qputenv("XDG_CACHE_HOME", dir_->filePath("cache").toUtf8());
    QStringList opened;
    bool works = true;
    const TOpenService saved = OpenService();
    OpenService() = [&](const QString& target, const QString&) {
      opened << target;
      return works;
    };
    auto report = [](TDocOutFile& doc) {
      QVERIFY(doc.Open(okRtf, "WRK", true, true, "Worksheet", "Tesserel 1.0"));
      doc.Write("Corn");
      doc.CloseAndView(&DesktopViewer());
    };
    TDocOutFile shown;
    report(shown);
    QCOMPARE(opened.size(), 1);
    const QString file = QUrl(opened[0]).toLocalFile();
    QVERIFY2(file.startsWith(dir_->filePath("cache") + "/tesserel/reports/WRK") && file.endsWith(".rtf"), qPrintable(file));
    QVERIFY(Bytes(file).contains("Corn"));

    works = false;
    TDocOutFile refused;
    report(refused);
    QCOMPARE(messages_->errors,
             QStringList{"Unable to view report with a word processor. A word processor may not be installed."});
    QVERIFY(!QFile::exists(QUrl(opened[1]).toLocalFile()));
    OpenService() = saved;
  }

  // The About box's link writes the installed software report and shows it in the preview; the
  // temporary file is gone afterwards.
  void aboutBoxShowsTheInstalledSoftwareReport() {
    qputenv("TMPDIR", dir_->path().toUtf8());
    TAppStartup startup({}, Path("tesserel").toStdString());
    TAboutBox about(startup);
    QLabel* link = nullptr;
    for (QLabel* l : about.findChildren<QLabel*>())
      if (l->text().contains("Information About Installed Software")) link = l;
    QVERIFY(link);
    QString shown;
    WhenModal([&shown](QDialog* d) {
      auto* dlg = qobject_cast<TRtfPreviewDlg*>(d);
      if (dlg) shown = dlg->View->toPlainText();
      d->reject();
    });
    emit link->linkActivated("#");
    QVERIFY2(shown.contains("Information About Installed Software"), qPrintable(shown));
    QVERIFY(shown.contains("Operating System"));
    QVERIFY(shown.contains("Tesserel Recordkeeper"));
    QCOMPARE(QDir(dir_->path()).entryList({"Inf*"}, QDir::Files), QStringList());
    qunsetenv("TMPDIR");
  }
};

QTEST_MAIN(TestPreview)
#include "TestPreview.moc"
