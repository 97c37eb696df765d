// The help: every help context and every link between the installed pages leads to a page and
// anchor that exist; the help window's contents, index, search and history; F1, the dialogs'
// Help buttons and the Help menu open the right topic.
#include <QtTest>
#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>
#include <QTreeWidget>
#include <set>

#include "TestMessages.h"
#include "TsAbout.h"
#include "TsHelp.h"
#include "TsMain.h"
#include "TsMenus.h"
#include "TsPages.h"
#include "TsPreview.h"
#include "TsRecordDlgs.h"
#include "TsStart.h"
#include "common/Locale.h"

namespace {

const QString kFolder = QStringLiteral(TESSEREL_RUNTIME_DIR "/help");

QString ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// "" when `target` (page or page#anchor) leads to an existing page and anchor, else what is missing.
QString Missing(const QString& target) {
  const QString file = target.section('#', 0, 0);
  const QString anchor = target.section('#', 1);
  if (!QFile::exists(kFolder + "/" + file)) return "page " + file;
  QTextDocument doc;
  doc.setHtml(ReadAll(kFolder + "/" + file));
  if (!anchor.isEmpty() && !AnchorNames(doc).contains(anchor)) return "anchor " + target;
  return {};
}

QString Source(THelpWindow* window) { return window->Browser()->source().toString(); }

}  // namespace

class TestHelp : public QObject {
  Q_OBJECT

  TTestMessages messages_;

 private slots:
  void init() {
    PinUsLocale();
    messages_.Clear();
  }

  // Every context the program opens: the menus' own, the pages', the dialogs', the topics'.
  void everyContextAndLinkLeadsSomewhere() {
    std::set<int> contexts = {1, 2, 3, 4, 5, 6, 7, 8, 9, 101, 104, 106, 107, 121, 122, 124, 127, 129,
                              141, 142, 143, 144, 145, 501};
    for (const TMenuItemDef& def : MenuItemDefs())
      if (def.helpContext) contexts.insert(def.helpContext);
    for (int page = 0; page < 10; ++page) contexts.insert(TRecordPages::PageHelpContext(page));
    for (int context : HelpContexts()) contexts.insert(context);
    for (int context : contexts) {
      const THelpTarget t = HelpTarget(context);
      QVERIFY2(!t.page.isEmpty(), qPrintable(QString("context %1 has no page").arg(context)));
      const QString missing = Missing(t.anchor.isEmpty() ? t.page : t.page + "#" + t.anchor);
      QVERIFY2(missing.isEmpty(), qPrintable(QString("context %1: missing %2").arg(context).arg(missing)));
    }
    const QStringList pages = QDir(kFolder).entryList({"*.html"}, QDir::Files);
    QVERIFY(pages.size() >= 20);
    for (const QString& page : pages) {
      QTextDocument doc;
      doc.setHtml(ReadAll(kFolder + "/" + page));
      QVERIFY2(!doc.metaInformation(QTextDocument::DocumentTitle).isEmpty(), qPrintable(page + " has no title"));
      for (QString link : LinkTargets(doc)) {
        if (link.contains(':')) continue;  // web addresses
        if (link.startsWith('#')) link = page + link;
        const QString missing = Missing(link);
        QVERIFY2(missing.isEmpty(), qPrintable(page + " links to a missing " + missing));
      }
    }
    QVERIFY(!Missing("faq.html#nowhere").isEmpty());  // the check itself tells a missing anchor
    // The state notes are written from the state files: Illinois asks for its soils' P-supplying
    // power; Iowa holds setback criteria, Illinois none.
    const QString notes = ReadAll(kFolder + "/state-notes.html");
    const QString il = notes.section("<h2 id=\"il\">", 1).section("<h2", 0, 0);
    QVERIFY(il.contains("P-supplying power") && il.contains("https://cropsciences.illinois.edu"));
    QVERIFY(il.contains("setback criteria: none"));
    QVERIFY(notes.section("<h2 id=\"ia\">", 1).section("<h2", 0, 0).contains("setback criteria: yes"));
  }

  void windowFindsAndRetracesTopics() {
    THelpWindow window(kFolder);
    // The contents follow the contents page, each page with its sections.
    QTreeWidget* contents = window.Contents();
    QCOMPARE(contents->topLevelItem(0)->text(0), "Getting Started");
    QVERIFY(contents->topLevelItemCount() >= 20);
    QVERIFY(contents->topLevelItem(0)->childCount() >= 5);

    QVERIFY(window.ShowContext(203));
    QCOMPARE(Source(&window), "page-crops.html");
    QVERIFY(window.ShowContext(127));
    QCOMPARE(Source(&window), "record-commands.html#find");
    QVERIFY(window.Browser()->toPlainText().contains("Find What"));
    window.Browser()->backward();
    QCOMPARE(Source(&window), "page-crops.html");
    window.Browser()->forward();
    QCOMPARE(Source(&window), "record-commands.html#find");
    QVERIFY(window.ShowContext(9999));  // an unknown context shows the contents
    QCOMPARE(Source(&window), kHelpContentsPage);

    // The index lists the sections by name; a filter narrows it; choosing one opens it.
    window.ShowIndex("repeat find");
    QCOMPARE(window.Index()->count(), 1);
    emit window.Index()->itemActivated(window.Index()->item(0));
    QCOMPARE(Source(&window), "record-commands.html#repeat-find");

    // The search wants every word, ranks by hits and opens the page chosen.
    const QStringList hits = window.Search("soil LOSS");
    QVERIFY(hits.contains("Erosion Page"));
    QVERIFY(!hits.contains("Planting Page"));
    QVERIFY(window.Search("soil nonsenseword").isEmpty());
    QCOMPARE(window.SearchResults()->count(), 1);  // the "no page" line
    QVERIFY(window.Search("manure setbacks").contains("State-Specific Notes"));
    emit window.SearchResults()->itemActivated(window.SearchResults()->item(0));
    QVERIFY(Source(&window).endsWith(".html"));

    // Links between pages open here, web addresses through the desktop's open service.
    QVERIFY(window.ShowContext(4));
    emit window.Browser()->anchorClicked(QUrl("page-crops.html#recommendations"));
    QCOMPARE(Source(&window), "page-crops.html#recommendations");
    QStringList opened;
    const TOpenService desktop = OpenService();
    OpenService() = [&opened](const QString& target, const QString&) { return opened << target, false; };
    emit window.Browser()->anchorClicked(QUrl("https://example.org/a"));
    OpenService() = desktop;
    QCOMPARE(opened, QStringList{"https://example.org/a"});
    QCOMPARE(Source(&window), "page-crops.html#recommendations");
    QCOMPARE(messages_.errors, QStringList{"Unable to start your Web browser."});

    messages_.Clear();
    THelpWindow lost(QDir::tempPath() + "/no-help-here");
    QVERIFY(!lost.ShowContext(4));
    QCOMPARE(messages_.errors.size(), 1);
    QVERIFY(messages_.errors[0].contains("faq.html"));
  }

  // The main window opens its topics: the Help commands, F1 on the main window and in a dialog
  // (the dialog's context), F1 over an open menu's command, and a dialog's Help button.
  void programOpensItsTopics() {
    TAppStartup startup({"-embedding"}, TESSEREL_RUNTIME_DIR "/tesserel");
    TMainForm form(startup);
    form.show();
    for (const char* name : {"HelpContentsCmd", "HelpWhatsNewCmd", "HelpFaqCmd", "HelpStartCmd", "HelpTipsCmd",
                             "HelpFilesCmd", "HelpProblemsCmd"})
      QVERIFY2(form.Action(name)->isEnabled() && !NotYetAvailable(name), name);
    form.Action("HelpWhatsNewCmd")->trigger();
    QVERIFY(form.Help().Window()->isVisible());
    QCOMPARE(Source(form.Help().Window()), "whatsnew.html");
    form.Action("HelpContentsCmd")->trigger();
    QCOMPARE(Source(form.Help().Window()), kHelpContentsPage);

    QCOMPARE(form.F1HelpContext(&form), 1);  // no record shown
    QTest::keyClick(&form, Qt::Key_F1);
    QCOMPARE(Source(form.Help().Window()), "mainwindow.html");

    QDialog dialog(&form);
    auto* edit = new QLineEdit(&dialog);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Help, &dialog);
    SetHelpContext(&dialog, 124, buttons);
    QCOMPARE(form.F1HelpContext(edit), 124);
    QTest::keyClick(edit, Qt::Key_F1);
    QCOMPARE(Source(form.Help().Window()), "record-commands.html#rename");
    form.Help().Window()->Browser()->setSource(QUrl(kHelpContentsPage));
    buttons->button(QDialogButtonBox::Help)->click();
    QCOMPARE(Source(form.Help().Window()), "record-commands.html#rename");

    // The report preview's Help button and F1 open the preview's topic.
    {
      TRtfPreviewDlg preview(&form);
      form.Help().Window()->Browser()->setSource(QUrl(kHelpContentsPage));
      preview.HelpBtn->click();
      QCOMPARE(Source(form.Help().Window()), "reports.html#preview");
      QCOMPARE(form.F1HelpContext(preview.FindEdit), kPreviewHelpContext);
    }

    // Over a modal dialog the help window belongs to the dialog (so it takes input) and stays
    // open, back with the main window, when the dialog closes.
    dialog.setModal(true);
    dialog.show();
    QTest::keyClick(edit, Qt::Key_F1);
    QCOMPARE(form.Help().Window()->parentWidget(), &dialog);
    dialog.done(QDialog::Rejected);
    QVERIFY(form.Help().Window());
    QCOMPARE(form.Help().Window()->parentWidget(), &form);
    QVERIFY(form.Help().Window()->isVisible());
    QVERIFY2(messages_.errors.isEmpty(), qPrintable(messages_.errors.join(" | ")));
  }
};

QTEST_MAIN(TestHelp)
#include "TestHelp.moc"
