// The picture contract's Windows side: OLE picture loading and GDI canvases.
#include "pictures_env.h"
#include "platform/win32/win32_pictures.h"

namespace tw {

Pictures& ContractPictures() {
  static Win32Pictures pictures;
  return pictures;
}

}  // namespace tw
