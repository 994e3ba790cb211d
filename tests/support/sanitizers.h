#pragma once

// SKELVANE_SANITIZED is 1 in a build under AddressSanitizer, as GCC and clang each tell it:
// tests that measure memory or starve the process of files cannot run there.
#if defined(__SANITIZE_ADDRESS__)
#define SKELVANE_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SKELVANE_SANITIZED 1
#endif
#endif
#ifndef SKELVANE_SANITIZED
#define SKELVANE_SANITIZED 0
#endif

namespace skelvane::testing {

// How many rounds a check repeated over random or large inputs makes: all of them in a plain
// build; a tenth under the sanitizers, which make each memory access several times as slow and
// are there to catch what a round does wrong, not how many rounds agree (the fuzzers, built
// with them, make millions), and in a build for another system, run under its emulator, whose
// rounds test the same code as the native build's.
constexpr int rounds(int plain) {
#ifdef SKELVANE_EMULATED
    return plain / 10;
#else
    return SKELVANE_SANITIZED ? plain / 10 : plain;
#endif
}

}  // namespace skelvane::testing
