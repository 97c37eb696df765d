#include "interchange/DbTables.h"

#include "interchange/SqlDb.h"
#include "store/MdaFile.h"

namespace {

using T = TDbType;

TDbColumn Text(std::string name, int size, std::string description, unsigned flags = 0) {
  return {std::move(name), T::Text, size, -1, flags, std::move(description)};
}
TDbColumn Num(std::string name, TDbType type, int decimals, std::string description, unsigned flags = 0) {
  return {std::move(name), type, 0, decimals, flags, std::move(description)};
}
TDbColumn Int(std::string name, std::string description, unsigned flags = 0) {
  return Num(std::move(name), T::Integer, -1, std::move(description), flags);
}
TDbColumn Single(std::string name, int decimals, std::string description, unsigned flags = 0) {
  return Num(std::move(name), T::Single, decimals, std::move(description), flags);
}
TDbColumn Date(std::string name, std::string description) {
  return Num(std::move(name), T::Date, -1, std::move(description));
}

const char* const kFieldIdKey = "Field's identifying number. [Primary key. Values are unique.]";
const char* const kFieldIdForeign = "Field's identifying number. [Foreign key, linked to Field table's primary key.]";

void AddIdentity(std::vector<TDbColumn>& c) {
  c.push_back(Num("Field_ID", T::Long, -1, kFieldIdKey, dcRequired | dcKey | dcIdRule));
  c.push_back(Text("Field_Name", 15, "Field's name."));
  c.push_back(Text("SubFld_Nam", 5, "Field's subfield name."));
  c.push_back(Int("Year", "Field's harvest year.", dcRequired | dcYearRule));
  c.push_back(Text("State", 2, "Two-letter abbreviation of field's state.", dcRequired));
  c.push_back(Int("State_Code", "State's FIPS code.", dcRequired));
  c.push_back(Text("County", 20, "Name of field's county."));
  c.push_back(Int("Cnty_Code", "County's FIPS code."));
  c.push_back(Text("Operation", 30, "Name of the farm operation."));
  c.push_back(Text("Addr_Road", 30, "Operation's street address."));
  c.push_back(Text("Addr_Town", 20, "Operation's town."));
  c.push_back(Text("Addr_State", 2, "Operation's state abbreviation."));
  c.push_back(Text("Addr_Zip", 10, "Operation's zip code."));
  c.push_back(Text("Contact", 30, "Name of operation's contact person."));
  c.push_back(Text("Off_Phone", 14, "Contact person's business phone number."));
  c.push_back(Text("Home_Phone", 14, "Contact person's home phone number."));
  c.push_back(Text("Email_Addr", 40, "Contact person's e-mail address."));
  c.push_back(Single("Field_Size", 2, "Size of field in acres."));
  c.push_back(Single("Rent_Value", 2, "Field's actual rent value in $ per acre."));
  c.push_back(Text("FSA_Tract", 10, "Field's FSA (ASCS) tract number."));
  c.push_back(Text("FSA_Field", 4, "Field's FSA (ASCS) field number."));
  c.push_back(Text("Notes", 60, "Notes about the field."));
}

void AddSoilTests(std::vector<TDbColumn>& c) {
  c.push_back(Int("SoilTst_Yr", "Year that field's soil test sample was taken."));
  c.push_back(Single("OM", 1, "Field's soil test organic matter (in percent)."));
  c.push_back(Single("P", 1, "Field's soil test phosphorus level."));
  c.push_back(Text("P_Units", 4, "Phosphorus soil test units."));
  c.push_back(Int("P_Test", "Phosphorus soil test that was used."));
  const char* tests[][3] = {{"K", "potassium", "Potassium"}, {"Mg", "magnesium", "Magnesium"},
                            {"Ca", "calcium", "Calcium"},    {"Na", "sodium", "Sodium"},
                            {"Al", "aluminum", "Aluminum"}};
  for (const auto& t : tests) {
    c.push_back(Single(t[0], 1, std::string("Field's soil test ") + t[1] + " level."));
    c.push_back(Text(std::string(t[0]) + "_Units", 4, std::string(t[2]) + " soil test units."));
  }
  c.push_back(Single("Soil_pH", 1, "Field's soil test water pH."));
  c.push_back(Single("Buffer_pH", 1, "Field's soil test buffer pH."));
  c.push_back(Single("CEC", 1, "Field's soil test cation exchange capacity (in milli-equivalents per 100 grams)."));
  c.push_back(Int("Nitrate_N", "Field's soil test N level (in ppm of nitrate N)."));
  c.push_back(Single("EC", 2, "Field's soil test electrical conductivity (in mmhos/cm or dS/m)."));
  c.push_back(Single("Sulfate_S", 1, "Field's soil test S level (in ppm of sulfate S)."));
  c.push_back(Int("Basal_N", "Crop's basal nitrogen value (in ppm of nitrate N) from end-of-season cornstalk tissue "
                             "analysis."));
}

void AddCrops(std::vector<TDbColumn>& c) {
  c.push_back(Text("Prev_Crop", 1, "Field's previous crop."));
  c.push_back(Int("Prev_Code", "QRL crop definition code to use for field's previous crop."));
  c.push_back(Text("Prev_Till", 2, "Tillage used with previous crop."));
  c.push_back(Single("Prev_Yield", 1, "Previous crop's yield."));
  c.push_back(Text("Prev_Units", 10, "Units for previous crop's yield."));
  c.push_back(Int("Prev_PctLg", "Previous forage crop's percent legume stand.", dcKeepZero));
  c.push_back(Text("Cov_Crop", 1, "Field's current cover crop or first crop of double crop."));
  c.push_back(Int("Cov_Code", "QRL crop definition code to use for field's cover crop or first crop."));
  c.push_back(Text("Cov_Till", 2, "Tillage used with first crop."));
  c.push_back(Single("Cov_Goal", 1, "First crop's yield goal."));
  c.push_back(Text("Cov_Units", 10, "Units for first crop's yield goal."));
  c.push_back(Int("Cov_PctLeg", "Cover crop's percent legume stand.", dcKeepZero));
  c.push_back(Text("Cur_Crop", 1, "Field's current only crop or second crop of double crop."));
  c.push_back(Int("Cur_Code", "QRL crop definition code to use for field's current only crop or second crop."));
  c.push_back(Text("Cur_Till", 2, "Tillage used with only/second crop."));
  c.push_back(Single("Cur_Goal", 1, "Only/second crop's yield goal."));
  c.push_back(Text("Cur_Units", 10, "Units for only/second crop's yield goal."));
  c.push_back(Int("Cur_PctLeg", "Only/second forage crop's percent legume stand.", dcKeepZero));
  c.push_back(Text("Next_Crop", 1, "Field's next crop."));
  c.push_back(Int("Next_Code", "QRL crop definition code to use for field's next crop."));
  c.push_back(Text("Next_Till", 2, "Tillage used with next crop."));
  c.push_back(Single("Next_Goal", 1, "Next crop's yield goal."));
  c.push_back(Text("Next_Units", 10, "Units for next crop's yield goal."));
  c.push_back(Int("Next_PctLg", "Next forage crop's percent legume stand.", dcKeepZero));
  c.push_back(Int("Till_Years", "Number of consecutive years the current tillage system has been used with field."));
  const char* nutrients[][2] = {{"N", "N"}, {"P", "P2O5"}, {"K", "K2O"}};
  for (const auto& n : nutrients)
    c.push_back(Int(std::string("Def_") + n[0] + "Rec",
                    std::string("Default ") + n[1] + " fertilizer recommendation for current crop year.", dcKeepZero));
  for (const auto& n : nutrients)
    c.push_back(Int(std::string("Cust_") + n[0] + "Rec",
                    std::string("Custom ") + n[1] + " fertilizer recommendation for current crop year (overrides default " +
                        n[1] + " rec).",
                    dcKeepZero));
}

void AddPlanting(std::vector<TDbColumn>& c) {
  c.push_back(Date("Plant_Date", "Date only crop or second crop was planted."));
  c.push_back(Text("Planter", 30, "Name of planter used to plant crop."));
  c.push_back(Single("Row_Width", 1, "Crop's row width or spacing (in inches)."));
  c.push_back(Text("Attchments", 8, "Attachments used during planting."));
  c.push_back(Text("Hybrid_Var", 30, "Name of hybrid or variety that was planted."));
  c.push_back(Int("Maturity", "Hybrid or variety's maturity (days to maturity or maturity group)."));
  for (int n = 1; n <= kBiotechSlots; ++n)
    c.push_back(Text("Biotech_" + std::to_string(n), 30, "Bioengineered seed technology that applies to hybrid or variety."));
  c.push_back(Single("Cur_PlRate", 2, "Planting rate of only crop or second crop."));
  c.push_back(Text("Cur_PlUnit", 3, "Units for only/second crop's planting rate."));
  c.push_back(Num("Seed_Count", T::Long, -1, "Seed count of only/second crop (in number of seeds per pound of seed)."));
  c.push_back(Single("Cov_PlRate", 2, "Planting rate of cover crop or first crop."));
  c.push_back(Text("Cov_PlUnit", 3, "Units for cover/first crop's planting rate."));
  c.push_back(Int("Irrig_N", "Irrigation water nitrate N content, in ppm.", dcKeepZero));
}

void AddSoils(std::vector<TDbColumn>& c) {
  for (int row = 1; row <= kSoilRows; ++row) {
    const std::string n = std::to_string(row), soil = "Soil " + n + "'s ";
    c.push_back(Text("SoilSym_" + n, 6, soil + "map unit symbol."));
    c.push_back(Single("Slope_" + n, 1, soil + "slope (in percent).", dcKeepZero));
    c.push_back(Text("SoilName_" + n, 20, soil + "soil name."));
    c.push_back(Int("FieldPct_" + n, soil + "percent of field."));
    c.push_back(Text("SurfTex_" + n, 4, soil + "surface texture."));
    c.push_back(Text("Drainage_" + n, 18, soil + "drainage."));
    c.push_back(Single("TValue_" + n, 1, soil + "tolerable soil loss \"T\" value (in tons per acre per year)."));
    c.push_back(Single("Rating_" + n, 1, soil + "productivity rating."));
    c.push_back(Int("Attr1_" + n, soil + "misc. attribute 1."));
    c.push_back(Int("Attr2_" + n, soil + "misc. attribute 2."));
  }
  c.push_back(Text("Rtng_Units", 4, "Units for soil productivity ratings."));
  c.push_back(Text("Drain_Type", 30, "Field's artificial drainage type."));
  c.push_back({"Ann_Manure", T::Boolean, 0, -1, 0,
               "Yes=manure has been applied annually to field; No=manure has not been applied annually to field."});
  c.push_back(Int("Residue", "Field's crop residue cover (in percent) after planting.", dcKeepZero));
  c.push_back(Single("Water_Loss", 1, "Field's water soil loss (in tons per acre per year) for the current year."));
  c.push_back(Single("Wind_Loss", 1, "Field's wind soil loss (in tons per acre per year) for the current year."));
  c.push_back(Text("Wshed_Num", 16, "NRCS hydrologic unit code (HUC) for watershed where field is located."));
  c.push_back(Text("Wshed_Name", 30, "Name of watershed where field is located."));
}

void AddHarvest(std::vector<TDbColumn>& c, bool primary) {
  const std::string p = primary ? "Cur_" : "Cov_", crop = primary ? "only/second crop" : "first crop";
  c.push_back(Single(p + "Area", 2, "Harvested area (in acres) of " + std::string(primary ? "only crop or second crop" : "first crop") + "."));
  c.push_back(Single(p + "Wt", 3, "Weight of harvested area's yield for " + crop + "."));
  c.push_back(Text(p + "WtUnit", 3, "Harvest weight units for " + crop + "."));
  c.push_back(Single(p + "Mois", 1, "Moisture at harvest (in percent) for " + crop + "."));
  c.push_back(Single(p + "StMois", 1, "Standard dry-down moisture (in percent) for " + crop + "."));
  c.push_back(Single(p + "Yield", 1, std::string("\"Main\" per-acre yield (e.g., grain") +
                                         (primary ? " or cotton lint" : "") + ") for " + crop + "."));
  c.push_back(Text(p + "YUnit", 10, "Yield units for " + crop + "'s main yield."));
  c.push_back(Date(p + "HDate", "Date that " + crop + " was harvested."));
  c.push_back(Text(p + "Prem", 30, "Harvest premium that applies to " + crop + "."));
  c.push_back(Single(p + "Yield2", 1, std::string("\"Secondary\" per-acre yield") + (primary ? " (e.g., cotton seed)" : "") +
                                          " for " + crop + "."));
  c.push_back(Text(p + "Y2Unit", 3, "Yield units for " + crop + "'s secondary yield."));
}

void AddCosts(std::vector<TDbColumn>& c) {
  const char* costs[][2] = {
      {"Seed_Cost", "Total cost of seed and any biotech fees."},
      {"FertA_Cost", "Total cost of applied fertilizer."},
      {"FertR_Cost", "Total value of P removed, K removed, and N applied or N required (whichever is greater)."},
      {"Pest_Cost", "Total cost of pesticides."},
      {"Oper_Cost", "Total cost of field operations."},
      {"Other_Cost", "Total cost of other inputs."},
      {"Land_Cost", "Land charge."},
      {"Soil_Cost", "Soil loss charge."},
      {"Haul_Cost", "Hauling cost."},
      {"Dry_Cost", "Drying cost."},
      {"Misc_Cost", "Any reductions."},
      {"Inter_Cost", "Interest cost."},
      {"Indir_Cost", "Total indirect costs (land charge, soil loss charge, hauling cost, drying cost, any reductions, "
                     "and interest)."},
      {"Total_Cost", "Total cost of production."},
      {"Unit_Cost", "Cost per unit of yield for only/second crop."},
      {"Income", "Total income."},
      {"Profit", "Profit (or loss)."},
  };
  for (const auto& [name, text] : costs)
    c.push_back(Single(name, 2, std::string(text) + " [Calculated field.]", dcKeepZero));
}

TDbTable MakeFieldTable() {
  TDbTable t{"Field", "Crop field data. Exported from project data file ", {}};
  AddIdentity(t.Columns);
  AddSoilTests(t.Columns);
  AddCrops(t.Columns);
  AddPlanting(t.Columns);
  AddSoils(t.Columns);
  AddHarvest(t.Columns, true);
  AddHarvest(t.Columns, false);
  AddCosts(t.Columns);
  return t;
}

std::string ColumnSql(const TDbColumn& c) {
  const std::string q = SqlName(c.Name);
  std::string sql = q;
  switch (c.Type) {
    case T::Boolean:
    case T::Integer:
    case T::Long: sql += " INTEGER"; break;
    case T::Single: sql += " REAL"; break;
    default: sql += " TEXT"; break;
  }
  if (c.Flags & dcRequired) sql += " NOT NULL";
  if (c.Flags & dcKey) sql += " PRIMARY KEY";
  if (c.Type == T::Boolean) sql += " CHECK (" + q + " IN (0, 1))";
  if (c.Type == T::Text) sql += " CHECK (length(" + q + ") <= " + std::to_string(c.Size) + ")";
  if (c.Flags & dcIdRule) sql += " CHECK (" + q + " BETWEEN 1 AND 999999999)";
  if (c.Flags & dcYearRule)
    sql += " CHECK (" + q + " BETWEEN " + std::to_string(kFirstProjectYear) + " AND " + std::to_string(kLastProjectYear) + ")";
  if (c.Flags & dcFieldRef) sql += " REFERENCES " + SqlName(FieldTable().Name) + " (" + q + ")";
  return sql;
}

}  // namespace

const TDbTable& ProjectTable() {
  static const TDbTable table{
      "Project",
      "Project file information. Exported from project data file ",
      {
          Text("File_Name", 254, "Name of project data file (without path).", dcRequired),
          Text("File_Path", 254, "Path to project file.", dcRequired),
          Text("State_Name", 14, "Name of project file's state (or \"Multi-state\" if file is multi-state).", dcRequired),
          Int("State_Code", "State's FIPS code (or blank if file is multi-state)."),
          Int("Year", "Project file's harvest year.", dcRequired | dcYearRule),
          Text("Title", 60, "Project file's descriptive title."),
          Text("Author", 60, "Person who created the project file."),
          Text("Company", 60, "Company or organization involved in creating the project file."),
          {"Comments", T::Memo, 0, -1, 0, "Comments and notes about the project file."},
          Date("Def_Date", "Release date of input definition file that was loaded when data was exported."),
          Date("Rev_Date", "Date that project file was last updated."),
          Text("Exp_Src", 50, "Program that exported project file."),
          Date("Exp_Date", "Date that project file was exported."),
          {"Exp_Time", T::Time, 0, -1, 0, "Time of day that project file was exported."},
      }};
  return table;
}

const TDbTable& FieldTable() {
  static const TDbTable table = MakeFieldTable();
  return table;
}

const TDbTable& ApplicationTable() {
  static const TDbTable table{
      "Application",
      "Field application data. Exported from project data file ",
      {
          Num("Field_ID", T::Long, -1, kFieldIdForeign, dcRequired | dcFieldRef | dcIdRule),
          Int("Year", "Field's harvest year."),
          Text("Input_Name", 30, "Name of input applied to field."),
          Text("Type", 1, "Input's type (F=Fertilizer, E=Other fertilizer, M=Manure, H=Herbicide, I=Insecticide, "
                          "O=Operation, X=Other)."),
          Single("Rate", 2, "Application rate."),
          Text("Units", 3, "Application units."),
          Date("Date", "Application date."),
          Text("Misc", 7, "Other information (fertilizer form, manure application method, herbicide timing, "
                          "insecticide application method, or other input cost per acre)."),
      }};
  return table;
}

std::string CreateTableSql(const TDbTable& table) {
  std::string sql = "CREATE TABLE " + SqlName(table.Name) + " (";
  for (size_t i = 0; i < table.Columns.size(); ++i) sql += (i ? ", " : "") + ColumnSql(table.Columns[i]);
  return sql + ")";
}

std::string DescriptionTablesSql() {
  return "CREATE INDEX \"Application_Field_ID\" ON \"Application\" (\"Field_ID\");"
         "CREATE TABLE \"Descriptions\" (\"TableName\" TEXT NOT NULL, \"ColumnName\" TEXT NOT NULL, "
         "\"Description\" TEXT NOT NULL, PRIMARY KEY (\"TableName\", \"ColumnName\"));"
         "CREATE TABLE \"Decimals\" (\"TableName\" TEXT NOT NULL, \"ColumnName\" TEXT NOT NULL, "
         "\"Places\" INTEGER NOT NULL, PRIMARY KEY (\"TableName\", \"ColumnName\"))";
}

std::string InsertSql(const TDbTable& table) {
  std::string names, params;
  for (size_t i = 0; i < table.Columns.size(); ++i) {
    names += (i ? ", " : "") + SqlName(table.Columns[i].Name);
    params += i ? ", ?" : "?";
  }
  return "INSERT INTO " + SqlName(table.Name) + " (" + names + ") VALUES (" + params + ")";
}
