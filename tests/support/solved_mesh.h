// A mesh folder as OpenFOAM leaves it after a solution, written by hand: a straight
// channel of nx x ny cells, length 4 and height `height`, its points and a time
// folder "100" with the fields the check reads. The exit cells (i = nx - 1) carry
// `exitMa` from the axis up, every other cell Mach 1.5; p = T = 1 and U = (2 0 0).
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testing_support {

inline void WriteSolvedMesh(const std::filesystem::path& folder, int nx, const std::vector<double>& exitMa,
                            double height) {
  const int ny = static_cast<int>(exitMa.size());
  const std::string header = "FoamFile\n{\n    version 2.0;\n    format ascii;\n}\n\n";
  std::filesystem::create_directories(folder / "constant" / "polyMesh");
  std::filesystem::create_directories(folder / "100");
  std::ofstream points(folder / "constant" / "polyMesh" / "points");
  points << header << 2 * (nx + 1) * (ny + 1) << "\n(\n";
  for (const double z : {0.0, 0.1}) {
    for (int j = 0; j <= ny; ++j) {
      for (int i = 0; i <= nx; ++i) points << "(" << 4.0 * i / nx << " " << height * j / ny << " " << z << ")\n";
    }
  }
  points << ")\n";
  std::ofstream Ma(folder / "100" / "Ma");
  Ma << header << "dimensions [0 0 0 0 0 0 0];\n\ninternalField   nonuniform List<scalar> \n" << nx * ny << "\n(\n";
  for (int j = 0; j < ny; ++j) {
    for (int i = 0; i < nx; ++i) Ma << (i == nx - 1 ? exitMa[static_cast<std::size_t>(j)] : 1.5) << "\n";
  }
  Ma << ")\n;\n";
  for (const char* scalar : {"p", "T"}) {
    std::ofstream(folder / "100" / scalar) << header << "internalField   uniform 1;\n";
  }
  std::ofstream(folder / "100" / "U") << header << "internalField   uniform (2 0 0);\n";
}

}  // namespace testing_support
