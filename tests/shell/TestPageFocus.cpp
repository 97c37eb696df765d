// The pages as the keyboard and the screen meet them: where the focus goes when the page changes,
// and the window's starting size, with or without a project, on a screen of 1920 by 1080 pixels.
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QtTest>

#include "ShellEnv.h"
#include "TsEdit.h"

class TestPageFocus : public QObject {
  Q_OBJECT

  TShellEnv* env_ = nullptr;

  static TEntryEdit* FocusedEntry() { return qobject_cast<TEntryEdit*>(QApplication::focusWidget()); }

 private slots:
  void init() {
    env_ = new TShellEnv;
    env_->WriteReferenceFiles();
  }
  void cleanup() { delete env_; }

  // Ctrl+Tab, a click on a page tab and Ctrl+Shift+Tab each put the focus in the page's first
  // field, and what is typed next is stored; Shift+Tab from the first field of a page finds no
  // stop that shows nothing.
  void pageChangeFocusesTheFirstField() {
    auto form = env_->Start({env_->MakeProject("farm.tsj", 2, 2)});
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    TRecordPages* pages = form->Pages();
    TEntryEdit* notes = pages->Entry("Notes");
    notes->setFocus();
    QTest::keyClick(notes, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(pages->currentIndex(), int(pgSoilTests));
    QCOMPARE(FocusedEntry(), pages->Entry("SoilTst_Yr"));
    QTest::keyClicks(QApplication::focusWidget(), "2023");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(int(form->EditRec().SoilTst_Yr), 2023);

    const QTabBar* tabs = pages->tabBar();
    QTest::mouseClick(const_cast<QTabBar*>(tabs), Qt::LeftButton, {}, tabs->tabRect(pgHarvest).center());
    QCOMPARE(pages->currentIndex(), int(pgHarvest));
    TEntryEdit* first = FocusedEntry();
    QVERIFY(first && pages->PageContent(pgHarvest)->isAncestorOf(first));
    QTest::keyClick(first, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(pages->currentIndex(), int(pgErosion));
    QWidget* focused = QApplication::focusWidget();
    QVERIFY(focused && pages->PageContent(pgErosion)->isAncestorOf(focused));

    // Back from the first field of General: the previous stop is a control one can see and use.
    pages->setCurrentIndex(pgGeneral);
    pages->Entry("Operation")->setFocus();
    QTest::keyClick(pages->Entry("Operation"), Qt::Key_Backtab);
    focused = QApplication::focusWidget();
    QVERIFY(focused && !qobject_cast<QScrollArea*>(focused) && focused != pages->PageContent(pgGeneral));
  }

  // Started without a project, the window is as wide as when started with one, and every page
  // then fits it without scrolling sideways.
  void startWithoutProjectIsWideEnough() {
    const std::string path = env_->MakeProject("farm.tsj", 2, 1);
    const int withProject = env_->Start({path})->width();
    WhenModal([](QDialog* about) { about->accept(); });
    auto form = env_->Start({});
    QVERIFY(!form->ProjectOpen());
    QCOMPARE(form->width(), withProject);
    QVERIFY(form->OpenProjectFile(path));
    for (int p = 0; p < kPageCount; ++p) {
      form->Pages()->setCurrentIndex(p);
      QCoreApplication::processEvents();
      QVERIFY2(form->Pages()->PageArea(p)->horizontalScrollBar()->maximum() == 0,
               form->Pages()->PageCaption(p));
    }
  }
};

// A screen larger than the offscreen platform's own, so that the window's size is its own choice.
int main(int argc, char** argv) {
  QTemporaryDir dir;
  const QString config = dir.filePath("screen.json");
  QFile file(config);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(R"({"screens": [{"name": "big", "x": 0, "y": 0, "width": 1920, "height": 1080}]})") < 0)
    return 1;
  file.close();
  qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toUtf8());
  QApplication app(argc, argv);
  TestPageFocus test;
  return QTest::qExec(&test, argc, argv);
}

#include "TestPageFocus.moc"
