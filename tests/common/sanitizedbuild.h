#pragma once

// Defines WD_ADDRESS_SANITIZER in a build with AddressSanitizer, where programs
// also run several times slower.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define WD_ADDRESS_SANITIZER
#endif
#elif defined(__SANITIZE_ADDRESS__)
#define WD_ADDRESS_SANITIZER
#endif
