#pragma once
// Random documents for the differential tests: a coarse time grid, so that shared
// boundaries, touching and nesting are frequent, and random entry data on it.

#include "base/dates.h"
#include "model/ckm.h"

#include <random>
#include <string>
#include <vector>

inline const TDateTime Day = EncodeDateTime(2007, 3, 5, 0, 0, 0);

class RandomDocument {
public:
    explicit RandomDocument(unsigned Seed) : Rng(Seed) {}

    TChronarkMan Man;
    std::mt19937 Rng;

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(Rng); }
    TDateTime Time(int quarter) { return Day + quarter * 15 * 60 / SecsPerDay; }

    // Every project, the root first, parents before their children.
    std::vector<TCKProjectItem *> Projects() {
        std::vector<TCKProjectItem *> out{Man.Root.get()};
        for (size_t i = 0; i < out.size(); ++i)
            for (TCKItem *c = out[i]->FirstChild; c; c = c->Next)
                if (c->IsProject())
                    out.push_back(c->AsProject());
        return out;
    }

    tCKEditItem RandomData() {
        const int a = Pick(40), len = 1 + Pick(8);
        static const char *words[] = {"Besprechung", "code", "Meier", "Reise", ""};
        return {Time(a), Time(a + len), words[Pick(5)], {{"k", std::to_string(Pick(3))}}};
    }
};
