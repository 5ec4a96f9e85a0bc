#include <doctest.h>

#include <string>

#include "command_line.h"

namespace {

SaverCommand Parse(const char* text) { return ParseSaverCommandLine(text); }

}  // namespace

TEST_CASE("saver command line modes in any case")
{
    CHECK(Parse("/s").mode == SaverMode::Run);
    CHECK(Parse("/S").mode == SaverMode::Run);
    CHECK(Parse("  -s  ").mode == SaverMode::Run);
    CHECK(Parse("/a 123").mode == SaverMode::Password);
    CHECK(Parse("/A:123").mode == SaverMode::Password);
    // No argument, /c without a handle and anything unknown: the settings, with no handle given.
    for (const char* text : {"", "/c", "/C", "/x", "hello", "/start", "/sx", "/"}) {
        CAPTURE(text);
        const SaverCommand c = Parse(text);
        CHECK(c.mode == SaverMode::Configure);
        CHECK_FALSE(c.hasWindow);
        CHECK_FALSE(c.badWindow);
    }
    CHECK(Parse(nullptr).mode == SaverMode::Configure);
}

TEST_CASE("saver command line window handles after a colon or blanks")
{
    for (const char* text : {"/p 1234", "/P:1234", "/p   1234  ", "/p\t1234", "/p: 1234"}) {
        CAPTURE(text);
        const SaverCommand c = Parse(text);
        CHECK(c.mode == SaverMode::Preview);
        CHECK(c.hasWindow);
        CHECK_FALSE(c.badWindow);
        CHECK(c.window == 1234u);
    }
    const SaverCommand configure = Parse("/c:65810");
    CHECK(configure.mode == SaverMode::Configure);
    CHECK(configure.window == 65810u);
    // Handles are unsigned and may use every bit of a pointer.
    CHECK(Parse("/p 4294967295").window == 4294967295u);
    if (sizeof(std::uintptr_t) == 8) {
        CHECK(Parse("/p 18446744073709551615").window == static_cast<std::uintptr_t>(-1));
        CHECK(Parse("/p 18446744073709551616").badWindow);
    } else {
        CHECK(Parse("/p 4294967296").badWindow);
    }
}

TEST_CASE("saver command line bad handles end quietly")
{
    for (const char* text : {"/p", "/p:", "/p abc", "/p -5", "/p 12x", "/c:zz", "/p 12 34", "/c:"}) {
        CAPTURE(text);
        const SaverCommand c = Parse(text);
        // "/c:" with nothing after it is plain "/c"; everything else names no usable window.
        if (std::string(text) == "/c:") {
            CHECK_FALSE(c.badWindow);
        } else {
            CHECK(c.badWindow);
            CHECK(c.window == 0u);
        }
    }
}
