#include "demo/Scene.h"

int Scene::init(GraphicsDevice* device_) {
    device = device_;
    return 0;
}
