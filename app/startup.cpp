#include "app/startup.h"

#include "app/main_window.h"
#include "base/facts.h"
#include "base/messages.h"
#include "display/mode_menus.h"
#include "resources/resource_ids.h"
#include "settings/settings.h"

void BuildProgramMenus(MainWindowState *state, HINSTANCE instance)
{
    CatalogueOptions options = {ReadOptionNumber(OPT_DISPLAY_PORTRAIT_RESOLUTION) != 0, true};
    BuildDisplayCatalogue(&state->catalogue, options);
    state->menus = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_TRAY_MENU));
    state->displayMenu = GetSubMenu(state->menus, 0);
    state->commandMenu = GetSubMenu(state->menus, 1);
    BuildModeMenus(&state->catalogue, state->displayMenu);
    AddPropertiesItem(state->commandMenu, ID_PROPERTIES);
}

void FreeProgramMenus(MainWindowState *state)
{
    FreeDisplayCatalogue(&state->catalogue);
    if (state->menus)
        DestroyMenu(state->menus);
    state->menus = state->displayMenu = state->commandMenu = state->profilesMenu = nullptr;
}

int RunTessivon(HINSTANCE instance)
{
    ReadProgramFacts(instance);

    HWND running = FindWindowW(MAIN_WINDOW_CLASS, PROGRAM_TITLE);
    if (running) {
        SendMessageW(running, WM_SHOW_AGAIN, 0, 0);
        return 1;
    }

    MainWindowState state = {};
    BuildProgramMenus(&state, instance);

    const wchar_t *failure = nullptr;
    if (!RegisterMainWindowClass(instance))
        failure = L"Couldn't Register Window Class";
    else if (!CreateMainWindow(&state, instance))
        failure = L"Couldn't Create Window";
    if (failure) {
        MessageBoxW(nullptr, failure, L"Error", MB_ICONHAND);
        FreeProgramMenus(&state);
        return 1;
    }
    TrayIconShow(&state.tray, state.window, PROGRAM_TITLE);

    MSG message;
    BOOL result;
    // -1 is a failed call, not WM_QUIT: only 0 ends the loop.
    while ((result = GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (result == -1)
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    FreeProgramMenus(&state);
    return 0;
}
