// A window the platform made itself and the core cannot reach into (the folder dialog), handed out
// so that a message box can belong to it. The core only passes it on.
#pragma once

namespace tw {

struct NativeWindow {
  void* handle = nullptr;  // the empty value is no window
  bool operator==(const NativeWindow& other) const { return handle == other.handle; }
  bool operator!=(const NativeWindow& other) const { return handle != other.handle; }
};

}  // namespace tw
