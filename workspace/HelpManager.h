// HelpManager: context help for every window of the environment, shown by an
// external HTML viewer program. It keeps the documents offered in each
// window's "&Help" menu, builds that menu, answers the help key (F1) in
// ordinary windows and modal dialogs, explains any menu item on request
// ("&Menu Item" then the item) and runs the viewer on a document and anchor.
//
// The Tool Manager holds the master copy (built with isToolManager set: the
// four standard documents, 'HGDM' answered). A tool builds its own in tool
// mode after registering: it asks the Tool Manager once with 'HGDM', and the
// 'HDTM' (viewer name) and 'HMEM' (one per document) that come back fill it,
// so the tool's help menus mirror the Tool Manager's.
//
// Anchors: window help uses "OKAWin:<window key>", menu-item help
// "OKAMenu:<window key>:<item label without blanks and '&'>", both in
// "user.html" unless a window names another file.
#pragma once

#include <cstdint>
#include <string>

#include "storage/List.h"

class Message;
class WinObj;
class TButObj;
struct KyLstObj;
struct ToolInfo;

// The default document of window and menu-item help.
inline constexpr const char* kDefaultHelpFile = "user.html";
// The key code of the help key (F1).
inline constexpr int kHelpKeyCode = 51;

class HelpManager {
  public:
    // Tool Manager mode (isToolManager non-zero): `viewerName`, or "netscape"
    // when null, and the standard documents. Tool mode: empty, filled by the
    // Tool Manager's answer to the 'HGDM' sent here.
    HelpManager(unsigned char isToolManager, const char* viewerName);
    HelpManager(const HelpManager&) = delete;
    HelpManager& operator=(const HelpManager&) = delete;
    virtual ~HelpManager();

    // Keeps a copy of `name` (null: no viewer).
    void setViewerName(const char* name);
    const char* getViewerName() const { return viewerName; }
    // The program that will really show help: the viewer name, or
    // "xdg-open" when the name is empty or the old default that is not
    // installed. With "xdg-open" documents go as file:// URLs.
    std::string getViewerInUse() const;
    // Appends a document to the help menus built from now on.
    void addHelpMItem(const char* label, const char* file);
    const char* getHelpMItemLabel(long index) const;
    const char* getHelpMItemFile(long index) const;

    // Builds the window's help menu: the documents, "&Menu Item" (Ctrl+H)
    // and "&This Window" (F1), under a right-aligned "&Help" title.
    void addMenu(WinObj* window);
    // Appends a command to the last menu of the window's menu bar; with an
    // accelerator label, the item also gets the accelerator (code, modifiers, key).
    void addMenuItem(WinObj* window, const char* label, short id, const char* accelLabel, char key,
                     int accelCode, int accelModifiers);
    // Offered every menu choice first (after the window's default handling
    // of code 184): true when it was a help command and has been handled,
    // including any choice made while "&Menu Item" was pending.
    unsigned char handleHelpMItems(WinObj* window, const char* windowKey, const char* helpFile);
    // On a key press: true (and help shown) when the key is the help key.
    unsigned char checkHelpKey(const char* windowKey, WinObj* window, const char* helpFile);
    // Gives a modal dialog F1 help through a hidden button that the help key activates.
    void addModalHelp(WinObj* window, const char* windowKey, const char* helpFile);
    void showMenuHelpWin(const char* helpFile, const char* itemLabel, const char* windowKey);
    // Resolves `file` (makeFullPath, asking the user when needed) and starts
    // the viewer on it and `anchor` (may be null) in the background. With a
    // window (the help key case) the key is marked handled and pending
    // keyboard events are dropped.
    void showHelp(const char* file, const char* anchor, WinObj* window);
    // Sends 'HDTM' with the viewer name to `tool`.
    void sendViewerNameMessage(const ToolInfo* tool);

    bool isMenuItemHelpPending() const { return menuItemHelpPending != 0; }

  private:
    void registerKelvaneHandlers();
    void registerToolHandlers();
    // The key list of the newest modal help button (owned by that button).
    KyLstObj* createKey();
    void showWindowHelp(const char* helpFile, const char* windowKey, WinObj* window);

    static int32_t getHelpDefaultsMsg(Message* message, Message* reply);
    static int32_t addDefaultToolMsg(Message* message, Message* reply);
    static int32_t addMenuItemMsg(Message* message, Message* reply);
    static void helpTButNfy(TButObj* button, int code);

    char* viewerName = nullptr;             // program that shows help, or null
    List labels{32, true, false};           // StringItem menu labels, in menu order
    List files{32, true, false};            // StringItem document of the label at the same place
    unsigned char menuItemHelpPending = 0;  // "&Menu Item" chosen: explain the next choice
    KyLstObj* helpKeyList = nullptr;        // keys of the newest modal help button; not owned
};

// The program's help manager: built at start-up by the Tool Manager, and by
// a tool that offers help after it registered. Null until then.
extern HelpManager* gHelpManager;

// What a hidden modal help button remembers.
struct ModalClientData {
    ModalClientData(const char* windowKey, const char* helpFile);
    ~ModalClientData();
    ModalClientData(const ModalClientData&) = delete;
    ModalClientData& operator=(const ModalClientData&) = delete;

    char* windowKey;  // owned
    char* helpFile;   // owned
};
