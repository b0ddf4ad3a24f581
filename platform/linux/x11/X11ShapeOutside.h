// The parts of a surface that its shape leaves out: what a surface drawn with alpha shows as transparent.
#pragma once

#include <vector>

#include "platform/api/Types.h"

namespace platform::x11 {

// The parts of a width × height surface that no rectangle of `shape` covers, one rectangle per gap in a row;
// nothing when the shape is empty, which stands for the whole surface.
std::vector<RECT> OutsideOfShape(const std::vector<RECT>& shape, int width, int height);

}  // namespace platform::x11
