// Project file commands: new, info, list, show, properties, merge, extract, convert.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <optional>
#include <ostream>

#include "ProjectCli.h"
#include "RecPrinter.h"
#include "common/Cp1252.h"
#include "common/Locale.h"
#include "common/Parse.h"
#include "common/TextUtil.h"
#include "vocab/CropVocab.h"
#include "filebase/FileUtl.h"
#include "store/MdaFile5.h"

bool TProjectSession::LoadRefs(TCliContext& ctx) {
  if (!LoadRefData(ctx, ref)) return false;
  refs = std::make_unique<TLoadedRefs>(ref.Mcn, ref.Mdf);
  return true;
}

bool TProjectSession::Open(TCliContext& ctx, const std::string& path, bool write) {
  if (!LoadRefs(ctx)) return false;
  file.LockWaitMs = LockWaitMs(ctx);
  if (file.OpenProject(path, write, *refs)) return true;
  if (!FailIfInUse(ctx, file)) ReportFileError(ctx, file);
  return false;
}

bool TProjectSession::RecordOrAll(TCliContext& ctx, int64_t n) {
  const int count = file.RecordCount();
  if (n >= 0 && (n <= count || count == 0)) return true;
  Fail(ctx, "Enter a record number in the range 1-" + std::to_string(count) + ".");
  return false;
}

bool TProjectSession::Read(TCliContext& ctx, int64_t n, TFieldRec& rec) {
  if (n < 1 || n > file.RecordCount()) {
    Fail(ctx, "Enter a record number in the range 1-" + std::to_string(file.RecordCount()) + ".");
    return false;
  }
  if (file.ReadRecord(static_cast<int>(n), rec)) return true;
  ReportFileError(ctx, file);
  return false;
}

bool TProjectSession::RequireWritable(TCliContext& ctx) {
  if (file.IsWritable()) return true;
  if (file.InUse() && !file.IsLocked()) {
    FailInUse(ctx, file);
    return false;
  }
  Fail(ctx, file.FileName + "\r\n" + (file.IsLocked() ? "File is locked." : "File is read-only or in use."));
  return false;
}

void Fail(TCliContext& ctx, const std::string& message) {
  ctx.err << MessageToUtf8(message) << '\n';
  ctx.status = 1;
}

void FailInUse(TCliContext& ctx, const TRecFile& file) {
  Fail(ctx, file.FileName + "\r\nThe project is in use by another program.");
}

bool FailIfInUse(TCliContext& ctx, const TRecFile& file) {
  if (file.ErrorState != esOpen || file.PathStatus != fsInUse) return false;
  FailInUse(ctx, file);
  return true;
}

int32_t LockWaitMs(const TCliContext& ctx) { return static_cast<int32_t>(ctx.waitSeconds * 1000 + 0.5); }

std::string Typed(const std::string& utf8) { return Utf8ToCp1252(utf8); }

bool UsableOutputName(TCliContext& ctx, const std::string& path, bool mustBeNew) {
  if (!SameText(ExtractFileExt(path), ".tsj")) {
    Fail(ctx, BadExtensionText(path, ".tsj"));
    return false;
  }
  const int status = FileStatus(path);
  if (status == fsMissing || (status == fsExists && !mustBeNew)) return true;
  Fail(ctx, status == fsExists ? path + "\nFile already exists." : FileStatusText(status, path));
  return false;
}

bool ParseExclusions(const std::string& list, TExclusions& x, bool costsToo) {
  x = TExclusions{};
  size_t start = 0;
  while (start <= list.size() && !list.empty()) {
    const size_t comma = list.find(',', start);
    const std::string word = Trim(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (SameText(word, "name")) x.Name = true;
    else if (SameText(word, "address")) x.Address = true;
    else if (SameText(word, "notes")) x.Notes = true;
    else if (costsToo && SameText(word, "costs")) x.Costs = true;
    else return false;
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return true;
}

namespace {

void AddNew(CLI::App& app, TCliContext& ctx) {
  struct TArgs {
    std::string path, state, title;
    int64_t year = 0;
  };
  auto a = std::make_shared<TArgs>();
  auto* cmd = app.add_subcommand("new", "Create an empty project file");
  cmd->add_option("FILE", a->path, "New project file (.tsj)")->required();
  cmd->add_option("--state", a->state, "State abbreviation, or 0 for a multi-state project")->required();
  cmd->add_option("--year", a->year, "Harvest year")->required();
  cmd->add_option("--title", a->title, "Title");
  cmd->callback([&ctx, a] {
    TProjectSession s;
    if (!s.LoadRefs(ctx)) return;
    const int state = a->state == "0" ? 0 : s.ref.Mcn.FindStateByAbbrev(Trim(a->state));
    if (a->state != "0" && state == 0)
      return Fail(ctx, "Specify the new file's " + s.ref.Mcn.RegionWord() + ".");
    if (a->year < kFirstProjectYear || a->year > kLastProjectYear)
      return Fail(ctx, "Year must be in the range " + std::to_string(kFirstProjectYear) + "-" +
                           std::to_string(kLastProjectYear) + ".");
    if (!UsableOutputName(ctx, a->path, true)) return;
    if (!s.file.CreateProject(a->path, static_cast<uint16_t>(state), *s.refs, Typed(a->title),
                              static_cast<uint16_t>(a->year)))
      return ReportFileError(ctx, s.file);
    if (!s.file.Close()) ReportFileError(ctx, s.file);
  });
}

std::string StateText(TProjectSession& s, int state) {
  return state == 0 ? "Multi-" + s.ref.Mcn.RegionWord() : s.ref.Mcn.StateName(state);
}

void AddInfo(CLI::App& app, TCliContext& ctx) {
  auto path = std::make_shared<std::string>();
  auto* cmd = app.add_subcommand("info", "Describe a project file");
  cmd->add_option("FILE", *path, "Project file")->required();
  cmd->callback([&ctx, path] {
    TProjectSession s;
    if (!s.Open(ctx, *path, true)) return;
    TMdaFile& f = s.file;
    std::string access = f.IsLocked() ? "locked" : f.IsReadOnly() ? "read-only" : "writable";
    if (access == "writable" && !FolderWritable(f.FileName)) access = "changes only. " + FolderReadOnlyText(f.FileName);
    ctx.out << "File=" << f.FileName << "\nRecords=" << f.RecordCount()
            << "\nState=" << Cp1252ToUtf8(StateText(s, f.ProjectState())) << "\nYear=" << f.ProjectYear()
            << "\nTitle=" << Cp1252ToUtf8(f.Title()) << "\nAuthor=" << Cp1252ToUtf8(f.Author())
            << "\nCompany=" << Cp1252ToUtf8(f.Company()) << "\nComments=" << Cp1252ToUtf8(f.Comments())
            << "\nRequired definition file=Release " << FormatShortDate(f.RequiredRelease()) << " or later"
            << "\nLast update=" << FormatShortDate(f.LastUpdate()) << "\nAccess=" << access << '\n';
  });
}

void AddList(CLI::App& app, TCliContext& ctx) {
  auto path = std::make_shared<std::string>();
  auto* cmd = app.add_subcommand("list", "List the records of a project file, one per line");
  cmd->add_option("FILE", *path, "Project file")->required();
  cmd->callback([&ctx, path] {
    TProjectSession s;
    if (!s.Open(ctx, *path, false)) return;
    TRecordReader in(s.file);
    while (const TFieldRec* r = in.Next()) {
      const char letter = CropLetter(r->Cur_Crop);
      ctx.out << in.Number() << '\t' << r->Field_ID << '\t' << Cp1252ToUtf8(r->Field_Name.Str()) << '\t'
              << Cp1252ToUtf8(r->SubFld_Nam.Str()) << '\t' << s.ref.Mcn.StateAbbrev(r->State) << '\t'
              << Cp1252ToUtf8(s.ref.Mcn.CountyName(r->County, r->State)) << '\t'
              << (letter ? std::string(1, letter) : std::string()) << '\n';
    }
    if (in.Failed()) ReportFileError(ctx, s.file);
  });
}

void AddShow(CLI::App& app, TCliContext& ctx) {
  struct TArgs {
    std::string path;
    int64_t number = 0;
    bool json = false;
  };
  auto a = std::make_shared<TArgs>();
  auto* cmd = app.add_subcommand("show", "Print every field of record N");
  cmd->add_option("FILE", a->path, "Project file")->required();
  cmd->add_option("N", a->number, "Record number, from 1")->required();
  cmd->add_flag("--json", a->json, "Print one JSON object");
  cmd->callback([&ctx, a] {
    TProjectSession s;
    TFieldRec r;
    if (!s.Open(ctx, a->path, false) || !s.Read(ctx, a->number, r)) return;
    if (a->json) ctx.out << FieldsToJson(RecordFields(), &r).dump(2) << '\n';
    else PrintFields(ctx.out, RecordFields(), &r);
  });
}

void AddProperties(CLI::App& app, TCliContext& ctx) {
  struct TArgs {
    std::string path;
    std::optional<std::string> title, author, company, comments;
  };
  auto a = std::make_shared<TArgs>();
  auto* cmd = app.add_subcommand("properties", "Print or change the title, author, company and comments");
  cmd->add_option("FILE", a->path, "Project file")->required();
  cmd->add_option("--title", a->title, "Title (at most 60 characters)");
  cmd->add_option("--author", a->author, "Author (at most 60 characters)");
  cmd->add_option("--company", a->company, "Company (at most 60 characters)");
  cmd->add_option("--comments", a->comments, "Comments (at most 254 characters)");
  cmd->callback([&ctx, a] {
    TProjectSession s;
    const bool change = a->title || a->author || a->company || a->comments;
    if (!s.Open(ctx, a->path, change)) return;
    TMdaFile& f = s.file;
    if (!change) {
      ctx.out << "Title=" << Cp1252ToUtf8(f.Title()) << "\nAuthor=" << Cp1252ToUtf8(f.Author())
              << "\nCompany=" << Cp1252ToUtf8(f.Company()) << "\nComments=" << Cp1252ToUtf8(f.Comments()) << '\n';
      return;
    }
    if (!s.RequireWritable(ctx)) return;
    auto pick = [](const std::optional<std::string>& typed, const std::string& stored) {
      return typed ? Typed(*typed) : stored;
    };
    const std::string title = pick(a->title, f.Title()), author = pick(a->author, f.Author());
    const std::string company = pick(a->company, f.Company()), comments = pick(a->comments, f.Comments());
    if (title == f.Title() && author == f.Author() && company == f.Company() && comments == f.Comments()) return;
    if (!f.SetProperties(title, author, company, comments))
      Fail(ctx, "Unable to save properties for the following reason:\n\n" + f.FullErrorText());
  });
}

void AddMerge(CLI::App& app, TCliContext& ctx) {
  struct TArgs {
    std::string path, other;
  };
  auto a = std::make_shared<TArgs>();
  auto* cmd = app.add_subcommand("merge", "Add every record of another project of the same year");
  cmd->add_option("FILE", a->path, "Project file")->required();
  cmd->add_option("OTHER", a->other, "Project file whose records are added")->required();
  cmd->callback([&ctx, a] {
    TProjectSession s;
    if (!s.Open(ctx, a->path, true) || !s.RequireWritable(ctx)) return;
    const std::string ext = ExtractFileExt(a->other);
    if (!SameText(ext, ".tsj") && !SameText(ext, ".tsd"))
      return Fail(ctx, "Unable to merge file for the following reason:\n\n" + BadExtensionText(a->other, ".tsj"));
    std::string message;
    int current = 0;
    TFieldRec rec;
    if (!s.file.MergeProject(a->other, nullptr, 1, message, current, rec))
      return Fail(ctx, "Unable to merge file for the following reason:\n\n" + message);
    ctx.out << s.file.RecordCount() << " records in project\n";
  });
}

void AddExtract(CLI::App& app, TCliContext& ctx) {
  struct TArgs {
    std::string path, out, title, exclude;
    bool advance = false;
  };
  auto a = std::make_shared<TArgs>();
  auto* cmd = app.add_subcommand("extract", "Write the records to a new project, optionally for next year");
  cmd->add_option("FILE", a->path, "Project file")->required();
  cmd->add_option("OUT", a->out, "New project file (.tsj)")->required();
  cmd->add_option("--title", a->title, "Title of the new project");
  cmd->add_option("--exclude", a->exclude, "Data to leave out: name, address, notes (comma-separated)");
  cmd->add_flag("--advance-year", a->advance, "Make next year's records of the same fields");
  cmd->callback([&ctx, a] {
    TExclusions x;
    if (!ParseExclusions(a->exclude, x, false)) return Fail(ctx, "Data to exclude must be name, address or notes.");
    const bool name = x.Name, address = x.Address, notes = x.Notes;
    TProjectSession s;
    if (!s.Open(ctx, a->path, false) || !UsableOutputName(ctx, a->out, false)) return;
    if (a->advance && s.file.ProjectYear() >= kLastProjectYear)
      return Fail(ctx, "A project of " + std::to_string(kLastProjectYear) + " can't be advanced to the next year.");
    const uint16_t year = static_cast<uint16_t>(s.file.ProjectYear() + (a->advance ? 1 : 0));
    auto filter = [=](TFieldRec& r) {
      StripRecord(r, name, address, notes, a->advance);
      return true;
    };
    auto done = [&ctx](const std::string& path, int count) {
      ctx.out << count << " records extracted and saved to file\n" << path << '\n';
    };
    std::string message;
    if (!s.file.ExtractProject(a->out, year, done, filter, Typed(a->title), message))
      Fail(ctx, "Unable to extract file for the following reason:\n\n" + message);
  });
}

void AddConvert(CLI::App& app, TCliContext& ctx) {
  auto path = std::make_shared<std::string>();
  auto* cmd = app.add_subcommand("convert", "Convert a project file of the previous version in place");
  cmd->add_option("FILE", *path, "Project file (.tsj or .tsd)")->required();
  cmd->callback([&ctx, path] {
    TProjectSession s;
    if (!s.LoadRefs(ctx)) return;
    TMdaFile5 old;
    old.LockWaitMs = LockWaitMs(ctx);
    auto converted = [&ctx](const std::string& file, const std::string& backup) {
      ctx.out << file << "\nFile was successfully converted for use with this version.\n\n"
              << "A copy of the old file was saved as\n" << backup << '\n';
    };
    if (old.OpenOrConvert(*path, true, *s.refs, converted, [](const std::string&) { return true; })) return;
    if (!FailIfInUse(ctx, old)) Fail(ctx, "Unable to open file for the following reason:\n\n" + old.FullErrorText());
  });
}

}  // namespace

void AddProjectCommands(CLI::App& app, TCliContext& ctx) {
  AddNew(app, ctx);
  AddInfo(app, ctx);
  AddList(app, ctx);
  AddShow(app, ctx);
  AddProperties(app, ctx);
  AddMerge(app, ctx);
  AddExtract(app, ctx);
  AddConvert(app, ctx);
  AddProjectRecordCommands(app, ctx);
}
