// Resource libraries: named collections of resources (windows with their
// widget trees, icons, fonts, colours, pens, cursors) read from text files
// (format: resources/README.md). A library is registered under a short name
// and a resource is addressed by (library name, resource name). Libraries
// stay loaded for the whole run; windows are made from their prototypes.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <variant>

#include "toolkit/base/GraphicResources.h"

class WgtObj;
class WinObj;

// A loaded resource of any kind; converts to the pointer of its own kind
// and to null for any other, so `ColorObj* color = RES_LoadInit(...)` is
// safe even when the resource turns out to be a font.
class ResourceRef {
  public:
    using Target = std::variant<std::monostate, ColorObj*, FontObj*, PenObj*, CursObj*, IconObj*>;
    ResourceRef() = default;
    explicit ResourceRef(Target target) : target_(target) {}

    operator ColorObj*() const { return get<ColorObj>(); }
    operator FontObj*() const { return get<FontObj>(); }
    operator PenObj*() const { return get<PenObj>(); }
    operator CursObj*() const { return get<CursObj>(); }
    operator IconObj*() const { return get<IconObj>(); }
    bool isNull() const { return std::holds_alternative<std::monostate>(target_); }

  private:
    template <class Kind>
    Kind* get() const {
        auto* found = std::get_if<Kind*>(&target_);
        return found ? *found : nullptr;
    }
    Target target_;  // the resource, or monostate when not found
};

class ResourceLibrary {
  public:
    explicit ResourceLibrary(std::string name);
    ~ResourceLibrary();

    // Looks a graphic resource up (monostate when absent).
    ResourceRef::Target find(const std::string& resource) const;
    const WinObj* findWindow(const std::string& resource) const;

    std::string name;                                         // short library name ("shared")
    std::map<std::string, std::unique_ptr<ColorObj>> colors;  // colours by resource name
    std::map<std::string, std::unique_ptr<FontObj>> fonts;    // fonts by resource name
    std::map<std::string, std::unique_ptr<PenObj>> pens;      // pens by resource name
    std::map<std::string, std::unique_ptr<CursObj>> cursors;  // cursors by resource name
    std::map<std::string, std::unique_ptr<IconObj>> icons;    // icons by resource name
    std::map<std::string, std::unique_ptr<WinObj>> windows;   // prototypes that WIN_Load copies
};

// The library registered under `name`, created empty when `create` is set.
ResourceLibrary* findLibrary(const char* name, bool create = false);
// Drops every library (GW_LibExit).
void unloadAllLibraries();

// Registers a library from a file; false (and a log line with file and line)
// when the file is missing or malformed. Resources of an earlier load of the
// same library stay unless the file redefines them.
bool RLIB_LoadLibFile(const char* libraryName, const char* path);
// Loads a named icon, font, colour, pen or cursor; null (converted) when absent.
ResourceRef RES_LoadInit(const char* libraryName, const char* resourceName);
// The resource name of a widget or window ("" for none).
const char* RES_GetName(const WgtObj* object);
// A copy of a widget with its children, owned by the caller.
WgtObj* RES_Clone(WgtObj* object);
// Delivers kNfyInit to the widget and its children (as WIN_Init does for a window).
void RES_CallConstructs(WgtObj* object);
// Destroys a widget the caller owns: its destruction notifications, then the widget.
void RES_CallDestructs(WgtObj* object);
