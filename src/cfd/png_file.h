// Saving a cairo picture as a PNG file, replaced whole (report/file_output.h) so that
// an older picture is never left half overwritten.
#pragma once

#include <cairo.h>

#include <filesystem>
#include <string>

#include "cfd/case_plan.h"
#include "report/file_output.h"

namespace cfd {

// Throws FieldError naming the file when it cannot be written.
inline void SavePng(cairo_surface_t* surface, const std::filesystem::path& png) {
  cairo_surface_flush(surface);
  std::string bytes;
  const auto append = [](void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
  };
  if (cairo_surface_write_to_png_stream(surface, append, &bytes) != CAIRO_STATUS_SUCCESS) {
    throw FieldError("cannot write \"" + png.string() + "\": the picture could not be encoded");
  }
  try {
    report::ReplaceFile(png, bytes);
  } catch (const report::WriteError& error) {
    throw FieldError(error.what());
  }
}

}  // namespace cfd
