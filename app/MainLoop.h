#pragma once

class Application;
class MainWindow;

constexpr int stepMilliseconds = 16;
constexpr int maxStepsPerFrame = 5;

// Fixed 16 ms update steps, at most five a frame, one draw a frame, until the show ends, the
// window goes or Escape is held.
void runMainLoop(Application& application, MainWindow& window);
