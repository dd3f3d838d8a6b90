// Scenes of the skin gallery: real windows of the program, opened as the program opens them and filled
// with sample data. Each *_scenes.cpp file of this folder registers its scenes; the gallery pictures
// every scene in every look and both layouts, and leaves out its table-only picture of a template that a
// scene shows.
#pragma once

#include "res/dialog_layouts.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace gallery {

struct SceneShot {
    std::shared_ptr<void> keep; // the objects behind the window, released once it is pictured
    HWND window = nullptr;      // the window whose outline is pictured (the host for child windows)
};

struct Scene {
    std::wstring name;  // picture name stem
    int templateId = 0; // the template the scene shows
    pw::ui::Size host;  // child windows open in a host window of this size; {} for pop-ups
    std::function<SceneShot(HWND host)> open;
};

std::vector<Scene>& Scenes();

struct SceneRegistrar {
    explicit SceneRegistrar(std::vector<Scene> scenes);
};

} // namespace gallery
