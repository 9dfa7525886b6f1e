#include "Win32Internal.h"
#include "core/RunMode.h"

#include <SDL2/SDL.h>
#include <cstdio>

namespace {

int defaultAnswer(UINT type) {
    return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
}

// Where no box can be shown the user still reads the message, and the default answer is taken.
int printed(LPCSTR text, LPCSTR caption, UINT type) {
    if (caption && *caption)
        std::fprintf(stderr, "%s: %s\n", caption, text ? text : "");
    else
        std::fprintf(stderr, "%s\n", text ? text : "");
    return defaultAnswer(type);
}

Uint32 boxFlags(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        return SDL_MESSAGEBOX_ERROR;
    case MB_ICONWARNING:
        return SDL_MESSAGEBOX_WARNING;
    default:
        return SDL_MESSAGEBOX_INFORMATION;
    }
}

} // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    const bool yesNo = (type & MB_TYPEMASK) == MB_YESNO;
    const auto& mode = platform::runMode();
    if (yesNo && mode.fullScreenAnswer) return *mode.fullScreenAnswer ? IDYES : IDNO;
    if (mode.capture || !platform::ensureVideo()) return printed(text, caption, type);

    // Return answers Yes (or OK) and Escape answers No, as on the original platform.
    const SDL_MessageBoxButtonData yesNoButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
    };
    const SDL_MessageBoxButtonData okButton[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
         "OK"},
    };
    SDL_MessageBoxData data{};
    data.flags = boxFlags(type);
    data.window = platform::sdlWindowOf(owner);
    data.title = caption ? caption : "";
    data.message = text ? text : "";
    data.numbuttons = yesNo ? 2 : 1;
    data.buttons = yesNo ? yesNoButtons : okButton;

    int button = -1;
    platform::setModal(true);
    const int shown = SDL_ShowMessageBox(&data, &button);
    platform::setModal(false);
    if (shown != 0) return printed(text, caption, type);
    // Closing the box gives no button: that is the default answer.
    return button < 0 ? defaultAnswer(type) : button;
}
