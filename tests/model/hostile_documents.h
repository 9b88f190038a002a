#pragma once
// Documents whose cost grows faster than their size when read carelessly: each shape for a
// number of repetitions N. Used by the load tests, the benchmark and the fuzz seeds.

#include <cstdio>
#include <string>

namespace hostile {

inline std::string Head() {
    return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<ckx version=\"1.1\">\r\n";
}

// Fourteen digits for second S after 2007-03-05 00:00:00 (S below one day).
inline std::string Stamp(long S) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "20070305%02ld%02ld%02ld", S / 3600, S / 60 % 60, S % 60);
    return buffer;
}

inline std::string Item(long Start, long End) {
    return "<item starttime=\"" + Stamp(Start) + "\" endtime=\"" + Stamp(End) + "\"/>\r\n";
}

// Entry i runs from second i to one common end: every entry overlaps every other.
inline std::string Staircase(long N) {
    std::string out = Head() + "<data>\r\n";
    for (long i = 0; i < N; ++i)
        out += Item(i % 80000, 86399);
    return out + "</data>\r\n</ckx>";
}

// Entries that each overlap their two neighbours: what real documents look like at worst.
inline std::string Chain(long N) {
    std::string out = Head() + "<data>\r\n";
    for (long i = 0; i < N; ++i)
        out += Item(i % 40000 * 2, i % 40000 * 2 + 3);
    return out + "</data>\r\n</ckx>";
}

// Field definitions without an id, each of which gets a free one.
inline std::string EmptyFieldIds(long N) {
    std::string out = Head() + "<head>\r\n<fielddef>\r\n";
    for (long i = 0; i < N; ++i)
        out += "<fielditem type=\"string\"/>\r\n";
    return out + "</fielddef>\r\n</head>\r\n<data>\r\n" + Item(0, 60) + "</data>\r\n</ckx>";
}

// One entry with N values under distinct ids, none of them defined.
inline std::string ManyFieldIds(long N) {
    std::string out = Head() + "<data>\r\n<item starttime=\"" + Stamp(0) + "\" endtime=\"" +
                      Stamp(60) + "\">\r\n<fields>\r\n";
    for (long i = 0; i < N; ++i)
        out += "<fielditem id=\"f" + std::to_string(i) + "\">v</fielditem>\r\n";
    return out + "</fields>\r\n</item>\r\n</data>\r\n</ckx>";
}

// Values whose type makes them move to a ".string" field, beside a defined ".string" id.
inline std::string StringIds(long N) {
    std::string out = Head() + "<head>\r\n<fielddef>\r\n<fielditem id=\"b\" type=\"boolean\"/>\r\n"
                               "<fielditem id=\"b.string\" type=\"string\"/>\r\n</fielddef>\r\n"
                               "</head>\r\n<data>\r\n";
    for (long i = 0; i < N; ++i)
        out += "<item starttime=\"" + Stamp(i % 80000) + "\" endtime=\"" + Stamp(i % 80000 + 1) +
               "\"><fields><fielditem id=\"b\">yes</fielditem></fields></item>\r\n";
    return out + "</data>\r\n</ckx>";
}

// Entries whose start cannot be read, one per line.
inline std::string BadTimes(long N) {
    std::string out = Head() + "<data>\r\n";
    for (long i = 0; i < N; ++i)
        out += "<item starttime=\"x\" endtime=\"" + Stamp(60) + "\"/>\r\n";
    return out + "</data>\r\n</ckx>";
}

// Elements the reader does not know, among the entries.
inline std::string IgnoredElements(long N) {
    std::string out = Head() + "<data>\r\n" + Item(0, 60);
    out.reserve(out.size() + static_cast<size_t>(N) * 5 + 32);
    for (long i = 0; i < N; ++i)
        out += "<x/>\n";
    return out + "</data>\r\n</ckx>";
}

} // namespace hostile
