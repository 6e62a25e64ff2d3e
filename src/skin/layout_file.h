// The layout file of a page: its window settings and its control lines with their property blocks,
// read with the profile reader's rules and bounded against hostile files.
#pragma once
#include <string>
#include <vector>

#include "platform/ini_document.h"
#include "skin/control_record.h"

namespace tw {

struct WindowSettings {
  std::string idcname, caption, bkcolor, border, bkimage, soundfile, startup, minwindow, maxwindow,
      closewindow;
  int width = 0, height = 0;
  std::string fontName;
  int fontSize = 0;
  bool fontBold = true, fontItalic = true;
};

// One control line of the "INFO" section with the properties of its block.
struct ControlLine {
  std::string kind;
  Rect rect;
  std::string imageFile;
  int block = 0;
  std::vector<Property> properties;  // empty when the block claims more than kMaxProperties
};

struct PageLayout {
  WindowSettings window;
  std::vector<ControlLine> lines;  // in "INFO" order, 0 first
};

// Reads the whole layout; folder (with its trailing backslash) resolves file values.
PageLayout ReadLayout(const IniDocument& file, const std::string& folder);

// Splits a control line at its commas: at most 20 fields, and the character right after a cut is
// never itself a separator.
std::vector<std::string> SplitControlLine(const std::string& line);
// "name|value|number": the value gets the file rule; the number is the digits left after the second
// separator with every "|" removed.
Property ParsePropertyLine(const std::string& line, const std::string& folder);
// A value holding "{" names a file beside the layout: braces removed, the folder put in front.
std::string FileValue(const std::string& value, const std::string& folder);
// Braces removed, nothing else ("bkimage", "soundfile").
std::string WithoutBraces(const std::string& value);
// "COLOR_BTNFACE" or "r,g,b" (leading-digit rule per component); empty means the face colour.
ColorRef ParseColor(const std::string& text, ColorRef faceColor);
// The face colour as "r,g,b".
std::string ColorText(ColorRef color);

}  // namespace tw
