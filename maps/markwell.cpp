// Markwell: a menu script becomes an HTML page that shows the sites as
// markers on a Naver map.
#include "maps/frame.h"
#include "maps/naver_page.h"

int main(int argc, char** argv) {
    maps::MapProgram program{
        {"markwell", "\nUsage: Markwell <Halvane Menu Script>  \n",
         "\nNaver Map API Script Generator 2.0 (2020/06/01)"},
        "Nmap.htm",
        [](frontend::Run& run, const std::string& path) { run.say("Nmap File: %s\n", path.c_str()); },
        [](frontend::Run& run, const std::string& path) {
            run.say("Naver Map API Script File %s has been Created.\n", path.c_str());
        },
        [](frontend::Run& run) { run.say("Script File Code Conversion Error!\n"); },
        [](frontend::Run& run, textconv::TextWriter& out, const maps::Names& names,
           const menu::MenuScript& menu) { maps::writeNaverPage(run, out, names.listPath, menu); },
    };
    return maps::runMapProgram(program, argc, argv);
}
