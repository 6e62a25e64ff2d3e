// Reading layout files: the control-line split, property lines, file values, colours, limits.
#include <gtest/gtest.h>

#include "skin/layout_file.h"

namespace tw {
namespace {

PageLayout Read(const std::string& text) { return ReadLayout(IniDocument::Parse(text), "C:\\theme\\"); }

TEST(LayoutFile, ControlLinesNeverHaveEmptyFields) {
  EXPECT_EQ(SplitControlLine("a,b,c"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(SplitControlLine("a,,b"), (std::vector<std::string>{"a", ",b"})) << "a comma right after a cut is text";
  EXPECT_EQ(SplitControlLine(""), (std::vector<std::string>{""}));
  std::string many;
  for (int i = 0; i < 30; ++i) many += std::to_string(i) + ",";
  auto fields = SplitControlLine(many);
  ASSERT_EQ(fields.size(), 20u) << "the twentieth field keeps the rest";
  EXPECT_EQ(fields[19].substr(0, 3), "19,");
}

TEST(LayoutFile, PropertyLinesAndFileValues) {
  Property p = ParsePropertyLine("Caption|Hello <ProductName>|3", "C:\\t\\");
  EXPECT_EQ(p.name, "Caption");
  EXPECT_EQ(p.value, "Hello <ProductName>");
  EXPECT_EQ(p.number, 3);
  Property file = ParsePropertyLine("FileName|{logo.bmp}|1|2", "C:\\t\\");
  EXPECT_EQ(file.value, "C:\\t\\logo.bmp");
  EXPECT_EQ(file.number, 12) << "every '|' is removed from the number's text";
  Property bare = ParsePropertyLine("42", "C:\\t\\");
  EXPECT_EQ(bare.name, "");
  EXPECT_EQ(bare.value, "");
  EXPECT_EQ(bare.number, 42);
  EXPECT_EQ(WithoutBraces("{back.bmp}"), "back.bmp");
}

TEST(LayoutFile, ColoursAreComponentsOrTheFaceColour) {
  const ColorRef face = MakeColor(236, 233, 216);
  EXPECT_EQ(ParseColor("", face), face);
  EXPECT_EQ(ParseColor("COLOR_BTNFACE", face), face);
  EXPECT_EQ(ParseColor("255,0,0", face), MakeColor(255, 0, 0));
  EXPECT_EQ(ParseColor("10,x,", face), MakeColor(10, 0, 0)) << "malformed components count as 0";
  EXPECT_EQ(ColorText(face), "236,233,216");
}

TEST(LayoutFile, WindowSettingsAndControls) {
  PageLayout layout = Read(
      "[MAINWINDOW]\r\ncaption=Welcome\r\nbkimage={back.bmp}\r\nwidth=500\r\nheight=400\r\nfontbold=no\r\n"
      "fontitalic=No\r\nfontsize=8\r\n"
      "[INFO]\r\nTOTAL=3\r\n0=x,10,20,80,25,BUTTON,-,x,4\r\n1=x,5,5,100,30,BITMAP,{logo.bmp},x,7\r\n"
      "2=x,1,1,10,10,TEXT,-,x,4\r\n"
      "[DADOS]\r\n4,t=2\r\n4,0=Name|IDC_NEXT|0\r\n4,1=Caption|Next >|0\r\n7,t=16\r\n7,0=a|b|0\r\n");
  EXPECT_EQ(layout.window.caption, "Welcome");
  EXPECT_EQ(layout.window.bkimage, "back.bmp") << "the page picture only loses its braces";
  EXPECT_EQ(layout.window.width, 500);
  EXPECT_TRUE(layout.window.fontBold) << "only \"No\" switches bold off";
  EXPECT_FALSE(layout.window.fontItalic);
  ASSERT_EQ(layout.lines.size(), 3u);
  EXPECT_EQ(layout.lines[0].kind, "BUTTON");
  EXPECT_EQ(layout.lines[0].rect, (Rect{10, 20, 90, 45}));
  EXPECT_EQ(layout.lines[1].imageFile, "C:\\theme\\logo.bmp");
  EXPECT_TRUE(layout.lines[1].properties.empty()) << "a block claiming more than 15 lines keeps none";
  EXPECT_EQ(layout.lines[2].properties.size(), 2u) << "two lines may share a block";
  EXPECT_EQ(layout.lines[2].properties[0].value, "IDC_NEXT");
}

TEST(LayoutFile, MissingOrHostileFilesStayBounded) {
  PageLayout empty = Read("");
  EXPECT_TRUE(empty.lines.empty());
  EXPECT_EQ(empty.window.width, 0);
  EXPECT_TRUE(empty.window.fontBold && empty.window.fontItalic) << "an empty face, bold and italic";
  PageLayout huge = Read("[INFO]\r\nTOTAL=2147483647\r\n0=x,-5,99999999999,3,3,TEXT,,,0\r\n");
  EXPECT_LE(huge.lines.size(), 4096u);
  EXPECT_EQ(huge.lines[0].rect.left, -5);
  EXPECT_EQ(huge.lines[0].rect.top, 1000000) << "coordinates are clamped, never overflowed";
}

}  // namespace
}  // namespace tw
