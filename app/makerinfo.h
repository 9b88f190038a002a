#pragma once
// The maker's notice and address, shown by the About box and by its fallback.

inline constexpr char MakerNotice[] = "Ein Programm von Velmoor Software.";
inline constexpr char MakerHomepage[] = "https://www.velmoor-software.example/";
// The XML parser's version as the About box shows it.
inline constexpr char ParserVersionText[] = "XML-Parser: 0.11.2007.1124w";
