// tarnwick-ziv: encrypt, decrypt or verify one project file with the project key, exactly as
// setup.exe reads it. Errors print the component's message; usage errors exit 2.
#include <cstring>
#include <iostream>
#include <string>

#include "crypt/file_crypt_error.h"
#include "crypt/project_key.h"
#include "crypt/rijndael_method.h"

namespace {

int Usage() {
  std::cerr << "usage: tarnwick-ziv encrypt IN OUT   encrypt a plain project file (setup.inf -> setup.ziv)\n"
               "       tarnwick-ziv decrypt IN OUT   decrypt a project file (output keeps the zero padding)\n"
               "       tarnwick-ziv verify IN        exit 0 when IN carries the project key's signature\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  const bool twoNames = command == "encrypt" || command == "decrypt";
  if (!(twoNames && argc == 4) && !(command == "verify" && argc == 3)) return Usage();

  try {
    tw::CRijndaelMethod method;
    tw::InitProjectKey(method);
    if (command == "encrypt") {
      method.EncryptFile(argv[2], argv[3]);
    } else if (command == "decrypt") {
      method.DecryptFile(argv[2], argv[3]);
    } else {
      method.VerifyFile(argv[2]);
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
