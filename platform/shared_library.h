// SPDX-License-Identifier: GPL-3.0-or-later
// SharedLibrary: a system library loaded by the feature that needs it, on first use.
#pragma once

#include "base/result.h"

#include <mutex>
#include <string>

namespace platform {

// A library linked into the programs is loaded before main, with every
// library it brings along, by every run, whether or not the run uses it:
// espeak-ng with its sound server clients, BrlAPI and XCB together cost an
// empty script more than twice its own start. Features built on such a
// library load it here instead, by its soname, the first time they are
// used. A library is never unloaded: what it made, and callbacks it holds,
// may live until the program ends.
class SharedLibrary {
public:
    // Fails with the loader's reason, which names the file.
    static base::Result<SharedLibrary> open(const std::string& file);

    const std::string& file() const { return m_file; }

    // The address of the symbol `name`; nullptr when the library has none.
    void* symbol(const char* name) const;

    // Points `function` at the library's function `name`, whose type the
    // library's header gives; an error naming both when it is missing.
    template<typename Function>
    base::Result<void> find(Function*& function, const char* name) const
    {
        function = reinterpret_cast<Function*>(symbol(name));
        if (!function)
            return base::Error { m_file + " has no " + name };
        return {};
    }

private:
    SharedLibrary(void* handle, std::string file)
        : m_handle(handle)
        , m_file(std::move(file))
    {
    }

    void* m_handle;
    std::string m_file;
};

// The table of functions `load` finds, made on the first call that
// succeeds and kept until the program ends. A failed load is tried again
// on the next call, so that installing the library helps without a
// restart. Each instantiation keeps one table: the library's state is the
// process's, whatever object asks for it.
template<typename Library, base::Result<Library> (*load)()>
base::Result<const Library*> load_library_once()
{
    static std::mutex guard;
    // Never freed: objects made through the table may outlive every owner
    // of it, up to the static destructors at exit.
    static const Library* loaded = nullptr;
    std::lock_guard lock(guard);
    if (loaded)
        return loaded;
    auto result = load();
    if (!result)
        return result.error();
    loaded = new Library(*result);
    return loaded;
}

}
