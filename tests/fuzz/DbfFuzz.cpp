// libFuzzer target: the dBASE reader on any bytes must neither crash, hang nor read outside its
// buffers. Each input is written to a file and read the way the import and `dbf show` read it.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "interchange/DbfFile.h"

namespace {

std::string g_path;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char templ[] = "/tmp/dbf_fuzz.XXXXXX";
  const int fd = ::mkstemp(templ);
  if (fd < 0) std::abort();
  ::close(fd);
  g_path = templ;
  std::atexit([] { ::unlink(g_path.c_str()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(g_path.c_str(), "wb");
  if (f == nullptr) std::abort();
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  TDbfFile table;
  if (!table.OpenTable(g_path, 0, omReadDenyWrite)) return 0;
  for (const char* name : {"FIELD_NAME", "field_name", "COUNTY", "", "A_NAME_LONGER_THAN_TEN"}) table.FindField(name);
  std::vector<TDbfField> fields;
  for (int i = 0; i <= table.FieldCount() + 1; ++i) {
    TDbfField field;
    if (table.ReadFieldDescriptor(i, field) && table.GetFieldInfo(i, field)) fields.push_back(field);
  }
  std::vector<char> record(static_cast<size_t>(table.RecordLength()));
  const uint32_t count = table.RecordCount() < 2000 ? table.RecordCount() : 2000;
  for (uint32_t n = 0; n <= count + 1; ++n) {
    if (!table.ReadRecord(n, record.data())) continue;
    for (const TDbfField& field : fields) TDbfFile::FieldText(record.data(), field);
  }
  table.Close();
  return 0;
}
