#include "app/Application.h"
#include "app/MainLoop.h"
#include "app/MainWindow.h"

MainWindow mainWindow;
Application application;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const int width = 800 + 2 * GetSystemMetrics(SM_CXDLGFRAME);
    const int height = 600 + 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND window = mainWindow.create(x, y, width, height, instance, "class", "Lumiflux by Quillon",
                                    windowProcedure);

    const bool fullScreen = MessageBoxA(window, "フルスクリーンで起動しますか？", "質問",
                                        MB_YESNO | MB_ICONWARNING) == IDYES;
    ShowCursor(FALSE);
    if (application.init(window, instance, 800, 600, fullScreen) != 0) return 0;
    runMainLoop(application, mainWindow);
    return 0;
}
