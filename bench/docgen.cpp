#include "bench/docgen.h"

#include <vector>

#include "base/dates.h"

namespace {

// SplitMix64: the same sequence on every platform and standard library.
class tRandom {
public:
    explicit tRandom(uint64_t Seed) : State(Seed) {}
    uint64_t Next() {
        uint64_t Z = (State += 0x9E3779B97F4A7C15ull);
        Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ull;
        Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBull;
        return Z ^ (Z >> 31);
    }
    size_t Below(size_t N) { return static_cast<size_t>(Next() % N); }
    bool Chance(int Percent) { return Below(100) < static_cast<size_t>(Percent); }

private:
    uint64_t State;
};

const char *const Words[] = {
    "Besprechung",
    "mit",
    "M\xFCller",
    "Kunde",
    "\xC4nderungen",
    "an",
    "der",
    "Stra\xDF"
    "e",
    "\xDC"
    "berpr\xFC"
    "fung",
    "Fehlerbehebung",
    "&",
    "Doku",
    "Gr\xF6\xDF"
    "e",
    "Test",
    "Release",
    "B\xFCro",
    "Telefonat",
    "Angebot",
    "f\xFCr",
    "Pr\xE4sentation",
    "Schulung",
    "Meier",
    "Schmidt",
    "K\xF6ln",
    "Planung",
    "und",
    "Abstimmung",
    "Rechnung",
    "\xF6"
    "ffentlich",
    "Wartung",
};
const char *const Customers[] = {"Meier & Co.", "M\xFCller GmbH", "Schmidt AG",
                                 "B\xE4"
                                 "ckerei Gro\xDF",
                                 "\xD6kohof S\xFC"
                                 "d"};
// Captions hold no '&': an attribute is where a general XML parser would refuse it.
const char *const CaptionSuffixes[] = {"M\xFCller GmbH", "Schmidt AG",
                                       "B\xE4"
                                       "ckerei Gro\xDF",
                                       "\xD6kohof S\xFC"
                                       "d"};
const char *const CaptionWords[] = {"Projekt",
                                    "Kunde",
                                    "Intern",
                                    "Wartung",
                                    "Entwicklung",
                                    "Vertrieb",
                                    "\xDC"
                                    "bersetzung"};

template <size_t N> const char *Pick(tRandom &Random, const char *const (&List)[N]) {
    return List[Random.Below(N)];
}

struct tProject {
    std::string Caption;
    std::vector<size_t> SubProjects;
    size_t Entries = 0;
    int Depth = 0;
};

class tGenerator {
public:
    explicit tGenerator(const tDocGenOptions &Options)
        : Options(Options), Random(Options.Seed), Time(EncodeDateTime(2007, 1, 2, 8, 0, 0)) {}

    std::string Run();

private:
    void BuildProjects();
    void WriteProject(size_t Index);
    void WriteItems(size_t Count);
    void WriteItem();
    void Line(const std::string &Text) {
        Out += Text;
        Out += "\r\n";
    }

    const tDocGenOptions &Options;
    tRandom Random;
    TDateTime Time;
    std::vector<tProject> Projects; // [0] is the data element itself
    size_t DefaultProject = 0;
    std::string Out;
};

void tGenerator::BuildProjects() {
    Projects.resize(Options.Projects + 1);
    for (size_t I = 1; I < Projects.size(); ++I) {
        size_t Parent = Random.Below(I);
        while (Projects[Parent].Depth >= Options.MaxProjectDepth)
            Parent = Random.Below(I);
        Projects[I].Depth = Projects[Parent].Depth + 1;
        Projects[I].Caption = std::string(Pick(Random, CaptionWords)) + " " + std::to_string(I);
        if (Random.Chance(30))
            Projects[I].Caption += std::string(" ") + Pick(Random, CaptionSuffixes);
        Projects[Parent].SubProjects.push_back(I);
    }
    for (size_t I = 0; I < Options.Entries; ++I)
        ++Projects[Random.Below(Projects.size())].Entries;
    DefaultProject = Projects.size() > 1 ? 1 + Random.Below(Projects.size() - 1) : 0;
}

void tGenerator::WriteItem() {
    Time = AddSeconds(Time, static_cast<int64_t>(60 * (5 + Random.Below(120))));
    const TDateTime End = AddSeconds(Time, static_cast<int64_t>(60 * (1 + Random.Below(240))));
    Line("<item starttime=\"" + EncodeStamp(Time) + "\" endtime=\"" + EncodeStamp(End) + "\">");
    Time = End;
    if (Random.Chance(90)) {
        std::string Comment = Pick(Random, Words);
        const size_t Count = 1 + Random.Below(6);
        for (size_t I = 0; I < Count; ++I) {
            Comment += Random.Chance(8) ? "\r\n" : " ";
            Comment += Pick(Random, Words);
        }
        Line("<comment><![CDATA[" + Comment + "]]></comment>");
    }
    const bool HasCustomer = Random.Chance(35);
    const bool HasBillable = Random.Chance(35);
    if (HasCustomer || HasBillable) {
        Line("<fields>");
        if (HasCustomer)
            Line(std::string("<fielditem id=\"Kunde\"><![CDATA[") + Pick(Random, Customers) +
                 "]]></fielditem>");
        if (HasBillable)
            Line(std::string("<fielditem id=\"abrechenbar\">") +
                 (Random.Chance(70) ? "true" : "false") + "</fielditem>");
        Line("</fields>");
    }
    Line("</item>");
}

void tGenerator::WriteItems(size_t Count) {
    for (size_t I = 0; I < Count; ++I)
        WriteItem();
}

void tGenerator::WriteProject(size_t Index) {
    const tProject &Project = Projects[Index];
    Line("<project caption=\"" + Project.Caption + "\"" +
         (Index == DefaultProject ? " default=\"1\"" : "") + ">");
    // Entries before, between and after the sub-projects.
    const size_t Before = Project.Entries / 2;
    WriteItems(Before);
    for (size_t Sub : Project.SubProjects)
        WriteProject(Sub);
    WriteItems(Project.Entries - Before);
    Line("</project>");
}

std::string tGenerator::Run() {
    BuildProjects();
    Out.reserve(Options.Entries * 190 + Options.Projects * 64 + 512);
    Line("<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>");
    Line("<ckx version=\"1.1\">");
    Line("<head>");
    Line("<fielddef>");
    Line("<fielditem id=\"Kunde\" type=\"string\"/>");
    Line("<fielditem id=\"abrechenbar\" type=\"boolean\"/>");
    Line("</fielddef>");
    Line("</head>");
    Line("<data>");
    WriteItems(Projects[0].Entries);
    for (size_t Sub : Projects[0].SubProjects)
        WriteProject(Sub);
    Line("</data>");
    Out += "</ckx>";
    return std::move(Out);
}

} // namespace

std::string GenerateCkx(const tDocGenOptions &Options) {
    return tGenerator(Options).Run();
}

std::string Latin1ToUtf8Bom(const std::string &Latin1) {
    std::string Out = "\xEF\xBB\xBF";
    Out.reserve(Latin1.size() + Latin1.size() / 16 + 3);
    for (char Ch : Latin1) {
        const auto C = static_cast<unsigned char>(Ch);
        if (C < 0x80) {
            Out.push_back(Ch);
        } else {
            Out.push_back(static_cast<char>(0xC0 | C >> 6));
            Out.push_back(static_cast<char>(0x80 | (C & 0x3F)));
        }
    }
    return Out;
}

static std::string ToUtf16(const std::string &Latin1, bool BigEndian) {
    std::string Out = BigEndian ? "\xFE\xFF" : "\xFF\xFE";
    Out.reserve(2 * Latin1.size() + 2);
    for (char Ch : Latin1) {
        if (BigEndian)
            Out.push_back('\0');
        Out.push_back(Ch);
        if (!BigEndian)
            Out.push_back('\0');
    }
    return Out;
}

std::string Latin1ToUtf16LEBom(const std::string &Latin1) {
    return ToUtf16(Latin1, false);
}

std::string Latin1ToUtf16BEBom(const std::string &Latin1) {
    return ToUtf16(Latin1, true);
}
