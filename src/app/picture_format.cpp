#include "app/picture_format.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace tq {
namespace {

struct Format {
    std::string_view extension;
    std::string_view writer;
};

constexpr std::array kFormats{
    Format{.extension = "png", .writer = "PNG"},
    Format{.extension = "jpg", .writer = "JPG"},
    Format{.extension = "jpeg", .writer = "JPG"},
    Format{.extension = "bmp", .writer = "BMP"},
};

}  // namespace

std::optional<std::string_view> pictureFormat(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return std::nullopt;
    }
    std::string extension(path.substr(dot + 1));
    std::ranges::transform(extension, extension.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto* it = std::ranges::find(kFormats, extension, &Format::extension);
    return it == kFormats.end() ? std::nullopt : std::optional(it->writer);
}

}  // namespace tq
