#include "TsHelp.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

#include "TsAbout.h"
#include "TsMessages.h"

const char* const kHelpFolder = "help";
const char* const kHelpContentsPage = "index.html";

namespace {

// Contexts that open a topic of their own; the others map by their range below.
const std::map<int, const char*> kTargets = {
    {1, "mainwindow.html"},
    {2, "files.html"},
    {3, "whatsnew.html"},
    {4, "faq.html"},
    {5, "getting-started.html"},
    {6, "quick-tips.html"},
    {7, "problems.html"},
    {8, "state-notes.html"},
    {9, "tips.html"},
    {100, "mainwindow.html#file-menu"},
    {101, "file-commands.html#new-project"},
    {102, "file-commands.html#open-project"},
    {103, "file-commands.html#close-project"},
    {104, "file-commands.html#properties"},
    {105, "file-commands.html#merge"},
    {106, "file-commands.html#extract"},
    {107, "file-commands.html#export"},
    {108, "file-commands.html#import"},
    {109, "file-commands.html#exit"},
    {120, "mainwindow.html#record-menu"},
    {121, "record-commands.html#add"},
    {122, "record-commands.html#duplicate"},
    {123, "record-commands.html#delete"},
    {124, "record-commands.html#rename"},
    {125, "record-commands.html#check"},
    {126, "record-commands.html#sort"},
    {127, "record-commands.html#find"},
    {128, "record-commands.html#repeat-find"},
    {129, "record-commands.html#go-to"},
    {130, "record-commands.html#moving"},
    {131, "record-commands.html#moving"},
    {132, "record-commands.html#moving"},
    {133, "record-commands.html#moving"},
    {140, "mainwindow.html#tools-menu"},
    {141, "reports.html#worksheets"},
    {142, "reports.html#ranked"},
    {143, "reports.html#tabular"},
    {144, "reports.html#setbacks"},
    {145, "cost-editor.html"},
    {146, "field-history.html"},
    {160, "mainwindow.html#help-menu"},
    {161, kHelpContentsPage},
    {162, "whatsnew.html"},
    {163, "faq.html"},
    {164, "getting-started.html"},
    {165, "quick-tips.html"},
    {166, "files.html"},
    {167, "problems.html"},
    {168, "about.html"},
    {201, "page-general.html"},
    {202, "page-soil-tests.html"},
    {203, "page-crops.html"},
    {204, "page-planting.html"},
    {205, "page-nutrients.html"},
    {206, "page-pesticides.html"},
    {207, "page-operations.html"},
    {208, "page-other.html"},
    {209, "page-erosion.html"},
    {210, "page-harvest.html"},
    {501, "about.html"},
    {502, "reports.html#preview"},
};

QString ReadPage(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

// The anchors of a block: the names its fragments carry.
QStringList BlockAnchors(const QTextBlock& block) {
  QStringList names;
  for (auto it = block.begin(); !it.atEnd(); ++it) names += it.fragment().charFormat().anchorNames();
  return names;
}

}  // namespace

THelpTarget HelpTarget(int context) {
  auto it = kTargets.find(context);
  if (it == kTargets.end()) return {};
  const QString target = it->second;
  const qsizetype hash = target.indexOf('#');
  if (hash < 0) return {target, {}};
  return {target.left(hash), target.mid(hash + 1)};
}

std::vector<int> HelpContexts() {
  std::vector<int> contexts;
  for (const auto& [context, target] : kTargets) contexts.push_back(context);
  return contexts;
}

QStringList AnchorNames(const QTextDocument& doc) {
  QStringList names;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) names += BlockAnchors(b);
  return names;
}

QStringList LinkTargets(const QTextDocument& doc) {
  QStringList links;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat f = it.fragment().charFormat();
      if (f.isAnchor() && !f.anchorHref().isEmpty() && !links.contains(f.anchorHref())) links << f.anchorHref();
    }
  return links;
}

THelpWindow::THelpWindow(const QString& folder, QWidget* parent) : QMainWindow(parent, Qt::Window), folder_(folder) {
  setWindowTitle("Tesserel Help");
  browser_ = new QTextBrowser;
  browser_->setSearchPaths({folder_});
  // Pages open here; web addresses in the desktop's browser.
  browser_->setOpenLinks(false);
  connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
    if (url.isRelative()) {
      Open(browser_->source().resolved(url).toString());
    } else if (!OpenService()(url.toString(), {})) {
      Messages().Error("Unable to start your Web browser.");
    }
  });
  connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
    setWindowTitle(browser_->documentTitle().isEmpty() ? "Tesserel Help"
                                                       : "Tesserel Help - " + browser_->documentTitle());
  });

  tabs_ = new QTabWidget;
  contents_ = new QTreeWidget;
  contents_->setHeaderHidden(true);
  tabs_->addTab(contents_, "Contents");
  AddListTab("Index", "Type a topic", indexFilter_, index_);
  AddListTab("Search", "Words to find, then Enter", searchEdit_, results_);

  auto* split = new QSplitter;
  split->addWidget(tabs_);
  split->addWidget(browser_);
  split->setStretchFactor(1, 3);
  setCentralWidget(split);
  BuildToolBar();

  auto openItem = [this](const QVariant& target) { Open(target.toString()); };
  connect(contents_, &QTreeWidget::itemActivated, this,
          [openItem](QTreeWidgetItem* item) { openItem(item->data(0, Qt::UserRole)); });
  connect(contents_, &QTreeWidget::itemClicked, this,
          [openItem](QTreeWidgetItem* item) { openItem(item->data(0, Qt::UserRole)); });
  for (QListWidget* list : {index_, results_}) {
    connect(list, &QListWidget::itemActivated, this,
            [openItem](QListWidgetItem* item) { openItem(item->data(Qt::UserRole)); });
    connect(list, &QListWidget::itemClicked, this,
            [openItem](QListWidgetItem* item) { openItem(item->data(Qt::UserRole)); });
  }
  connect(indexFilter_, &QLineEdit::textChanged, this, &THelpWindow::ShowIndex);
  connect(searchEdit_, &QLineEdit::returnPressed, this, &THelpWindow::RunSearch);

  LoadPages();
  BuildContents();
  ShowIndex({});
  resize(860, 600);
}

// A tab of a line to type into above a list of topics.
void THelpWindow::AddListTab(const QString& caption, const QString& prompt, QLineEdit*& edit, QListWidget*& list) {
  auto* tab = new QWidget;
  auto* layout = new QVBoxLayout(tab);
  edit = new QLineEdit;
  edit->setPlaceholderText(prompt);
  list = new QListWidget;
  layout->addWidget(edit);
  layout->addWidget(list);
  tabs_->addTab(tab, caption);
}

void THelpWindow::BuildToolBar() {
  QToolBar* bar = addToolBar("Navigation");
  bar->setMovable(false);
  QAction* back = bar->addAction("Back", browser_, &QTextBrowser::backward);
  QAction* forward = bar->addAction("Forward", browser_, &QTextBrowser::forward);
  back->setShortcut(QKeySequence::Back);
  forward->setShortcut(QKeySequence::Forward);
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
  bar->addAction("Contents", this, [this] {
    tabs_->setCurrentIndex(0);
    Open(kHelpContentsPage);
  });
  QAction* print = bar->addAction("Print...", this, &THelpWindow::Print);
  print->setShortcut(QKeySequence::Print);
  back->setObjectName("HelpBack");
  forward->setObjectName("HelpForward");
}

// Every page of the folder, read once: its title, its headings and its text for the search.
void THelpWindow::LoadPages() {
  const QStringList files = QDir(folder_).entryList({"*.html"}, QDir::Files, QDir::Name);
  for (const QString& file : files) {
    QTextDocument doc;
    doc.setHtml(ReadPage(folder_ + "/" + file));
    TPage page{file, doc.metaInformation(QTextDocument::DocumentTitle), doc.toPlainText().toLower(), {}};
    if (page.title.isEmpty()) page.title = file;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
      const int level = b.blockFormat().headingLevel();
      if (level < 1 || level > 3 || b.text().trimmed().isEmpty()) continue;
      const QStringList anchors = BlockAnchors(b);
      const QString target = anchors.isEmpty() || level == 1 ? file : file + "#" + anchors.first();
      page.headings.push_back({level, b.text().trimmed(), target});
      if (level > 1 && !anchors.isEmpty()) indexEntries_.push_back({level, b.text().trimmed(), target});
    }
    indexEntries_.push_back({1, page.title, file});
    pages_.push_back(std::move(page));
  }
  std::sort(indexEntries_.begin(), indexEntries_.end(), [](const THelpHeading& a, const THelpHeading& b) {
    return QString::localeAwareCompare(a.text.toLower(), b.text.toLower()) < 0;
  });
}

// The contents follow the links of the contents page; each page lists its sections below it.
void THelpWindow::BuildContents() {
  QTextDocument doc;
  doc.setHtml(ReadPage(folder_ + "/" + kHelpContentsPage));
  for (const QString& link : LinkTargets(doc)) {
    auto page = std::find_if(pages_.begin(), pages_.end(), [&](const TPage& p) { return p.file == link; });
    if (page == pages_.end() || link == kHelpContentsPage) continue;
    auto* item = new QTreeWidgetItem(contents_, {page->title});
    item->setData(0, Qt::UserRole, page->file);
    for (const THelpHeading& h : page->headings)
      if (h.level == 2 && h.target.contains('#'))
        (new QTreeWidgetItem(item, {h.text}))->setData(0, Qt::UserRole, h.target);
  }
}

void THelpWindow::ShowIndex(const QString& filter) {
  index_->clear();
  for (const THelpHeading& entry : indexEntries_) {
    if (!filter.isEmpty() && !entry.text.contains(filter, Qt::CaseInsensitive)) continue;
    auto* item = new QListWidgetItem(entry.text, index_);
    item->setData(Qt::UserRole, entry.target);
  }
}

QStringList THelpWindow::Search(const QString& words) {
  const QStringList terms = words.toLower().split(' ', Qt::SkipEmptyParts);
  std::vector<std::pair<qsizetype, const TPage*>> hits;
  for (const TPage& page : pages_) {
    qsizetype count = 0;
    for (const QString& term : terms) {
      const qsizetype n = page.text.count(term);
      if (n == 0) {
        count = 0;
        break;
      }
      count += n;
    }
    if (count > 0) hits.emplace_back(count, &page);
  }
  std::stable_sort(hits.begin(), hits.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  results_->clear();
  QStringList titles;
  for (const auto& [count, page] : hits) {
    titles << page->title;
    (new QListWidgetItem(page->title, results_))->setData(Qt::UserRole, page->file);
  }
  if (titles.isEmpty() && !terms.isEmpty()) new QListWidgetItem("No page holds all of these words.", results_);
  return titles;
}

void THelpWindow::RunSearch() { Search(searchEdit_->text()); }

bool THelpWindow::Open(const QString& target) {
  if (target.isEmpty()) return false;
  const QString file = target.section('#', 0, 0);
  if (!QFile::exists(folder_ + "/" + file)) {
    Messages().Error("Unable to open help page " + file + " in folder " + QDir::toNativeSeparators(folder_) +
                     ".\n\nMake sure the help files are installed beside the program.");
    return false;
  }
  browser_->setSource(QUrl(target));
  return true;
}

bool THelpWindow::ShowContext(int context) {
  const THelpTarget target = HelpTarget(context);
  if (target.page.isEmpty()) return Open(kHelpContentsPage);
  return Open(target.anchor.isEmpty() ? target.page : target.page + "#" + target.anchor);
}

void THelpWindow::Print() {
  QPrinter printer;
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle("Print Help Page");
  if (dialog.exec() == QDialog::Accepted) browser_->print(&printer);
}

THelpViewer::~THelpViewer() { delete window_.data(); }

// The window belongs to the window that asks for help, so that it takes input while a modal
// dialog is up; when that dialog closes it returns to the main window and stays open.
THelpWindow* THelpViewer::Ensure() {
  QWidget* owner = DialogOwner();
  if (!owner) owner = home_;
  if (!window_) {
    window_ = new THelpWindow(folder_, owner);
    if (owner != home_) Adopt(owner);
  } else if (window_->parentWidget() != owner) {
    Adopt(owner);
  }
  return window_;
}

void THelpViewer::Adopt(QWidget* owner) {
  if (window_->parentWidget() != owner) {
    const QRect geometry = window_->geometry();
    const bool shown = window_->isVisible();
    window_->setParent(owner, Qt::Window);
    window_->setGeometry(geometry);
    if (shown) window_->show();
  }
  if (auto* dialog = qobject_cast<QDialog*>(owner); dialog && owner != home_)
    QObject::connect(dialog, &QDialog::finished, window_, [this, dialog] {
      if (window_ && window_->parentWidget() == dialog) Adopt(home_);
    });
}

bool THelpViewer::ShowContext(int context) {
  THelpWindow* window = Ensure();
  const bool ok = window->ShowContext(context);
  if (ok) {
    window->show();
    window->raise();
    window->activateWindow();
  }
  return ok;
}
