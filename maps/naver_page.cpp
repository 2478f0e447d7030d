#include "maps/naver_page.h"

#include <algorithm>
#include <string>

#include "settings.h"
#include "textconv/escape.h"

namespace maps {

namespace {

std::string js(const std::string& ansi) { return textconv::jsString(ansi, '\''); }
// A piece of an address inside href="..." of the HTML in a script string.
std::string href(const std::string& ansi) { return js(textconv::xmlAttr(ansi)); }

// A coordinate is written as code in LatLng(%s, %s): a text that is not a
// number would break the whole script, so it becomes the number it begins with.
std::string coordinate(frontend::Run& run, const std::string& listPath, const menu::SiteRecord& site,
                       const char* field, const std::string& text) {
    bool ok = false;
    std::string number = textconv::jsNumber(text, ok);
    if (!ok)
        run.warningAt(listPath, site.lineNumber, "site \"%s\": the %s \"%s\" is not a number; written as %s",
                      frontend::consoleText(site.siteName).c_str(), field,
                      frontend::consoleText(text).c_str(), number.c_str());
    return number;
}

// The info window's text: the site name above the Halvane picture, as a link
// to the site's tour.
void writeLinkText(textconv::TextWriter& out, const std::string& host, const menu::SiteRecord& site) {
    switch (menu::linkForm(site)) {
    case menu::LinkForm::mainPage:
        out.printf("<a href=\"%s/%s/%s.htm\" target=\"_self\">%s<br/><img border=\"0\" src=\"",
                   href(host).c_str(), href(site.directory).c_str(), href(site.scene).c_str(),
                   js(site.siteName).c_str());
        out.printf("%s/VR/style/halvane_b.png\"/></a><br/>", settings::webServer);
        break;
    case menu::LinkForm::pageFile:
        out.printf("<a href=\"%s/%s/%s\" target=\"_self\">%s<br/><img border=\"0\" src=\"",
                   href(host).c_str(), href(site.directory).c_str(), href(site.scene).c_str(),
                   js(site.siteName).c_str());
        out.printf("%s/VR/style/halvane_b.png\"/></a><br/>", settings::webServer);
        break;
    case menu::LinkForm::startScene:
        out.printf("<a href=\"%s/%s/%sscene.htm?id=%s\" target=\"_self\">%s<br/><img border=\"0\" src=\"",
                   href(host).c_str(), href(site.directory).c_str(), href(site.scene).c_str(),
                   href(site.startScene).c_str(), js(site.siteName).c_str());
        out.printf("%s/VR/style/halvane_b.png\"/></a>", settings::webServer);
        break;
    }
}

}  // namespace

void writeNaverPage(frontend::Run& run, textconv::TextWriter& out, const std::string& listPath,
                    const menu::MenuScript& menu) {
    const int siteCount = std::min(menu.siteCount, static_cast<int>(menu.sites.size()));

    // Head and map.
    out.printf("<!DOCTYPE html>\n");
    out.printf("<html>\n");
    out.printf("<head>\n");
    out.printf("\t<title>Naver Map Api</title>\n");
    out.printf("\t<meta charset='UTF-8'>\n");
    out.printf("\t<meta http-equiv='X-UA-Compatible' content='IE=edge'>\n");
    out.printf("\t<meta name='viewport' content='width=device-width, initial-scale=1.0, maximum-scale=1.0, minimum-scale=1.0, user-scalable=no'>\n");
    out.printf("\t<script type='text/javascript' src='%s/openapi/v3/maps.js?ncpClientId=%s'></script>\n",
               settings::naverMapsServer, settings::naverClientId);
    out.printf("\t<style>\n");
    out.printf("\t\tdiv.iw_inner {\n");
    out.printf("\t\t\ttext-align: center;\n");
    // The font 함초롬바탕 in KS X 1001.
    out.printf("\t\t\tfont-family:\xC7\xD4\xC3\xCA\xB7\xD2\xB9\xD9\xC5\xC1;\n");
    out.printf("\t\t}\n");
    out.printf("\t</style>\n");
    out.printf("</head>\n");
    out.printf("<body>\n");
    out.printf("\t<div id='map' style='width:100%%;height:720px;'></div>\n\n");
    out.printf("\t<script>\n");
    out.printf("\t\tvar map = new naver.maps.Map('map', {\n");
    out.printf("\t\t\tcenter: new naver.maps.LatLng(37, 127),\n");
    out.printf("\t\t\tzoom: 7,\n");
    out.printf("\t\t\tzoomControl: true\n");
    out.printf("\t\t});\n\n");
    out.printf("\t\tvar contentString = [\n");
    out.printf("\t\t\t'<div class=\"iw_inner\">',\n");
    out.printf("\t\t\t'<img src=\"/VR/style/photo.png\" width=\"120\"/>',\n");
    out.printf("\t\t\t'</div>'\n");
    out.printf("\t\t].join('');\n\n");
    out.printf("\t\tvar infowindow = new naver.maps.InfoWindow({\n");
    out.printf("    \t\tcontent: contentString,\n");
    out.printf("    \t\tmaxWidth: 460,\n");
    out.printf("    \t\tbackgroundColor: 'White',\n");
    out.printf("    \t\tborderColor: 'DarkCyan',\n");
    out.printf("    \t\tborderWidth: 1,\n");
    out.printf("    \t\tanchorSize: new naver.maps.Size(10, 10),\n");
    out.printf("    \t\tanchorSkew: true,\n");
    out.printf("    \t\tanchorColor: 'White',\n");
    out.printf("    \t\tpixelOffset: new naver.maps.Point(10, -10)\n");
    out.printf("\t\t});\t\n\n");

    // One marker and one link text per site.
    for (int i = 0; i < siteCount; ++i) {
        const menu::SiteRecord& site = menu.sites[static_cast<std::size_t>(i)];
        const std::string latitude = coordinate(run, listPath, site, "latitude", site.latitude);
        const std::string longitude = coordinate(run, listPath, site, "longitude", site.longitude);
        out.printf("\t\tvar marker%d = new naver.maps.Marker({\n", i);
        out.printf("\t\t\tposition: new naver.maps.LatLng(%s, %s),\n", latitude.c_str(), longitude.c_str());
        out.printf("\t\t\tmap: map\n");
        out.printf("\t\t});\n\n");
        out.printf("\t\tvar htmtxt%d = [\n", i);
        out.printf("\t\t\t'<div class=\"iw_inner\">',\n");
        out.printf("\t\t\t'");
        writeLinkText(out, menu.hostValue, site);
        out.printf("',\n");
        out.printf("\t\t\t'</div>'\n");
        out.printf("\t\t].join('');\n\n");
    }

    // Click handlers: a click closes the open info window, or fills it with
    // the site's link text and opens it on the marker.
    for (int i = 0; i < siteCount; ++i) {
        out.printf("\t\tnaver.maps.Event.addListener(marker%d, 'click', function(e) {\n", i);
        out.printf("\t\t\tif (infowindow.getMap()) {\n");
        out.printf("\t\t\t\tinfowindow.close();\n");
        out.printf("\t\t\t} else {\n");
        out.printf("\t\t\t\tinfowindow.setContent(htmtxt%d)\n", i);
        out.printf("\t\t\t\tinfowindow.open(map, marker%d);\n", i);
        out.printf("\t\t\t}\n");
        out.printf("\t\t});\n\n");
    }

    // End of the page.
    out.printf("\n");
    out.printf("\t</script>\n");
    out.printf("</body>\n");
    out.printf("</html>\n");
}

}  // namespace maps
