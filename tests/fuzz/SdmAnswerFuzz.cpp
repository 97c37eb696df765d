// libFuzzer target: the reading of Soil Data Mart answers, which come from the network.
#include <cstddef>
#include <cstdint>
#include <string>

#include "interchange/SdmAnswer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TSdmAnswer answer;
  std::string error;
  const bool ok = ParseSdmAnswer(reinterpret_cast<const char*>(data), size, answer, error);
  // A refused answer says why and carries nothing; a read one has no error text; a fault has no rows.
  if (ok == !error.empty()) __builtin_trap();
  if (!ok && (answer.isFault || answer.firstIsTable || !answer.rows.empty())) __builtin_trap();
  if (answer.isFault && (answer.fault.empty() || !answer.rows.empty())) __builtin_trap();
  if (answer.firstIsTable && answer.rows.empty()) __builtin_trap();
  size_t total = 0;
  for (const TSdmRow& row : answer.rows)
    for (const auto& [name, value] : row.cells) total += row.Value(name).size() + value.size();
  return total > size * 4 + 64 ? (__builtin_trap(), 0) : 0;  // values never grow beyond their source
}
