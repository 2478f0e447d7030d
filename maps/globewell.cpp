// Globewell: a menu script becomes a Google Earth KML file for an aerial tour.
#include "frontend/frontend.h"
#include "maps/frame.h"
#include "menu/kml.h"

int main(int argc, char** argv) {
    maps::MapProgram program{
        {"globewell", "\nUsage: Globewell <Halvane Menu Script>  \n",
         "\nGoogle Earth KML Script Generator 2.0 (2020/06/01)"},
        ".kml",
        [](frontend::Run& run, const std::string& path) { run.say("KML File: %s\n", path.c_str()); },
        [](frontend::Run& run, const std::string& path) {
            run.say("KML File %s has been Created.\n", path.c_str());
        },
        [](frontend::Run& run) { run.say("KML File Code Conversion Error!\n"); },
        [](frontend::Run&, textconv::TextWriter& out, const maps::Names& names, const menu::MenuScript& menu) {
            // The folder of placemarks is named by the base name.
            menu::writeKml(out, frontend::commandTextAnsi(names.baseName), menu);
        },
    };
    return maps::runMapProgram(program, argc, argv);
}
