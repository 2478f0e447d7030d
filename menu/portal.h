// Portalcraft's outputs: the entry, menu and map XML files (ANSI text for the
// output scratch file) and the start page (UTF-8, written directly).  The KML
// file is kml.h's.
#pragma once

#include <string>
#include <string_view>

#include "menu/menu_script.h"
#include "textconv/textfile.h"

namespace menu {

// The catalogue bar of the menu file: the scroll area's width and the x
// positions of the globe thumbnail, of the site thumbnails and of the plane
// thumbnail, 125 apart and centred on 0.
struct CatalogueLayout {
    int width = 0;
    int globeX = 0;
    int planeX = 0;
    int siteX(int k) const { return globeX + 125 * k; }  // k = 1 to siteCount
};
CatalogueLayout catalogueLayout(int siteCount);

// The longest leading decimal number of text (leading blanks skipped, an
// optional sign, digits with an optional decimal point, an optional
// exponent), 0 when there is none; never infinite or NaN (magnitudes are
// clamped to numberLimit).  whole tells whether the number is the entire text.
inline constexpr double numberLimit = 1e30;
double leadingNumber(std::string_view text, bool* whole = nullptr);

// The average position of the sites, summed in single precision; the fixed
// centre 37 / 127 when there is no site.
struct MapCentre {
    float latitude = 37.0f;
    float longitude = 127.0f;
};
MapCentre mapCentre(const MenuScript& menu);

// The writers take the plain ANSI base name (frontend::commandTextAnsi) and
// escape every text for its context themselves.
void writeEntryXml(textconv::TextWriter& out, const std::string& baseNameAnsi, const MenuScript& menu);
void writeMenuXml(textconv::TextWriter& out, const std::string& baseNameAnsi, const MenuScript& menu);
void writeMapXml(textconv::TextWriter& out, const std::string& baseNameAnsi, const MenuScript& menu,
                 const MapCentre& centre);
// The start page, written as UTF-8 text.
void writeStartPage(textconv::TextWriter& out, const std::string& baseNameAnsi);

}  // namespace menu
