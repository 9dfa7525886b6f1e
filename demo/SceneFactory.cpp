#include "demo/SceneFactory.h"

#include "demo/Scene.h"
#include "scenes/CoreScene.h"
#include "scenes/LogoScene.h"
#include "scenes/RingScene.h"
#include "scenes/TargetScene.h"
#include "scenes/TitleScene.h"
#include "scenes/WarningScene.h"

SceneFactory sceneFactory;

Scene* SceneFactory::createScene(int index) {
    switch (static_cast<unsigned>(index)) {
    case 0:
        return new TitleScene;
    case 1:
        return new WarningScene;
    case 2:
        return new TargetScene;
    case 3:
        return new CoreScene;
    case 4:
        return new RingScene;
    case 5:
        return new LogoScene;
    default:
        return nullptr;
    }
}
