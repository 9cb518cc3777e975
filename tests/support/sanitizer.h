#pragma once
// Whether this test binary (and the korvo-cli it runs, built with the same options) runs under
// AddressSanitizer. ASan reserves terabytes of shadow address space at start-up, so a child
// whose address space is cut with `ulimit -v` cannot even start: such cases are left out of a
// sanitizer build, which checks memory itself.

namespace korvo::testing {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kUnderAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kUnderAddressSanitizer = true;
#else
inline constexpr bool kUnderAddressSanitizer = false;
#endif
#else
inline constexpr bool kUnderAddressSanitizer = false;
#endif

inline constexpr const char* kAddressLimitUnderSanitizer =
    "ulimit -v cannot apply under AddressSanitizer (it reserves terabytes of shadow memory)";

}  // namespace korvo::testing
