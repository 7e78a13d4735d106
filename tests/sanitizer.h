// Whether this test program runs under AddressSanitizer (the sanitizer build of ./test), for
// the few tests whose conditions the sanitizer's own runtime cannot live with.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define VMK_UNDER_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VMK_UNDER_SANITIZER 1
#endif
#endif

namespace vmk::testing_support {
#ifdef VMK_UNDER_SANITIZER
inline constexpr bool kUnderSanitizer = true;
#else
inline constexpr bool kUnderSanitizer = false;
#endif
}  // namespace vmk::testing_support
