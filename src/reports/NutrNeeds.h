// What a recommendation that came out null needs, in the user's words: the record values whose
// absence made the state's formulas give no result, and where the user enters them.
#pragma once

#include <cstdint>
#include <string>

class TQriFileDb;

// The sentence naming the record values behind a null recommendation. Bit i of `causes` stands for
// recommendation variable i, in the engine's order (P, PTestDef, K, SoilpH, ... MiscE); the state
// tables label the state's own soil attributes; bit 27 is the preceding crop's yield. Empty when no
// bit names a record value.
std::string RecNeedsText(uint64_t causes, const TQriFileDb& tables);

// The few words that flag a rate not checked against the publication's own table.
extern const char* const kProvisionalNote;
// A sentence naming the nutrients (N, P2O5, K2O) whose recommendation is provisional, for a line
// that shows all three: "N and K2O provisional: ...", or "Provisional: ..." for all; empty for none.
std::string ProvisionalText(const bool provisional[3]);
