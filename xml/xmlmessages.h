#pragma once
// The parser's messages, Windows-1252.

namespace XMLMsg {
constexpr const char *RootLevel = "Fehler auf Rootebene";
constexpr const char *EndTagUnexpected = "Endtag nicht erwartet";
constexpr const char *OnlyOneRoot = "Nur ein Element auf h\xF6hster Ebene erlaubt";
constexpr const char *NoRoot = "Document mu\xDF"
                               " ein Rootelement enthalten";
constexpr const char *SpaceAfterLt = "Zeichen nicht erlaubt!";
constexpr const char *InvalidChar = "Ung\xFCltiges Zeichen";
constexpr const char *DuplicateAttribute = "Doppeltes Attribut";
constexpr const char *SpaceAfterEndTagLt = "Zeichen nicht erlaubt";
constexpr const char *NoTagName = "Kein Tagname angegeben";
constexpr const char *CharAfterEndTagName = "Nichterlaubtes Zeichgen gefunden";
constexpr const char *EndTagMismatch = "Endtag stimmt nicht mit Anfangstag \xFC"
                                       "berein.";
constexpr const char *SpaceInDeclaration = "Kein Leerzeichen an dieser Stelle erlaubrt!";
constexpr const char *BadDeclaration =
    "Ung\xFCltiger Deklarationsname / Deklaration wird nicht unterst\xFCtzt!";
constexpr const char *CommentSyntax = "Falsche Syntax im Kommentar";
constexpr const char *CommentOpen = "Kommentar wurde nicht geschlossem";
constexpr const char *CDataOpen = "CDATA wurde nicht geschlossem";
constexpr const char *DocTypeOpen = "DOCTYPE wurde nicht geschlossen";
constexpr const char *SpaceInInstruction = "Leerzeichen an dieser Stelle nicht erlaubt!";
constexpr const char *GtExpected = "Zeichen \">\" wurde erwartet";
constexpr const char *TooDeep = "Elemente zu tief verschachtelt";
} // namespace XMLMsg
