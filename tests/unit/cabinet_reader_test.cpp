// Our cabinet reader over cabinets from other writers (gcab, hand-made sets that span disks) and
// over damaged ones: every member's bytes, in any order, and a clean failure on broken data.
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "../contract/test_cabinets.h"
#include "install/cabinet_reader.h"

namespace tw {
namespace {

namespace tc = test_cabinets;
using Shelf = std::map<std::string, std::string>;  // cabinet name -> its bytes

CabinetReader::OpenCabinet From(const Shelf& shelf, int* opened = nullptr) {
  return [&shelf, opened](const std::string& name, const std::string&) -> std::unique_ptr<std::istream> {
    if (opened) ++*opened;
    auto found = shelf.find(name);
    if (found == shelf.end()) return nullptr;
    return std::make_unique<std::istringstream>(found->second);
  };
}

std::optional<std::string> Extract(CabinetReader& reader, const std::string& name) {
  const CabinetEntry* entry = reader.Find(name);
  if (!entry) return std::nullopt;
  std::string out;
  if (!reader.Extract(*entry, [&out](const char* data, size_t size) { return out.append(data, size), true; }))
    return std::nullopt;
  return out;
}

// Text that compresses but not to nothing, so MSZIP blocks refer back across block borders.
std::string Words(size_t size, uint32_t seed) {
  static const char* kWords[] = {"cabinet ", "folder ", "block ", "member ", "setup ", "window\r\n", "zlib "};
  std::string text;
  while (text.size() < size) {
    seed = seed * 1103515245 + 12345;
    text += kWords[(seed >> 16) % 7];
  }
  return text.substr(0, size);
}

// MSZIP blocks as a cabinet writer makes them: "CK", then raw deflate that may refer back into the
// previous 32 KiB of output.
std::vector<tc::Block> MsZipBlocks(const std::string& data) {
  std::vector<tc::Block> blocks;
  for (size_t at = 0; at < data.size(); at += 32768) {
    std::string part = data.substr(at, 32768);
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    size_t window = std::min<size_t>(at, 32768);
    if (window) deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(data.data() + at - window), window);
    std::string out(deflateBound(&z, part.size()) + 2, '\0');
    out[0] = 'C', out[1] = 'K';
    z.next_in = reinterpret_cast<Bytef*>(&part[0]);
    z.avail_in = part.size();
    z.next_out = reinterpret_cast<Bytef*>(&out[2]);
    z.avail_out = out.size() - 2;
    deflate(&z, Z_FINISH);
    out.resize(2 + z.total_out);
    deflateEnd(&z);
    blocks.push_back({out, static_cast<uint16_t>(part.size())});
  }
  return blocks;
}

// Two MSZIP cabinets: "small" whole in the first, "big" crossing into the second with the block at
// the border cut in two, as spanning writers do.
Shelf MsZipSpanningSet(const std::string& small, const std::string& big) {
  std::vector<tc::Block> blocks = MsZipBlocks(small + big);
  tc::Block cut = blocks.back();
  blocks.pop_back();
  size_t half = cut.data.size() / 2;
  tc::Member first{"F0_small.txt", small}, second{"F1_big.txt", big};
  uint32_t at = static_cast<uint32_t>(small.size());
  std::vector<tc::Block> firstBlocks = blocks;
  firstBlocks.push_back({cut.data.substr(0, half), 0});
  Shelf shelf;
  shelf["file1.cab"] = tc::Cabinet({{first, 0, 0}, {second, at, tc::kContinuedToNext}}, firstBlocks,
                                   {0, "", "", "file2.cab", "DISK2"}, 1);
  shelf["file2.cab"] = tc::Cabinet({{second, at, tc::kContinuedFromPrevious}}, {{cut.data.substr(half), cut.unpackedSize}},
                                   {1, "file1.cab", "DISK1", "", ""}, 1);
  return shelf;
}

struct ReadCase {
  const char* what;
  Shelf shelf;
  std::vector<tc::Member> members;
};

TEST(CabinetReader, ReadsEveryMemberInAnyOrder) {
  const std::string big = Words(100000, 7), spanned(30000, 's');
  tc::SpanningSet stored = tc::SpanningCabinets({"a.txt", "alpha"}, {"b.bin", spanned});
  const ReadCase cases[] = {
      {"MSZIP by gcab", {{"file1.cab", tc::MsZipCabinet()}}, {{"F0_readme.txt", tc::MsZipReadme()}, {"logo.bmp", tc::MsZipLogo()}}},
      {"stored, a member over two blocks, an empty one",
       {{"file1.cab", tc::StoredCabinet({{"one", "1"}, {"two", std::string(40000, 't')}, {"none", ""}, {"last", "z"}})}},
       {{"one", "1"}, {"two", std::string(40000, 't')}, {"none", ""}, {"last", "z"}}},
      {"stored set of two cabinets", {{"file1.cab", stored.first}, {"file2.cab", stored.second}}, {{"a.txt", "alpha"}, {"b.bin", spanned}}},
      {"MSZIP set of two cabinets", MsZipSpanningSet("small", big), {{"F0_small.txt", "small"}, {"F1_big.txt", big}}},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.what);
    CabinetReader reader(From(c.shelf));
    ASSERT_EQ(reader.Open("file1.cab"), CabinetRead::kOk);
    EXPECT_EQ(reader.Entries().size(), c.members.size());
    for (const tc::Member& member : c.members) EXPECT_TRUE(Extract(reader, member.name) == member.data) << member.name;
    for (auto m = c.members.rbegin(); m != c.members.rend(); ++m)
      EXPECT_TRUE(Extract(reader, m->name) == m->data) << m->name << " going back";
  }
}

TEST(CabinetReader, ReadsMultiBlockCabinetsWrittenByGcab) {
  if (std::system("command -v gcab >/dev/null 2>&1") != 0) GTEST_SKIP() << "gcab is not installed";
  auto dir = std::filesystem::temp_directory_path() / ("tw_gcab_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::map<std::string, std::string> members = {
      {"F0_a.txt", Words(70000, 1)}, {"F1_b.txt", Words(90001, 2)}, {"F2_c.txt", "c"}};
  std::string command = "cd '" + dir.string() + "' && gcab -cz set.cab";
  for (const auto& [name, data] : members) {
    std::ofstream(dir / name, std::ios::binary) << data;
    command += " " + name;
  }
  ASSERT_EQ(std::system((command + " >/dev/null").c_str()), 0);
  std::ifstream in(dir / "set.cab", std::ios::binary);
  Shelf shelf{{"set.cab", std::string(std::istreambuf_iterator<char>(in), {})}};
  std::filesystem::remove_all(dir);

  CabinetReader reader(From(shelf));
  ASSERT_EQ(reader.Open("set.cab"), CabinetRead::kOk);
  for (const auto& [name, data] : members) EXPECT_TRUE(Extract(reader, name) == data) << name;
}

TEST(CabinetReader, TellsWhatItCannotRead) {
  tc::SpanningSet set = tc::SpanningCabinets({"a", "alpha"}, {"b", "bravo"});
  std::string lzx = tc::StoredCabinet({{"a", "alpha"}});
  lzx[36 + 6] = 3;  // the folder's compression: LZX
  const struct {
    const char* what;
    Shelf shelf;
    CabinetRead expected;
  } cases[] = {
      {"missing", {}, CabinetRead::kCannotOpen},
      {"text", {{"file1.cab", "This is not a cabinet, only some text long enough."}}, CabinetRead::kNotCabinet},
      {"header cut short", {{"file1.cab", tc::StoredCabinet({{"a", "alpha"}}).substr(0, 20)}}, CabinetRead::kNotCabinet},
      {"LZX folder", {{"file1.cab", lzx}}, CabinetRead::kOtherCompression},
      {"second cabinet missing", {{"file1.cab", set.first}}, CabinetRead::kBroken},
      {"second cabinet not one", {{"file1.cab", set.first}, {"file2.cab", "garbage garbage garbage garbage garbage"}},
       CabinetRead::kBroken},
      {"a set that names itself", {{"file1.cab", tc::Cabinet({}, {{"", 0}}, {0, "", "", "file1.cab", "D"})}}, CabinetRead::kBroken},
      {"a cabinet carried on from an earlier one", {{"file1.cab", set.second}}, CabinetRead::kStartsMidSet},
      {"a folder carried on, no member", {{"file1.cab", tc::Cabinet({{{"b", "o"}, 4, 0}}, {{"bravo", 5}}, {1, "f0.cab", "D", "", ""})}},
       CabinetRead::kStartsMidSet},
  };
  for (const auto& c : cases) {
    CabinetReader reader(From(c.shelf));
    EXPECT_EQ(reader.Open("file1.cab"), c.expected) << c.what;
    EXPECT_TRUE(reader.Entries().empty()) << c.what;
  }
}

// A set that comes back to a cabinet it has read is refused before that cabinet is read again (a
// cabinet of 65535 members read a thousand times took gigabytes), and so is a set larger than one
// cabinet can be.
TEST(CabinetReader, RefusesASetThatCirclesOrOverflows) {
  auto at = [](uint16_t index, std::string previous, std::string next) {
    return tc::Cabinet({}, {{"", 0}}, {index, previous, "D", next, next.empty() ? "" : "D"});
  };
  std::vector<tc::Entry> many(40000, {{"m", ""}, 0, 0});
  const struct {
    const char* what;
    Shelf shelf;
    int opens;
  } cases[] = {
      {"names itself", {{"file1.cab", at(0, "file0.cab", "FILE1.CAB")}}, 1},
      {"names the second of three", {{"file1.cab", at(0, "", "file2.cab")}, {"file2.cab", at(1, "file1.cab", "file3.cab")},
        {"file3.cab", at(2, "file2.cab", "File2.Cab")}, {"File2.Cab", at(1, "file1.cab", "file3.cab")}}, 3},
      {"reaches the second again by another name", {{"file1.cab", at(0, "", "file2.cab")},
        {"file2.cab", at(1, "file1.cab", "alias.cab")}, {"alias.cab", at(1, "file1.cab", "other.cab")}}, 3},
      {"holds 80000 members", {{"file1.cab", tc::Cabinet(many, {{"", 0}}, {0, "", "", "file2.cab", "D"})},
        {"file2.cab", tc::Cabinet(many, {{"", 0}}, {1, "file1.cab", "D", "", ""})}}, 2},
  };
  for (const auto& c : cases) {
    int opened = 0;
    CabinetReader reader(From(c.shelf, &opened));
    EXPECT_EQ(reader.Open("file1.cab"), CabinetRead::kBroken) << c.what;
    EXPECT_EQ(opened, c.opens) << c.what;
  }
}

// Every cut of the cabinet and a changed byte in its data: the member that needs the lost or
// damaged bytes fails, nothing crashes, nothing hangs.
TEST(CabinetReader, DamagedDataFailsTheMember) {
  const std::string whole = tc::MsZipCabinet();
  for (size_t size = 0; size < whole.size(); ++size) {
    Shelf shelf{{"file1.cab", whole.substr(0, size)}};
    CabinetReader reader(From(shelf));
    if (reader.Open("file1.cab") != CabinetRead::kOk) continue;
    EXPECT_EQ(Extract(reader, "logo.bmp"), std::nullopt) << "cut at " << size;
  }
  std::string flipped = whole;
  flipped[whole.size() - 40] ^= 0x10;  // inside the compressed data; the block's checksum no longer fits
  Shelf shelf{{"file1.cab", flipped}};
  CabinetReader reader(From(shelf));
  ASSERT_EQ(reader.Open("file1.cab"), CabinetRead::kOk);
  EXPECT_EQ(Extract(reader, "logo.bmp"), std::nullopt);
  EXPECT_EQ(Extract(reader, "F0_readme.txt"), std::nullopt);  // same block
}

}  // namespace
}  // namespace tw
