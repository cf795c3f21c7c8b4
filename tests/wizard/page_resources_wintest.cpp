// The wizard's page templates and default picture, read back from the
// program's resources: every control where the pages expect it.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/resource_ids.h"

namespace {

// One control of an extended dialog template, as the template holds it.
struct control {
  int id;
  std::string cls;   // a predefined class by its name
  DWORD style;
  DWORD ex_style;
  short x, y, cx, cy;
  std::string text;  // "#n" for a resource ordinal
};

struct page {
  DWORD style;
  short cx, cy;
  std::string caption, font;
  WORD point_size, weight;
  BYTE italic, charset;
  std::vector<control> controls;
};

// Reads the extended template's variable-length fields in order.
class template_reader {
 public:
  explicit template_reader(const BYTE* p) : p_(p) {}
  WORD word() { WORD w; std::memcpy(&w, p_, 2); p_ += 2; return w; }
  DWORD dword() { DWORD d; std::memcpy(&d, p_, 4); p_ += 4; return d; }
  BYTE byte() { return *p_++; }
  short sword() { return static_cast<short>(word()); }
  void align(const BYTE* base) { while ((p_ - base) % 4) ++p_; }
  std::string text() {
    std::string s;
    for (WORD c; (c = word()) != 0;) s += static_cast<char>(c);
    return s;
  }
  // A string, an ordinal (0xFFFF n, given as "#n"), or nothing.
  std::string text_or_ordinal() {
    WORD first;
    std::memcpy(&first, p_, 2);
    if (first != 0xFFFF) return text();
    word();
    return "#" + std::to_string(word());
  }

 private:
  const BYTE* p_;
};

std::string class_name(std::string cls) {
  static const char* const predefined[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
  if (cls.size() > 1 && cls[0] == '#') return predefined[std::stoi(cls.substr(1)) - 0x80];
  for (char& c : cls) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return cls;
}

page load_page(int id) {
  HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_DIALOG));
  EXPECT_NE(res, nullptr) << id;
  page pg{};
  if (!res) return pg;
  const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, res)));
  template_reader r(base);
  EXPECT_EQ(r.word(), 1);       // version
  EXPECT_EQ(r.word(), 0xFFFF);  // extended template
  r.dword();                    // help id
  EXPECT_EQ(r.dword(), 0u);     // extended style
  pg.style = r.dword();
  WORD count = r.word();
  EXPECT_EQ(r.sword(), 0);
  EXPECT_EQ(r.sword(), 0);
  pg.cx = r.sword();
  pg.cy = r.sword();
  EXPECT_EQ(r.text_or_ordinal(), "");  // menu
  EXPECT_EQ(r.text_or_ordinal(), "");  // class
  pg.caption = r.text();
  pg.point_size = r.word();
  pg.weight = r.word();
  pg.italic = r.byte();
  pg.charset = r.byte();
  pg.font = r.text();
  for (WORD i = 0; i < count; ++i) {
    r.align(base);
    control c{};
    r.dword();  // help id
    c.ex_style = r.dword();
    c.style = r.dword();
    c.x = r.sword();
    c.y = r.sword();
    c.cx = r.sword();
    c.cy = r.sword();
    c.id = static_cast<int>(r.dword());
    c.cls = class_name(r.text_or_ordinal());
    c.text = r.text_or_ordinal();
    WORD extra = r.word();
    for (WORD k = 0; k < extra; ++k) r.byte();
    pg.controls.push_back(c);
  }
  return pg;
}

constexpr DWORD shown = WS_CHILD | WS_VISIBLE;
constexpr DWORD text_box = ES_MULTILINE | ES_READONLY | WS_BORDER | WS_HSCROLL | WS_VSCROLL | shown;
constexpr DWORD directory_box = ES_READONLY | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | shown;
const control picture = {IDC_PICTURE, "Static", SS_BITMAP | SS_CENTERIMAGE | shown, WS_EX_CLIENTEDGE,
                         6, 8, 104, 163, "#110"};

// The templates go by the numbers the program publishes (107-110, bitmap
// 110), not by their names, so that a renumbered header is caught here.
struct page_case {
  int id;
  std::vector<control> controls;
};

TEST(PageResources, EveryPageHasTheSharedFrame) {
  for (int id : {107, 108, 109, 110}) {
    page pg = load_page(id);
    EXPECT_EQ(pg.style, static_cast<DWORD>(WS_CHILD | WS_DISABLED | WS_CAPTION | DS_SETFONT)) << id;
    EXPECT_EQ(pg.cx, 379) << id;
    EXPECT_EQ(pg.cy, 178) << id;
    EXPECT_EQ(pg.caption, "Setup") << id;
    EXPECT_EQ(pg.font, "MS Sans Serif") << id;
    EXPECT_EQ(pg.point_size, 8) << id;
    EXPECT_EQ(pg.weight, 0) << id;
    EXPECT_EQ(pg.italic, 0) << id;
    EXPECT_EQ(pg.charset, DEFAULT_CHARSET) << id;
  }
}

TEST(PageResources, EveryControlHasItsClassStylePlaceAndText) {
  const page_case cases[] = {
      {107,
       {{IDC_HEADING, "Static", SS_LEFT | shown, 0, 125, 10, 247, 20,
         "This Wizard will install %s on your computer. Click Next to continue or Cancel to "
         "exit the Setup Wizard."},
        {IDC_INFO_TEXT, "Edit", text_box, 0, 125, 31, 247, 131, ""},
        picture,
        {IDC_BUILD_INFO, "Static", SS_LEFT | WS_GROUP | shown, 0, 125, 163, 247, 8, ""}}},
      {108,
       {{IDC_HEADING, "Static", SS_LEFT | shown, 0, 125, 10, 247, 12, "Select python installation to use:"},
        {IDC_PYTHON_LIST, "ListBox",
         LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_BORDER | WS_VSCROLL | WS_TABSTOP | shown,
         0, 125, 24, 247, 106, ""},
        {-1, "Static", SS_LEFT | shown, 0, 125, 137, 55, 8, "Python Directory:"},
        {IDC_PYTHON_DIR, "Edit", directory_box, 0, 191, 136, 181, 14, ""},
        {-1, "Static", SS_LEFT | shown, 0, 125, 158, 66, 8, "Installation Directory:"},
        {IDC_INSTALL_DIR, "Edit", directory_box, 0, 191, 157, 181, 14, ""},
        picture}},
      {109,
       {{IDC_HEADING, "Static", SS_LEFT | shown, 0, 125, 10, 246, 31,
         "Click Next to begin the installation. If you want to review or change any of your "
         "installation settings, click Back. Click Cancel to exit the Wizard."},
        {IDC_PROGRESS_BAR, "msctls_progress32", WS_BORDER | shown, 0, 125, 157, 246, 14, "Progress1"},
        {IDC_ITEM_LINE, "Static", SS_CENTER | WS_GROUP | shown, 0, 125, 137, 246, 8, "Installation progress:"},
        picture}},
      {110,
       {{IDC_HEADING, "Static", SS_LEFT | shown, 0, 125, 10, 247, 31,
         "Click the Finish button to exit the Setup wizard."},
        picture,
        {IDC_OUTPUT_BOX, "Edit", text_box, 0, 125, 40, 247, 131, ""}}},
  };
  for (const page_case& pc : cases) {
    page pg = load_page(pc.id);
    ASSERT_EQ(pg.controls.size(), pc.controls.size()) << pc.id;
    for (size_t i = 0; i < pc.controls.size(); ++i) {
      const control& want = pc.controls[i];
      const control& got = pg.controls[i];
      std::string where = "dialog " + std::to_string(pc.id) + " control " + std::to_string(want.id);
      EXPECT_EQ(got.id, want.id) << where;
      EXPECT_EQ(got.cls, class_name(want.cls)) << where;
      EXPECT_EQ(got.style, want.style) << where;
      EXPECT_EQ(got.ex_style, want.ex_style) << where;
      EXPECT_EQ(got.x, want.x) << where;
      EXPECT_EQ(got.y, want.y) << where;
      EXPECT_EQ(got.cx, want.cx) << where;
      EXPECT_EQ(got.cy, want.cy) << where;
      EXPECT_EQ(got.text, want.text) << where;
    }
  }
}

TEST(PageResources, DefaultPictureIsSixteenColoursOfWhiteOnBlue) {
  HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(110), reinterpret_cast<LPCSTR>(RT_BITMAP));
  ASSERT_NE(res, nullptr);
  const auto* info = static_cast<const BITMAPINFO*>(LockResource(LoadResource(nullptr, res)));
  EXPECT_EQ(info->bmiHeader.biWidth, 110);
  EXPECT_EQ(info->bmiHeader.biHeight, 44);
  EXPECT_EQ(info->bmiHeader.biBitCount, 4);
  EXPECT_EQ(info->bmiHeader.biCompression, static_cast<DWORD>(BI_RGB));
  // Count the pixels of each colour: mostly blue ground, some white letters.
  const BYTE* bits = reinterpret_cast<const BYTE*>(info->bmiColors + 16);
  int blue = 0, white = 0, other = 0;
  for (int y = 0; y < 44; ++y)
    for (int x = 0; x < 110; ++x) {
      BYTE pair = bits[y * 56 + x / 2];
      const RGBQUAD& c = info->bmiColors[x % 2 ? pair & 15 : pair >> 4];
      if (c.rgbRed == 0 && c.rgbGreen == 0 && c.rgbBlue >= 128) ++blue;
      else if (c.rgbRed == 255 && c.rgbGreen == 255 && c.rgbBlue == 255) ++white;
      else ++other;
    }
  EXPECT_EQ(other, 0);
  EXPECT_GT(white, 200);
  EXPECT_GT(blue, white);
}

}  // namespace
