// An SVG file read by a real XML parser (Python's xml.etree, from Debian's python3):
// a malformed file, for example two attributes without a blank between them, is
// not read at all.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testing_support {

struct SvgShape {
  bool parsed = false;
  std::string width, height;
  int lines = 0;  // <line> elements with x1, y1, x2, y2 and stroke
  std::vector<std::string> strokes;  // the stroke of each, in order
};

inline SvgShape ReadSvgShape(const std::filesystem::path& svg) {
  const std::filesystem::path out = svg.string() + ".shape";
  const std::string command =
      "/usr/bin/python3 -c \"import sys, xml.etree.ElementTree as E\n"
      "r = E.parse(sys.argv[1]).getroot()\n"
      "ls = [e for e in r.iter('{http://www.w3.org/2000/svg}line') if all(k in e.attrib for k in "
      "('x1', 'y1', 'x2', 'y2', 'stroke'))]\n"
      "print(r.get('width'), r.get('height'), len(ls), ' '.join(e.get('stroke') for e in ls))\" '" +
      svg.string() + "' > '" + out.string() + "' 2>/dev/null";
  SvgShape shape;
  if (std::system(command.c_str()) != 0) return shape;
  std::ifstream in(out);
  in >> shape.width >> shape.height >> shape.lines;
  for (std::string stroke; in >> stroke;) shape.strokes.push_back(stroke);
  shape.parsed = true;
  return shape;
}

}  // namespace testing_support
