#pragma once
// What chronark-cli summary prints about a document.

#include <string>

class TChronarkMan;

struct TDocumentCounts {
    int Projects = 0;
    int Entries = 0;
    // Entries that share time with another entry (not IsOverlapFree).
    int Overlapping = 0;
};

TDocumentCounts CountDocument(const TChronarkMan &Man);

// "1 Projekt", "2 Projekte"; "1 Eintrag", "2 Einträge" (UTF-8).
std::string ProjectCount(int N);
std::string EntryCount(int N);

// UTF-8 text: fields, default project, time span, the project tree in child order (each
// project with its direct entries and their net time, as the status bar computes it),
// counts, and the total as the status bar writes it. Dates use the regional format.
std::string SummaryText(const TChronarkMan &Man, const std::string &FileName);
