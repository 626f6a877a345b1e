// A cairo surface saved as a PNG file: written to "<name>.part" beside it and renamed
// over it, so a reader never sees half a picture.
#pragma once

#include <cairo.h>

#include <filesystem>

#include "cfd/exit_flow.h"

namespace cfd {

// Throws FieldError naming the file when it cannot be written.
inline void SavePng(cairo_surface_t* surface, const std::filesystem::path& png) {
  cairo_surface_flush(surface);
  const std::filesystem::path temporary = png.string() + ".part";
  if (cairo_surface_write_to_png(surface, temporary.c_str()) != CAIRO_STATUS_SUCCESS) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw FieldError("cannot write \"" + png.string() + "\"");
  }
  std::error_code error;
  std::filesystem::rename(temporary, png, error);
  if (error) throw FieldError("cannot write \"" + png.string() + "\": " + error.message());
}

}  // namespace cfd
