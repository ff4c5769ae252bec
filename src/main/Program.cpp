// VANTORIX: start-up, the message loop, and the exit link.
#include "main/Form.h"
#include "online/GoToLink.h"

#include <SDL.h>

#include <cstdio>

int main(int, char**) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
        std::fprintf(stderr, "vantorix: cannot start the display: %s\n", SDL_GetError());
        return 1;
    }
    int status = 0;
    {
        TForm1 form;
        if (!form.FormCreate())
            status = 1;
        else if (!form.RunMessageLoop())
            status = 1;
        form.FormDestroy();
        if (status == 0 && !form.Terminated()) OpenPlayUrl();
    }
    SDL_Quit();
    return status;
}
