// The resource-file parser: one statement per line, blocks closed by "end".
#include "toolkit/resources/ResourceParser.h"

#include <fstream>
#include <functional>
#include <set>
#include <vector>

#include "toolkit/base/ImageFile.h"
#include "toolkit/base/KeyCodes.h"
#include "toolkit/resources/ResourceLibrary.h"
#include "toolkit/resources/ResourceTokens.h"
#include "toolkit/widgets/CBoxObj.h"
#include "toolkit/widgets/IAreaObj.h"
#include "toolkit/widgets/LBoxObj.h"
#include "toolkit/widgets/MBarObj.h"
#include "toolkit/widgets/SPanlObj.h"
#include "toolkit/widgets/TAreaObj.h"
#include "toolkit/widgets/TButObj.h"
#include "toolkit/widgets/TEdObj.h"
#include "toolkit/widgets/WinObj.h"

namespace {

// What the line being read is inside of.
enum class Block { Window, Panel, MenuBar, Menu };

class ResourceParser {
  public:
    ResourceParser(const char* libraryName, const char* path);
    bool run(std::string* error);

  private:
    bool statement(const ResourceLine& line);
    bool libraryStatement(const ResourceLine& line);
    bool colorStatement(const ResourceLine& line);
    bool fontStatement(const ResourceLine& line);
    bool penStatement(const ResourceLine& line);
    bool cursorStatement(const ResourceLine& line);
    bool iconStatement(const ResourceLine& line);
    bool windowStatement(const ResourceLine& line);
    bool widgetStatement(const ResourceLine& line);
    bool menuBarStatement(const ResourceLine& line);
    bool menuStatement(const ResourceLine& line);
    bool itemStatement(const ResourceLine& line);
    bool endStatement();

    // Checks the word count and that every attribute is one of `allowed`.
    bool expect(const ResourceLine& line, size_t words, std::initializer_list<const char*> allowed);
    bool commonWidgetAttributes(const ResourceLine& line, WgtObj* widget);
    std::unique_ptr<WgtObj> makeWidget(const std::string& kind, const ResourceLine& line);
    template <class Kind>
    Kind* lookUp(const std::map<std::string, std::unique_ptr<Kind>>& resources,
                 const std::string& name, const char* what);
    bool fail(const std::string& message);

    std::string path_;                   // file being read
    std::string directory_;              // its directory, for relative icon files
    int lineNumber_ = 0;                 // line being read, from 1
    ResourceLibrary* library_;           // library that receives the resources
    std::string message_;                // what went wrong
    std::vector<Block> blocks_;          // open blocks, innermost last
    std::vector<int> blockLines_;        // line where each open block started
    std::unique_ptr<WinObj> window_;     // window being read
    std::vector<PanelObj*> containers_;  // window and panels being filled, innermost last
    MenuObj* menu_ = nullptr;            // menu being filled
};

ResourceParser::ResourceParser(const char* libraryName, const char* path)
    : path_(path), library_(findLibrary(libraryName, true)) {
    size_t slash = path_.rfind('/');
    directory_ = slash == std::string::npos ? "" : path_.substr(0, slash + 1);
}

bool ResourceParser::fail(const std::string& message) {
    message_ = message;
    return false;
}

bool ResourceParser::run(std::string* error) {
    std::ifstream file(path_);
    if (!file) {
        *error = path_ + ": cannot be opened";
        return false;
    }
    std::string text;
    bool ok = true;
    while (ok && std::getline(file, text)) {
        ++lineNumber_;
        ResourceLine line;
        ok = splitResourceLine(text, &line, &message_) && (line.words.empty() || statement(line));
    }
    if (ok && !blocks_.empty()) {
        lineNumber_ = blockLines_.back();
        ok = fail("block is not closed by \"end\"");
    }
    if (!ok) *error = path_ + ":" + std::to_string(lineNumber_) + ": " + message_;
    return ok;
}

bool ResourceParser::statement(const ResourceLine& line) {
    const std::string& keyword = line.words[0];
    if (keyword == "end") return endStatement();
    Block block = blocks_.empty() ? Block::Window : blocks_.back();
    if (blocks_.empty()) {
        using Handler = bool (ResourceParser::*)(const ResourceLine&);
        static const std::map<std::string, Handler> topLevel = {
            {"library", &ResourceParser::libraryStatement},
            {"color", &ResourceParser::colorStatement},
            {"font", &ResourceParser::fontStatement},
            {"pen", &ResourceParser::penStatement},
            {"cursor", &ResourceParser::cursorStatement},
            {"icon", &ResourceParser::iconStatement},
            {"window", &ResourceParser::windowStatement},
        };
        auto handler = topLevel.find(keyword);
        if (handler == topLevel.end()) return fail("unknown statement \"" + keyword + "\"");
        return (this->*handler->second)(line);
    }
    if (block == Block::MenuBar) return menuStatement(line);
    if (block == Block::Menu) return itemStatement(line);
    if (keyword == "menubar") return menuBarStatement(line);
    return widgetStatement(line);
}

bool ResourceParser::expect(const ResourceLine& line, size_t words,
                            std::initializer_list<const char*> allowed) {
    if (line.words.size() != words)
        return fail("\"" + line.words[0] + "\" takes " + std::to_string(words - 1) +
                    " word(s) before its attributes");
    std::set<std::string> known(allowed.begin(), allowed.end());
    for (const auto& [key, value] : line.attributes)
        if (!known.count(key))
            return fail("unknown attribute \"" + key + "\" for \"" + line.words[0] + "\"");
    return true;
}

template <class Kind>
Kind* ResourceParser::lookUp(const std::map<std::string, std::unique_ptr<Kind>>& resources,
                             const std::string& name, const char* what) {
    auto found = resources.find(name);
    if (found != resources.end()) return found->second.get();
    message_ = std::string("unknown ") + what + " \"" + name + "\"";
    return nullptr;
}

bool ResourceParser::libraryStatement(const ResourceLine& line) {
    if (!expect(line, 2, {})) return false;
    library_ = findLibrary(line.words[1].c_str(), true);
    return true;
}

bool ResourceParser::colorStatement(const ResourceLine& line) {
    if (!expect(line, 2, {"rgb"})) return false;
    int rgb[3];
    auto value = line.attributes.find("rgb");
    if (value == line.attributes.end() || !parseRgb(value->second, rgb))
        return fail("color needs rgb=r,g,b or rgb=#rrggbb");
    library_->colors[line.words[1]] = std::make_unique<ColorObj>(
        ColorObj{uint8_t(rgb[0]), uint8_t(rgb[1]), uint8_t(rgb[2]), false, false});
    return true;
}

bool ResourceParser::fontStatement(const ResourceLine& line) {
    if (!expect(line, 2, {"family", "size", "style"})) return false;
    static const std::map<std::string, FontFamily> families = {
        {"sans", FontFamily::Sans}, {"serif", FontFamily::Serif}, {"mono", FontFamily::Mono}};
    auto font = std::make_unique<FontObj>();
    auto attribute = [&line](const char* key, const char* fallback) {
        auto found = line.attributes.find(key);
        return found == line.attributes.end() ? std::string(fallback) : found->second;
    };
    auto family = families.find(attribute("family", "sans"));
    if (family == families.end()) return fail("font family must be sans, serif or mono");
    font->family = family->second;
    if (!parseInteger(attribute("size", "12"), &font->size) || font->size <= 0)
        return fail("bad font size");
    std::string style = attribute("style", "plain");
    if (style != "plain" && style != "bold" && style != "italic" && style != "bolditalic")
        return fail("font style must be plain, bold, italic or bolditalic");
    font->bold = style == "bold" || style == "bolditalic";
    font->italic = style == "italic" || style == "bolditalic";
    library_->fonts[line.words[1]] = std::move(font);
    return true;
}

bool ResourceParser::penStatement(const ResourceLine& line) {
    if (!expect(line, 2, {"style", "width"})) return false;
    static const std::map<std::string, PenStyle> styles = {{"solid", PenStyle::Solid},
                                                           {"dotted", PenStyle::Dotted},
                                                           {"dashed", PenStyle::Dashed},
                                                           {"invisible", PenStyle::Invisible}};
    auto pen = std::make_unique<PenObj>();
    if (auto style = line.attributes.find("style"); style != line.attributes.end()) {
        auto found = styles.find(style->second);
        if (found == styles.end())
            return fail("pen style must be solid, dotted, dashed or invisible");
        pen->style = found->second;
    }
    if (auto width = line.attributes.find("width"); width != line.attributes.end())
        if (!parseInteger(width->second, &pen->width) || pen->width <= 0)
            return fail("bad pen width");
    library_->pens[line.words[1]] = std::move(pen);
    return true;
}

bool ResourceParser::cursorStatement(const ResourceLine& line) {
    if (!expect(line, 2, {"shape"})) return false;
    static const std::map<std::string, PointerShape> shapes = {
        {"arrow", PointerShape::Arrow},
        {"resize-horizontal", PointerShape::ResizeHorizontal},
        {"resize-vertical", PointerShape::ResizeVertical},
        {"wait", PointerShape::Wait},
        {"text", PointerShape::Text},
        {"hand", PointerShape::Hand},
        {"cross", PointerShape::Cross}};
    auto shape = line.attributes.find("shape");
    auto found = shape == line.attributes.end() ? shapes.end() : shapes.find(shape->second);
    if (found == shapes.end()) return fail("cursor needs a known shape=");
    library_->cursors[line.words[1]] = std::make_unique<CursObj>(CursObj{found->second, 0});
    return true;
}

bool ResourceParser::iconStatement(const ResourceLine& line) {
    if (!expect(line, 2, {"file"})) return false;
    auto file = line.attributes.find("file");
    if (file == line.attributes.end()) return fail("icon needs file=");
    std::string full = file->second[0] == '/' ? file->second : directory_ + file->second;
    auto icon = std::make_unique<IconObj>();
    if (!ICON_SetFileName(icon.get(), full.c_str()))
        return fail("icon file \"" + full + "\" is not a readable image");
    library_->icons[line.words[1]] = std::move(icon);
    return true;
}

bool ResourceParser::windowStatement(const ResourceLine& line) {
    if (!expect(line, 2, {"title", "box", "answer", "bg", "icon", "resizable", "escape"}))
        return false;
    window_ = std::make_unique<WinObj>();
    window_->name = line.words[1];
    window_->library = library_->name;
    auto attribute = [&line](const char* key) {
        auto found = line.attributes.find(key);
        return found == line.attributes.end() ? std::string() : found->second;
    };
    window_->label = attribute("title");
    window_->alertButtonPath = attribute("answer");
    if (!parseBox(attribute("box"), &window_->box))
        return fail("window needs box=x,y,width,height");
    window_->minimumWidth = window_->box.width;
    window_->minimumHeight = window_->box.height;
    if (std::string flag = attribute("resizable");
        !flag.empty() && !parseYesNo(flag, &window_->resizable))
        return fail("resizable must be yes or no");
    if (std::string escape = attribute("escape"); !escape.empty()) {
        if (escape != "close") return fail("escape must be close");
        window_->closesOnEscape = true;
    }
    if (std::string color = attribute("bg"); !color.empty())
        if (!(window_->bgColor = lookUp(library_->colors, color, "color"))) return false;
    if (std::string icon = attribute("icon"); !icon.empty())
        if (!(window_->icon = lookUp(library_->icons, icon, "icon"))) return false;
    blocks_.push_back(Block::Window);
    blockLines_.push_back(lineNumber_);
    containers_.push_back(window_.get());
    return true;
}

std::unique_ptr<WgtObj> ResourceParser::makeWidget(const std::string& kind,
                                                   const ResourceLine& line) {
    auto attribute = [&line](const char* key) {
        auto found = line.attributes.find(key);
        return found == line.attributes.end() ? std::string() : found->second;
    };
    if (kind == "label") {
        auto label = std::make_unique<TAreaObj>();
        label->label = attribute("text");
        std::string align = attribute("align");
        label->align = align == "center"  ? TextAlign::Center
                       : align == "right" ? TextAlign::Right
                                          : TextAlign::Left;
        return label;
    }
    if (kind == "button") {
        auto button = std::make_unique<TButObj>();
        button->label = attribute("text");
        std::string style = attribute("style");
        button->style = style == "toggle"  ? ButtonStyle::Toggle
                        : style == "radio" ? ButtonStyle::Radio
                                           : ButtonStyle::Push;
        button->isDefault = attribute("default") == "yes";
        button->isCancel = attribute("cancel") == "yes";
        button->selected = attribute("selected") == "yes";
        if (std::string icon = attribute("icon"); !icon.empty())
            if (!(button->icon = lookUp(library_->icons, icon, "icon"))) return nullptr;
        return button;
    }
    if (kind == "field") {
        auto field = std::make_unique<TEdObj>();
        field->text = attribute("text");
        field->multiLine = attribute("lines") == "multi";
        field->editable = attribute("editable") != "no";
        return field;
    }
    if (kind == "iconarea") {
        auto area = std::make_unique<IAreaObj>();
        if (std::string icon = attribute("icon"); !icon.empty()) {
            IconObj* image = lookUp(library_->icons, icon, "icon");
            if (image == nullptr) return nullptr;
            area->icon = *image;
        }
        return area;
    }
    if (kind == "list") {
        auto list = std::make_unique<LBoxObj>();
        list->multipleSelection = attribute("select") == "multiple";
        return list;
    }
    if (kind == "combo") return std::make_unique<CBoxObj>();
    if (kind == "panel") return std::make_unique<PanelObj>();
    if (kind == "scrollpanel") return std::make_unique<SPanlObj>();
    message_ = "unknown widget kind \"" + kind + "\"";
    return nullptr;
}

bool ResourceParser::widgetStatement(const ResourceLine& line) {
    static const std::map<std::string, std::vector<const char*>> ownAttributes = {
        {"label", {"text", "align"}},
        {"button", {"text", "style", "default", "cancel", "selected", "icon"}},
        {"field", {"text", "lines", "editable"}},
        {"iconarea", {"icon"}},
        {"list", {"select"}},
        {"combo", {}},
        {"panel", {"text"}},
        {"scrollpanel", {"extent"}},
    };
    const std::string& kind = line.words[0];
    auto own = ownAttributes.find(kind);
    if (own == ownAttributes.end()) return fail("unknown widget kind \"" + kind + "\"");
    std::set<std::string> allowed = {"box", "bg", "fg", "font", "visible", "enabled", "rzflags"};
    allowed.insert(own->second.begin(), own->second.end());
    for (const auto& [key, value] : line.attributes)
        if (!allowed.count(key))
            return fail("unknown attribute \"" + key + "\" for \"" + kind + "\"");
    if (line.words.size() != 2)
        return fail("\"" + kind + "\" takes its name before its attributes");

    std::unique_ptr<WgtObj> widget = makeWidget(kind, line);
    if (!widget || !commonWidgetAttributes(line, widget.get())) return false;
    widget->name = line.words[1];
    WgtObj* added = widget.get();
    containers_.back()->addChild(std::move(widget));
    if (kind == "panel" || kind == "scrollpanel") {
        auto* panel = static_cast<PanelObj*>(added);
        if (auto text = line.attributes.find("text"); text != line.attributes.end())
            panel->title = text->second;
        if (auto extent = line.attributes.find("extent"); extent != line.attributes.end()) {
            Rect16 size;
            if (!parseBox("0,0," + extent->second, &size))
                return fail("extent must be width,height");
            static_cast<SPanlObj*>(panel)->extentWidth = size.width;
            static_cast<SPanlObj*>(panel)->extentHeight = size.height;
        }
        blocks_.push_back(Block::Panel);
        blockLines_.push_back(lineNumber_);
        containers_.push_back(panel);
    }
    return true;
}

bool ResourceParser::commonWidgetAttributes(const ResourceLine& line, WgtObj* widget) {
    auto attribute = [&line](const char* key) {
        auto found = line.attributes.find(key);
        return found == line.attributes.end() ? std::string() : found->second;
    };
    if (!parseBox(attribute("box"), &widget->box))
        return fail("\"" + line.words[0] + "\" needs box=x,y,width,height");
    if (std::string color = attribute("bg"); !color.empty())
        if (!(widget->bgColor = lookUp(library_->colors, color, "color"))) return false;
    if (std::string color = attribute("fg"); !color.empty())
        if (!(widget->fgColor = lookUp(library_->colors, color, "color"))) return false;
    if (std::string font = attribute("font"); !font.empty())
        if (!(widget->font = lookUp(library_->fonts, font, "font"))) return false;
    if (std::string flag = attribute("visible");
        !flag.empty() && !parseYesNo(flag, &widget->visible))
        return fail("visible must be yes or no");
    if (std::string flag = attribute("enabled");
        !flag.empty() && !parseYesNo(flag, &widget->enabled))
        return fail("enabled must be yes or no");
    if (std::string flags = attribute("rzflags");
        !flags.empty() && !parseInteger(flags, &widget->resizeFlags))
        return fail("rzflags must be a number");
    return true;
}

bool ResourceParser::menuBarStatement(const ResourceLine& line) {
    if (!expect(line, 1, {})) return false;
    if (blocks_.back() != Block::Window) return fail("a menubar belongs directly in a window");
    WIN_GetMenuBar(window_.get());
    blocks_.push_back(Block::MenuBar);
    blockLines_.push_back(lineNumber_);
    return true;
}

bool ResourceParser::menuStatement(const ResourceLine& line) {
    if (line.words[0] != "menu") return fail("a menubar holds only \"menu\" blocks");
    if (!expect(line, 2, {"right"})) return false;
    MBarObj* bar = window_->menuBar.get();
    MBAR_AddItem(bar, line.words[1].c_str());
    MBAR_CurSetSubMenu(bar, MENU_Create());
    MBAR_CurSetRightAligned(bar,
                            line.attributes.count("right") && line.attributes.at("right") == "yes");
    menu_ = MBAR_CurGetSubMenu(bar);
    blocks_.push_back(Block::Menu);
    blockLines_.push_back(lineNumber_);
    return true;
}

// Parses "ctrl+shift+n" or "F1" into an accelerator.
bool parseShortcut(const std::string& text, int* code, int* modifiers, char* key) {
    static const std::map<std::string, int> modifierNames = {
        {"ctrl", kModControl}, {"shift", kModShift}, {"alt", kModAlt}};
    *modifiers = 0;
    size_t start = 0;
    for (size_t plus; (plus = text.find('+', start)) != std::string::npos; start = plus + 1) {
        auto found = modifierNames.find(text.substr(start, plus - start));
        if (found == modifierNames.end()) return false;
        *modifiers |= found->second;
    }
    std::string last = text.substr(start);
    int number = 0;
    if (last.size() >= 2 && last[0] == 'F' && parseInteger(last.substr(1), &number) &&
        number >= 1 && number <= 12) {
        *code = kKeyF1 + number - 1;
        *key = ' ';
        return true;
    }
    if (last.size() != 1) return false;
    *code = kAccelCharacter;
    *key = char(last[0] >= 'a' && last[0] <= 'z' ? last[0] - 'a' + 'A' : last[0]);
    return true;
}

bool ResourceParser::itemStatement(const ResourceLine& line) {
    if (line.words[0] == "separator") {
        if (!expect(line, 1, {})) return false;
        MENU_AddSeparator(menu_);
        return true;
    }
    if (line.words[0] != "item") return fail("a menu holds only \"item\" and \"separator\" lines");
    if (!expect(line, 2, {"id", "key", "enabled"})) return false;
    int id = 0;
    if (!line.attributes.count("id") || !parseInteger(line.attributes.at("id"), &id))
        return fail("item needs id=number");
    MENU_AddItem(menu_, line.words[1].c_str(), id);
    if (auto shortcut = line.attributes.find("key"); shortcut != line.attributes.end()) {
        int code = 0, modifiers = 0;
        char key = 0;
        if (!parseShortcut(shortcut->second, &code, &modifiers, &key))
            return fail("bad key \"" + shortcut->second + "\"");
        MENU_CurSetAccelKey(menu_, code, modifiers, key);
    }
    bool enabled = true;
    if (auto flag = line.attributes.find("enabled");
        flag != line.attributes.end() && !parseYesNo(flag->second, &enabled))
        return fail("enabled must be yes or no");
    MENU_CurSetEnabled(menu_, enabled);
    return true;
}

bool ResourceParser::endStatement() {
    if (blocks_.empty()) return fail("\"end\" without an open block");
    Block closed = blocks_.back();
    blocks_.pop_back();
    blockLines_.pop_back();
    if (closed == Block::Menu) {
        menu_ = nullptr;
    } else if (closed == Block::Panel) {
        containers_.pop_back();
    } else if (closed == Block::Window) {
        containers_.clear();
        std::string name = window_->name;
        library_->windows[name] = std::move(window_);
    }
    return true;
}

}  // namespace

bool parseResourceFile(const char* libraryName, const char* path, std::string* error) {
    return ResourceParser(libraryName, path).run(error);
}
