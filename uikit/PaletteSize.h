#pragma once

namespace velka {

// The outer size, in twips, of a window whose menu palette shows only while the window is large
// enough along one side: the main window's width, the event timer's height. The palette button
// toggles it; the window's load step closes it. It belongs to the window alone: no model knows
// it, and nothing that watches a model hears it change.
class PaletteSize {
public:
    // As designed, before the load step: open.
    constexpr PaletteSize(int closedTwips, int openTwips)
        : closed_(closedTwips)
        , open_(openTwips)
        , twips_(openTwips)
    {}

    int twips() const { return twips_; }
    bool isOpen() const { return twips_ == open_; }
    void close() { twips_ = closed_; }
    // Opens the palette unless the window has exactly its open size, and closes it then.
    void toggle() { twips_ = isOpen() ? closed_ : open_; }
    // A size set from outside the two, as a window can be given one.
    void set(int twips) { twips_ = twips; }

private:
    int closed_;
    int open_;
    int twips_;
};

} // namespace velka
