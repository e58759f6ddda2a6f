#pragma once

#include <optional>
#include <string_view>

namespace tq {

// The picture format a screenshot's file name asks for by its extension,
// as Qt's image writers name it ("PNG", "JPG", "BMP"); none for any other
// extension.
std::optional<std::string_view> pictureFormat(std::string_view path);

// The refusal for a file name whose extension names no picture format.
inline constexpr std::string_view kPictureFormats = ".png, .jpg or .bmp";

}  // namespace tq
