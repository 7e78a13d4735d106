// vmk-map-sample: writes the sample site map (plot_samples.h) as FILE.png or FILE.svg
// through the build's map picture files, so that the Windows build's map can be compared with
// the Linux build's and looked at:
//   vmk-map-sample FILE.png|FILE.svg
#include <cstdio>
#include <string>

#include "common/atomic_file.h"
#include "plot/map_picture.h"
#include "plot_samples.h"

int main(int argc, char** argv) {
  if (argc != 2 || !vmk::PictureKindOf(argv[1])) {
    std::fprintf(stderr, "usage: vmk-map-sample FILE.png|FILE.svg\n");
    return 2;
  }
  std::string bytes;
  if (const auto problem = vmk::MapPictureBytes(vmk::samples::SampleSiteMapScene(),
                                                vmk::samples::SampleSiteMap().Title,
                                                *vmk::PictureKindOf(argv[1]), bytes)) {
    std::fprintf(stderr, "vmk-map-sample: %s\n", problem->c_str());
    return 1;
  }
  try {
    vmk::WriteFileAtomically(argv[1], bytes);
  } catch (const vmk::FileWriteError& e) {
    std::fprintf(stderr, "vmk-map-sample: %s\n", e.what());
    return 1;
  }
  return 0;
}
