#pragma once
// A print canvas that records what is drawn, with a fixed resolution, paper and font metrics
// that scale with the point size as a printer's do: every character is Points x DpiX / 144
// pixels wide, a line Points x DpiY / 60 pixels high.

#include "base/printcanvas.h"

#include <string>
#include <vector>

struct TDrawn {
    enum TKind { Glyphs, Rule } Kind = Glyphs;
    int Page = 1;
    int X = 0, Y = 0;
    int Right = 0, Bottom = 0; // the rule's other corner, the text's extent
    std::string Text;
    int Points = 0;
    bool Bold = false;
    TPrintColor Color;
};

class TRecordingCanvas : public TPrintCanvas {
public:
    // A4 at 300 dots per inch unless told otherwise.
    explicit TRecordingCanvas(int ADpi = 300, int AWidth = 2480, int AHeight = 3508)
        : Dpi(ADpi), Width(AWidth), Height(AHeight) {}

    bool BeginDoc(const std::string &ATitle) override {
        Title = ATitle;
        Started = true;
        Pages = 1;
        return !FailBegin;
    }
    void NewPage() override { ++Pages; }
    bool EndDoc() override {
        Ended = true;
        return true;
    }
    int DpiX() const override { return Dpi; }
    int DpiY() const override { return Dpi; }
    int PrintableWidth() const override { return Width; }
    int PrintableHeight() const override { return Height; }
    void SetFont(const std::string &AFace, int APoints, bool ABold) override {
        Face = AFace;
        Points = APoints;
        Bold = ABold;
    }
    int CharWidth() const { return Points * Dpi / 144; }
    int LineHeight() const { return Points * Dpi / 60; }
    double TextWidth(const std::string &Text) override {
        ++Measured;
        return double(Text.size()) * CharWidth();
    }
    int TextHeight(const std::string &) override { return LineHeight(); }
    void TextOut(int X, int Y, const std::string &Text) override {
        TDrawn d;
        d.Page = Pages;
        d.X = X;
        d.Y = Y;
        d.Right = X + int(Text.size()) * CharWidth();
        d.Bottom = Y + LineHeight();
        d.Text = Text;
        d.Points = Points;
        d.Bold = Bold;
        Drawn.push_back(d);
    }
    void FillRect(int Left, int Top, int Right, int Bottom, TPrintColor Color) override {
        TDrawn d;
        d.Kind = TDrawn::Rule;
        d.Page = Pages;
        d.X = Left;
        d.Y = Top;
        d.Right = Right;
        d.Bottom = Bottom;
        d.Color = Color;
        Drawn.push_back(d);
    }
    void SetClip(int Left, int Top, int Right, int Bottom) override {
        ClipLeft = Left;
        ClipTop = Top;
        ClipRight = Right;
        ClipBottom = Bottom;
    }

    // The drawn texts, in order.
    std::vector<const TDrawn *> Texts() const {
        std::vector<const TDrawn *> out;
        for (const TDrawn &d : Drawn)
            if (d.Kind == TDrawn::Glyphs)
                out.push_back(&d);
        return out;
    }
    const TDrawn *Find(const std::string &Text) const {
        for (const TDrawn &d : Drawn)
            if (d.Kind == TDrawn::Glyphs && d.Text == Text)
                return &d;
        return nullptr;
    }

    int Dpi, Width, Height;
    bool FailBegin = false;
    bool Started = false, Ended = false;
    std::string Title, Face;
    int Pages = 0, Points = 0;
    bool Bold = false;
    long Measured = 0;
    int ClipLeft = 0, ClipTop = 0, ClipRight = 0, ClipBottom = 0;
    std::vector<TDrawn> Drawn;
};
