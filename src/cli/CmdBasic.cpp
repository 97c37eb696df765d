// version, header FILE, record FILE N: raw views of a project file, without definition-file checks.
#include <CLI/CLI.hpp>

#include <ostream>

#include "CliApp.h"
#include "RecPrinter.h"
#include "Version.h"
#include "common/Cp1252.h"
#include "store/MdaLayout.h"
#include "filebase/RecFile.h"

namespace {

// Opens a project file for reading and reads its header.
bool ReadProjectHeader(TRecFile& file, const std::string& path, TMdaHeader& header) {
  return file.Open(path, kMdaBlockSize, omReadDenyWrite) && file.ReadRecords(0, 1, &header);
}

// Reads record `number`, which must lie within the header's record count.
bool ReadProjectRecord(TRecFile& file, const std::string& path, int64_t number, TFieldRec& rec) {
  TMdaHeader header{};
  if (!ReadProjectHeader(file, path, header)) return false;
  if (number < 1 || number > header.Rec_Count) {
    file.ErrorState = esRead;
    return false;
  }
  return file.ReadRecords(number, 1, &rec);
}

void PrintBlock(TCliContext& ctx, const std::vector<TFieldDesc>& fields, const void* block, bool json) {
  if (json) ctx.out << FieldsToJson(fields, block).dump(2) << '\n';
  else PrintFields(ctx.out, fields, block);
}

}  // namespace

void AddBasicCommands(CLI::App& app, TCliContext& ctx) {
  auto* version = app.add_subcommand("version", "Print the program's name and version");
  version->callback([&ctx] { ctx.out << TESSEREL_PRODUCT_NAME << ' ' << TESSEREL_VERSION << '\n'; });

  struct TBlockArgs {
    std::string path;
    int64_t number = 0;
    bool json = false;
  };
  auto args = std::make_shared<TBlockArgs>();

  auto* header = app.add_subcommand("header", "Print every field of a project file's header");
  header->add_option("FILE", args->path, "Project file")->required();
  header->add_flag("--json", args->json, "Print one JSON object");
  header->callback([&ctx, args] {
    TRecFile file;
    TMdaHeader h{};
    if (!ReadProjectHeader(file, args->path, h)) {
      ctx.err << MessageToUtf8(file.FullErrorText()) << '\n';
      ctx.status = 1;
      return;
    }
    PrintBlock(ctx, HeaderFields(), &h, args->json);
  });

  auto* record = app.add_subcommand("record", "Print every field of record N of a project file");
  record->add_option("FILE", args->path, "Project file")->required();
  record->add_option("N", args->number, "Record number, from 1")->required();
  record->add_flag("--json", args->json, "Print one JSON object");
  record->callback([&ctx, args] {
    TRecFile file;
    TFieldRec r{};
    if (!ReadProjectRecord(file, args->path, args->number, r)) {
      ctx.err << MessageToUtf8(file.FullErrorText()) << '\n';
      ctx.status = 1;
      return;
    }
    PrintBlock(ctx, RecordFields(), &r, args->json);
  });
}
