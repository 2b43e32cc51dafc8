// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of SharedLibrary and load_library_once: loading by soname, finding functions, failing softly.
#include "platform/shared_library.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

// Loaded already by every program, so always there to be opened again.
constexpr const char* c_library = "libc.so.6";

TEST(SharedLibrary, MissingLibraryIsAnErrorNamingTheFile)
{
    auto library = platform::SharedLibrary::open("libcorvante-absent.so.7");
    ASSERT_FALSE(library);
    EXPECT_NE(library.error().message.find("libcorvante-absent.so.7"), std::string::npos) << library.error().message;
}

TEST(SharedLibrary, FindsFunctionsThatWork)
{
    auto library = platform::SharedLibrary::open(c_library);
    ASSERT_TRUE(library) << library.error().message;
    EXPECT_EQ(library->file(), c_library);
    decltype(&::strlen) length = nullptr;
    ASSERT_TRUE(library->find(length, "strlen"));
    ASSERT_NE(length, nullptr);
    EXPECT_EQ(length("corvante"), 8u);

    auto math = platform::SharedLibrary::open("libm.so.6");
    ASSERT_TRUE(math) << math.error().message;
    decltype(&::hypot) hypotenuse = nullptr;
    ASSERT_TRUE(math->find(hypotenuse, "hypot"));
    EXPECT_DOUBLE_EQ(hypotenuse(3.0, 4.0), 5.0);
}

TEST(SharedLibrary, MissingFunctionIsAnErrorNamingBoth)
{
    auto library = platform::SharedLibrary::open(c_library);
    ASSERT_TRUE(library) << library.error().message;
    EXPECT_EQ(library->symbol("corvante_no_such_function"), nullptr);
    decltype(&::strlen) function = &::strlen;
    auto found = library->find(function, "corvante_no_such_function");
    ASSERT_FALSE(found);
    EXPECT_EQ(function, nullptr);
    EXPECT_NE(found.error().message.find("corvante_no_such_function"), std::string::npos);
    EXPECT_NE(found.error().message.find(c_library), std::string::npos);
}

// A table whose loading fails until `library_installed` is set, counting
// the attempts: as a library that is installed while the program runs.
struct CountedLibrary {
    int loaded_on_attempt = 0;
};
int load_attempts = 0;
bool library_installed = false;

base::Result<CountedLibrary> load_counted()
{
    ++load_attempts;
    if (!library_installed)
        return base::Error { "libcounted.so.1: not installed" };
    return CountedLibrary { load_attempts };
}

TEST(LoadLibraryOnce, TriesAgainAfterAFailureThenKeepsTheTable)
{
    auto missing = platform::load_library_once<CountedLibrary, load_counted>();
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().message, "libcounted.so.1: not installed");
    EXPECT_FALSE((platform::load_library_once<CountedLibrary, load_counted>()));
    EXPECT_EQ(load_attempts, 2);

    library_installed = true;
    auto first = platform::load_library_once<CountedLibrary, load_counted>();
    ASSERT_TRUE(first);
    EXPECT_EQ((*first)->loaded_on_attempt, 3);
    auto again = platform::load_library_once<CountedLibrary, load_counted>();
    ASSERT_TRUE(again);
    EXPECT_EQ(*again, *first);
    EXPECT_EQ(load_attempts, 3);
}

}
