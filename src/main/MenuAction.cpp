// What a triggered widget does on each screen.
#include "DXCtrl/MenuClick.h"
#include "Game/TGame.h"
#include "audio/Audio.h"
#include "core/ScreenState.h"
#include "main/Form.h"
#include "main/MenuWidgets.h"
#include "main/Notice.h"
#include "main/Screens.h"
#include "main/SendResult.h"
#include "main/ShellActions.h"
#include "online/GoToLink.h"
#include "online/WebScores.h"
#include "persistence/ConfigFile.h"
#include "persistence/HiScores.h"
#include "persistence/Options.h"

#include <optional>
#include <string>

namespace {

const char* const OnlineTablePath = "/cgi/version.pl?prg=Vantorix&show&type=0";

void FreezePicture(TForm1& form) {
    form.SavedScreen->BlitWhole(*form.BackBuffer, 0, 0, false);
}

void MainMenuAction(TForm1& form) {
    if (!MainMenu->MouseOver) return;
    switch (MainMenu->ItemIndex) {
    case ItemNewGame:
        if (Options.MusicEnabled) PlayMusic("2.xm");
        form.StartGame();
        return; // no click
    case ItemOptions:
        RequestScreen(ScreenOptions);
        break;
    case ItemHiScores:
        RequestScreen(ScreenHiScores);
        break;
    case ItemHelp:
        RequestScreen(ScreenHelpOverview);
        break;
    case ItemWebSite:
        OpenLink(ScoreServerHomePage()); // a failure is told by the notice
        break;
    case ItemExit:
        RequestScreen(ScreenExitQuestion);
        FreezePicture(form);
        break;
    default:
        break;
    }
    PlayMenuClickDirect();
}

void OptionsAction(TForm1& form) {
    if (OptionsMenu->MouseOver) {
        switch (OptionsMenu->ItemIndex) {
        case ItemDisplay:
            form.SwitchWindowed(!Options.Windowed);
            break;
        case ItemMusic:
            Options.MusicEnabled = !Options.MusicEnabled;
            if (Options.MusicEnabled)
                PlayMusic("1.xm");
            else
                StopMusic();
            break;
        case ItemSound:
            Options.SoundEnabled = !Options.SoundEnabled;
            SetSoundEnabled(Options.SoundEnabled);
            break;
        case ItemCountry:
            OptionsMenu->Edit.Editing = !OptionsMenu->Edit.Editing;
            break;
        case ItemBossKey:
            RequestScreen(ScreenKeyCapture);
            break;
        case ItemOptionsBack:
            RequestScreen(ScreenMainMenu);
            break;
        default:
            break;
        }
    }
    PlayMenuClickDirect(); // a click outside every item still sounds
}

void HiScoresAction(TForm1& form) {
    if (!HiScoreButtons->MouseOver) return;
    switch (HiScoreButtons->ItemIndex) {
    case ItemClearTable:
        RequestScreen(ScreenClearQuestion);
        OkCancelQuestion->Choice = false; // a question that destroys opens on the answer that keeps
        FreezePicture(form);
        break;
    case ItemOnlineTable:
        OpenLink(ScoreServer.BaseAddress + OnlineTablePath);
        break;
    case ItemHiScoreBack:
        RequestScreen(ScreenMainMenu);
        break;
    default:
        break;
    }
    PlayMenuClickDirect();
}

// Previous on the first page and next on the last one are silent.
struct HelpPageLinks {
    Screen page;
    std::optional<Screen> previous;
    std::optional<Screen> next;
};
constexpr HelpPageLinks HelpPages[] = {
    {ScreenHelpOverview, std::nullopt, ScreenHelpBonuses},
    {ScreenHelpBonuses, ScreenHelpOverview, ScreenHelpControls},
    {ScreenHelpControls, ScreenHelpBonuses, ScreenHelpAbout},
    {ScreenHelpAbout, ScreenHelpControls, std::nullopt},
};

void HelpPageAction(const HelpPageLinks& links) {
    if (!PageButtons->MouseOver) return;
    std::optional<Screen> target;
    switch (PageButtons->ItemIndex) {
    case ItemPreviousPage:
        target = links.previous;
        break;
    case ItemNextPage:
        target = links.next;
        break;
    case ItemPageBack:
        target = ScreenMainMenu;
        break;
    default:
        break;
    }
    if (!target) return;
    RequestScreen(*target);
    PlayMenuClickDirect();
}

void ExitQuestionAction(TForm1& form) {
    if (!YesNoQuestion->MouseOver) return;
    if (YesNoQuestion->Choice) {
        ExitConfirmed = true;
        form.Close(); // the close query lets it pass now
        SaveSettings();
    } else {
        RequestScreen(ScreenMainMenu);
        ExitConfirmed = false;
    }
    PlayMenuClickDirect();
}

void ClearQuestionAction() {
    if (!OkCancelQuestion->MouseOver) return;
    if (OkCancelQuestion->Choice) ResetHighScores(); // memory only, saved on the next save
    RequestScreen(ScreenHiScores);
    PlayMenuClickDirect();
}

void NameEntryAction() {
    if (!OkCancelQuestion->MouseOver) return;
    if (OkCancelQuestion->Choice) {
        if (RefuseBlankName()) return;
        const TDDEdit& field = *HiScoreNameEdit;
        InsertHiScore(field.Text.substr(0, field.Length), CurrentGame ? CurrentGame->Score : 0);
        if (!SaveSettings()) ShowNotice(ScoreNotSavedNotice);
        RequestScreen(ScreenSendQuestion);
    } else {
        RequestScreen(ScreenMainMenu);
    }
    PlayMenuClickDirect();
}

void SendQuestionAction(TForm1& form) {
    if (!YesNoQuestion->MouseOver) return;
    if (YesNoQuestion->Choice) {
        SendResult(form);
    } else {
        ShowWaitingNotice(form);
        RequestScreen(ScreenHiScores);
    }
    PlayMenuClickDirect();
}

void QuitQuestionAction(TForm1& form) {
    if (!YesNoQuestion->MouseOver) return;
    if (YesNoQuestion->Choice && CurrentGame) CurrentGame->Phase = GamePhase::GameOver;
    ResumeGame(form);
    PlayMenuClickDirect();
}

} // namespace

void ResumeGame(TForm1& form) {
    RequestScreen(ScreenGame);
    form.display.SetGameMouse(true);
}

void TForm1::MenuAction() {
    switch (ScreenState) {
    case ScreenIntro:
        RequestScreen(ScreenMainMenu);
        break; // a click skips the intro
    case ScreenMainMenu:
        MainMenuAction(*this);
        break;
    case ScreenOptions:
        OptionsAction(*this);
        break;
    case ScreenHiScores:
        HiScoresAction(*this);
        break;
    case ScreenExitQuestion:
        ExitQuestionAction(*this);
        break;
    case ScreenClearQuestion:
        ClearQuestionAction();
        break;
    case ScreenNameEntry:
        NameEntryAction();
        break;
    case ScreenSendQuestion:
    case ScreenRetryQuestion:
        SendQuestionAction(*this);
        break;
    case ScreenQuitQuestion:
        QuitQuestionAction(*this);
        break;
    case ScreenGame:
    case ScreenKeyCapture:
    case ScreenPause:
    case ScreenPleaseWait:
        break; // no items to act on
    case ScreenHelpOverview:
    case ScreenHelpBonuses:
    case ScreenHelpControls:
    case ScreenHelpAbout:
        for (const HelpPageLinks& links : HelpPages) {
            if (links.page != ScreenState) continue;
            HelpPageAction(links);
            break; // the page may have changed: act once
        }
        break;
    }
}
