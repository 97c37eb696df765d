// The nine grids of the record pages (crop history, fertilizer, other fertilizer, manure,
// herbicide, insecticide, operations, other inputs, soils): what each cell shows from the edit
// record, the lists the cells offer and how choices and typed values are written back.
#pragma once

#include <QObject>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

#include "TsGrid.h"
#include "store/MdaLayout.h"

class TMainForm;
class TRecordPages;

// CropDef row `row` of the loaded state tables offered for crop `crop` in crop history row `k` (1..4).
class TQriFileDb;
bool CropDefInList(const TQriFileDb& db, int row, int crop, int k);

enum TGridIndex { gCropHist, gFert, gOFert, gManure, gHerb, gInsect, gOper, gOther, gSoils, kGridCount };

class TRecordGrids : public QObject {
  Q_OBJECT

 public:
  TRecordGrids(TMainForm& form, TRecordPages& pages);

  TInputGrid* Grid(int g) const { return grids_[g]; }
  // The grids of one page.
  std::vector<TInputGrid*> OfPage(int page) const;
  void RedrawPage(int page);
  void RedrawAll();
  void SetEditable(bool editable);

  // The input lists of the six input grids for the crop mask of the record's crops.
  void RebuildInputLists(uint32_t cropMask);
  // Soils columns 8 to 10 and the attribute lists of a state.
  void SetSoilsState(int state);
  // True when the entry in focus in a grid passes its check.
  bool CheckFocusedEntry();

 private:
  void BuildCropHist();
  void BuildFertilizer();
  void BuildInputGrid(int g, const QString& name, int rows, const std::vector<TGridColumn>& cols);
  void BuildSoils();
  void Place(int page, TInputGrid* grid, int position);

  // Text and check of the typed cells of a grid (the crop history has its own).
  std::function<QString(int, int)> TypedCellText(int grid);
  std::function<QString(int, int, const QString&, QString&)> TypedCellCheck(int grid);
  TFieldRec& Rec();
  int Year() const;
  // Crop history.
  QString CropHistText(int row, int col);
  QStringList CropDefList(int row);
  int CropDefIndex(int row);
  bool CropChoice(int row, int index);
  bool CropDefChoice(int row, int index);
  // Input grids.
  U16* InputColumn(int g) const;
  uint8_t* UnitsColumn(int g) const;
  int InputCategory(int g, int& type) const;
  QStringList UnitsList(int g, int row);
  int UnitsIndex(int g, int row);
  bool InputChoice(int g, int row, int index);
  // Soils attributes.
  QStringList attrLists_[2];
  std::vector<int> attrValues_[2];
  int AttrIndex(int which, int row);

  TMainForm& form_;
  TRecordPages& pages_;
  TInputGrid* grids_[kGridCount] = {};
  QStringList inputLists_[kGridCount];
  uint32_t cropMask_ = 0;
};
