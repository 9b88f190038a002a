// Exports arbitrary documents through arbitrary export.ini texts and templates. Input: the
// parts export.ini, header, footer, prjheader, prjfooter, item, separator and the document,
// separated by the byte 0x01. Nothing may crash, hang or grow without bound.
#include "base/messages.h"
#include "export/u_export.h"
#include "model/ckfile.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
    namespace fs = std::filesystem;
    static const fs::path folder =
        fs::temp_directory_path() / ("chronark_fuzz_export_" + std::to_string(::getpid()));
    static const char *const names[] = {"header.txt",    "footer.txt", "prjheader.txt",
                                        "prjfooter.txt", "item.txt",   "separator.txt"};
    const std::string bytes(reinterpret_cast<const char *>(Data), Size);
    TStringArray parts;
    SplitToArray(bytes, '\x01', parts);
    parts.resize(8);

    TExportMan man;
    man.OutputLimit = 1 << 22;
    man.LoadProfiles(TIniFile(parts[0]));
    for (const tPItem &p : man.Profiles()) {
        TStringArray items;
        TCharArray chars;
        ParseSepChars(p.SepChars, items, chars);
        if (items.empty() || items.size() != chars.size() + 1)
            __builtin_trap();
        man.FileTypeChanged(p.Mask, 0);
    }
    fs::create_directories(folder);
    for (int i = 0; i < 6; ++i)
        std::ofstream(folder / names[i], std::ios::binary | std::ios::trunc) << parts[1 + i];

    TChronarkMan doc;
    doc.OnMessage = [](TMessageKind, const std::string &) {};
    if (!LoadDocumentFromBytes(doc, parts[7], "fuzz.ckx", false))
        doc.Root->AddProject("P")->AddTime({1.0, 1.5, parts[7].substr(0, 64), {}});
    TLineOutput out;
    std::string reason;
    man.ExportToLines("/tmp/out.csv", folder.string() + "/", ';', doc, ProjectsInTreeOrder(doc),
                      out, reason);
    if (out.Bytes > man.OutputLimit)
        __builtin_trap();
    return 0;
}
