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
