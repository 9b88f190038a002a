#include "base/ckassert.h"

#include <cstdio>
#include <cstdlib>

void CkAssertFailed(const char *Condition, const char *File, int Line) {
    std::fprintf(stderr, "CK_ASSERT: %s in %s:%d\n", Condition, File, Line);
    std::fflush(stderr);
    if (std::getenv("CHRONARK_ASSERT_ABORT"))
        std::abort();
}
