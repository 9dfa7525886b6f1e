#include "demo/SceneManager.h"

#include "app/GraphicsDevice.h"
#include "demo/Scene.h"
#include "demo/SceneFactory.h"

SceneManager::SceneManager() : factory(&sceneFactory) {}

SceneManager::SceneManager(SceneFactory& factory_) : factory(&factory_) {}

SceneManager::~SceneManager() {
    for (Scene* scene : scenes)
        delete scene;
    scenes.clear();
}

int SceneManager::init(GraphicsDevice* device_) {
    device = device_;
    sceneCount = 0;
    for (int i = 0; i < cueCount; ++i) {
        Scene* scene = factory->createScene(i);
        if (!scene) continue;
        scenes.push_back(scene);
        scene->init(device); // each scene loads before the next is created
        ++sceneCount;
    }
    current = 0;
    letterbox.init(device->getDevice());
    letterbox.setColor(0, 0, 0);
    music.open("lf.mp3");
    music.setBpm(144);
    return 0;
}

// Returns 1 when the move leaves the scenes: the show is over.
int SceneManager::advanceScene(int by) {
    sceneStarted = 0;
    current += by;
    return currentExists() ? 0 : 1;
}

int SceneManager::update() {
    if (!musicStarted) return 0; // the first frame has not been presented: nothing advances
    if (currentExists()) {
        if (!sceneStarted) {
            scenes[current]->start();
            sceneStarted = 1;
        }
        switch (scenes[current]->update()) {
        case Scene::Next:
            if (advanceScene(1)) return 1;
            break;
        case Scene::Previous:
            if (advanceScene(-1)) return 1;
            break;
        case Scene::End:
            return 1;
        default:
            break;
        }
    }
    if (cueIndex >= cueCount) return 1;
    int bar = music.getBar();
    if (bar >= cueTable[cueIndex]) {
        ++cueIndex;
        // Without any scene the timeline still runs to its last cue, with the music.
        const bool left = advanceScene(1) != 0 && !scenes.empty();
        if (left || cueIndex >= cueCount) return 1;
    }
    device->setMusicBar(&bar);
    return 0;
}

int SceneManager::draw() {
    IDirect3DDevice9* d3d = device->getDevice();
    d3d->BeginScene();
    if (currentExists())
        scenes[current]->draw();
    else
        d3d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_ARGB(255, 0, 0, 0),
                   1.0f, 0);
    letterbox.drawRect(-32, -32, 0, 864, 107);
    letterbox.drawRect(-32, 525, 0, 864, 107);
    d3d->EndScene();
    if (FAILED(d3d->Present(nullptr, nullptr, nullptr, nullptr))) {
        D3DPRESENT_PARAMETERS parameters;
        d3d->Reset(device->getPresentParameters(&parameters));
    }
    if (!musicStarted) {
        music.play();
        musicStarted = 1;
    }
    return 0;
}
