#include "DXCtrl/TDDEdit.h"
#include "graphics/PackRecords.h"

#include "core/Ticks.h"
#include "graphics/Blit.h"
#include "graphics/SpriteStore.h"
#include "graphics/Text.h"
#include "platform/Clock.h"

#include <algorithm>
#include <cctype>

namespace {
constexpr int FontHeight = 32;
constexpr int FontWidth = 20;
constexpr int PlainFrameInset = 4;
constexpr int TextLeft = 12;
constexpr int CaretLeft = 15;
constexpr int CaretTop = 12;
constexpr int CaretWidth = 3;
constexpr int RightMargin = 5;
} // namespace

int MeasureFieldText(const std::string& text) {
    return MeasureEditText(FontHeight, FontWidth, text);
}

void TDDEdit::SetText(const std::string& text) {
    Text = text.substr(0, UINT8_MAX); // Length is a byte and must cover the whole text
    Length = static_cast<uint8_t>(Text.size());
}

void TDDEdit::DrawFrame(Surface& target) const {
    if (Active)
        DrawDirect(InterfaceSprites[InterfaceRecord::ActiveTextFieldFrame], target, Rect.left, Rect.top,
                   true);
    else
        DrawDirect(InterfaceSprites[InterfaceRecord::TextFieldFrame], target, Rect.left + PlainFrameInset,
                   Rect.top + PlainFrameInset, false);
}

void TDDEdit::StepCaret() {
    const uint32_t now = GetTickCount();
    if (IntervalPassed(now, BlinkTick, BlinkMs)) {
        CaretOn = !CaretOn;
        BlinkTick = now;
    }
}

// The text always reads as one capital followed by small letters.
void TDDEdit::NormaliseCase() {
    for (char& c : Text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (Length > 0 && !Text.empty())
        Text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(Text[0])));
}

void TDDEdit::Draw(Surface& target) {
    DrawFrame(target);
    StepCaret();
    const int width = MeasureFieldText(Text);
    if (CaretOn && Active && Editing) {
        // A pen 3 pixels wide centred on the column; the line stops short of its end point.
        const int x = Rect.left + width + CaretLeft;
        target.FillRect(
            TRect{x - CaretWidth / 2, Rect.top + CaretTop, x + CaretWidth - CaretWidth / 2, Rect.bottom - 2},
            ColourBrightGreen);
    }
    NormaliseCase();
    // The line's ink (capitals to descenders) is centred in the field, so no face's cell pushes the
    // descenders through the frame.
    const int textTop = EditTextTopFor((Rect.top + Rect.bottom) / 2, FontHeight, FontWidth);
    DrawEditText(Rect.left + TextLeft, textTop, FontHeight, FontWidth,
                 Text.substr(0, std::min<size_t>(Length, Text.size())), target, ColourBrightGreen);
}

void TDDEdit::StepLastLetter(int step) {
    constexpr int Letters = 26;
    if (Length == 0 || Text.empty()) {
        KeyPress(step >= 0 ? 'A' : 'Z');
        return;
    }
    const char last = static_cast<char>(std::toupper(static_cast<unsigned char>(Text.back())));
    const int from = last >= 'A' && last <= 'Z' ? last - 'A' : 0;
    KeyPress(BackspaceChar);
    const uint8_t shorter = Length;
    // The 26th try is the letter that was there, which fitted, so the field never loses a letter.
    for (int tries = 1; tries <= Letters && Length == shorter; ++tries)
        KeyPress(static_cast<char>('A' + ((from + step * tries) % Letters + Letters) % Letters));
}

void TDDEdit::KeyPress(char ch) {
    const int width = MeasureFieldText(Text + ch);
    if (ch == '0') return;
    if (ch == BackspaceChar) {
        if (Length > 0 && !Text.empty()) {
            Text.pop_back();
            --Length;
        }
        return;
    }
    // A letter that would come within 5 pixels of the right edge is refused, like the eleventh.
    if (Length < MaxLetters && Rect.left + width + RightMargin < Rect.right) {
        Text += ch;
        ++Length;
    }
}
