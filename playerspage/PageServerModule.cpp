#include "playerspage/PageServerModule.h"

#include "core/ProgramVersion.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace velka::playerspage {
namespace {

// Opens file (a bare name) from the folders where the program's own libraries are looked for,
// its run path first. dlopen would look there itself, but a sanitizer's interceptor calls it
// from its own library, whose run path is not the program's: so the folders are asked for here.
void* openFromProgramsPath(const std::string& file)
{
    void* self = ::dlopen(nullptr, RTLD_NOW);
    Dl_serinfo size{};
    if (!self || ::dlinfo(self, RTLD_DI_SERINFOSIZE, &size) != 0)
        return nullptr;
    const std::unique_ptr<Dl_serinfo, decltype(&std::free)> info(
        static_cast<Dl_serinfo*>(std::malloc(size.dls_size)), &std::free);
    if (!info)
        return nullptr;
    info->dls_size = size.dls_size;
    info->dls_cnt = size.dls_cnt;
    if (::dlinfo(self, RTLD_DI_SERINFO, info.get()) != 0)
        return nullptr;
    for (unsigned int i = 0; i < info->dls_cnt; ++i) {
        const std::string path = std::string(info->dls_serpath[i].dls_name) + "/" + file;
        if (void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
            return handle;
    }
    return nullptr;
}

} // namespace

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
    void* handle = file.find('/') == std::string::npos ? openFromProgramsPath(file) : nullptr;
    if (!handle)
        handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* error = ::dlerror();
        return refuse(error ? error : file + ": cannot be loaded");
    }
    using Entry = const PageServerModule* (*)();
    const auto entry = reinterpret_cast<Entry>(::dlsym(handle, kPageServerModuleEntry));
    if (!entry)
        return refuse(file + ": " + kPageServerModuleEntry + " is missing");
    const PageServerModule* module = entry();
    if (!module || std::strcmp(module->programVersion, kProgramVersionText) != 0) {
        return refuse(file + ": built for version " +
                      (module ? module->programVersion : std::string("?")) + ", not " +
                      kProgramVersionText);
    }
    return module;
}

std::string pageModuleMissingText(const std::string& why)
{
    return "スマートフォンで見るための部品を読み込めませんでした。\r\n"
           "Velka Tablewright を入れ直してください。\r\n\r\n" +
           why;
}

} // namespace velka::playerspage
