// The scene script parser, its field scanning and the scene listing.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "frontend/frontend.h"
#include "scene/parser.h"
#include "testsupport/support.h"

namespace scene {
namespace {

// Lines of a script given as text, each with its LF.
class TextLines : public ScriptLines {
public:
    explicit TextLines(const std::string& text) : text_(text) {}
    bool nextLine(std::string& line) override {
        if (pos_ >= text_.size()) return false;
        std::size_t end = text_.find('\n', pos_);
        end = end == std::string::npos ? text_.size() : end + 1;
        line = text_.substr(pos_, end - pos_);
        pos_ = end;
        ++lineNumber_;
        return true;
    }
    void warn(const std::string& message) override {
        warnings.push_back(std::to_string(lineNumber_) + ": " + message);
    }
    std::vector<std::string> warnings;

private:
    std::string text_;
    std::size_t pos_ = 0;
    int lineNumber_ = 0;
};

struct Parsed {
    std::unique_ptr<SceneModel> model = std::make_unique<SceneModel>();
    std::vector<std::string> warnings;
    const Scene& scene(int n) const { return model->scenes[static_cast<std::size_t>(n - 1)]; }
};

Parsed parse(const std::string& text) {
    Parsed result;
    TextLines lines(text);
    parseSceneScript(lines, *result.model);
    result.warnings = lines.warnings;
    return result;
}

std::string warningsOf(const Parsed& p) {
    std::string all;
    for (const auto& w : p.warnings) all += w + "\n";
    return all;
}

const char* const definitionExample =
    "// two scenes of one tour\n"
    "#SCENE\n"
    "hall 90 0 $Main Hall\n"
    "#CROSSLINK\n"
    "court 120 -5 hotspot_arrow 90 $To the court\n"
    "#STILL\n"
    "p01 30 10 0.5 1 0 0 0 $Old map\n"
    "#GALLERY\n"
    "*gal1 200 0 $Portraits\n"
    "p1 1 0.6 exp/p1.htm $Portrait one\n"
    "vid1 2 0.8 $Interview\n"
    "#SCENE\n"
    "court 0 0 $Inner Court\n";

TEST(SceneParser, ReadsTheSmallExample) {
    Parsed p = parse(definitionExample);
    EXPECT_EQ(p.warnings.size(), 0u) << warningsOf(p);
    ASSERT_EQ(p.model->sceneCount, 2);
    EXPECT_EQ(p.model->galleryObjectCount, 2);

    const Scene& hall = p.scene(1);
    EXPECT_EQ(hall.name, "hall");
    EXPECT_EQ(hall.title, "Main Hall");
    EXPECT_EQ(hall.hlookat, 90);
    EXPECT_EQ(hall.vlookat, 0);
    ASSERT_EQ(hall.crossLinkCount, 1);
    const CrossLink& link = hall.crossLinks[0];
    EXPECT_EQ(link.target, "court");
    EXPECT_EQ(link.ath, 120);
    EXPECT_EQ(link.atv, -5);
    EXPECT_EQ(link.style, "hotspot_arrow");
    EXPECT_EQ(link.lookat, 90);
    EXPECT_EQ(link.hoverText, "To the court");
    ASSERT_EQ(hall.stillCount, 1);
    const StillImage& still = hall.stills[0];
    EXPECT_EQ(still.name, "p01");
    EXPECT_EQ(still.ath, 30);
    EXPECT_EQ(still.atv, 10);
    EXPECT_FLOAT_EQ(still.scale, 0.5f);
    EXPECT_EQ(still.distorted, 1);
    EXPECT_EQ(still.rx + still.ry + still.rz, 0);
    EXPECT_EQ(still.hoverText, "Old map");
    ASSERT_EQ(hall.galleryCount, 1);
    const Gallery& gallery = hall.galleries[0];
    EXPECT_EQ(gallery.folder, "gal1");
    EXPECT_EQ(gallery.ath, 200);
    EXPECT_EQ(gallery.atv, 0);
    EXPECT_EQ(gallery.title, "Portraits");
    EXPECT_EQ(gallery.firstObject, 0);
    EXPECT_EQ(gallery.objectCount, 2);
    const GalleryObject& p1 = p.model->galleryObjects[0];
    EXPECT_EQ(p1.file, "p1");
    EXPECT_EQ(p1.type, 1);
    EXPECT_FLOAT_EQ(p1.scale, 0.6f);
    EXPECT_EQ(p1.explanation, "exp/p1.htm");
    EXPECT_EQ(p1.title, "Portrait one");
    const GalleryObject& vid1 = p.model->galleryObjects[1];
    EXPECT_EQ(vid1.type, 2);
    EXPECT_EQ(vid1.explanation, "$Interview");  // no address: the title's first word
    EXPECT_EQ(vid1.title, "Interview");
    EXPECT_EQ(hall.outLinkCount + hall.videoCount + hall.referenceCount, 0);

    const Scene& court = p.scene(2);
    EXPECT_EQ(court.name, "court");
    EXPECT_EQ(court.title, "Inner Court");
    EXPECT_EQ(court.hlookat, 0);
    EXPECT_EQ(court.crossLinkCount + court.stillCount + court.galleryCount, 0);
}

// Section keywords count on their first five characters after upper-casing.
TEST(SceneParser, MatchesSectionsOnFiveCharacters) {
    struct Case {
        const char* section;
        bool startsScene;
        bool galleries;
        bool ignored;
    };
    const Case cases[] = {
        {"#scene", true, false, false},   {"#Scene", true, false, false},
        {"#SCENERY", true, false, false}, {"#Gall", false, true, false},
        {"#gallery", false, true, false}, {"#LINKS", false, false, true},
        {"#SCE", false, false, true},     {"#ABCD", false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.section);
        const std::string text = std::string("#SCENE\nfirst 1 2 $First\n") + c.section +
                                 "\nsecond 3 4 $Second\n*gal 5 6 $Gallery\n";
        Parsed p = parse(text);
        EXPECT_EQ(p.model->sceneCount, c.startsScene ? 2 : 1);
        if (c.startsScene) {
            EXPECT_EQ(p.scene(2).name, "second");
        }
        EXPECT_EQ(p.scene(1).galleryCount + (c.startsScene ? p.scene(2).galleryCount : 0),
                  c.ignored ? 0 : 1);
        if (c.galleries) {
            // the data line is an object line before any gallery line
            EXPECT_EQ(p.model->galleryObjectCount, 0);
        }
        if (c.ignored) {
            EXPECT_EQ(p.warnings.size(), 2u) << warningsOf(p);
        }
    }
}

TEST(SceneParser, AppliesTheDefaultsOfTheFormat) {
    Parsed p = parse(
        "#SCENE\n"
        "hall $Main Hall\n"
        "#CROSSLINK\n"
        "court 120 -5 hotspot_arrow $No lookat\n"
        "court 120 -5 hotspot_arrow 90 $With lookat\n"
        "court 120 -5 hotspot_arrow 90$Glued\n"
        "#OUTLINK\n"
        "tour2.xml(hall) 1 2 door $Out\n"
        "#SCENE\n"
        "court 45 $Only hlookat\n");
    EXPECT_EQ(p.scene(1).hlookat, 0);
    EXPECT_EQ(p.scene(1).vlookat, 0);
    EXPECT_EQ(p.scene(1).crossLinks[0].lookat, 360);
    EXPECT_EQ(p.scene(1).crossLinks[1].lookat, 90);
    EXPECT_EQ(p.scene(1).crossLinks[2].lookat, 90);
    EXPECT_EQ(p.scene(1).crossLinks[2].hoverText, "Glued");
    EXPECT_EQ(p.scene(1).outLinks[0].target, "tour2.xml(hall)");
    EXPECT_EQ(p.scene(1).outLinks[0].lookat, 360);
    // fewer than both view numbers: the view is 0 0, and the dropped one is told
    EXPECT_EQ(p.scene(2).hlookat, 0);
    EXPECT_EQ(p.scene(2).vlookat, 0);
    ASSERT_EQ(p.warnings.size(), 1u) << warningsOf(p);
    EXPECT_NE(p.warnings[0].find("10: hlookat given without vlookat"), std::string::npos);
}

// Fields of every section but the links are read from the whole line, so a
// text field left out takes the title's first word; numbers that are left
// out are 0 (a scale 1) with a warning.
TEST(SceneParser, ReadsMissingAndBadFieldsAsDefaultsWithAWarning) {
    Parsed p = parse(
        "#STILL\n"
        "p01 30 10 $No scale\n"
        "p02 30 10 0.5 7 1 2 3 $Odd distorted\n"
        "#REFERENCE\n"
        "map.kml 1 2 $Title\n"
        "#VIDEO\n"
        "v1 1x 2 3 $Bad ath\n"
        "#GALLERY\n"
        "*gal 5 $Gallery\n"
        "obj $Object\n");
    const Scene& s = p.scene(1);
    EXPECT_FLOAT_EQ(s.stills[0].scale, 1.0f);
    EXPECT_EQ(s.stills[0].distorted, 0);
    EXPECT_EQ(s.stills[1].distorted, 7);
    EXPECT_EQ(s.references[0].icon, "$Title");
    EXPECT_FLOAT_EQ(s.references[0].scale, 1.0f);
    EXPECT_EQ(s.videos[0].ath, 1);
    EXPECT_EQ(s.videos[0].atv, 0);
    EXPECT_EQ(s.videos[0].kind, 0);
    EXPECT_EQ(s.galleries[0].atv, 0);
    EXPECT_EQ(p.model->galleryObjects[0].type, 0);
    EXPECT_FLOAT_EQ(p.model->galleryObjects[0].scale, 1.0f);
    EXPECT_EQ(p.model->galleryObjects[0].explanation, "");

    const std::vector<std::string> expected = {
        "2: fields not given, read as: scale 1, distorted 0, rx 0, ry 0, rz 0",
        "3: distorted is 7, not 0 or 1: written as true",
        "5: fields not given, read as: scale 1",
        "7: atv \"x\" is not a number; fields not given, read as: atv 0, kind 0",
        "9: fields not given, read as: atv 0",
        "10: fields not given, read as: type 0, scale 1, explanation empty",
    };
    EXPECT_EQ(p.warnings, expected);
}

TEST(SceneParser, SkipsLinesWithAWarningOnlyWhereAUserWouldNotExpectIt) {
    Parsed p = parse(
        "before 1 2 $Before any section\n"  // 1: warned
        "#SCENE\n"
        "hall 0 0 $Hall\n"
        "hall2 0 0 $Second scene line\n"  // 4: warned
        "   // an indented comment\n"     // silent
        "\n"                              // silent
        "abc\n"                           // silent: shorter than 5 bytes
        "        \n"                      // silent: blank
        "#CROSSLINK\n"
        "court 1 2 arrow no dollar\n"  // 10: warned
        "#REMARKS\n"
        "anything 1 2 $Text\n"  // 12: warned
        "#GALLERY\n"
        "obj 1 1 $Object before its gallery\n"  // 14: warned
        "*gal 1 2 no dollar\n"                  // 15: warned
        "obj 1 1 $Object of a skipped gallery\n"  // 16: warned
        "*gal 1 2 $Gallery\n"
        "obj 1 1 $Object\n");
    EXPECT_EQ(p.scene(1).name, "hall");
    EXPECT_EQ(p.scene(1).crossLinkCount, 0);
    EXPECT_EQ(p.scene(1).galleryCount, 1);
    EXPECT_EQ(p.model->galleryObjectCount, 1);
    std::vector<std::string> lines;
    for (const auto& w : p.warnings) lines.push_back(w.substr(0, w.find(':')));
    EXPECT_EQ(lines, (std::vector<std::string>{"1", "4", "10", "12", "14", "15", "16"}))
        << warningsOf(p);
}

// A line of four characters and its LF is read; one of three is not.
TEST(SceneParser, ReadsLinesOfFiveBytes) {
    Parsed p = parse("#SCENE\n$abc\n#SCENE\n$ab\n");
    ASSERT_EQ(p.model->sceneCount, 2);
    EXPECT_EQ(p.scene(1).name, "$abc");
    EXPECT_EQ(p.scene(1).title, "abc");
    EXPECT_EQ(p.scene(2).name, "");
}

TEST(SceneParser, RepeatedSectionsStartOver) {
    Parsed p = parse(
        "#CROSSLINK\n"
        "early 1 1 arrow $Before the first scene\n"
        "#SCENE\n"
        "hall 0 0 $Hall\n"
        "#STILL\n"
        "s1 1 1 1 0 0 0 0 $S1\n"
        "s2 1 1 1 0 0 0 0 $S2\n"
        "s3 1 1 1 0 0 0 0 $S3\n"
        "#VIDEO\n"
        "#STILL\n"
        "t1 1 1 1 0 0 0 0 $T1\n"
        "#REFERENCE\n"
        "r1 1 1 icon 1 $R1\n"
        "#REFERENCE\n"
        "#GALLERY\n"
        "*g1 1 1 $G1\n"
        "o1 1 1 $O1\n"
        "*g2 1 1 $G2\n"
        "#GALLERY\n"
        "*g3 1 1 $G3\n"
        "o2 1 1 $O2\n"
        "#SCENE\n"
        "court 0 0 $Court\n"
        "#STILL\n"
        "*g4 1 1 $A gallery line in another section\n"
        "#GALLERY\n"
        "*g5 1 1 $G5\n");
    EXPECT_EQ(p.scene(2).galleryCount, 2);  // the first #GALLERY section of the scene
    const Scene& hall = p.scene(1);
    ASSERT_EQ(hall.crossLinkCount, 1);  // sections before the first #SCENE belong to scene 1
    EXPECT_EQ(hall.crossLinks[0].target, "early");
    ASSERT_EQ(hall.stillCount, 1);
    EXPECT_EQ(hall.stills[0].name, "t1");
    EXPECT_EQ(hall.referenceCount, 0);
    ASSERT_EQ(hall.galleryCount, 1);
    EXPECT_EQ(hall.galleries[0].folder, "g3");
    EXPECT_EQ(hall.galleries[0].firstObject, 1);
    EXPECT_EQ(hall.galleries[0].objectCount, 1);
    EXPECT_EQ(p.model->galleryObjectCount, 2);
    EXPECT_TRUE(p.warnings.empty()) << warningsOf(p);
}

TEST(SceneParser, KeepsTheCapacitiesAndWarnsBeyondThem) {
    std::string text;
    for (int n = 1; n <= 13; ++n) {
        text += "#SCENE\nscene" + std::to_string(n) + " 0 0 $Scene\n";
        if (n == 1) {
            text += "#CROSSLINK\n";
            for (int j = 1; j <= 31; ++j) text += "l" + std::to_string(j) + " 1 2 arrow $L\n";
            text += "#GALLERY\n";
            for (int g = 1; g <= 31; ++g) text += "*g" + std::to_string(g) + " 1 2 $G\n";
        }
        if (n == 2) {
            text += "#GALLERY\n*big 0 0 $Big\n";
            for (int k = 1; k <= 101; ++k) text += "o" + std::to_string(k) + " 1 1 $O\n";
        }
        if (n == 13) text += "#STILL\ns 1 1 1 0 0 0 0 $S\n";
    }
    Parsed p = parse(text);
    EXPECT_EQ(p.model->sceneCount, 12);
    EXPECT_EQ(p.scene(12).name, "scene12");
    EXPECT_EQ(p.scene(12).stillCount, 0);
    EXPECT_EQ(p.scene(1).crossLinkCount, 30);
    EXPECT_EQ(p.scene(1).crossLinks[29].target, "l30");
    EXPECT_EQ(p.scene(1).galleryCount, 30);
    EXPECT_EQ(p.model->galleryObjectCount, 100);
    EXPECT_EQ(p.scene(2).galleries[0].objectCount, 100);
    // 31st link, 31st gallery, 101st object, 13th scene, its data line and its still
    ASSERT_EQ(p.warnings.size(), 6u) << warningsOf(p);
    EXPECT_NE(p.warnings[0].find("at most 30 entries"), std::string::npos);
    EXPECT_NE(p.warnings[1].find("at most 30 galleries"), std::string::npos);
    EXPECT_NE(p.warnings[2].find("at most 100 gallery objects"), std::string::npos);
    EXPECT_NE(p.warnings[3].find("at most 12 scenes"), std::string::npos);
}

TEST(SceneParser, CutsLongLinesIntoPiecesThroughTheListFile) {
    testsupport::TempDir dir;
    const std::string listPath = dir / "Tour.lst";
    // A cross link whose hover text runs past 999 bytes: the rest of the
    // line is a piece of its own, a data line without '$'.
    const std::string link = "court 1 2 arrow $" + std::string(1100, 'x');
    testsupport::writeFile(listPath, "#SCENE\r\nhall 0 0 $Hall\r\n#CROSSLINK\r\n" + link +
                                         "\r\ncourt 3 4 arrow $Second\r\n");
    std::string program = "vistacraft";
    std::string argument = listPath;
    char* argv[] = {program.data(), argument.data(), nullptr};
    frontend::Run run({"vistacraft", "usage", "banner"}, 2, argv);
    frontend::ListFile list(run, listPath, dir / "Tour.asc");
    ASSERT_TRUE(list.open("not found %s\n"));
    auto parsed = std::make_unique<SceneModel>();
    SceneModel& model = *parsed;
    testing::internal::CaptureStderr();
    parseSceneScript(list, model);
    const std::string err = testing::internal::GetCapturedStderr();
    list.close();
    ASSERT_EQ(model.scenes[0].crossLinkCount, 2);
    EXPECT_EQ(model.scenes[0].crossLinks[0].hoverText, std::string(999 - 17, 'x'));
    EXPECT_EQ(model.scenes[0].crossLinks[1].hoverText, "Second");
    EXPECT_NE(err.find("Tour.lst:4: line longer than 999 bytes"), std::string::npos) << err;
    EXPECT_NE(err.find("Tour.lst:4: line skipped: it has no '$'"), std::string::npos) << err;
}

// ---- field scanning ---------------------------------------------------------

TEST(FieldScanner, ReadsLikeScanf) {
    struct Case {
        const char* text;
        const char* format;  // s, d, g
        const char* expected;  // the values read, blank-separated
        const char* bad;       // the field that stopped the reading
    };
    const Case cases[] = {
        {"hall 90 0", "sdd", "hall 90 0", ""},
        {"  hall\t 90\r\n", "sdd", "hall 90", ""},
        {"12abc 7", "dsd", "12 abc 7", ""},
        {"+5 -0 -12", "ddd", "5 0 -12", ""},
        {"- 5", "dd", "", "-"},
        {"+x", "d", "", "+x"},
        {"abc 5", "dd", "", "abc"},
        {"99999999999999999999 -99999999999999999999", "dd", "2147483647 -2147483648", ""},
        {"2147483648 -2147483649", "dd", "2147483647 -2147483648", ""},
        {"0.5 .5 5. 1e3 1E-2 -2.5e+1", "gggggg", "0.5 0.5 5 1000 0.01 -25", ""},
        {"1e 2", "gg", "1", "e"},  // "1e": the letter is not part of the number
        {"1e+x", "gs", "1 e+x", ""},
        {"0x10", "gs", "0 x10", ""},
        {"inf", "g", "", "inf"},
        {"nan", "g", "", "nan"},
        {".", "g", "", "."},
        {"1e40 -1e40", "gg", "3.40282e+38 -3.40282e+38", ""},
        {"1e-50", "g", "0", ""},
        {"0.6$Title", "gs", "0.6 $Title", ""},
        {"p1 1", "sdgs", "p1 1", ""},
        {"", "s", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        FieldScanner scan(c.text);
        std::string got;
        for (const char* f = c.format; *f; ++f) {
            std::string value;
            bool ok = false;
            if (*f == 's') {
                ok = scan.text(value);
            } else if (*f == 'd') {
                int n = 0;
                ok = scan.integer(n);
                value = std::to_string(n);
            } else {
                float x = 0;
                ok = scan.real(x);
                char buffer[32];
                std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(x));
                value = buffer;
            }
            if (!ok) break;
            if (!got.empty()) got += ' ';
            got += value;
        }
        EXPECT_EQ(got, c.expected);
        EXPECT_EQ(std::string(scan.badField()), c.bad);
    }
}

// ---- the listing ------------------------------------------------------------

TEST(SceneListing, PrintsEveryTableOfEveryScene) {
    Parsed p = parse(
        "#SCENE\n"
        "hall 90 -5 $Main Hall\n"
        "#CROSSLINK\n"
        "court 120 -5 hotspot_arrow 90 $To the court\n"
        "#OUTLINK\n"
        "tour2.xml(hall) 10 20 door $Other tour\n"
        "#STILL\n"
        "p01 30 10 0.5 1 4 5 6 $Old map\n"
        "p02 31 11 1.0 0 0 0 0 $New map\n"
        "#VIDEO\n"
        "v1 40 -3 2 $Film\n"
        "#GALLERY\n"
        "*gal1 200 0 $Portraits\n"
        "a 1 0.6 $A\n"
        "b 1 0.6 $B\n"
        "c 2 0.8 $C\n"
        "*gal2 210 1 $Letters\n"
        "d 1 1.25 $D\n"
        "e 1 0.000012 $E\n"
        "#REFERENCE\n"
        "map.kml 1 2 /VR/style/earth.png 0.75 $Map\n"
        "#SCENE\n"
        "court 0 0 $\xB0\xA1\xB3\xAA\n");  // Korean title in ANSI
    const std::string expected =
        "\n#Scene 1: Main Hall hall (90, -5)\n\n"
        "  Cross Link 1: To the court court (120, -5)\n"
        "\n"
        "  Out Link 1: Other tour tour2.xml(hall) (10, 20)\n"
        "\n"
        "  Still Image 1: Old map p01[0.5] (30, 10) 4 5 6\n"
        "  Still Image 2: New map p02[1] (31, 11) 0 0 0\n"
        "\n"
        "  Video 1: Film v1[2] (40, -3)\n"
        "\n"
        "  Gallery 1: Portraits gal1 (200, 0) 0-3\n"
        "\tGallery Object 1: A 1 a 0.6\n"
        "\tGallery Object 2: B 1 b 0.6\n"
        "\tGallery Object 3: C 2 c 0.8\n"
        "  Gallery 2: Letters gal2 (210, 1) 3-2\n"
        "\tGallery Object 4: D 1 d 1.25\n"
        "\tGallery Object 5: E 1 e 1.2e-05\n"
        "\n"
        "  Reference 1: Map map.kml /VR/style/earth.png[0.75] (1, 2)\n"
        "\n"
        "\n#Scene 2: \xEA\xB0\x80\xEB\x82\x98 court (0, 0)\n\n"
        "\n\n\n\n\n\n";
    EXPECT_EQ(sceneListing(*p.model), expected);
}

TEST(SceneListing, IsEmptyWithoutScenes) {
    Parsed p = parse("#CROSSLINK\ncourt 1 2 arrow $Link\n");
    EXPECT_EQ(p.model->sceneCount, 0);
    EXPECT_EQ(sceneListing(*p.model), "");
}

}  // namespace
}  // namespace scene
