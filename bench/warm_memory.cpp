// Linked into every benchmark: freed memory stays with the process between rounds. Otherwise
// the allocator hands large freed blocks back to the system, and each round of a large
// measurement starts by touching fresh pages, which on a virtual machine can cost as much as
// the work measured, and more for some sizes than for others. What fresh memory costs is
// measured apart: load_peak_memory loads once in a new process.
#include <malloc.h>

#include <climits>

namespace {

const bool MemoryKept = [] {
    // The largest threshold the allocator accepts; larger blocks are still mapped anew.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, INT_MAX);
    return true;
}();

} // namespace
