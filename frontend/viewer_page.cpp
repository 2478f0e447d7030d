#include "frontend/viewer_page.h"

#include "textconv/escape.h"
#include "textconv/textconv.h"

namespace frontend {

void writeViewerPage(textconv::TextWriter& out, const ViewerPage& page) {
    const std::string title = textconv::ansiToUtf8(textconv::xmlText(page.baseNameAnsi));
    const std::string xml = textconv::ansiToUtf8(textconv::jsString(page.krpanoXmlAnsi, '"'));

    out.printf("<!DOCTYPE html>\n\n");
    out.printf("<!--%s-->\n\n", page.generator);
    out.printf("<html>\n");
    out.printf("<head>\n");
    out.printf("\t<title>Arcavia Halvane 3D Scene: %s</title>\n", title.c_str());
    out.printf("\t<meta name=\"viewport\" content=\"width=device-width, initial-scale=1.0, minimum-scale=1.0, MAX2imum-scale=1.0\" />\n");
    out.printf("\t<meta name=\"apple-mobile-web-app-capable\" content=\"yes\" />\n");
    out.printf("\t<meta name=\"apple-mobile-web-app-status-bar-style\" content=\"black\" />\n");
    out.printf("\t<meta http-equiv=\"Content-Type\" content=\"text/html;charset=utf-8\" />\n");
    out.printf("\t<meta http-equiv=\"x-ua-compatible\" content=\"IE=edge\" />\n");
    if (page.opensNamedScene) {
        out.printf("\t<script>\n");
        out.printf("\t\tvar sceneid;\n");
        out.printf("\t\tfunction getSceneId() {\n");
        out.printf("\t\t\tvar Request = function() {\n");
        out.printf("\t            this.getParameter = function(name) {\n");
        out.printf("\t                var rtnval = '';\n");
        out.printf("\t                var nowAddress = unescape(location.href);\n");
        out.printf("\t                var parameters = (nowAddress.slice(nowAddress.indexOf('?') + 1, nowAddress.length)).split('&');\n");
        out.printf("\t                for (var i = 0; i < parameters.length; i++) {\n");
        out.printf("\t                    var varName = parameters[i].split('=')[0];\n");
        out.printf("\t                    if (varName.toUpperCase() == name.toUpperCase()) {\n");
        out.printf("\t                        rtnval = parameters[i].split('=')[1];\n");
        out.printf("\t                        break;\n");
        out.printf("\t                    }\n");
        out.printf("\t                }\n");
        out.printf("\t                return rtnval;\n");
        out.printf("\t            };\n");
        out.printf("\t        };\n");
        out.printf("\t        var request = new Request();\n");
        out.printf("\t        sceneid = request.getParameter(\"id\");\n");
        out.printf("\t\t}\n");
        out.printf("\t</script>\n");
    }
    out.printf("\t<style>\n");
    out.printf("\t\t@-ms-viewport { width:device-width; }\n");
    out.printf("\t\t@media only screen and (min-device-width:800px) { html { overflow:hidden; } }\n");
    out.printf("\t\t@import \"/VR/xsl3vr/include/js/iframe.css\";\n");
    out.printf("\t\thtml { height:100%%; }\n");
    out.printf("\t\tbody { height:100%%; overflow:hidden; margin:0; padding:0; font-family:Arial, Helvetica, sans-serif; font-size:16px; color:#FFFFFF; background-color:#000000; }\n");
    out.printf("\t</style>\n");
    out.printf("\t<link rel=\"stylesheet\" href=\"/VR/xsl3vr/include/js/iframe.css\" />\n");
    out.printf("\t<script src=\"/VR/xsl3vr/include/js/mootools.js\"></script>\n");
    out.printf("\t<script src=\"/VR/xsl3vr/include/js/ClassicFrame.js\"></script>\n");
    out.printf("\t<script src=\"/VR/xsl3vr/include/js/ClassicBarry.js\"></script>\n");
    out.printf("</head>\n");
    out.printf("<body>\n");
    out.printf("<script src=\"/VR/xsl3vr/krpano.js\"></script>\n");
    out.printf("<div id=\"pano\" style=\"width:100%%;height:100%%;\">\n");
    out.printf("\t<noscript><table style=\"width:100%%;height:100%%;\"><tr style=\"vertical-align:middle;text-align:center;\"><td>ERROR:<br><br>Javascript not activated<br><br></td></tr></table></noscript>\n");
    out.printf("\t<script>\n");
    if (page.opensNamedScene) out.printf("\t    getSceneId();\n");
    out.printf("\t    embedpano({\n");
    out.printf("\t        swf: \"/VR/xsl3vr/krpano.swf\",\n");
    if (page.opensNamedScene) out.printf("\t        xml: \"loadPanoScene.xml\",\n");
    else out.printf("\t        xml: \"%s\",\n", xml.c_str());
    out.printf("\t        target: \"pano\",\n");
    out.printf("\t        html5: \"prefer+webgl\",\n");
    out.printf("\t        mobilescale: 1.0,\n");
    if (page.opensNamedScene) {
        out.printf("\t        passQueryParameters: true,\n");
        out.printf("\t        vars:{homepano:\"%s\", homescene:sceneid}\n", xml.c_str());
    } else {
        out.printf("\t        passQueryParameters: true\n");
    }
    out.printf("\t    });\n");
    out.printf("\t</script>\n");
    out.printf("</div>\n");
    out.printf("</body>\n");
    out.printf("</html>\n");
}

}  // namespace frontend
