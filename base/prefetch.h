#pragma once
// A hint to fetch the memory at an address ahead of use; nothing where the compiler has none.

#if defined(__GNUC__) || defined(__clang__)
#define CK_PREFETCH(Address) __builtin_prefetch(Address)
#else
#define CK_PREFETCH(Address) ((void)(Address))
#endif
