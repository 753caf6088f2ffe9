// The registry of resource libraries and the operations that read it.
#include "toolkit/resources/ResourceLibrary.h"

#include "core/Log.h"
#include "toolkit/resources/ResourceParser.h"
#include "toolkit/widgets/WinObj.h"

namespace {
constexpr const char* kLogSource = "../toolkit";

std::map<std::string, std::unique_ptr<ResourceLibrary>> gLibraries;  // by library name

template <class Kind>
ResourceRef::Target lookIn(const std::map<std::string, std::unique_ptr<Kind>>& resources,
                           const std::string& name) {
    auto found = resources.find(name);
    return found == resources.end() ? ResourceRef::Target{}
                                    : ResourceRef::Target{found->second.get()};
}
}  // namespace

ResourceLibrary::ResourceLibrary(std::string name) : name(std::move(name)) {}
ResourceLibrary::~ResourceLibrary() = default;

ResourceRef::Target ResourceLibrary::find(const std::string& resource) const {
    for (ResourceRef::Target target :
         {lookIn(colors, resource), lookIn(fonts, resource), lookIn(pens, resource),
          lookIn(cursors, resource), lookIn(icons, resource)})
        if (!std::holds_alternative<std::monostate>(target)) return target;
    return {};
}

const WinObj* ResourceLibrary::findWindow(const std::string& resource) const {
    auto found = windows.find(resource);
    return found == windows.end() ? nullptr : found->second.get();
}

ResourceLibrary* findLibrary(const char* name, bool create) {
    if (name == nullptr) return nullptr;
    auto found = gLibraries.find(name);
    if (found != gLibraries.end()) return found->second.get();
    if (!create) return nullptr;
    auto& library = gLibraries[name];
    library = std::make_unique<ResourceLibrary>(name);
    return library.get();
}

void unloadAllLibraries() {
    gLibraries.clear();
}

bool RLIB_LoadLibFile(const char* libraryName, const char* path) {
    if (libraryName == nullptr || path == nullptr) return false;
    std::string error;
    if (parseResourceFile(libraryName, path, &error)) return true;
    OKA_LOG("resource library %s not loaded: %s", libraryName, error.c_str());
    return false;
}

ResourceRef RES_LoadInit(const char* libraryName, const char* resourceName) {
    ResourceLibrary* library = findLibrary(libraryName);
    if (library == nullptr || resourceName == nullptr) return ResourceRef{};
    ResourceRef resource(library->find(resourceName));
    if (resource.isNull())
        OKA_LOG("resource %s not found in library %s", resourceName, libraryName);
    return resource;
}

WinObj* WIN_Load(const char* libraryName, const char* windowName) {
    ResourceLibrary* library = findLibrary(libraryName);
    const WinObj* prototype = library && windowName ? library->findWindow(windowName) : nullptr;
    if (prototype == nullptr) {
        OKA_LOG("window %s not found in library %s", windowName ? windowName : "(null)",
                libraryName ? libraryName : "(null)");
        return nullptr;
    }
    return static_cast<WinObj*>(prototype->clone().release());
}

const char* RES_GetName(const WgtObj* object) {
    return object ? object->name.c_str() : "";
}

WgtObj* RES_Clone(WgtObj* object) {
    return object ? object->clone().release() : nullptr;
}

void RES_CallConstructs(WgtObj* object) {
    WGT_InitTree(object);
}

void RES_CallDestructs(WgtObj* object) {
    WGT_Terminate(object);
}
