// The menu script: the list file of one exhibition project, read by
// Portalcraft, Markwell and Globewell.
#pragma once

#include <string>
#include <vector>

#include "frontend/frontend.h"

namespace menu {

struct SiteRecord {
    std::string directory;   // the site's folder below the host value
    std::string sceneField;  // the second word as written
    std::string scene;       // set by splitSceneFields
    std::string startScene;  // set by splitSceneFields; "*" marks a page file
    std::string latitude;    // exactly as written
    std::string longitude;   // exactly as written
    std::string siteName;    // text after the first '$'
};

inline constexpr int projectSlots = 5;

struct MenuScript {
    std::string projectLabels[projectSlots];
    std::string projectValues[projectSlots];  // each keeps its line end
    std::vector<SiteRecord> sites;            // at most the reader's site capacity
    int siteCount = 0;                        // the sites the writers use
    std::string hostValue;
};

// Portalcraft keeps 30 sites, Markwell and Globewell 100.
inline constexpr int portalSiteCapacity = 30;
inline constexpr int mapSiteCapacity = 100;

// Reads the open list file to its end into menu (warnings for skipped lines
// go through the list file).
void readMenuScript(frontend::ListFile& list, MenuScript& menu, int siteCapacity);

enum class SceneSplit {
    startScene,  // "court.scene_03": scene court, start scene scene_03
    pageFiles,   // also "tour.htm", "tour.html", "old.xml": scene is the whole field, start scene "*"
};
void splitSceneFields(MenuScript& menu, SceneSplit split);

// What a site links to, from its start scene after the split.
enum class LinkForm {
    mainPage,    // no start scene: <scene>.htm
    pageFile,    // start scene "*": the file the scene field names
    startScene,  // <scene>scene.htm?id=<start scene>
};
LinkForm linkForm(const SiteRecord& site);

}  // namespace menu
