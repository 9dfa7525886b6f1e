#include "demo/SceneFactory.h"

#include "demo/Scene.h"
#include "scenes/TitleScene.h"

SceneFactory sceneFactory;

Scene* SceneFactory::createScene(int index) {
    switch (static_cast<unsigned>(index)) {
    case 0:
        return new TitleScene;
    default:
        return nullptr; // no scene of the show exists yet
    }
}
