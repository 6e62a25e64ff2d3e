// The project-file decoder over any bytes, behind the real signature (so the fuzzer reaches the
// chunked decryption) or bare; and the encrypt-decrypt round trip of the same bytes as plain text.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>

#include "crypt/file_crypt_error.h"
#include "crypt/project_key.h"
#include "crypt/rijndael_method.h"

namespace {

// Files held in memory: "in" reads the given bytes; what is written outlives the method's stream.
class KeepingOpener : public tw::FileOpener {
 public:
  explicit KeepingOpener(std::string in) : in_(std::move(in)) {}
  std::unique_ptr<std::istream> OpenIn(const std::string&) override {
    return std::make_unique<std::istringstream>(in_);
  }
  std::unique_ptr<std::ostream> OpenOut(const std::string&) override {
    return std::make_unique<std::ostream>(&buffer_);
  }
  std::string Written() const { return buffer_.str(); }

 private:
  std::string in_;
  std::stringbuf buffer_;
};

std::string Signature(tw::CRijndaelMethod& method) {
  unsigned char signature[tw::CRijndaelMethod::kSignatureLength];
  method.GetSignature(signature);
  return std::string(reinterpret_cast<const char*>(signature), sizeof signature);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static tw::CRijndaelMethod method;
  // The signature is a digest of the key alone: worked out once, not per input.
  static const std::string signature = (tw::InitProjectKey(method), Signature(method));
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const bool signed_ = size > 0 && (data[0] & 1) == 0;

  KeepingOpener decrypting(signed_ ? signature + bytes : bytes);
  try {
    method.DecryptFile("in.ziv", "out.inf", decrypting);
  } catch (const tw::FileCryptError&) {
  }

  // Encrypting then decrypting gives the text back, padded with zeros to the block size.
  KeepingOpener encrypting(bytes);
  method.EncryptFile("plain", "cipher", encrypting);
  KeepingOpener back(encrypting.Written());
  method.DecryptFile("cipher", "plain", back);
  const std::string text = back.Written();
  if (text.size() < size || text.size() % tw::kProjectBlockSize != 0 || text.compare(0, size, bytes) != 0)
    std::abort();
  for (size_t i = size; i < text.size(); ++i)
    if (text[i] != 0) std::abort();
  return 0;
}
