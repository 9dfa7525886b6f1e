#include "demo/SceneFactory.h"

#include "demo/Scene.h"

SceneFactory sceneFactory;

Scene* SceneFactory::createScene(int index) {
    switch (static_cast<unsigned>(index)) {
    default:
        return nullptr; // no scene of the show exists yet
    }
}
