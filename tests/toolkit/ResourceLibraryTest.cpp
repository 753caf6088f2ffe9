// Resource libraries: the bundled files hold what the programs take from
// them; malformed files are reported with file and line.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <tuple>

#include "BundledLibraries.h"
#include "toolkit/Toolkit.h"
#include "toolkit/automation/Automation.h"
#include "toolkit/resources/ResourceParser.h"

namespace {

class BundledLibraries : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(loadBundledLibraries()); }
};

// The resources the programs load by name, with the kind they take them for.
TEST_F(BundledLibraries, EveryResourceTheProgramsLoadExistsWithItsKind) {
    EXPECT_NE(static_cast<FontObj*>(RES_LoadInit("kelvane", "normalFont")), nullptr);
    for (const char* font : {"TextFont", "LabelFont"})
        EXPECT_NE(static_cast<FontObj*>(RES_LoadInit("shared", font)), nullptr) << font;
    EXPECT_NE(static_cast<IconObj*>(RES_LoadInit("kelvane", "unloadedToolIcon")), nullptr);
    EXPECT_NE(static_cast<IconObj*>(RES_LoadInit("AlrtW", "DefIconWarningMsw")), nullptr);
    for (const char* icon :
         {"browser", "cloudmgr", "compiler", "debugger", "module", "genericToolIcon"}) {
        IconObj* image = RES_LoadInit("shared", icon);
        ASSERT_NE(image, nullptr) << icon;
        EXPECT_GT(image->width, 0) << icon;
    }
    EXPECT_NE(static_cast<CursObj*>(RES_LoadInit("shared", "resizeHor")), nullptr);
    for (const char* color :
         {"hiliteColor", "hiliteLighterColor", "hiliteDarkerColor", "lightYellowColor",
          "lightRedColor", "lightGreenColor", "grayTextColor"})
        EXPECT_NE(static_cast<ColorObj*>(RES_LoadInit("shared", color)), nullptr) << color;
    // A resource of another kind converts to null rather than to a wrong pointer.
    EXPECT_EQ(static_cast<ColorObj*>(RES_LoadInit("shared", "TextFont")), nullptr);
}

// The workspace, which the program addresses by child index, offers the
// kinds it expects there and the menu commands it handles.
TEST_F(BundledLibraries, TheWorkspaceKeepsItsChildOrderAndCommandIds) {
    WinObj* workspace = WIN_Load("kelvane", "workspace");
    ASSERT_NE(workspace, nullptr);
    for (auto [path, kind] : {std::pair{"0", WgtKind::Label},
                              {"1", WgtKind::Button},
                              {"10", WgtKind::Panel},
                              {"11", WgtKind::ScrollPanel},
                              {"11/0", WgtKind::ListBox},
                              {"11/1", WgtKind::Label}}) {
        WgtObj* widget = AUTO_FindChild(workspace, path);
        ASSERT_NE(widget, nullptr) << path;
        EXPECT_EQ(int(widget->kind), int(kind)) << path;
    }
    for (int id : {101, 102, 103, 104, 105, 106, 107, 121, 131, 141, 142}) {
        EXPECT_TRUE(AUTO_ChooseMenuId(workspace, id)) << id;
        EXPECT_EQ(MENU_ChosenGetId(MBAR_ChosenGetMenu(WIN_GetMenuBar(workspace))), id);
    }
    WIN_TerminateGetStatus(workspace);
}

class MalformedFiles : public ::testing::Test {
  protected:
    std::string parse(const std::string& text) {
        std::ofstream(path_) << text;
        std::string error;
        EXPECT_FALSE(parseResourceFile("scratch", path_.c_str(), &error));
        return error;
    }
    void TearDown() override { std::remove(path_.c_str()); }
    std::string path_ = testing::TempDir() + "malformed.dat";  // scratch file
};

TEST_F(MalformedFiles, ErrorsNameTheFileAndTheLineAndAMissingFileIsRefused) {
    EXPECT_EQ(parse("# comment\n\ncolor bad rgb=1,2\n"),
              path_ + ":3: color needs rgb=r,g,b or rgb=#rrggbb");
    EXPECT_EQ(parse("window w box=0,0,10,10\n  button b text=\"unterminated\n"),
              path_ + ":2: unterminated quoted text");
    EXPECT_EQ(parse("font f size=12 weight=9\n"),
              path_ + ":1: unknown attribute \"weight\" for \"font\"");
    // No box, or one whose numbers do not fit a 16-bit rectangle.
    for (const char* box : {"", " box=0,0,40000,1", " box=0,0,99999999999999999999,1"}) {
        EXPECT_EQ(parse("window w box=0,0,10,10\n  label l text=x" + std::string(box) + "\nend\n"),
                  path_ + ":2: \"label\" needs box=x,y,width,height")
            << box;
    }
    EXPECT_EQ(parse("window w box=0,0,10,10\n  panel p box=0,0,5,5\n  end\n"),
              path_ + ":1: block is not closed by \"end\"");
    EXPECT_EQ(parse("end\n"), path_ + ":1: \"end\" without an open block");
    EXPECT_EQ(parse("window w box=0,0,10,10\n  label l box=0,0,1,1 font=missing\nend\n"),
              path_ + ":2: unknown font \"missing\"");
    EXPECT_EQ(parse("icon i file=nowhere.xpm\n"), path_ + ":1: icon file \"" + testing::TempDir() +
                                                      "nowhere.xpm\" is not a readable image");
    EXPECT_EQ(parse("window w box=0,0,10,10\n  menubar\n    item \"x\" id=1\n  end\nend\n"),
              path_ + ":3: a menubar holds only \"menu\" blocks");
    EXPECT_EQ(parse("window w box=0,0,10,10\n  slider s box=0,0,1,1\nend\n"),
              path_ + ":2: unknown widget kind \"slider\"");

    std::string error;
    EXPECT_FALSE(parseResourceFile("scratch", "/nonexistent/lib.dat", &error));
    EXPECT_EQ(error, "/nonexistent/lib.dat: cannot be opened");
    EXPECT_FALSE(RLIB_LoadLibFile("scratch", "/nonexistent/lib.dat"));
    EXPECT_EQ(WIN_Load("nolibrary", "workspace"), nullptr);
}

TEST(ResourceFiles, AttributesQuotesAndLibrarySwitchesAreRead) {
    std::string path = testing::TempDir() + "sample.dat";
    std::ofstream(path) << "color accent rgb=#336699   # a comment after a value\n"
                           "font heading family=serif size=14 style=bolditalic\n"
                           "pen dots style=dotted width=2\n"
                           "window sample title=\"Say \\\"hi\\\"\" box=1,2,300,200 bg=accent\n"
                           "  label caption box=0,0,10,10 text=\"a # b\" font=heading align=right\n"
                           "  menubar\n"
                           "    menu \"&File\" right=yes\n"
                           "      item \"&Save\" id=5 key=ctrl+shift+s\n"
                           "      separator\n"
                           "      item \"&Help\" id=6 key=F1 enabled=no\n"
                           "    end\n"
                           "  end\n"
                           "end\n"
                           "library other\n"
                           "color accent rgb=1,2,3\n";
    std::string error;
    ASSERT_TRUE(parseResourceFile("sample", path.c_str(), &error)) << error;
    ColorObj* accent = RES_LoadInit("sample", "accent");
    ColorObj* other = RES_LoadInit("other", "accent");
    FontObj* heading = RES_LoadInit("sample", "heading");
    PenObj* dots = RES_LoadInit("sample", "dots");
    ASSERT_TRUE(accent && other && heading && dots);
    EXPECT_EQ(std::tuple(accent->red, accent->green, accent->blue, other->blue),
              std::tuple(0x33, 0x66, 0x99, 3));
    EXPECT_TRUE(heading->bold && heading->italic && heading->family == FontFamily::Serif &&
                heading->size == 14 && dots->style == PenStyle::Dotted && dots->width == 2);

    WinObj* window = WIN_Load("sample", "sample");
    ASSERT_NE(window, nullptr);
    auto* caption = static_cast<TAreaObj*>(RES_GetNthChild(window, 0));
    EXPECT_EQ(std::tuple(std::string(WIN_GetLabel(window)), window->bgColor,
                         std::string(TAREA_GetLabel(caption)), caption->font),
              std::tuple(std::string("Say \"hi\""), accent, std::string("a # b"), heading));
    EXPECT_TRUE(caption->align == TextAlign::Right);
    MBarObj* bar = WIN_GetMenuBar(window);
    MBAR_GoFirst(bar);
    EXPECT_TRUE(bar->current()->rightAligned);
    MenuObj* file = MBAR_CurGetSubMenu(bar);
    ASSERT_EQ(MENU_GetNumElts(file), 3);
    const MenuItem& save = file->items[0];
    EXPECT_EQ(std::tuple(save.accelCode, save.accelKey, save.accelModifiers),
              std::tuple(kAccelCharacter, 'S', kModControl | kModShift));
    EXPECT_TRUE(file->items[1].separator);
    EXPECT_TRUE(file->items[2].accelCode == kKeyF1 && !file->items[2].enabled);
    WIN_TerminateGetStatus(window);
    std::remove(path.c_str());
}

}  // namespace
