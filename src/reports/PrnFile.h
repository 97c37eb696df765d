// The writer of plain text reports: for a file, the text writer unchanged.
#pragma once

#include "reports/TxtFile.h"

class TPrinterOutFile : public TTextOutFile {};
