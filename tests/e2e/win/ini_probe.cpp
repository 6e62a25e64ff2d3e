// Wine-side cross-check of the portable INI reader: for every file of a corpus folder, asks the
// real GetPrivateProfileStringA and tw::IniDocument the same questions and reports each answer
// on which they differ. Usage: ini_probe.exe <corpus folder>; exit code 0 only when all agree.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/ini_document.h"

namespace {

const int kSizes[] = {0, 1, 2, 3, 4, 5, 20, 100, 255, 4096};
const int kSmallSizes[] = {3, 255};
const char* const kDefaults[] = {"", "dflt  "};
const char* const kOddDefaults[] = {"   ", " lead", "tab\t", "\"quoted\"", "'q'", "\"", "\"\"",
                                    "abc  \t  "};
const size_t kMaxSections = 24;
const size_t kMaxKeysPerSection = 24;
const size_t kMaxPrinted = 300;
const DWORD kListBuffer = 1 << 20;

struct Stats {
  long queries = 0;
  long disagreements = 0;
};

std::string Escape(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  if (out.size() > 160) out = out.substr(0, 160) + "...(" + std::to_string(text.size()) + ")";
  return out;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Upper(std::string text) {
  if (!text.empty()) CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

std::string Lower(std::string text) {
  if (!text.empty()) CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

// What the real reader leaves in a buffer of the given size; a marker fill shows that a zero
// size writes nothing.
std::string RealGet(const std::string& path, const std::string& section, const std::string& key,
                    const char* fallback, int size) {
  std::vector<char> buffer(static_cast<size_t>(size) + 1, '\x7f');
  DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback, buffer.data(),
                                          static_cast<DWORD>(size), path.c_str());
  if (size == 0) return std::string();
  std::string text(buffer.data(), strnlen(buffer.data(), static_cast<size_t>(size)));
  if (length != text.size()) return text + "<length " + std::to_string(length) + ">";
  return text;
}

// A null section or key makes the real reader list names, NUL-separated, ending in an empty one.
std::vector<std::string> RealList(const std::string& path, const char* section) {
  std::vector<char> buffer(kListBuffer, '\0');
  GetPrivateProfileStringA(section, nullptr, "", buffer.data(), kListBuffer, path.c_str());
  std::vector<std::string> names;
  for (const char* p = buffer.data(); *p; p += names.back().size() + 1) names.emplace_back(p);
  return names;
}

std::string Join(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& name : names) out += "[" + Escape(name) + "]";
  return out;
}

class FileProbe {
 public:
  FileProbe(const std::string& path, const std::string& label, Stats& stats)
      : path_(path), label_(label), stats_(stats),
        doc_(tw::IniDocument::Parse(ReadBytes(path))) {}

  void Run() {
    ScanCandidates(ReadBytes(path_));
    CheckLists();
    for (size_t i = 0; i < sections_.size(); ++i) CheckSection(sections_[i], keys_[i]);
    CheckOddDefaults();
  }

 private:
  // Section and key names as a rough look at the raw lines suggests, so that names the reader
  // drops or cannot reach are asked for too.
  void ScanCandidates(const std::string& bytes) {
    AddSection("");
    size_t pos = 0;
    while (pos < bytes.size()) {
      size_t end = bytes.find_first_of("\r\n", pos);
      if (end == std::string::npos) end = bytes.size();
      std::string line = Trim(bytes.substr(pos, end - pos));
      pos = end + 1;
      if (line.empty()) continue;
      size_t close = line.rfind(']');
      if (line[0] == '[' && close != std::string::npos) {
        AddSection(line.substr(1, close - 1));
        continue;
      }
      AddKey(current_, Trim(line.substr(0, line.find('='))));
    }
    // Names as either reader lists them: this also covers files the scan cannot read (UTF-16).
    for (const std::string& name : doc_.Sections()) AddSection(name);
    for (const std::string& name : RealList(path_, nullptr)) AddSection(name);
    AddSection("nosuch");
    for (size_t i = 0; i < sections_.size(); ++i) {
      for (const std::string& name : doc_.Keys(sections_[i])) AddKey(i, name);
      for (const std::string& name : RealList(path_, sections_[i].c_str())) AddKey(i, name);
      for (const char* extra : {"", "nosuch", " ", ";"}) keys_[i].push_back(extra);
    }
  }

  static std::string Trim(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::string();
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
  }

  void AddSection(const std::string& name) {
    if (sections_.size() >= kMaxSections || !seenSections_.insert(name).second) return;
    sections_.push_back(name);
    keys_.emplace_back();
    current_ = sections_.size() - 1;
  }

  void AddKey(size_t section, const std::string& name) {
    std::vector<std::string>& keys = keys_[section];
    for (const std::string& known : keys) {
      if (known == name) return;
    }
    if (keys.size() < kMaxKeysPerSection) keys.push_back(name);
  }

  void CheckLists() {
    Compare("sections", "", "", Join(RealList(path_, nullptr)), Join(doc_.Sections()));
    for (const std::string& section : sections_) {
      for (const std::string& variant : {section, Upper(section), " " + section}) {
        Compare("keys", variant, "", Join(RealList(path_, variant.c_str())),
                Join(doc_.Keys(variant)));
      }
    }
  }

  void CheckSection(const std::string& section, const std::vector<std::string>& keys) {
    for (const std::string& key : keys) {
      for (const std::string& variant : {key, Upper(key), Lower(key), "  " + key + "\t "}) {
        for (int size : kSizes) {
          for (const char* fallback : kDefaults) CheckGet(section, variant, fallback, size);
        }
      }
      for (const std::string& sectionVariant :
           {Upper(section), Lower(section), " " + section + " ", "\t" + section}) {
        for (int size : kSmallSizes) CheckGet(sectionVariant, key, "", size);
      }
    }
  }

  void CheckOddDefaults() {
    for (const char* fallback : kOddDefaults) {
      for (int size : kSizes) CheckGet("nosuch", "nosuch", fallback, size);
    }
  }

  void CheckGet(const std::string& section, const std::string& key, const char* fallback,
                int size) {
    std::string what = "get size=" + std::to_string(size) + " default=\"" + Escape(fallback) + "\"";
    Compare(what, section, key, RealGet(path_, section, key, fallback, size),
            doc_.Get(section, key, fallback, size));
  }

  void Compare(const std::string& what, const std::string& section, const std::string& key,
               const std::string& real, const std::string& ours) {
    ++stats_.queries;
    if (real == ours) return;
    if (++stats_.disagreements <= static_cast<long>(kMaxPrinted)) {
      std::printf("DIFF %s %s section=\"%s\" key=\"%s\"\n  wine=\"%s\"\n  ours=\"%s\"\n",
                  label_.c_str(), what.c_str(), Escape(section).c_str(), Escape(key).c_str(),
                  Escape(real).c_str(), Escape(ours).c_str());
    }
  }

  std::string path_;
  std::string label_;
  Stats& stats_;
  tw::IniDocument doc_;
  std::vector<std::string> sections_;
  std::vector<std::vector<std::string>> keys_;
  std::set<std::string> seenSections_;
  size_t current_ = 0;
};

std::vector<std::string> ListFiles(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(data.cFileName);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  std::set<std::string> sorted(names.begin(), names.end());
  return std::vector<std::string>(sorted.begin(), sorted.end());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: ini_probe <corpus folder>\n");
    return 2;
  }
  // The real reader looks a bare file name up in the Windows folder, so hand it full paths.
  char full[MAX_PATH];
  if (!GetFullPathNameA(argv[1], MAX_PATH, full, nullptr)) return 2;
  std::vector<std::string> files = ListFiles(full);
  if (files.empty()) {
    std::fprintf(stderr, "ini_probe: no files in %s\n", full);
    return 2;
  }
  Stats stats;
  for (const std::string& name : files) {
    long before = stats.disagreements;
    FileProbe(std::string(full) + "\\" + name, name, stats).Run();
    std::printf("file %s: %s\n", name.c_str(), stats.disagreements == before ? "agree" : "DIFFER");
  }
  std::printf("ini_probe: acp=%u files=%zu queries=%ld disagreements=%ld\n", GetACP(),
              files.size(), stats.queries, stats.disagreements);
  return stats.disagreements == 0 ? 0 : 1;
}
