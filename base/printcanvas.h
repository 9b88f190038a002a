#pragma once
// The page a printed report is drawn on: a print job of pages in printer pixels, text in one
// font at a time, and solid rules. The program's canvas is a printer (or a PDF file); tests
// record what is drawn with fixed metrics.

#include "base/cstring.h"

#include <string>

struct TPrintColor {
    int Red = 0, Green = 0, Blue = 0;
    friend bool operator==(const TPrintColor &, const TPrintColor &) = default;
};
inline constexpr TPrintColor PrintBlack{0, 0, 0};
inline constexpr TPrintColor PrintGrey{128, 128, 128};

// Texts are Windows-1252 bytes; TextWidth (from TTextMeasurer) is in whole pixels.
class TPrintCanvas : public TTextMeasurer {
public:
    // Starts the job with the first page; false when the printer or file cannot be opened.
    virtual bool BeginDoc(const std::string &Title) = 0;
    virtual void NewPage() = 0;
    // False when the job could not be finished (the output is then incomplete).
    virtual bool EndDoc() = 0;

    virtual int DpiX() const = 0;
    virtual int DpiY() const = 0;
    // The printable area; (0, 0) is its top left corner.
    virtual int PrintableWidth() const = 0;
    virtual int PrintableHeight() const = 0;

    virtual void SetFont(const std::string &Face, int Points, bool Bold) = 0;
    virtual int TextHeight(const std::string &Text) = 0;
    // Text whose top edge is at Y; nothing of it outside the clip rectangle is drawn.
    virtual void TextOut(int X, int Y, const std::string &Text) = 0;
    virtual void FillRect(int Left, int Top, int Right, int Bottom, TPrintColor Color) = 0;
    // Holds for the rest of the job, on every page.
    virtual void SetClip(int Left, int Top, int Right, int Bottom) = 0;
};
