// The journal of a set of files being replaced, over any bytes (a later run reads whatever a
// killed one, or anyone, left in the folder): either not a journal, or entries that write back
// to a journal reading the same.
#include <cstdint>
#include <string_view>

#include "common/file_set.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto entries = vmk::ParseJournal(bytes);
  if (!entries) return 0;
  const auto back = vmk::ParseJournal(vmk::JournalText(*entries));
  if (!back || *back != *entries) Broken("a journal written from its entries read back otherwise");
  return 0;
}
