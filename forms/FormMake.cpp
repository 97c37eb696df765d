// Writes a data collection form as a PDF document at build time.
//   form-make DATA_DIR OUTPUT.pdf                   the blank form
//   form-make DATA_DIR OUTPUT.pdf PROJECT RECORD    the form filled in from a record of a project
// DATA_DIR holds the county names and definition files and the state files the project needs.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Version.h"
#include "common/Format.h"
#include "filebase/FileUtl.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "render/PageRender.h"
#include "reports/DataForm.h"
#include "store/LoadedRefs.h"
#include "store/MdaFile.h"

namespace {

const char* const kAuthor = TESSEREL_INTERNAL_NAME " " TESSEREL_FILE_VERSION;
const char* const kBlankNote =
    "One form per field or subfield and harvest year. Write names or codes as the hints show; every "
    "entry is typed into the record editor's page of the same name.";

int Fail(const std::string& message) {
  std::fprintf(stderr, "form-make: %s\n", message.c_str());
  return 1;
}

int WriteForm(const std::string& output, const std::string& note, const TFormSource* source) {
  const std::string error = WriteDataFormPdf(output, note, source, kAuthor);
  return error.empty() ? 0 : Fail(error);
}

int WriteSampleForm(const std::string& dataDir, const std::string& output, const std::string& project,
                    int recordNumber) {
  TMcnFile counties;
  TMdfFile definitions;
  if (!counties.Load(AddSlash(dataDir) + kCountyFileName)) return Fail(counties.FullErrorText());
  if (!definitions.LoadForCountry(DefinitionFileName(counties.FileName), counties.CountryCode()))
    return Fail(definitions.FullErrorText());
  TLoadedRefs refs(counties, definitions);
  TMdaFile file;
  TFieldRec rec{};
  if (!file.OpenProject(project, false, refs) || !file.ReadRecord(recordNumber, rec)) return Fail(file.FullErrorText());
  const std::string note = "Filled in from field " + FormatInt(rec.Field_ID) + " (" + rec.Field_Name.Str() +
                           ") of the sample project " + ExtractFileName(project) + ", \"" + file.Header.Title.Str() +
                           "\", as its records hold it.";
  const TFormSource source{rec, &counties, &definitions, file.StateTables()};
  return WriteForm(output, note, &source);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) return Fail("usage: form-make DATA_DIR OUTPUT.pdf [PROJECT RECORD]");
  TGuiSession session;
  RegisterPdfRenderer();
  if (argc == 3) return WriteForm(argv[2], kBlankNote, nullptr);
  return WriteSampleForm(argv[1], argv[2], argv[3], std::atoi(argv[4]));
}
