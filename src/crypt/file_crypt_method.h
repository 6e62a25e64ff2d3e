// The abstract file-crypt method: block operations plus the encrypted-file operations built on them.
// File access goes through a FileOpener so the engine can route it through its platform layer.
#pragma once
#include <istream>
#include <memory>
#include <ostream>
#include <string>

namespace tw {

// Opens the two streams of one file operation. Null means the file cannot be opened.
class FileOpener {
 public:
  virtual ~FileOpener() = default;
  virtual std::unique_ptr<std::istream> OpenIn(const std::string& name) = 0;
  virtual std::unique_ptr<std::ostream> OpenOut(const std::string& name) = 0;
};

// The plain disk: std::ifstream / std::ofstream in binary mode, output created or truncated.
class StdFileOpener : public FileOpener {
 public:
  std::unique_ptr<std::istream> OpenIn(const std::string& name) override;
  std::unique_ptr<std::ostream> OpenOut(const std::string& name) override;
};

class CFileCryptMethod {
 public:
  CFileCryptMethod() = default;
  virtual ~CFileCryptMethod();

  // 32 bytes identifying the method, its key and its parameters.
  virtual void GetSignature(unsigned char* signature) = 0;
  // n must be a positive multiple of the block size; the chain carries over between calls.
  virtual void Encrypt(const char* in, char* out, int n) = 0;
  virtual void Decrypt(const char* in, char* out, int n) = 0;
  virtual void EncryptFile(const std::string& inName, const std::string& outName) = 0;
  virtual void DecryptFile(const std::string& inName, const std::string& outName) = 0;
  virtual void ResetChaining() = 0;

  // The same file operations with the streams opened by the caller's opener.
  virtual void EncryptFile(const std::string& inName, const std::string& outName, FileOpener& opener) = 0;
  virtual void DecryptFile(const std::string& inName, const std::string& outName, FileOpener& opener) = 0;

 protected:
  bool m_bInitialised = false;
};

}  // namespace tw
