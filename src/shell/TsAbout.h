// The About box: the program's name, version and icon, with links to help topics, the web page,
// an update check, the installed software report and the example data collection forms.
#pragma once

#include <QDialog>
#include <functional>

class TAppStartup;
struct TProgramVersionInfo;
class QLabel;

// Opens a document or address with the desktop's handler; true on success. Replaceable by tests.
using TOpenService = std::function<bool(const QString& target, const QString& workingFolder)>;
TOpenService& OpenService();

// The program's web page and its update page (set when the program is configured).
extern const char* const kWebPageAddress;
extern const char* const kUpdatePageAddress;
// The example data collection forms among the program's data files.
extern const char* const kBlankFormFile;
extern const char* const kSampleFormFile;

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  TAboutBox(const TAppStartup& startup, QWidget* parent = nullptr);

  QLabel* ProgramName = nullptr;
  QLabel* ProgramVersion = nullptr;
  QLabel* FileVersion = nullptr;
  QLabel* Copyright = nullptr;

  // The update page address with the program's identity as the query keys InternalName and
  // FileVersion, their values percent-encoded.
  static QString UpdateAddress(const TProgramVersionInfo& version, const QString& page = kUpdatePageAddress);

  // Runs a help context; set by the main window (help topics open through it).
  std::function<void(int)> ShowHelp;

 private:
  void HelpTopicClick(int context);
  void TessWebLinkClick();
  void TessUpdateLinkClick();
  void InfoRptLinkClick();
  void DataFormLinkClick(const QString& file);
  void HelpBtnClick();

  const TAppStartup& startup_;
};

// The program's icon, drawn so that it needs no image plugin.
QIcon ProgramIcon();
