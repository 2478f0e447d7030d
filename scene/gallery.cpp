// The gallery scenes: one generated scene per gallery, its objects standing
// in a ring around the viewer, and the startup action that closes the
// document.

#include <set>
#include <string>
#include <string_view>

#include "scene/writers.h"
#include "textconv/escape.h"
#include "textconv/textfile.h"

namespace scene {

namespace {

std::string attr(std::string_view ansi) { return textconv::xmlAttr(ansi); }

// A picture's hotspot carries its object index and a video's the index plus
// one, so a video followed by a picture in the same gallery would give both
// the same name and one would hide the other.  Within one gallery scene a
// name that is already taken gets "-2" appended (GalleryObject-3 and
// GalleryObject-3-2); every other name stays as it is.
std::string uniqueName(std::set<std::string>& taken, int number) {
    std::string name = "GalleryObject-" + std::to_string(number);
    if (!taken.insert(name).second) {
        name += "-2";
        taken.insert(name);
    }
    return name;
}

void writeGalleryScene(textconv::TextWriter& out, const SceneModel& model, const Scene& s, int i,
                       int g) {
    const Gallery& gallery = s.galleries[static_cast<std::size_t>(g - 1)];
    const std::string sceneName = "Gallery-" + std::to_string(i) + "-" + std::to_string(g);
    out.printf("\t<!-- Scene: %s -->\n\n", sceneName.c_str());
    out.printf("\t<scene name=\"%s\"  title=\"%s\" onstart=\"setcaption();\" thumburl=\"/VR/style/gallery.png\">\n\n",
               sceneName.c_str(), attr(gallery.title).c_str());
    out.printf("\t\t<preview type=\"grid(cube)\"/>\n\n");

    // A gallery without objects has no ring: only its go-home spots.
    const int step = gallery.objectCount > 0 ? 360 / gallery.objectCount : 0;
    const std::string folder = attr(gallery.folder);
    std::set<std::string> taken;
    for (int k = 0; k < gallery.objectCount; ++k) {
        const int index = gallery.firstObject + k;
        const GalleryObject& o = model.galleryObjects[static_cast<std::size_t>(index)];
        const int a = step * k;
        const std::string title = attr(o.title);
        if (o.type == 1) {
            out.printf("\t\t<hotspot name=\"%s\" style=\"flyoutimage\"\n", uniqueName(taken, index).c_str());
            out.printf("\t\t\turl=\"%s/%s.%s\"\n", folder.c_str(), attr(o.file).c_str(), "jpg");
            out.printf("\t\t\tzorder=\"2\"\n");
            out.printf("\t\t\tdistorted=\"true\"\n");
            out.printf("\t\t\tath=\"%d\"\n", a);
            out.printf("\t\t\tatv=\"0\"\n");
            out.printf("\t\t\tscale=\"%g\"\n", static_cast<double>(o.scale));
            out.printf("\t\t\tonhover=\"showtext('%s', hoverstyle);\" />\n\n", title.c_str());
        } else if (o.type == 2) {
            out.printf("\t\t<hotspot name=\"loading\"\n");
            out.printf("\t\t\tstyle=\"loading\"\n");
            out.printf("\t\t\tzorder=\"2\"\n");
            out.printf("\t\t\tath=\"%d\"\n", a);
            out.printf("\t\t\tatv=\"0\"\n");
            out.printf("\t\t/>\n\n");
            out.printf("\t\t<hotspot name=\"%s\"\n", uniqueName(taken, index + 1).c_str());
            out.printf("\t\t\turl=\"%%SWFPATH%%/plugins/videoplayer.swf\"\n");
            out.printf("\t\t\talturl=\"%%SWFPATH%%/plugins/videoplayer.js\"\n");
            out.printf("\t\t\tvideourl=\"%s/%s.%s\"\n", folder.c_str(), attr(o.file).c_str(), "mp4");
            out.printf("\t\t\tzorder=\"3\"\n");
            out.printf("\t\t\tdistorted=\"true\"\n");
            out.printf("\t\t\tath=\"%d\"\n", a);
            out.printf("\t\t\tatv=\"0\"\n");
            out.printf("\t\t\tscale=\"%g\"\n", static_cast<double>(o.scale));
            out.printf("\t\t\tpausedonstart=\"true\"\n");
            out.printf("\t\t\tloop=\"false\"\n");
            out.printf("\t\t\tvolume=\"1.0\"\n");
            out.printf("\t\t\tbuffertime=\"0.1\"\n");
            out.printf("\t\t\tupdateeveryframe=\"false\"\n");
            out.printf("\t\t\tonclick=\"lookto(%d, 0); togglepause();\"\n", a);
            out.printf("\t\t\tonhover=\"showtext('%s', hoverstyle);\" />\n\n", title.c_str());
        }
        // An explanation beginning with '$' is the title's first word: none given.
        if (!o.explanation.empty() && o.explanation[0] != '$') {
            out.printf("\t\t<hotspot name=\"Explanation-%d\"\n", index);
            out.printf("\t\t\turl=\"/VR/style/text60.png\"\n");
            out.printf("\t\t\tzorder=\"3\"\n");
            out.printf("\t\t\tdistorted=\"true\"\n");
            out.printf("\t\t\tath=\"%d\"\n", a);
            out.printf("\t\t\tatv=\"25\"\n");
            out.printf("\t\t\tscale=\"0.75\"\n");
            out.printf("\t\t\tonclick=\"if(webvr.isenabled,,forma_pct(0.8,0.9, %s, %s););\" />\n\n",
                       attr(o.explanation).c_str(), title.c_str());
        }
    }

    const std::string home = attr(s.name);
    out.printf("\t\t<hotspot name=\"goHome-1\"\n");
    out.printf("\t\t\ttype=\"image\"\n");
    out.printf("\t\t\turl=\"/VR/style/back.png\"\n");
    out.printf("\t\t\tzorder=\"4\"\n");
    out.printf("\t\t\tdistorted=\"true\"\n");
    out.printf("\t\t\tath=\"0\"\n");
    out.printf("\t\t\tatv=\"40\"\n");
    out.printf("\t\t\tscale=\"1.5\"\n");
    out.printf("\t\t\tonclick=\"loadscene(%s);\"\n", home.c_str());
    out.printf("\t\t\tonhover=\"showtext('Go Home', hoverstyle);\" />\n\n");
    out.printf("\t\t<hotspot name=\"goHome-2\"\n");
    out.printf("\t\t\ttype=\"image\"\n");
    out.printf("\t\t\turl=\"/VR/style/back.png\"\n");
    out.printf("\t\t\tzorder=\"4\"\n");
    out.printf("\t\t\tdistorted=\"true\"\n");
    out.printf("\t\t\tath=\"180\"\n");
    out.printf("\t\t\tatv=\"40\"\n");
    out.printf("\t\t\tscale=\"1.5\"\n");
    out.printf("\t\t\tonclick=\"loadscene(%s);\"\n", home.c_str());
    out.printf("\t\t\tonhover=\"showtext('Go Home', hoverstyle);\" />\n\n");
    out.printf("\t</scene>\n\n");
}

}  // namespace

void writeGalleryScenes(const SceneModel& model, textconv::TextWriter& out) {
    for (int index = 0; index < model.sceneCount; ++index) {
        const Scene& s = model.scenes[static_cast<std::size_t>(index)];
        for (int g = 1; g <= s.galleryCount; ++g) writeGalleryScene(out, model, s, index + 1, g);
    }
    out.printf("\t<action name=\"startup\">\n");
    out.printf("\t\tloadscene(get(scene[0].name), null, MERGE);\n");
    out.printf("\t\tactivatescenebuttons();\n");
    out.printf("\t</action>\n\n");
    out.printf("</krpano>\n");
}

}  // namespace scene
