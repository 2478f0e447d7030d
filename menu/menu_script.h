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
    bool pageFile = false;   // set by splitSceneFields (SceneSplit::pageFiles only)
    long lineNumber = 0;     // the site line's number in the list file, for warnings
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
//
// After reading, sites holds exactly siteCount records (slots that a later
// site section did not fill again are dropped).  A record line made only of
// blanks counts as a blank line in every section.  Missing texts (no host
// line, fewer than three project lines, missing words of a site line) are
// empty.  Warnings, one per line: a site line without '$', a site line with
// fewer than four words before its '$', a site beyond siteCapacity, a sixth
// project line, and each record line of a section whose name is not one of
// #PROJECT, #SITE, #HOST.  A '#' that belongs to a numeric character
// reference ("&#" and a digit) does not make a section line.
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
// A page file only when splitSceneFields marked it so (pageFile), so that
// SceneSplit::startScene never yields one, whatever the start scene reads.
LinkForm linkForm(const SiteRecord& site);

// Position of the first byte c in text that is a character of its own, not
// the trail byte of a two-byte code; npos when there is none.  c is ASCII.
std::size_t findAnsiChar(std::string_view text, char c, std::size_t from = 0);

}  // namespace menu
