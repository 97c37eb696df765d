#include "TsAbout.h"

#include <algorithm>
#include <vector>

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

#include "BuildConfig.h"
#include "TsMain.h"
#include "TsMessages.h"
#include "TsRecordDlgs.h"
#include "TsReportView.h"
#include "reports/MoreInfo.h"
#include "reports/NutrEngine.h"
#include "vocab/CropVocab.h"
#include "TsStart.h"

const char* const kWebPageAddress = TESSEREL_WEB_PAGE_URL;
const char* const kUpdatePageAddress = TESSEREL_UPDATE_URL;
const char* const kBlankFormFile = "BlankForm.pdf";
const char* const kSampleFormFile = "SampleForm.pdf";

namespace {

bool DesktopOpen(const QString& target, const QString& workingFolder) {
  const QUrl url = target.contains("://") ? QUrl(target) : QUrl::fromLocalFile(workingFolder + "/" + target);
  return QDesktopServices::openUrl(url);
}

// What the failed N, P2O5 and K2O recommendations of a slot lack, a line per explanation;
// nutrients that lack the same record values share a line ("P2O5, K2O: Needs ...").
std::string SlotNeeds(TNutrEngine& engine, int slot, const TFieldRec& rec) {
  const char* const names[] = {"N", "P2O5", "K2O"};
  const int columns[] = {rcN, rcP2O5, rcK2O};
  std::vector<std::pair<std::string, std::string>> lines;  // nutrients, what they lack
  for (int i = 0; i < 3; ++i) {
    const std::string needs = engine.RecNeeds(columns[i], slot, rec);
    if (needs.empty()) continue;
    const auto same = std::find_if(lines.begin(), lines.end(), [&needs](const auto& l) { return l.second == needs; });
    if (same != lines.end()) same->first += std::string(", ") + names[i];
    else lines.emplace_back(names[i], needs);
  }
  std::string text;
  for (const auto& [nutrients, needs] : lines) text += nutrients + ": " + needs + "\n";
  return text;
}

QLabel* Link(const QString& caption, const QString& hint, std::function<void()> onClick) {
  auto* label = new QLabel("<a href=\"#\">" + caption.toHtmlEscaped() + "</a>");
  label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  if (!hint.isEmpty()) {
    label->setStatusTip(hint);
    label->setToolTip(hint);
  }
  QObject::connect(label, &QLabel::linkActivated, label, [onClick](const QString&) { onClick(); });
  return label;
}

}  // namespace

TOpenService& OpenService() {
  static TOpenService service = DesktopOpen;
  return service;
}

QIcon ProgramIcon() {
  QPixmap pix(64, 64);
  pix.fill(Qt::transparent);
  QPainter p(&pix);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor("#3d6b2f"));
  p.drawRoundedRect(2, 2, 60, 60, 8, 8);
  p.setBrush(QColor("#8a5a2b"));
  p.drawRoundedRect(8, 36, 48, 20, 3, 3);
  p.setPen(QPen(QColor("#e8d36a"), 3, Qt::SolidLine, Qt::RoundCap));
  for (int x : {16, 32, 48}) p.drawLine(x, 36, x, x == 32 ? 10 : 14);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor("#e8d36a"));
  for (QPoint c : {QPoint(11, 22), QPoint(21, 26), QPoint(27, 18), QPoint(37, 22), QPoint(43, 22), QPoint(53, 26)})
    p.drawEllipse(c, 5, 3);
  p.end();
  return QIcon(pix);
}

TAboutBox::TAboutBox(const TAppStartup& startup, QWidget* parent) : QDialog(parent), startup_(startup) {
  setWindowTitle("About");
  SetHelpContext(this, 501);
  const TProgramVersionInfo& v = startup.VersionInfo;
  auto* icon = new QLabel;
  icon->setPixmap(ProgramIcon().pixmap(64, 64));
  ProgramName = new QLabel(QStr(v.ProductName));
  QFont big = ProgramName->font();
  big.setPointSize(big.pointSize() + 4);
  big.setBold(true);
  ProgramName->setFont(big);
  ProgramVersion = new QLabel("Version " + QStr(v.ProductVersion));
  FileVersion = new QLabel("(" + QStr(v.FileVersion) + ")");
  Copyright = new QLabel(QStr(v.LegalCopyright));
  // At 120 pixels per inch the smaller labels use a font one point smaller.
  if (screen() && qRound(screen()->logicalDotsPerInch()) == 120)
    for (QLabel* l : {ProgramVersion, FileVersion, Copyright}) {
      QFont f = l->font();
      f.setPointSize(f.pointSize() - 1);
      l->setFont(f);
    }

  auto* head = new QGridLayout;
  head->addWidget(icon, 0, 0, 4, 1, Qt::AlignTop);
  head->addWidget(ProgramName, 0, 1);
  head->addWidget(ProgramVersion, 1, 1);
  head->addWidget(FileVersion, 2, 1);
  head->addWidget(Copyright, 3, 1);
  head->setColumnStretch(1, 1);

  auto* help = new QGroupBox("Help");
  auto* helpLayout = new QVBoxLayout(help);
  const std::pair<const char*, int> topics[] = {{"State-Specific Notes", 8},
                                                {"Frequently Asked Questions", 4},
                                                {"Reporting Problems", 7},
                                                {"Tips For New Users", 9}};
  for (const auto& [caption, context] : topics)
    helpLayout->addWidget(Link(caption, {}, [this, context = context] { HelpTopicClick(context); }));

  auto* resources = new QGroupBox("Resources");
  auto* resLayout = new QVBoxLayout(resources);
  resLayout->addWidget(Link("Tesserel's Website", kWebPageAddress, [this] { TessWebLinkClick(); }));
  resLayout->addWidget(
      Link("Check For Updates", UpdateAddress(startup.VersionInfo), [this] { TessUpdateLinkClick(); }));
  resLayout->addWidget(Link("Information About Installed Software", {}, [this] { InfoRptLinkClick(); }));

  auto* examples = new QGroupBox("Examples");
  auto* exLayout = new QVBoxLayout(examples);
  exLayout->addWidget(Link("Blank Data Collection Form", {}, [this] { DataFormLinkClick(kBlankFormFile); }));
  exLayout->addWidget(Link("Sample Data Collection Form", {}, [this] { DataFormLinkClick(kSampleFormFile); }));

  auto* groups = new QHBoxLayout;
  for (QGroupBox* g : {help, resources, examples}) groups->addWidget(g);

  auto* buttons = new QDialogButtonBox;
  QPushButton* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
  ok->setDefault(true);
  QPushButton* helpBtn = buttons->addButton("Help", QDialogButtonBox::HelpRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(helpBtn, &QPushButton::clicked, this, [this] { HelpBtnClick(); });

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(head);
  layout->addLayout(groups);
  layout->addWidget(buttons);
}

QString TAboutBox::UpdateAddress(const TProgramVersionInfo& version, const QString& page) {
  auto encoded = [](const std::string& value) { return QString::fromLatin1(QUrl::toPercentEncoding(QStr(value))); };
  // A page address that carries a query of its own gets the keys added to it.
  return page + (page.contains('?') ? "&" : "?") + "InternalName=" + encoded(version.InternalName) +
         "&FileVersion=" + encoded(version.FileVersion);
}

void TAboutBox::HelpTopicClick(int context) {
  if (ShowHelp) ShowHelp(context);
}

void TAboutBox::HelpBtnClick() { HelpTopicClick(501); }

void TAboutBox::TessWebLinkClick() {
  if (!OpenService()(kWebPageAddress, {})) Messages().Error("Unable to start your Web browser.");
}

void TAboutBox::TessUpdateLinkClick() {
  if (!OpenService()(UpdateAddress(startup_.VersionInfo), {})) Messages().Error("Unable to start your Web browser.");
}

void TAboutBox::InfoRptLinkClick() {
  TWaitCursor wait;
  ShowSoftwareReport(DesktopViewer(), startup_.ProgramId);
}

void TAboutBox::DataFormLinkClick(const QString& file) {
  const QString folder = QPath(startup_.DataFolder);
  // The desktop's handler may report success for a file that is not there; a missing form fails.
  if (!QFileInfo::exists(folder + "/" + file) || !OpenService()(file, folder))
    Messages().Error("Unable to open file " + file + " in folder " + folder + ".\n\n" +
                     "Make sure the file is in the indicated folder and " + "a PDF viewer is installed.");
}

// The nutrient information of the Soil Tests page's Info button.
void TMainForm::DoSoilTestInfoDlg() {
  if (!HasRecords()) return;
  TWaitCursor wait;
  TStateTables* tables = mda_.StateTables();
  std::string message;
  if (!tables || !tables->LoadStateTables(editRec_.State, message)) {
    if (message.find("not exist") != std::string::npos)
      message += "\n\nThis file may not be available for " + mcn_.StateName(editRec_.State) + " or may not be installed.";
    Messages().Info("\nUnable to display information because of a problem with a required file:\n\n" + QMsg(message) +
                    "\n");
    return;
  }
  const std::string stateName = tables->Db().GetFieldValue(qfStateName, 0);
  const int row = editRec_.Cur_Crop ? tables->CropDefinitionRow(csCur, editRec_) : -1;
  std::string reason;
  if (!editRec_.Cur_Crop) reason = "Primary crop has not been entered yet.";
  else if (row < 0)
    reason = "No fertilizer recommendations are available for " + CropName(editRec_.Cur_Crop) + " in " + stateName + ".";
  if (!reason.empty()) {
    Messages().Info("\nUnable to display information for the following reason:\n\n" + QMsg(reason) + "\n");
    return;
  }
  TNutrEngine engine(*tables);
  bool failed = false;
  for (int column : {rcN, rcP2O5, rcK2O}) failed = failed || engine.NutrientRec(column, csCur, editRec_).Error != 0;
  std::string source = tables->Db().GetFieldValue(kQfSource, row);
  if (source.empty()) source = "(Source not available)";
  else if (source.back() != '.') source += '.';
  const std::string crop = tables->CropSlotName(csCur, editRec_);
  if (failed) {
    const std::string needs = SlotNeeds(engine, csCur, editRec_);
    Messages().Info(QStr("\nUnable to calculate one or more nutrient needs for " + crop + " in " + stateName + ".\n\n" +
                         "For information on what data is required, refer to:" + "\n\n" + source + "\n" +
                         (needs.empty() ? "" : "\n" + needs)));
  } else
    Messages().Info(QStr("\nCalculated nutrient needs are listed on the Crops panel and in the worksheet report's "
                         "nutrient management page.\n\nFor more information on the nutrient needs of " +
                         crop + " in " + stateName + ", please refer to:" + "\n\n" + source + "\n"));
}
