// Portalcraft: a menu script becomes the entry, menu and map XML files, the
// KML file and the start page of an exhibition project.
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "frontend/frontend.h"
#include "menu/kml.h"
#include "menu/menu_script.h"
#include "menu/portal.h"

namespace {

const frontend::ProgramInfo programInfo = {
    "portalcraft",
    "\nUsage: Portalcraft <Halvane Menu Script>  \n",
    "\nHalvane Menu Script Converter 3.5 (2017/10/23)",
};

// Warns about a coordinate that the map centre does not read whole.
void checkCoordinate(frontend::Run& run, const std::string& listPath, const menu::SiteRecord& site,
                     const char* what, const std::string& text) {
    if (text.empty()) return;  // the reader has warned about the missing word
    bool whole = false;
    double value = menu::leadingNumber(text, &whole);
    if (!whole)
        run.warningAt(listPath, site.lineNumber,
                      "the %s \"%s\" is not a number: the map centre counts it as %g", what,
                      frontend::consoleText(text).c_str(), value);
}

}  // namespace

int main(int argc, char** argv) {
    frontend::Run run(programInfo, argc, argv);
    if (!run.begin()) return run.exitStatus();

    // Names: every path is derived from the stem, the argument cut at the
    // extension dot of its last component.
    const std::string& argument = run.argument();
    const auto [stem, listPath] = frontend::stemNames(argument);
    const std::string menuPath = stem + "m.xml";
    const std::string mapPath = stem + "g.xml";
    const std::string kmlPath = stem + ".kml";
    const std::string entryPath = stem + "f.xml";
    const std::string scratchPath = stem + ".txt";
    const std::string scratchListPath = stem + ".asc";
    const std::string startPagePath = frontend::joinPath(frontend::directoryPart(stem), "index.htm");
    const std::string baseName(frontend::lastComponent(stem));

    run.say("Halvane Name: %s\n", baseName.c_str());
    run.say("List File: %s\n", listPath.c_str());
    run.say("Menu File: %s\n", menuPath.c_str());
    run.say("GIS File: %s\n", mapPath.c_str());
    run.say("KML File: %s\n", kmlPath.c_str());
    run.say("HTML File: %s\n\n", startPagePath.c_str());

    // The scratch text is "%s.txt", and editors save list files from Notepad
    // as .txt: such a list would be overwritten and deleted.
    if (frontend::refuseListClash(run, listPath,
                                  {scratchPath, scratchListPath, entryPath, menuPath, mapPath, kmlPath,
                                   startPagePath}))
        return run.exitStatus();

    frontend::ListFile list(run, listPath, scratchListPath);
    if (!list.open("Lst File \"%s\" Not Found!\n")) return run.exitStatus();
    menu::MenuScript menu;
    menu::readMenuScript(list, menu, menu::portalSiteCapacity);
    list.close();
    menu::splitSceneFields(menu, menu::SceneSplit::startScene);

    const std::string baseNameAnsi = frontend::commandTextAnsi(baseName);
    frontend::ScratchOutput scratch(run, scratchPath);
    // Writes one converted output and prints its line; a failure never stops the run.
    auto convert = [&](const std::string& path, const char* createdFormat, const char* errorLine,
                       const std::function<void(textconv::TextWriter&)>& write) {
        bool written = scratch.write([&](textconv::TextWriter& out) {
            write(out);
            return true;
        });
        if (written && scratch.convertTo(path)) {
            run.say(createdFormat, path.c_str());
        } else {
            run.say("%s", errorLine);
            run.markFailed();
        }
    };

    convert(entryPath, "Entry File %s has been Created.\n", "Enty File Code Conversion Error!\n",
            [&](textconv::TextWriter& out) { menu::writeEntryXml(out, baseNameAnsi, menu); });
    convert(menuPath, "Menu File %s has been Created.\n", "Menu File Code Conversion Error!\n",
            [&](textconv::TextWriter& out) { menu::writeMenuXml(out, baseNameAnsi, menu); });

    for (int k = 0; k < menu.siteCount; ++k) {
        const menu::SiteRecord& site = menu.sites[static_cast<std::size_t>(k)];
        checkCoordinate(run, listPath, site, "latitude", site.latitude);
        checkCoordinate(run, listPath, site, "longitude", site.longitude);
    }
    const menu::MapCentre centre = menu::mapCentre(menu);
    convert(mapPath, "GIS File %s has been Created.\n", "GIS File Code Conversion Error!\n",
            [&](textconv::TextWriter& out) { menu::writeMapXml(out, baseNameAnsi, menu, centre); });
    convert(kmlPath, "KML File %s has been Created.\n", "KML File Code Conversion Error!\n",
            [&](textconv::TextWriter& out) { menu::writeKml(out, baseNameAnsi, menu); });

    if (frontend::writeDirect(run, startPagePath,
                              [&](textconv::TextWriter& out) { menu::writeStartPage(out, baseNameAnsi); }))
        run.say("HTML File %s has been Created.\n", startPagePath.c_str());

    scratch.remove();
    return run.exitStatus();
}
