// The soils update command: fills in the soils tables of a project's records from the USDA-NRCS
// Soil Data Mart.
#include <CLI/CLI.hpp>

#include <ostream>

#include "ProjectCli.h"
#include "common/Cp1252.h"
#include "interchange/SdmToSls.h"

void AddSoilsCommands(CLI::App& app, TCliContext& ctx) {
  struct TArgs {
    std::string path, service;
    int64_t number = 0;
  };
  auto a = std::make_shared<TArgs>();
  auto* soils = app.add_subcommand("soils", "Soils data of a project's records");
  soils->require_subcommand(1);
  auto* update = soils->add_subcommand(
      "update", std::string("Update the soils of record N (default: all records) from the USDA-NRCS Soil Data Mart; ") +
                    "the service is --service URL, else $" + kSdmEndpointVariable + ", else " + kSdmDefaultEndpoint);
  update->add_option("FILE", a->path, "Project file")->required();
  update->add_option("N", a->number, "Record number, from 1; 0 or none: all records");
  update->add_option("--service", a->service, "Address of the Soil Data Mart tabular service");
  update->callback([&ctx, a] {
    TProjectSession session;
    if (!session.Open(ctx, a->path, true) || !session.RecordOrAll(ctx, a->number)) return;
    TSdmSettings settings;
    settings.endpoint = a->service;
    int updated = 0, notUpdated = 0;
    std::string message;
    std::vector<std::string> reasons;
    if (!UpdateSoilsFromSdm(session.file, static_cast<int>(a->number), settings, updated, notUpdated, message,
                            &reasons)) {
      Fail(ctx, message);
      return;
    }
    ctx.out << "Updated=" << updated << "\nNotUpdated=" << notUpdated << '\n';
    for (const std::string& reason : reasons) ctx.out << Cp1252ToUtf8(reason) << '\n';
  });
}
