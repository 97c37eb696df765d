// The open project file: header upkeep, field records kept in Field_ID order, rebuilds that never
// lose a record, merge and extract, searches and the record checks.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>
#include <string>

#include "store/CostCalc.h"
#include "store/MdaLayout.h"
#include "store/ProjectRefs.h"
#include "filebase/RecFile.h"
#include "store/StateTables.h"

// Error states of the project file classes, after those of TRecFile.
enum : int32_t {
  esRelease = 10,  // the loaded definition file is older than the file requires
  esTooMany = 11,
  esMerge = 12,
  esExtract = 13,
  esExport = 14,
  esBackup = 15,   // older-file conversion: the ".dos" copy could not be made
};

// Harvest years a project can have.
constexpr int kFirstProjectYear = 1993;
constexpr int kLastProjectYear = 2077;

// A test on one record (the Find kinds, merge and extract filters).
using TRecordTest = std::function<bool(const TFieldRec&)>;
// Extract's filter: decides whether a record is copied and may change the copy.
using TRecordFilter = std::function<bool(TFieldRec&)>;
// Merge's question: (open file name, other file name, other record count) -> go on.
using TMergeConfirm = std::function<bool(const std::string&, const std::string&, int)>;
// Called after a successful extract with the new file's name and record count.
using TExtractDone = std::function<void(const std::string&, int)>;

class TRecordBatch;

class TMdaFile : public TRecFile {
 public:
  // Creates a new project (block size 2048) and leaves it open for writing. The name holds the
  // project only once its header is on disk.
  bool CreateProject(const std::string& path, uint16_t state, const TProjectRefs& refs, const std::string& title,
                     uint16_t year);
  // Begins a new project that takes its name only with Commit (or CommitNewProject).
  bool BeginProject(const std::string& path, uint16_t state, const TProjectRefs& refs, const std::string& title,
                    uint16_t year, TTargetUse use);
  // Opens and checks a project: version, size, country, required release. Writable when asked
  // for and possible, read-only otherwise.
  bool OpenProject(const std::string& path, bool writeWanted, const TProjectRefs& refs);

  // After OpenProject: write access was wanted but another program held the file.
  bool InUse() const { return inUse_; }
  bool IsLocked() const { return (Header.Flags & kHeaderLocked) != 0; }
  bool IsWritable() const { return IsOpen() && !IsReadOnly() && !IsLocked(); }

  int RecordCount() const { return Header.Rec_Count; }
  uint16_t ProjectState() const { return Header.State; }
  uint16_t ProjectYear() const { return Header.Year; }
  TDayNum RequiredRelease() const { return Header.Req_Release; }
  TDayNum LastUpdate() const { return Header.Last_Update; }
  std::string Title() const { return Header.Title.Str(); }
  std::string Author() const { return Header.Author.Str(); }
  std::string Company() const { return Header.Company.Str(); }
  std::string Comments() const { return Header.Comments.Str(); }
  const TProjectRefs* Refs() const { return refs_; }

  // Writes every record of the open file, record `replaced` as `rec` (0: none), to a new project
  // at `path`: what can still be saved when another program took the open file's name away.
  bool SaveCopyAs(const std::string& path, int replaced, const TFieldRec& rec, std::string& error);

  // Rewrites block 0 from Header.
  bool WriteHeader(bool flush);
  bool SetProperties(const std::string& title, const std::string& author, const std::string& company,
                     const std::string& comments);

  bool ReadRecord(int n, TFieldRec& rec);
  // Writes record n (1-based) and keeps the header's count, release and last update current.
  bool WriteRecord(int n, const TFieldRec& rec, bool flush);
  // Writes `count` records from number n on with one header update.
  bool WriteRecordBlock(int n, int count, const TFieldRec* recs, bool flush);
  TFieldRec NewRecord(int32_t fieldId, uint16_t state) const;

  // Adds a record (replaced = 0) or replaces record `replaced`, keeping Field_ID order.
  bool InsertRecord(const TFieldRec& rec, int replaced, int& newNumber);
  // Rebuilds the file with exactly these records, put in Field_ID order; on failure the file stays as
  // it was.
  bool ReplaceRecords(std::vector<TFieldRec> recs);
  // Removes a record; `next` is the record now shown in its place (0 when none is left).
  bool DeleteRecord(int number, TFieldRec& next, int& nextNumber);
  // The first record from `start` on that passes the test. False when none does or a read
  // failed (then ErrorState is set).
  bool FindNext(int start, const TRecordTest& test, TFieldRec& rec, int& number);

  // Adds every record of another project of the same year.
  bool MergeProject(const std::string& path, const TMergeConfirm& confirm, int currentNumber, std::string& message,
                    int& newCurrent, TFieldRec& newRecord);
  // Writes the records that pass `filter` to a new project file.
  bool ExtractProject(const std::string& path, uint16_t year, const TExtractDone& done, const TRecordFilter& filter,
                      const std::string& title, std::string& message);

  // Puts the rows of the fertilizer, other fertilizer, manure, herbicide, insecticide, operation
  // and other input tables in date order; undated rows go last.
  static void SortInputs(TFieldRec& rec);
  // The numbers (1 to 37, ascending) of the record's missing or inconsistent items.
  std::vector<int> CheckRecord(const TFieldRec& rec) const;
  static std::string CheckText(int number, const TFieldRec& rec);
  // True when changing the primary (cover) crop to `newCrop` would leave entered data behind.
  bool PrimaryCropChangeLosesData(const TFieldRec& rec, uint16_t newCrop) const;
  bool CoverCropChangeLosesData(const TFieldRec& rec, uint16_t newCrop) const;

  // The eighteen cost and income figures of a record at the working costs of the definition file
  // (all 0 without one).
  TCostSummary CostSummary(const TFieldRec& rec, bool useRemovalCost, bool chargeAnySoilLoss,
                           bool useFiveYearPrice) const;

  std::string ErrorText() const override;

  // The state tables of one state at a time, loaded on demand for the record in hand, with the
  // record services built on them; null before the project is created or opened.
  TStateTables* StateTables() {
    if (refs_ && (!stateTables_ || &stateTables_->Refs() != refs_)) stateTables_ = std::make_unique<TStateTables>(*refs_);
    return stateTables_.get();
  }

  TMdaHeader Header{};

 protected:
  // Checks the header just read against the definition file: country and required release.
  bool CheckReferences();
  // Begins an empty copy of this project (state, year, header texts) for `path`.
  bool BeginCopy(TMdaFile& copy, const std::string& path, TTargetUse use) const;
  // Builds an empty copy of this project under a temporary name beside it.
  bool StartRebuild(TMdaFile& rebuilt);
  // Flushes the rebuilt file and renames it over this one, going on with it here.
  bool FinishRebuild(TMdaFile& rebuilt, TRecordBatch& out);
  // Opens with `mode` and checks the header read under that open's lock; closed again on failure.
  bool OpenChecked(const std::string& path, int32_t mode);
  // What every successful open ends with: clearing away what killed writes left in the folder.
  bool OpenDone();

  const TProjectRefs* refs_ = nullptr;
  std::string releaseText_;  // message of code 10, made when the check failed

 private:
  std::unique_ptr<TStateTables> stateTables_;
  bool inUse_ = false;
  bool CopyWithout(int skipped, const TFieldRec* inserted, int& insertedNumber);
  // Whether a present operation or other input row plants (kind 1) or harvests (kind 2) the crop.
  bool HasOperation(const TFieldRec& rec, uint16_t crop, uint16_t kind) const;
  bool ValidFor(uint16_t code, uint16_t crop) const;
  // Whether any input code of the crop-specific tables or a premium is valid for neither crop.
  bool InputsLoseData(const TFieldRec& rec, uint16_t newCrop, uint16_t otherCrop) const;
  bool RefuseUnwritable();
};

// Copies records into a project file in batches, so that a rebuild costs little more than a copy.
class TRecordBatch {
 public:
  explicit TRecordBatch(TMdaFile& target);
  // Queues a record for the next record number; false when writing a full batch failed.
  bool Add(const TFieldRec& rec);
  bool Flush();
  int Written() const { return written_; }  // records queued so far

 private:
  TMdaFile& target_;
  std::vector<TFieldRec> pending_;
  int written_ = 0;
};

// Said of a writable project whose folder can't be written to: records can be changed in place, but
// nothing that rebuilds the file (add, delete, merge, sort) can be done.
std::string FolderReadOnlyText(const std::string& project);

// Finishes a project an import built under a temporary name: writes `recs` after its records, closes
// it and puts it in place of `target`, replacing a file of that name only now. On failure the
// temporary file is deleted and `error` is `target`, CR LF and the file's error text.
bool CommitNewProject(TMdaFile& project, const std::vector<TFieldRec>& recs, const std::string& target,
                      std::string& error);

// Reads the records of a project file in order, in batches.
class TRecordReader {
 public:
  explicit TRecordReader(TMdaFile& source, int first = 1);
  // The next record, or nullptr at the end or on a failed read (then Failed()).
  const TFieldRec* Next();
  bool Failed() const { return failed_; }
  int Number() const { return number_; }  // number of the record Next() returned last

 private:
  TMdaFile& source_;
  std::vector<TFieldRec> buffer_;
  size_t pos_ = 0;
  int nextToRead_;
  int number_ = 0;
  bool failed_ = false;
};

// The record transformation of extract and the exports.
void StripRecord(TFieldRec& rec, bool nameAndContact, bool addressAndPhone, bool notesAndFsa, bool advanceYear);
