// The Google Earth KML file of a menu script, written by Portalcraft and Globewell.
#pragma once

#include <string>

#include "menu/menu_script.h"
#include "textconv/textfile.h"

namespace menu {

// Writes the KML text (ANSI) for the split menu script; baseNameAnsi names the folder.
// Sites whose start scene is "*" (page files, Globewell's split) link to the file itself.
// baseNameAnsi is the plain ANSI base name (frontend::commandTextAnsi): the
// writer escapes it and every text of the menu script for its XML context.
// The header comment names Portalcraft 3.5 in both programs.
void writeKml(textconv::TextWriter& out, const std::string& baseNameAnsi, const MenuScript& menu);

}  // namespace menu
