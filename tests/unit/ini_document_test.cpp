// IniDocument: the answers of the system's GetPrivateProfileStringA, from one parse.
#include "platform/ini_document.h"

#include <gtest/gtest.h>

#include <string>

namespace tw {
namespace {

using namespace std::string_literals;

std::string Read(const std::string& text, const char* section, const char* key, int size = 255,
                 const char* fallback = "") {
  return IniDocument::Parse(text).Get(section, key, fallback, size);
}

using Names = std::vector<std::string>;

TEST(IniLookup, NamesMatchWithoutRegardToAsciiCaseOrSurroundingBlanks) {
  IniDocument doc = IniDocument::Parse("  [ AppInfo ]  \r\n\t Product Name \t=  Demo  \r\n");
  EXPECT_EQ(doc.Get("APPINFO", "product name", "", 255), "Demo");
  EXPECT_EQ(doc.Get(" appinfo\t", "  PRODUCT NAME ", "", 255), "Demo");
  EXPECT_EQ(doc.Get("APPINFO", "ProductName", "none", 255), "none");  // inner blanks count
}

TEST(IniLookup, LettersBeyondAsciiMatchOnlyExactly) {
  IniDocument doc = IniDocument::Parse("[\xC9t\xE9]\n\xC9l\xE8ve=1\n");
  EXPECT_EQ(doc.Get("\xC9T\xE9", "\xC9L\xE8VE", "", 255), "1");
  EXPECT_EQ(doc.Get("\xE9t\xE9", "\xC9l\xE8ve", "-", 255), "-");
  EXPECT_EQ(doc.Get("\xC9t\xE9", "\xE9l\xE8ve", "-", 255), "-");
}

TEST(IniLookup, FirstKeyOfFirstSectionWins) {
  const std::string text = "[Dup]\nk=first\nK=second\n[Other]\n[dup]\nk=later\nonly=later\n";
  IniDocument doc = IniDocument::Parse(text);
  EXPECT_EQ(doc.Get("dup", "k", "", 255), "first");
  // A later section of the same name is never searched.
  EXPECT_EQ(doc.Get("DUP", "only", "missing", 255), "missing");
  EXPECT_FALSE(doc.Has("Dup", "only"));
}

// Names are found by a hash of their folded spelling; "bgpvu" and "b13ea" share one, and each
// must still find only itself, in sections and keys alike, whichever comes first.
TEST(IniLookup, NamesSharingAHashStayApart) {
  IniDocument doc = IniDocument::Parse("[b13ea]\nbgpvu=1\nB13EA=2\n[BGPVU]\nb13ea=3\n");
  const struct { const char* section; const char* key; const char* value; } lookups[] = {
      {"b13ea", "bgpvu", "1"}, {"b13ea", "b13ea", "2"},
      {"bgpvu", "b13ea", "3"}, {"bgpvu", "bgpvu", "-"}};
  for (const auto& lookup : lookups)
    EXPECT_EQ(doc.Get(lookup.section, lookup.key, "-", 255), lookup.value)
        << lookup.section << "/" << lookup.key;
}

TEST(IniLookup, KeyLineWithoutEqualsGivesTheFallbackEvenIfALaterLineHasOne) {
  IniDocument doc = IniDocument::Parse("[N]\nflag\nflag=1\nother=2\n");
  EXPECT_EQ(doc.Get("N", "flag", "dflt", 255), "dflt");
  EXPECT_FALSE(doc.Has("N", "flag"));
  EXPECT_TRUE(doc.Has("N", "other"));
}

TEST(IniLookup, KeysBeforeTheFirstHeaderBelongToTheEmptySectionName) {
  IniDocument doc = IniDocument::Parse("top=1\n[S]\nk=2\n");
  EXPECT_EQ(doc.Get("", "top", "", 255), "1");
  EXPECT_EQ(doc.Get("  ", "top", "", 255), "1");
  EXPECT_EQ(doc.Get("S", "top", "-", 255), "-");
}

TEST(IniLookup, CommentLinesAreOrdinaryKeysToALookup) {
  EXPECT_EQ(Read("[C]\n;k=hidden\n", "C", ";k"), "hidden");
  EXPECT_EQ(Read("[C]\nk=v ; not a comment\n", "C", "k"), "v ; not a comment");
}

TEST(IniLookup, EmptyKeyNameFindsTheFirstLineThatStartsWithEquals) {
  EXPECT_EQ(Read("[E]\n=one\n=two\nk=3\n", "E", ""), "one");
  EXPECT_EQ(Read("[E]\nk=3\n", "E", "", 255, "dflt"), "dflt");
}

TEST(IniValues, OnePairOfMatchingQuotesIsRemoved) {
  const std::string text =
      "[Q]\nd=\"abc\"\ns='abc'\nmixed=\"abc'\nempty=\"\"\nlone=\"\nnested=\"\"x\"\"\n"
      "padded=  \"  in  \"  \ninner=a\"b\"c\n";
  IniDocument doc = IniDocument::Parse(text);
  EXPECT_EQ(doc.Get("Q", "d", "", 255), "abc");
  EXPECT_EQ(doc.Get("Q", "s", "", 255), "abc");
  EXPECT_EQ(doc.Get("Q", "mixed", "", 255), "\"abc'");
  EXPECT_EQ(doc.Get("Q", "empty", "", 255), "");
  EXPECT_EQ(doc.Get("Q", "lone", "", 255), "\"");
  EXPECT_EQ(doc.Get("Q", "nested", "", 255), "\"x\"");
  EXPECT_EQ(doc.Get("Q", "padded", "", 255), "  in  ");
  EXPECT_EQ(doc.Get("Q", "inner", "", 255), "a\"b\"c");
}

TEST(IniValues, EverythingAfterTheFirstEqualsIsTheValue) {
  IniDocument doc = IniDocument::Parse("[E]\nk==v\nk2 = a = b \nk3=\n");
  EXPECT_EQ(doc.Get("E", "k", "", 255), "=v");
  EXPECT_EQ(doc.Get("E", "k2", "", 255), "a = b");
  EXPECT_EQ(doc.Get("E", "k3", "dflt", 255), "");
  EXPECT_TRUE(doc.Has("E", "k3"));
}

TEST(IniBufferSize, ValueIsCutToSizeLessOne) {
  const std::string text = "[A]\nlong=" + std::string(300, 'x') + "\nshort=abc\n";
  IniDocument doc = IniDocument::Parse(text);
  EXPECT_EQ(doc.Get("A", "long", "", 255), std::string(254, 'x'));
  EXPECT_EQ(doc.Get("A", "long", "", 100), std::string(99, 'x'));
  EXPECT_EQ(doc.Get("A", "long", "", 20), std::string(19, 'x'));
  EXPECT_EQ(doc.Get("A", "short", "", 2), "a");
  EXPECT_EQ(doc.Get("A", "short", "", 1), "");
  EXPECT_EQ(doc.Get("A", "short", "", 0), "");
  EXPECT_EQ(doc.Get("A", "short", "", -5), "");
}

TEST(IniBufferSize, QuotedValueLosesOneMoreCharacterWhenTheBufferReachesTheClosingQuote) {
  const std::string text = "[L]\nq=\"abc\"\n";
  EXPECT_EQ(Read(text, "L", "q", 3), "ab");
  EXPECT_EQ(Read(text, "L", "q", 4), "ab");
  EXPECT_EQ(Read(text, "L", "q", 5), "abc");
  EXPECT_EQ(Read(text, "L", "q", 2), "a");
  EXPECT_EQ(Read(text, "L", "q", 1), "");
}

TEST(IniBufferSize, FallbackLosesTrailingSpacesAndQuotesAndIsCutTheSameWay) {
  IniDocument doc = IniDocument::Parse("");
  EXPECT_EQ(doc.Get("S", "k", "dflt  ", 255), "dflt");
  EXPECT_EQ(doc.Get("S", "k", "tab\t", 255), "tab\t");
  EXPECT_EQ(doc.Get("S", "k", "   ", 255), " ");
  EXPECT_EQ(doc.Get("S", "k", "\"quoted\"", 255), "quoted");
  EXPECT_EQ(doc.Get("S", "k", "dflt", 3), "df");
  EXPECT_EQ(doc.Get("S", "k", "d\0hidden"s, 255), "d");
}

TEST(IniLineStructure, AnyRunOfCrAndLfEndsALine) {
  const std::string text = "[a]\r\nx=1\r[b]\ry=2\n\r[c]\n\n\r\nz=3";
  IniDocument doc = IniDocument::Parse(text);
  EXPECT_EQ(doc.Get("a", "x", "", 255), "1");
  EXPECT_EQ(doc.Get("b", "y", "", 255), "2");
  EXPECT_EQ(doc.Get("c", "z", "", 255), "3");  // no newline at the end
}

TEST(IniLineStructure, HeaderNameRunsToTheLastClosingBracket) {
  const std::string text =
      "[Sec] trailing\na=1\n[x]y]\nb=2\n[open\nc=3\n[[double]]\nd=4\n[]\ne=5\n";
  IniDocument doc = IniDocument::Parse(text);
  EXPECT_EQ(doc.Get("Sec", "a", "", 255), "1");
  EXPECT_EQ(doc.Get("x]y", "b", "", 255), "2");
  EXPECT_EQ(doc.Get("x]y", "[open", "-", 255), "-");  // no ']': a key line, no value
  EXPECT_EQ(doc.Get("x]y", "c", "", 255), "3");
  EXPECT_EQ(doc.Get("[double]", "d", "", 255), "4");
  EXPECT_EQ(doc.Get("", "e", "-", 255), "-");  // the nameless part before any header comes first
}

TEST(IniOddBytes, NulEndsANameOrValueButNotTheLine) {
  IniDocument doc = IniDocument::Parse("[Z\0x]\nk\0ey=1\nv=ab\0cd\nafter=ok\n"s);
  EXPECT_EQ(doc.Get("Z", "k", "", 255), "1");
  EXPECT_EQ(doc.Get("Z", "v", "", 255), "ab");
  EXPECT_EQ(doc.Get("Z", "after", "", 255), "ok");
  EXPECT_EQ(doc.Get("Z", "key", "-", 255), "-");
}

TEST(IniOddBytes, ControlBlanksAreTrimmedButNoBreakSpaceIsNot) {
  IniDocument doc = IniDocument::Parse("[B]\x1a\n\x0bk\x0c=\x1av\x1a\n\xA0n=x\n");
  EXPECT_EQ(doc.Get("B", "k", "", 255), "v");
  EXPECT_EQ(doc.Get("B", "n", "-", 255), "-");
  EXPECT_EQ(doc.Get("B", "\xA0n", "", 255), "x");
}

TEST(IniOddBytes, SurvivesBinaryJunkAndHugeLines) {
  std::string junk;
  unsigned seed = 12345;
  for (int i = 0; i < 200000; ++i) {
    seed = seed * 1103515245u + 12345u;
    junk.push_back(static_cast<char>(seed >> 16));
  }
  for (size_t cut : {size_t{0}, size_t{1}, size_t{3}, junk.size()}) {
    IniDocument doc = IniDocument::Parse(std::string_view(junk).substr(0, cut));
    for (const std::string& section : doc.Sections()) {
      for (const std::string& key : doc.Keys(section)) {
        EXPECT_LE(doc.Get(section, key, "", 20).size(), 19u);
      }
    }
  }
  const std::string huge = "[H]\nk=" + std::string(2000000, 'h') + "\nafter=1";
  IniDocument doc = IniDocument::Parse(huge);
  EXPECT_EQ(doc.Get("H", "k", "", 255).size(), 254u);
  EXPECT_EQ(doc.Get("H", "after", "", 255), "1");
}

TEST(IniEnumeration, SectionsListsNamedSectionsInFileOrderWithDuplicates) {
  IniDocument doc = IniDocument::Parse("top=1\n[B]\n[a]\n[]\n[ b ]\n");
  EXPECT_EQ(doc.Sections(), (Names{"B", "a", "b"}));
  EXPECT_TRUE(IniDocument::Parse("").Sections().empty());
}

TEST(IniEnumeration, KeysSkipsCommentsAndLinesWithoutEquals) {
  IniDocument doc = IniDocument::Parse("[S]\nb=1\n;c=2\nflag\na=3\nB=4\n[s]\nlater=5\n");
  EXPECT_EQ(doc.Keys("s"), (Names{"b", "a", "B"}));
  EXPECT_TRUE(doc.Keys(" S").empty());  // the listing matches the section name as given
  EXPECT_TRUE(doc.Keys("missing").empty());
}

TEST(IniEnumeration, AnEmptyKeyNameEndsTheListing) {
  IniDocument doc = IniDocument::Parse("[S]\na=1\n=gap\nb=2\n");
  EXPECT_EQ(doc.Keys("S"), (Names{"a"}));
}

TEST(IniUnicodeFiles, Utf8FileIsAnsweredInTheAnsiCodePage) {
  const std::string text =
      "\xEF\xBB\xBF[U]\ncafe=caf\xC3\xA9\neuro=\xE2\x82\xAC\nmacron=\xC4\x80\narrow=\xE2\x86\x92\n"
      "bad=\xED\xA0\x80|\n\xC4\x80name=1\n";
  IniDocument doc = IniDocument::Parse(text);
  EXPECT_EQ(doc.Get("U", "cafe", "", 255), "caf\xE9");
  EXPECT_EQ(doc.Get("U", "euro", "", 255), "\x80");
  EXPECT_EQ(doc.Get("U", "macron", "", 255), "A");  // the converter's look-alike
  EXPECT_EQ(doc.Get("U", "arrow", "", 255), "?");
  EXPECT_EQ(doc.Get("U", "bad", "", 255), "??|");
  // The name holds U+0100: listed with its look-alike, but no ANSI query can name it.
  EXPECT_EQ(doc.Get("U", "Aname", "-", 255), "-");
  EXPECT_EQ(doc.Keys("U").back(), "Aname");
}

TEST(IniUnicodeFiles, LookAlikesOfSyntaxCharactersDoNotActAsThem) {
  const std::string text =
      "\xEF\xBB\xBF[L]\nk\xEF\xBC\x9Dv=1\nq=\xEF\xBC\x82x\xEF\xBC\x82\n\xEF\xBC\x9B" "c=2\n";
  IniDocument doc = IniDocument::Parse(text);
  EXPECT_EQ(doc.Get("L", "k", "-", 255), "-");
  EXPECT_EQ(doc.Get("L", "q", "", 255), "\"x\"");
  EXPECT_EQ(doc.Keys("L"), (Names{"k=v", "q", ";c"}));
}

TEST(IniUnicodeFiles, Utf16FilesInBothByteOrders) {
  const std::string le = "\xFF\xFE[\0S\0]\0\n\0k\0=\0\xE9\0"s;
  const std::string be = "\xFE\xFF\0[\0S\0]\0\n\0k\0=\0\xE9"s;
  EXPECT_EQ(IniDocument::Parse(le).Get("S", "k", "", 255), "\xE9");
  EXPECT_EQ(IniDocument::Parse(be).Get("S", "k", "", 255), "\xE9");
}

}  // namespace
}  // namespace tw
