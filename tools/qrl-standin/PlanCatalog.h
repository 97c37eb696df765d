// The rows a new plan's definition tables start with, and the county soils table.
#pragma once

#include <string>
#include <vector>

#include "interchange/QrlLink.h"

using TPlanRows = std::vector<std::vector<TQrlValue>>;

// CropDef rows: CropDef, Name, ToTessCrop, IsTessRec, YldUnit.
TPlanRows CropDefRows();
// StorageDef rows: StorageDef, IsLiquid.
TPlanRows StorageDefRows();
// EquipDef rows: EquipDef, IsInject, IsIrrigate.
TPlanRows EquipDefRows();

// The SoilKey rows (SoilKey, MuSym, CompName, Slope, SlopeL, SlopeH, SurfTex, Drainage, TFact,
// MiscA, MiscB, MiscD) of one county, read from the county soils table: lines of "|"-separated
// cells, state FIPS code, county FIPS code, then the SoilKey columns; an empty cell is Null, "#"
// starts a comment line. False with `message` when the table cannot be read.
bool ReadCountySoils(const std::string& path, int stateCode, int countyCode, TPlanRows& rows, std::string& message);
