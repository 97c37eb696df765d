// The help window over the HTML pages installed in the "help" folder beside the program, and the
// help contexts: each numbered topic that F1, a Help button or a Help command opens.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <vector>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QTextDocument;
class QTreeWidget;

// The help folder's name beside the program and its first page.
extern const char* const kHelpFolder;
extern const char* const kHelpContentsPage;

struct THelpTarget {
  QString page;    // file name in the help folder; empty for an unknown context
  QString anchor;  // empty: the page's top
};

// The page and anchor of a help context.
THelpTarget HelpTarget(int context);
// Every help context the program opens, in ascending order.
std::vector<int> HelpContexts();

// The anchors a page defines (as the browser finds them) and the targets of its links.
QStringList AnchorNames(const QTextDocument& doc);
QStringList LinkTargets(const QTextDocument& doc);

// A heading of a help page: its level (1 to 3), its text and where it leads.
struct THelpHeading {
  int level;
  QString text;
  QString target;  // page, or page#anchor
};

class THelpWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit THelpWindow(const QString& folder, QWidget* parent = nullptr);

  // Opens a page ("page" or "page#anchor"); false, with an error box, when the page is missing.
  bool Open(const QString& target);
  bool ShowContext(int context);

  // Pages whose text holds every word of `words` (case ignored), best match first, as their titles.
  QStringList Search(const QString& words);
  void ShowIndex(const QString& filter);
  void Print();

  QTextBrowser* Browser() const { return browser_; }
  QTreeWidget* Contents() const { return contents_; }
  QListWidget* Index() const { return index_; }
  QListWidget* SearchResults() const { return results_; }
  QTabWidget* Tabs() const { return tabs_; }

 private:
  struct TPage {
    QString file;
    QString title;
    QString text;  // plain text, lower case, for the search
    std::vector<THelpHeading> headings;
  };
  void LoadPages();
  void BuildContents();
  void BuildToolBar();
  void AddListTab(const QString& caption, const QString& prompt, QLineEdit*& edit, QListWidget*& list);
  void RunSearch();

  QString folder_;
  std::vector<TPage> pages_;
  std::vector<THelpHeading> indexEntries_;
  QTextBrowser* browser_;
  QTabWidget* tabs_;
  QTreeWidget* contents_;
  QLineEdit* indexFilter_;
  QListWidget* index_;
  QLineEdit* searchEdit_;
  QListWidget* results_;
};

// The program's one help window, opened over the window that asks for help.
class THelpViewer {
 public:
  // `home` is the main window: the help window returns to it when the dialog that asked closes.
  THelpViewer(QString folder, QWidget* home) : folder_(std::move(folder)), home_(home) {}
  ~THelpViewer();
  bool ShowContext(int context);
  THelpWindow* Window() const { return window_; }

 private:
  THelpWindow* Ensure();
  void Adopt(QWidget* owner);
  QString folder_;
  QWidget* home_;
  QPointer<THelpWindow> window_;
};
