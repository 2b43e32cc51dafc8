// SPDX-License-Identifier: GPL-3.0-or-later
// PhonemeLineLibrary: the diphone synthesiser library's 23 functions, found by name.
#include "speech/engines/phoneme_line_library.h"

#include "platform/shared_library.h"

namespace speech {

const std::vector<const char*>& phoneme_line_library_names()
{
    static const std::vector<const char*> names = {
        "init_MBR", "init_rename_MBR", "write_MBR", "flush_MBR", "read_MBR", "readtype_MBR",
        "close_MBR", "reset_MBR", "lastError_MBR", "lastErrorStr_MBR", "setNoError_MBR",
        "getNoError_MBR", "setFreq_MBR", "getFreq_MBR", "setVolumeRatio_MBR", "getVolumeRatio_MBR",
        "getVersion_MBR", "getDatabaseInfo_MBR", "setParser_MBR", "init_Phone", "reset_Phone",
        "close_Phone", "appendf0_Phone",
    };
    return names;
}

namespace {

base::Result<PhonemeLineLibrary> load_from(const std::string& file)
{
    auto library = platform::SharedLibrary::open(file);
    if (!library)
        return library.error();
    for (const char* name : phoneme_line_library_names()) {
        if (!library->symbol(name))
            return base::Error { file + " has no " + name };
    }
    PhonemeLineLibrary found;
    found.file = file;
    if (auto result = library->find(found.init_MBR, "init_MBR"); !result)
        return result.error();
    if (auto result = library->find(found.reset_MBR, "reset_MBR"); !result)
        return result.error();
    if (auto result = library->find(found.setNoError_MBR, "setNoError_MBR"); !result)
        return result.error();
    if (auto result = library->find(found.write_MBR, "write_MBR"); !result)
        return result.error();
    if (auto result = library->find(found.flush_MBR, "flush_MBR"); !result)
        return result.error();
    if (auto result = library->find(found.read_MBR, "read_MBR"); !result)
        return result.error();
    if (auto result = library->find(found.close_MBR, "close_MBR"); !result)
        return result.error();
    return found;
}

}

base::Result<PhonemeLineLibrary> load_phoneme_line_library(const std::vector<std::string>& files)
{
    base::Error last { "no synthesiser library to try" };
    for (const auto& file : files) {
        if (file.empty())
            continue;
        auto library = load_from(file);
        if (library)
            return library;
        last = library.error();
    }
    return last;
}

}
