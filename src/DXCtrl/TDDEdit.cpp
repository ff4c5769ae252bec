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
constexpr int CaretWidth = 3;
constexpr int RightMargin = 5;
} // namespace

int MeasureFieldText(const std::string& text) {
    return MeasureEditText(FontHeight, FontWidth, text);
}

void TDDEdit::SetText(const std::string& text) {
    Text = text.substr(0, UINT8_MAX); // Length is a byte and must cover the whole text
    // Whatever it is given, the field shows no more than typing could have put in it.
    while (!Text.empty() && (Text.size() > MaxLetters || !Fits(Text)))
        Text.pop_back();
    Length = static_cast<uint8_t>(Text.size());
}

// A letter that would come within 5 pixels of the right edge does not fit.
bool TDDEdit::Fits(const std::string& text) const {
    return Rect.left + MeasureFieldText(text) + RightMargin < Rect.right;
}

void TDDEdit::DrawFrame(Surface& target) const {
    if (Active)
        DrawDirect(InterfaceSprites[InterfaceRecord::ActiveTextFieldFrame], target, Rect.left, Rect.top,
                   true);
    else
        DrawDirect(InterfaceSprites[InterfaceRecord::TextFieldFrame], target, Rect.left + PlainFrameInset,
                   Rect.top + PlainFrameInset, false);
}

// The middle of the frame picture as drawn; the focused frame is as tall as the country field, so in
// the shorter name field it reaches below the field's rectangle.
int TDDEdit::FrameMiddle() const {
    const std::unique_ptr<Surface>& frame =
        InterfaceSprites[Active ? InterfaceRecord::ActiveTextFieldFrame : InterfaceRecord::TextFieldFrame];
    if (!frame) return (Rect.top + Rect.bottom) / 2;
    return Rect.top + (Active ? 0 : PlainFrameInset) + frame->Height() / 2;
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
    // The line's ink (capitals to descenders) is centred in the frame, so no face's cell pushes the
    // descenders through it; the caret stands as tall as that ink.
    const int textTop = EditTextTopFor(FrameMiddle(), FontHeight, FontWidth);
    if (CaretOn && Active && Editing) {
        // A pen 3 pixels wide centred on the column.
        const int x = Rect.left + width + CaretLeft;
        const InkRows ink = EditTextInk(FontHeight, FontWidth);
        target.FillRect(TRect{x - CaretWidth / 2, textTop + ink.top, x + CaretWidth - CaretWidth / 2,
                              textTop + ink.bottom},
                        ColourBrightGreen);
    }
    NormaliseCase();
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
    if (ch == '0') return;
    if (ch == BackspaceChar) {
        if (Length > 0 && !Text.empty()) {
            Text.pop_back();
            --Length;
        }
        return;
    }
    // A letter that does not fit is refused, like the eleventh.
    if (Length < MaxLetters && Fits(Text + ch)) {
        Text += ch;
        ++Length;
    }
}
