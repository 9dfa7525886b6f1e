#include "app/Application.h"

int Application::init(HWND window, HINSTANCE instance, int width, int height, bool fullScreen) {
    if (graphics.init(window, instance, width, height) != 0) return 1;
    if (fullScreen) graphics.switchToFullScreen();
    sceneManager.init(&graphics);
    return 0;
}

int Application::update() {
    return sceneManager.update() != 0 ? 1 : 0;
}

int Application::draw() {
    sceneManager.draw();
    return 0;
}

HWND Application::getWindow() {
    return graphics.getWindow();
}
