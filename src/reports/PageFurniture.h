// What a printed report carries on every page beside its body: the report's title, the project it
// is about, "Page N of M", and the column headings of a table repeated at the top of each page the
// table runs onto. Lines are counted as the report writes them: line n is the text after the n-th
// line end. Texts are 8-bit report text (code page 1252). The report files keep their bytes; only
// printers, previews and PDF documents show the furniture.
#pragma once

#include <functional>
#include <string>
#include <vector>

// A table's heading lines [First, First + Count) and its rows, which run up to line End (not
// included). A page that starts inside the rows shows the heading lines again at its top.
struct TRunningHeading {
  int First = 0;
  int Count = 0;
  int End = 0;
};

struct TPageFurniture {
  std::string Title;    // the report's title; the document's own title when empty
  std::string Project;  // what the report is about: the project's title and file
  std::vector<TRunningHeading> Headings;  // in order of their lines
};

// Reports the work done of the total; false asks the work to stop (the user cancelled).
using TRenderProgress = std::function<bool(int done, int total)>;
