// The Find tests of the Record menu: which record data is searched (kinds 0 to 9), the check of
// the typed search text, and the test each kind makes on a record, for TMdaFile::FindNext.
#pragma once

#include <string>

#include "store/MdaFile.h"

enum TFindKind : int {
  fkFieldId = 0,
  fkName = 1,
  fkState = 2,
  fkCounty = 3,
  fkOperation = 4,
  fkContact = 5,
  fkNotes = 6,
  fkPrimaryCrop = 7,
  fkCoverCrop = 8,
  fkTillage = 9,
};
constexpr int kFindKindCount = 10;

// The kind's choice in the Find dialog, with its accelerator "&".
std::string FindKindChoice(int kind);
// The same without "&", as the not-found message names it.
std::string FindKindCaption(int kind);
// Empty when `text` is a usable search for the kind, else the message to show.
std::string FindTextError(int kind, const std::string& text, const TProjectRefs& refs);
// The test of a kind; the text must have passed FindTextError.
TRecordTest MakeFindTest(int kind, const std::string& text, const TProjectRefs& refs);
// "Can't find a record with that Notes."
std::string FindNotFoundText(int kind);
