// Measures why the INI reader parses once per load: 20,000 key reads from a parsed IniDocument
// against parsing the file again for every read, as a per-key system call would.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/ini_document.h"

namespace {

const int kReads = 20000;
const int kSections = 40;
const int kKeysPerSection = 60;

// A project-sized file: 40 sections of 60 keys with values of ordinary length.
std::string MakeProjectText() {
  std::string text;
  for (int s = 0; s < kSections; ++s) {
    text += "[SECTION" + std::to_string(s) + "]\r\n";
    for (int k = 0; k < kKeysPerSection; ++k) {
      text += "Key" + std::to_string(k) + " = value of key " + std::to_string(k) +
              " in section " + std::to_string(s) + "\r\n";
    }
  }
  return text;
}

struct Query {
  std::string section;
  std::string key;
};

// Spread over the file, in lower case so the case-insensitive path is the one measured.
std::vector<Query> MakeQueries() {
  std::vector<Query> queries;
  for (int i = 0; i < kReads; ++i) {
    int s = (i * 7) % kSections;
    int k = (i * 13) % (kKeysPerSection + 5);  // a few keys are missing
    queries.push_back({"section" + std::to_string(s), "key" + std::to_string(k)});
  }
  return queries;
}

template <typename Work>
double TimeMs(Work work) {
  auto start = std::chrono::steady_clock::now();
  work();
  std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  return took.count();
}

}  // namespace

int main() {
  const std::string text = MakeProjectText();
  const std::vector<Query> queries = MakeQueries();
  size_t onceSum = 0;
  size_t reparseSum = 0;

  // The one parse is part of the first figure: that is what a load costs.
  double onceMs = TimeMs([&] {
    const tw::IniDocument doc = tw::IniDocument::Parse(text);
    for (const Query& q : queries) onceSum += doc.Get(q.section, q.key, "", 255).size();
  });
  double reparseMs = TimeMs([&] {
    for (const Query& q : queries) {
      reparseSum += tw::IniDocument::Parse(text).Get(q.section, q.key, "", 255).size();
    }
  });

  std::printf("ini_bench: %d reads, file of %zu bytes (%d sections x %d keys)\n", kReads,
              text.size(), kSections, kKeysPerSection);
  std::printf("parse once, then read:   %10.2f ms  (%.3f us per read)\n", onceMs,
              onceMs * 1000.0 / kReads);
  std::printf("parse again for each read: %8.2f ms  (%.3f us per read)\n", reparseMs,
              reparseMs * 1000.0 / kReads);
  std::printf("speed-up: %.0fx\n", reparseMs / (onceMs > 0 ? onceMs : 1e-9));
  if (onceSum != reparseSum) {
    std::printf("ini_bench: answers differ (%zu vs %zu)\n", onceSum, reparseSum);
    return 1;
  }
  return 0;
}
