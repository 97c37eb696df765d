// Project file commands: the New Project and Properties dialogs, the file dialogs with their
// extension and name checks.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <string>

class QButtonGroup;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;
class TMcnFile;
class TMdaFile;

constexpr const char* kProjectExt = ".tsj";
constexpr const char* kOldProjectExt = ".tsd";

// The platform's file dialogs, shown over the window that opens them; tests install their own
// chooser.
class TFileChooser {
 public:
  virtual ~TFileChooser() = default;
  // An existing file, or empty when cancelled. With `readOnly` given, the dialog offers the
  // open-as-read-only choice and reports it.
  virtual QString OpenFile(const QString& title, const QString& filter, bool* readOnly) = 0;
  // Several existing files (empty when cancelled); by default one, as OpenFile chooses it.
  virtual QStringList OpenFiles(const QString& title, const QString& filter) {
    const QString file = OpenFile(title, filter, nullptr);
    return file.isEmpty() ? QStringList() : QStringList{file};
  }
  // A file name to write, or empty when cancelled. With `confirmOverwrite` the dialog asks before
  // an existing file is chosen; without, the caller deals with an existing file itself.
  virtual QString SaveFile(const QString& title, const QString& filter, bool confirmOverwrite = true) = 0;
};

TFileChooser& FileChooser();
void SetFileChooser(TFileChooser* chooser);  // nullptr restores the platform's dialogs
// The name the platform's next save dialog offers (used once).
void SuggestSaveName(const QString& path);

// Filters of the project file dialogs.
QString CreateProjectFilter(const std::string& internalName);
QString OpenProjectFilter(const std::string& internalName);

// The name's extension check: empty when it has the wanted extension, else the message.
std::string ExtensionCheckText(const std::string& path, const std::string& wanted);
// The output name check: empty when the name is usable (status 0 or 2), else the message
// followed by "\n\nUse a different file name.".
std::string OutputNameCheckText(const std::string& path);

// What the New Project dialog collects.
struct TNewProjectSettings {
  int state = 0;  // 0 for a multi-state file
  int year = 0;
  std::string title;
};

class TNewFileDlg : public QDialog {
  Q_OBJECT

 public:
  TNewFileDlg(const TMcnFile& counties, int defaultYear, QWidget* parent = nullptr);

  TNewProjectSettings Settings() const;
  // Checks the choices; shows the message and puts the focus where the fault is.
  bool CheckChoices();

  QRadioButton* SingleBtn = nullptr;
  QRadioButton* MultiBtn = nullptr;
  QListWidget* StateList = nullptr;
  QLineEdit* YearEdit = nullptr;
  QLineEdit* TitleEdit = nullptr;

  void accept() override;

 private:
  std::string regionWord_;
};

class TPropertiesDlg : public QDialog {
  Q_OBJECT

 public:
  TPropertiesDlg(TMdaFile& project, const TMcnFile& counties, QWidget* parent = nullptr);

  QLineEdit* TitleEdit = nullptr;
  QLineEdit* AuthorEdit = nullptr;
  QLineEdit* CompanyEdit = nullptr;
  QPlainTextEdit* CommentsEdit = nullptr;
};
