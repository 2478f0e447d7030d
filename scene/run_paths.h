// The files of one run, all derived from the command-line argument.
#pragma once

#include <string>

namespace scene {

struct RunPaths {
    std::string listDirectory;  // empty: the current directory
    std::string baseName;
    std::string listPath;          // <dir>/<base>.lst
    std::string scratchListPath;   // <dir>/<base>.asc
    std::string mainPagePath;      // <dir>/<base>.htm
    std::string startScenePath;    // <dir>/<base>scene.htm
    std::string xmlScratchPath;    // <dir>/<base>.tmp
    std::string sceneXmlPath;      // <dir>/<base>.xml
    std::string loaderPath;        // <dir>/loadPanoScene.xml
};

// Splits the argument: a name with an extension names the scene script
// itself (D:\VR\Tour\Tour.lst), one without names the project folder
// (D:\VR\Tour stands for D:\VR\Tour\Tour.lst).  False when no base name
// can be taken from it.
bool runPaths(const std::string& argument, RunPaths& paths);

}  // namespace scene
