// The ten record pages and their controls. The main window fills them from the edit record and
// takes the typed values back (TsRecord.cpp); this file only builds and lays them out.
#pragma once

#include <QTabWidget>
#include <functional>
#include <map>
#include <string>

#include "TsFields.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollArea;
class TEntryEdit;

class TRecordPages : public QTabWidget {
  Q_OBJECT

 public:
  explicit TRecordPages(QWidget* parent = nullptr);

  // The entry field of a record field (`Field_Size`), and its caption and units labels.
  TEntryEdit* Entry(const std::string& field) const;
  QLabel* Caption(const std::string& field) const;
  QLabel* Units(const std::string& field) const;
  const std::map<std::string, TEntryEdit*>& Entries() const { return entries_; }

  // Lists.
  QComboBox* CountyCombo = nullptr;
  QComboBox* PUnitsCombo = nullptr;
  QComboBox* KUnitsCombo = nullptr;
  QComboBox* MgUnitsCombo = nullptr;
  QComboBox* CaUnitsCombo = nullptr;
  QComboBox* NaUnitsCombo = nullptr;
  QComboBox* AlUnitsCombo = nullptr;
  QComboBox* PTestCombo = nullptr;
  QComboBox* DrainCombo = nullptr;
  QComboBox* CurWtUnitCombo = nullptr;
  QComboBox* CovWtUnitCombo = nullptr;
  QComboBox* CurPremCombo = nullptr;
  QComboBox* CovPremCombo = nullptr;
  // Check lists and the check box.
  QListWidget* AttachmentsList = nullptr;
  QListWidget* TraitsList = nullptr;
  QCheckBox* AnnManureCheck = nullptr;
  // Default recommendations (read-only) and their source.
  QLineEdit* DefNRec = nullptr;
  QLineEdit* DefPRec = nullptr;
  QLineEdit* DefKRec = nullptr;
  QLineEdit* DefRecSource = nullptr;
  QLabel* DefRecSrcURL = nullptr;
  // Buttons.
  QPushButton* SoilTestInfoBtn = nullptr;
  QPushButton* UpdSoilsQrlBtn = nullptr;
  QPushButton* UpdSoilsSdmBtn = nullptr;
  QPushButton* R2CalcBtn = nullptr;
  // Labels set from the crops.
  QLabel* AddYieldRowLabel = nullptr;

  // Every list of the pages, for the enabling rules.
  QList<QComboBox*> Combos() const;

  // Asked before the user leaves the page by any way there is (a click, the wheel or keys on the
  // tabs, Ctrl+Tab); false keeps the page.
  std::function<bool()> CanLeavePage;

  // A page's fields and grids, and the scroll area that holds them.
  QWidget* PageContent(int page) const;
  QScrollArea* PageArea(int page) const;

  static const char* PageCaption(int page);
  static int PageHelpContext(int page) { return 201 + page; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool LeavingOkay() const { return !CanLeavePage || CanLeavePage(); }
  void FocusFirstField(int page);

  QWidget* BuildGeneral();
  QWidget* BuildSoilTests();
  QWidget* BuildCrops();
  QWidget* BuildPlanting();
  QWidget* BuildGridPage();
  QWidget* BuildOther();
  QWidget* BuildErosion();
  QWidget* BuildHarvest();

  // Caption, field and units label of one entry on a row of a grid layout at column `col`.
  TEntryEdit* AddEntry(QGridLayout* grid, int row, int col, const std::string& field);
  QComboBox* AddCombo(QGridLayout* grid, int row, int col, const QString& caption);
  QComboBox* NewCombo();

  std::map<std::string, TEntryEdit*> entries_;
  std::map<std::string, QLabel*> captions_;
  std::map<std::string, QLabel*> units_;
};
