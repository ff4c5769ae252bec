#include "main/Notice.h"

#include "core/Rect.h"
#include "core/Ticks.h"
#include "graphics/Text.h"
#include "platform/Clock.h"

namespace {

// A dark band across the foot of the screen, edged with the dim green of the menus.
constexpr TRect NoticeBand{0, 560, 800, 592};
constexpr int NoticeTextY = 566;
constexpr int NoticeTextHeight = 20;
constexpr int NoticeTextWidth = 9;
constexpr uint32_t NoticeBandColour = Rgb(0, 16, 0);

std::string noticeText; // keeps its buffer: showing a notice allocates at most once per message
uint32_t noticeTick = 0;

} // namespace

void ShowNotice(const std::string& text) {
    noticeText.assign(text);
    noticeTick = GetTickCount();
}

const std::string& CurrentNotice() {
    if (!noticeText.empty() && IntervalPassed(GetTickCount(), noticeTick, NoticeShowMs)) noticeText.clear();
    return noticeText;
}

void DrawNotice(Surface& target) {
    const std::string& text = CurrentNotice();
    if (text.empty()) return;
    target.FillRect(NoticeBand, NoticeBandColour);
    target.FillRect(TRect{NoticeBand.left, NoticeBand.top, NoticeBand.right, NoticeBand.top + 1},
                    ColourDimGreen);
    target.FillRect(TRect{NoticeBand.left, NoticeBand.bottom - 1, NoticeBand.right, NoticeBand.bottom},
                    ColourDimGreen);
    DrawGameText(NoticeBand.Width() / 2, NoticeTextY, NoticeTextHeight, NoticeTextWidth, text, target,
                 ColourBrightGreen, AlignCentreTop, true);
}

void ClearNotice() {
    noticeText.clear();
}
