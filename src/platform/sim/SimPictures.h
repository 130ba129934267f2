// Pictures on the simulated desktop: a file is a picture when its first
// bytes say BMP, GIF, JPEG or PNG, and its size is read from its header.
#pragma once

#include <string>
#include <string_view>

#include "platform/Toolkit.h"

namespace pm::sim {

class SimPicture final : public platform::Picture {
 public:
  SimPicture(std::string source, int width, int height)
      : source_(std::move(source)), width_(width), height_(height) {}
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  // The file path, or the built-in picture's name.
  const std::string& source() const { return source_; }

 private:
  std::string source_;
  int width_;
  int height_;
};

platform::PicturePtr BuiltInSimPicture(platform::BuiltIn picture);
platform::PicturePtr LoadSimPicture(std::string_view path);

}  // namespace pm::sim
