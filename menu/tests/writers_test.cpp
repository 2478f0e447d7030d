// The numbers Portalcraft computes: the catalogue bar's layout and the map
// centre, and the way a coordinate text is read as a number.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "menu/portal.h"

namespace {

TEST(Catalogue, LayoutIsCentredAndHasItemsApart) {
    struct Case {
        int sites;
        int width;
        std::vector<int> positions;  // globe, sites, plane
    } cases[] = {
        {0, 245, {-62, 63}},
        {2, 495, {-187, -62, 63, 188}},
        {3, 620, {-250, -125, 0, 125, 250}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sites);
        menu::CatalogueLayout layout = menu::catalogueLayout(c.sites);
        EXPECT_EQ(layout.width, c.width);
        std::vector<int> positions{layout.globeX};
        for (int k = 1; k <= c.sites; ++k) positions.push_back(layout.siteX(k));
        positions.push_back(layout.planeX);
        EXPECT_EQ(positions, c.positions);
    }
    menu::CatalogueLayout thirty = menu::catalogueLayout(30);
    EXPECT_EQ(thirty.width, 3995);
    EXPECT_EQ(thirty.globeX, -1937);
    EXPECT_EQ(thirty.siteX(1), -1812);
    EXPECT_EQ(thirty.siteX(30), 1813);
    EXPECT_EQ(thirty.planeX, 1938);
}

menu::MenuScript sitesAt(const std::vector<std::pair<std::string, std::string>>& positions) {
    menu::MenuScript script;
    for (const auto& [latitude, longitude] : positions) {
        menu::SiteRecord site;
        site.latitude = latitude;
        site.longitude = longitude;
        script.sites.push_back(site);
    }
    script.siteCount = static_cast<int>(script.sites.size());
    return script;
}

std::string printed(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

TEST(MapCentre, SumsInSinglePrecisionAndPrintsSixDigits) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> sites;
        const char* latitude;
        const char* longitude;
    } cases[] = {
        {{{"37.5796", "126.9770"}, {"37.5512", "126.9882"}}, "37.5654", "126.983"},
        {{{"37.5", "127.0"}, {"36.1", "128.5"}, {"35.2", "127"}}, "36.2667", "127.5"},
        {{{"37.50", "127.0"}, {"37.50", "128.5"}}, "37.5", "127.75"},
        {{{"37.123456789", "126.987654321"}}, "37.1235", "126.988"},
        {{{"north", "127"}, {"37.5", "127"}}, "18.75", "127"},   // not a number: counts as 0
        {{}, "37", "127"},                                        // no site: the default centre
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.latitude);
        menu::MapCentre centre = menu::mapCentre(sitesAt(c.sites));
        EXPECT_EQ(printed(centre.latitude), c.latitude);
        EXPECT_EQ(printed(centre.longitude), c.longitude);
    }
}

TEST(MapCentre, NeverInfiniteOrNan) {
    menu::MapCentre centre = menu::mapCentre(sitesAt({{"1e999", "-1e999"}, {"nan", "inf"}, {"1e38", "1e38"}}));
    EXPECT_TRUE(std::isfinite(centre.latitude));
    EXPECT_TRUE(std::isfinite(centre.longitude));
}

TEST(LeadingNumber, ReadsTheLongestLeadingDecimalNumber) {
    struct Case {
        const char* text;
        double value;
        bool whole;
    } cases[] = {
        {"37.5796", 37.5796, true},  {"-12.5e1", -125, true}, {"+3", 3, true},
        {".5", 0.5, true},           {"5.", 5, true},         {"37.5N", 37.5, false},
        {"1e", 1, false},            {"1e+", 1, false},       {"2E-1x", 0.2, false},
        {" 7", 7, false},            {"", 0, false},          {"-", 0, false},
        {".", 0, false},             {"nan", 0, false},       {"inf", 0, false},
        {"0x1A", 0, false},          {"1,5", 1, false},       {"1e999", menu::numberLimit, true},
        {"-1e999", -menu::numberLimit, true},                 {"1e-999", 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        bool whole = !c.whole;
        EXPECT_DOUBLE_EQ(menu::leadingNumber(c.text, &whole), c.value);
        EXPECT_EQ(whole, c.whole);
    }
}

}  // namespace
