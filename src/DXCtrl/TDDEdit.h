// The one-line text field for a name or a country: a frame picture, the text in the field's own face
// and a blinking caret. It takes upper-case letters, and "~" for Backspace.
#pragma once

#include "core/Rect.h"
#include "platform/Surface.h"

#include <cstdint>
#include <string>

class TDDEdit {
  public:
    static constexpr int MaxLetters = 10;
    static constexpr uint32_t BlinkMs = 300;
    static constexpr char BackspaceChar = '~';

    void Draw(Surface& target);
    void KeyPress(char ch);
    // Typing with a d-pad: the last letter steps through A..Z by `step` (wrapping round), skipping a
    // letter too wide for the field; an empty field starts with A (step up) or Z (step down).
    void StepLastLetter(int step);
    // Text given from outside (the stored country), cut to what the field can hold: Length follows it.
    void SetText(const std::string& text);

    bool Active = false;
    bool Editing = false;
    std::string Text;
    uint8_t Length = 0;
    TRect Rect;
    uint32_t BlinkTick = 0;
    bool CaretOn = false;

  private:
    void DrawFrame(Surface& target) const;
    int FrameMiddle() const;
    bool Fits(const std::string& text) const;
    void StepCaret();
    void NormaliseCase();
};

int MeasureFieldText(const std::string& text);
