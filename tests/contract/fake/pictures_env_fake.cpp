// The picture contract's host side: the fake picture service.
#include "platform/fake/fake_pictures.h"
#include "pictures_env.h"

namespace tw {

Pictures& ContractPictures() {
  static FakePictures pictures;
  return pictures;
}

}  // namespace tw
