// The writers of Vistacraft's outputs: the scene XML (scenes, hotspots,
// gallery scenes) and the two pages and the loader that embed the viewer.
#pragma once

#include <string>

#include "scene/scene_model.h"

namespace frontend {
class Run;
}
namespace textconv {
class TextWriter;
}

namespace scene {

// Writes the header and every scene into the XML scratch text.  False when
// a scene's pano.xml cannot be read: the message is printed and the text
// holds the scenes written so far.
bool writeSceneXml(frontend::Run& run, const SceneModel& model, const std::string& listDirectory,
                   const std::string& baseName, textconv::TextWriter& out);

// Writes every gallery scene and the closing lines of the document.
void writeGalleryScenes(const SceneModel& model, textconv::TextWriter& out);

// The main page, the start-scene page and the loader XML, written directly
// in UTF-8.  False (after an error line) when the file was not written.
bool writeMainPage(frontend::Run& run, const std::string& path, const std::string& baseName);
bool writeStartScenePage(frontend::Run& run, const std::string& path, const std::string& baseName);
bool writeLoaderXml(frontend::Run& run, const std::string& path);

// The path of a scene's pano.xml below the list directory.
std::string panoXmlPath(const std::string& listDirectory, const std::string& sceneName);

}  // namespace scene
