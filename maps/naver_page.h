// Markwell's Naver map page: one marker per site and one shared info window
// that links to the site's panorama tour.
#pragma once

#include "frontend/frontend.h"
#include "menu/menu_script.h"
#include "textconv/textfile.h"

namespace maps {

// Writes the page as ANSI text for the split menu script.  A coordinate that
// is not a number is written as the number it begins with, with a warning
// naming listPath and the site's line.
void writeNaverPage(frontend::Run& run, textconv::TextWriter& out, const std::string& listPath,
                    const menu::MenuScript& menu);

}  // namespace maps
