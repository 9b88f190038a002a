// Stand-ins for the maker libraries: they record how they were called instead of showing a
// dialog. Built twice: with both exports, and (FAKE_NO_EXPORTS) with the recorder only.

#include "app/makerlibsabi.h"

#include <cstdio>
#include <string>

namespace {

std::string Calls;

[[maybe_unused]] void Add(const char *Name, const void *Owner,
                          std::initializer_list<const TShortString *> Strings, int Flags = -1) {
    char owner[32];
    std::snprintf(owner, sizeof owner, "%p", Owner);
    Calls += std::string(Name) + "(" + owner;
    for (const TShortString *s : Strings)
        Calls += "|" + std::to_string(s->Bytes[0]) + ":" + ShortStringText(*s);
    if (Flags >= 0)
        Calls += "|" + std::to_string(Flags);
    Calls += ")";
}

} // namespace

extern "C" __attribute__((visibility("default"))) const char *fake_calls() {
    return Calls.c_str();
}

#ifndef FAKE_NO_EXPORTS
extern "C" __attribute__((visibility("default"))) void
showinfopanedialog_v1_1(QWidget *Owner, const TShortString *ProgramText, const TShortString *Extra1,
                        const TShortString *Extra2, const TShortString *ParserText, int32_t Flags) {
    Add("info", Owner, {ProgramText, Extra1, Extra2, ParserText}, Flags);
}

extern "C" __attribute__((visibility("default"))) void
showrevwatchdialog_v1_11(QWidget *Owner, const TShortString *InstalledVersion,
                         const TShortString *ProductId, const TShortString *Feed) {
    Add("revwatch", Owner, {InstalledVersion, ProductId, Feed});
}
#endif
