#pragma once
// The one order of project captions: every tree, the entry list's sub-project rows and the
// order of exports and printed reports sort with it.

#include <string>

// German dictionary order over Windows-1252 text. Letters compare without regard to case, and
// a letter with an accent or umlaut as its base letter ("Ärger" beside "Arger", not after
// "Zulu"); ß counts as ss. Where that finds no difference, the plain letter comes before the
// one with a mark, then upper case before lower case, so that only equal texts are equal.
// Negative, zero or positive like strcmp.
int CompareCaptions(const std::string &A, const std::string &B);
