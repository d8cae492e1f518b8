#include "follow/PageServerModule.h"

#include <dlfcn.h>

#include <cstring>

namespace velka::follow {

const PageServerModule* loadPageServerModule(const std::string& file, std::string* why)
{
    const auto refuse = [why](std::string reason) -> const PageServerModule* {
        if (why)
            *why = std::move(reason);
        return nullptr;
    };
    // Never closed: the module's code runs until the program ends. A second call finds the
    // module loaded and takes the same one. A module that failed is looked for again next time,
    // so that one put in place while the program runs is found.
    void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* error = ::dlerror();
        return refuse(error ? error : file + ": cannot be loaded");
    }
    using Entry = const PageServerModule* (*)();
    const auto entry = reinterpret_cast<Entry>(::dlsym(handle, kPageServerModuleEntry));
    if (!entry)
        return refuse(file + ": " + kPageServerModuleEntry + " is missing");
    const PageServerModule* module = entry();
    if (!module || std::strcmp(module->programVersion, VELKA_PROGRAM_VERSION) != 0) {
        return refuse(file + ": built for version " +
                      (module ? module->programVersion : std::string("?")) + ", not " +
                      VELKA_PROGRAM_VERSION);
    }
    return module;
}

std::string pageModuleMissingText(const std::string& why)
{
    return "スマートフォンで見るための部品を読み込めませんでした。\r\n"
           "Velka Tablewright を入れ直してください。\r\n\r\n" +
           why;
}

} // namespace velka::follow
