#pragma once
#include "app/MusicTrack.h"
#include "demo/ColorRect.h"

#include <vector>

class GraphicsDevice;
class Scene;
class SceneFactory;

// The sequencer: owns the scenes and the music, switches scenes on the music cues and frames
// every picture with the letterbox.
class SceneManager {
  public:
    static constexpr int cueCount = 6;
    static constexpr int cueTable[cueCount] = {8, 24, 40, 56, 72, 83};

    // The show's scenes come from the global factory; tests hand in their own.
    SceneManager();
    explicit SceneManager(SceneFactory& factory_);
    SceneManager(const SceneManager&) = delete;
    SceneManager& operator=(const SceneManager&) = delete;

    virtual ~SceneManager();
    virtual int init(GraphicsDevice* device_);
    virtual int update();
    virtual int draw();

    int currentScene() const { return current; }
    int scenesCreated() const { return sceneCount; }

  private:
    bool currentExists() const { return current >= 0 && current < sceneCount; }
    int advanceScene(int by);

    SceneFactory* factory;
    std::vector<Scene*> scenes;
    int sceneCount = 0;
    int current = 0;
    GraphicsDevice* device = nullptr;
    ColorRect letterbox;
    MusicTrack music;

    int sceneStarted = 0;
    int musicStarted = 0;
    int cueIndex = 0;
};
