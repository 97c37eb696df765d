// The data collection forms: every entry of a field record laid out on paper by the pages of the
// record editor (identification, address, crop history, soil tests, planting, fertilizer, manure,
// pesticides, operations, other inputs, erosion, harvest, soils), with units and code hints and a
// dotted line to write on. The blank form is taken to the field; the sample form shows the same
// entries filled in from a record.
#pragma once

#include <string>
#include <vector>

#include "reports/RtfFile.h"
#include "store/MdaLayout.h"

class TMcnFile;
class TMdfFile;
class TStateTables;

inline const char* const kBlankFormTitle = "Field Data Collection Form";
inline const char* const kSampleFormTitle = "Sample Data Collection Form";

// What a filled-in form takes its values and names from. Any of the files may be missing (null):
// the entries that need it are then written as stored numbers.
struct TFormSource {
  const TFieldRec& Rec;
  TMcnFile* Counties = nullptr;
  const TMdfFile* Definitions = nullptr;
  TStateTables* Tables = nullptr;
};

class TDataFormDoc : public TRtfOutFile {
 public:
  // Writes the whole form into the open writer: blank when `source` is null, else filled in.
  // `note` is the line under the title (what the form is for, or where its values come from).
  void WriteForm(const std::string& note, const TFormSource* source);

  // A cell of an entry line (label and value at its left, a dotted line to its width) or a column
  // of a table (title over its rows). Widths are relative: a line's cells fill the line.
  struct TCell {
    std::string label;
    std::string value;
    float width;
  };

 private:
  void Heading(const std::string& title, const std::string& note);
  void Section(const std::string& title);
  void SubSection(const std::string& title);
  void Hint(const std::string& text);
  void Entries(const std::vector<TCell>& cells);
  // Boxes to tick, four to a line.
  void CheckBoxes(const std::vector<std::string>& boxes);
  // A table of `rows` numbered rows, or of a row per label in a first column of `labelWidth`
  // inches; `cells(row)` gives the values of row 0, 1, ... in column order. Column widths are
  // relative: the table fills the line.
  template <class RowValues>
  void Table(const std::vector<TCell>& columns, int rows, RowValues cells);
  template <class RowValues>
  void Table(const std::vector<TCell>& columns, const std::vector<std::string>& rowLabels, float labelWidth,
             RowValues cells);
  void TableRow(const std::vector<float>& widths, float labelWidth, const std::string& label,
                const std::vector<std::string>& values);

  void Identification();
  void Address();
  void CropHistory();
  void SoilTests();
  void Planting();
  void Fertilizer();
  void Manure();
  void Pesticides();
  void Operations();
  void OtherInputs();
  void Erosion();
  void Harvest();
  void Soils();

  // Names of the record's codes; empty for code 0 or without the file that names them.
  std::string InputName(int code) const;
  std::string RateUnit(int input, int unit) const;
  std::string StateListName(int numberField, int nameField, int number) const;

  TFieldRec rec_{};
  const TFormSource* source_ = nullptr;
};

// Writes a form as a PDF document (the RTF form rendered through the registered PDF renderer):
// the blank form when `source` is null. The error text (path and reason) or empty; a failed form
// leaves no file behind.
std::string WriteDataFormPdf(const std::string& pdfPath, const std::string& note, const TFormSource* source,
                             const std::string& author);
