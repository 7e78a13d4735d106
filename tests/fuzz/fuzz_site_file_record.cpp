// The record of a site output folder over any bytes: only names of the program's own files come
// out of it (no other file may ever be removed by it), and a record written from them reads
// back the same.
#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "site/export/output_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> names = vmk::ParseSiteFileRecord(bytes);
  std::vector<vmk::SiteFile> files;
  for (const std::string& name : names) {
    if (std::find(vmk::kSiteFileNames.begin(), vmk::kSiteFileNames.end(), name) ==
        vmk::kSiteFileNames.end()) {
      Broken("a name that is not the program's: " + name);
    }
    files.push_back({name, ""});
  }
  if (vmk::ParseSiteFileRecord(vmk::SiteFileRecordText(files)) != names) {
    Broken("a record written from its names read back otherwise");
  }
  return 0;
}
