// Loads a document from arbitrary bytes as the program does; whatever loads must save to
// bytes that load back to the same document.
#include "base/messages.h"
#include "model/ckfile.h"
#include "model/ckm.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
    const std::string bytes(reinterpret_cast<const char *>(Data), Size);
    // The messages of broken input are expected by the thousand.
    const TMessageSink quiet = [](TMessageKind, const std::string &) {};
    TChronarkMan first;
    first.OnMessage = quiet;
    if (!LoadDocumentFromBytes(first, bytes, "fuzz.ckx", false))
        return 0;
    std::string why;
    if (!first.CheckInvariants(&why)) {
        std::fprintf(stderr, "invariant broken after load: %s\n", why.c_str());
        std::abort();
    }
    const std::string saved = DocumentText(first);
    TChronarkMan second;
    second.OnMessage = quiet;
    if (!LoadDocumentFromBytes(second, saved, "fuzz.ckx", false) || DocumentText(second) != saved) {
        std::fprintf(stderr, "saved document does not load back equal\n");
        std::abort();
    }
    // Importing into a filled document must keep it consistent as well.
    LoadDocumentFromBytes(second, bytes, "fuzz.ckx", true);
    if (!second.CheckInvariants(&why)) {
        std::fprintf(stderr, "invariant broken after import: %s\n", why.c_str());
        std::abort();
    }
    return 0;
}
