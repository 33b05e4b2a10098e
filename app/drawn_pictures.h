// The pictures drawn at build time at the sizes the windows show them
// (written by app/images/render_pictures.cpp).
#pragma once

#include <vector>

namespace qvx {

struct DrawnPicture {
  const char* name;  // "logo" for logo.svg
  int width;
  int height;
  // width x height premultiplied ARGB pixels, 32-bit each, row after row.
  const unsigned char* pixels;
};

const std::vector<DrawnPicture>& DrawnPictures();

}  // namespace qvx
