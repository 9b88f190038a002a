#pragma once
// CK_ASSERT(cond, action): a check for a programmer error the program can recover from. When
// cond is false it writes "CK_ASSERT: <cond> in <file>:<line>" to stderr and runs action
// (return, return false, continue, ...), so a user's session goes on. With the environment
// variable CHRONARK_ASSERT_ABORT set it aborts instead: the tests run so, and a broken
// assumption fails them rather than passing unseen.

// Reports the failed check; aborts when CHRONARK_ASSERT_ABORT is set.
void CkAssertFailed(const char *Condition, const char *File, int Line);

#define CK_ASSERT(cond, action)                                                                    \
    if (cond) [[likely]] {                                                                         \
    } else {                                                                                       \
        CkAssertFailed(#cond, __FILE__, __LINE__);                                                 \
        action;                                                                                    \
    }                                                                                              \
    do {                                                                                           \
    } while (0)
