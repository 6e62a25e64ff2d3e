// A picture file drawn 1:1 on a canvas of its own size, for the windows that show one whole.
#pragma once
#include <memory>
#include <string>

namespace tw {

class Canvas;
class FileSystem;
class Pictures;

// Null when the file cannot be read, does not decode, or no canvas that large can be made.
std::shared_ptr<Canvas> DrawPictureFile(const FileSystem& files, Pictures& pictures, const std::string& path);

}  // namespace tw
