// The scene model: one tour's scenes and the hotspots placed in them, as the
// scene script gives them.  Texts are ANSI text as read from the script.
#pragma once

#include <array>
#include <memory>
#include <string>

namespace scene {

// Capacities of the model: a script may hold no more than these.
inline constexpr int maxScenes = 12;
inline constexpr int maxEntries = 30;          // of each kind, per scene
inline constexpr int maxGalleryObjects = 100;  // in the whole script

// lookat of a cross or out link that turns nowhere after loading.
inline constexpr int noLookat = 360;

struct CrossLink {
    std::string target;  // name of the scene to load
    int ath = 0;
    int atv = 0;
    std::string style;  // krpano hotspot style
    int lookat = noLookat;
    std::string hoverText;
};

struct OutLink {
    std::string target;  // krpano XML file, optionally "file(scene)"
    int ath = 0;
    int atv = 0;
    std::string style;
    int lookat = noLookat;
    std::string hoverText;
};

struct StillImage {
    std::string name;  // picture file name without extension
    int ath = 0;
    int atv = 0;
    float scale = 1;
    int distorted = 0;  // 0 or 1
    int rx = 0;
    int ry = 0;
    int rz = 0;
    std::string hoverText;
};

struct VideoLink {
    std::string name;  // video file name without extension
    int ath = 0;
    int atv = 0;
    int kind = 0;  // 1 played in place, 2 video icon, 3 360-degree video icon
    std::string title;
};

struct Gallery {
    int ath = 0;
    int atv = 0;
    int firstObject = 0;  // index of its first object in SceneModel::galleryObjects
    int objectCount = 0;
    std::string folder;
    std::string title;
};

struct GalleryObject {
    std::string file;  // file name without extension
    int type = 0;      // 1 picture, 2 video
    float scale = 1;
    std::string explanation;  // explanation page, or a text beginning with '$' when none
    std::string title;
};

struct Reference {
    std::string target;  // address to open
    int ath = 0;
    int atv = 0;
    std::string icon;  // address of the hotspot's picture
    float scale = 1;
    std::string title;
};

struct Scene {
    std::string name;  // folder below the list directory and krpano scene name
    std::string title;
    int hlookat = 0;
    int vlookat = 0;
    std::array<CrossLink, maxEntries> crossLinks;
    int crossLinkCount = 0;
    std::array<OutLink, maxEntries> outLinks;
    int outLinkCount = 0;
    std::array<StillImage, maxEntries> stills;
    int stillCount = 0;
    std::array<VideoLink, maxEntries> videos;
    int videoCount = 0;
    std::array<Gallery, maxEntries> galleries;
    int galleryCount = 0;
    std::array<Reference, maxEntries> references;
    int referenceCount = 0;
};

struct SceneModel {
    std::array<Scene, maxScenes> scenes;
    int sceneCount = 0;
    std::array<GalleryObject, maxGalleryObjects> galleryObjects;
    int galleryObjectCount = 0;
};

}  // namespace scene
