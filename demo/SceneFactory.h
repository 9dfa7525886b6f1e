#pragma once

class Scene;

// The one place that knows the scenes and their play order.
class SceneFactory {
  public:
    // A new scene for play index 0..5, or null (an index outside, or a scene not built yet).
    virtual Scene* createScene(int index);
    virtual ~SceneFactory() = default;
};

extern SceneFactory sceneFactory;
