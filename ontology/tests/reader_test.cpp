// The ontology reader and resolver: records, derived values, sections,
// capacities, and the messages of the checks.
#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "ontology/ontology.h"

namespace {

using ontology::OntologyModel;

// A record as a test name: letters, digits, dots and dashes, the rest as '_'.
std::string nameOf(const std::string& record) {
    std::string name;
    for (char c : record) name += (std::isalnum((unsigned char)c) || c == '.' || c == '-') ? c : '_';
    return name;
}

struct Read {
    OntologyModel model;
    std::vector<std::string> warnings;
};

Read readLines(const std::vector<std::string>& lines) {
    Read result;
    ontology::OntologyReader reader(result.model,
                                    [&result](const std::string& m) { result.warnings.push_back(m); });
    for (const std::string& line : lines) reader.readLine(line + "\n");
    reader.finish();
    return result;
}

// ---- node records -------------------------------------------------------------

struct NodeCase {
    const char* record;
    const char* className;
    const char* label;
    const char* title;
    int shapeMode;
    const char* link;
    const char* image;  // nullptr: the no-image picture
};

void PrintTo(const NodeCase& c, std::ostream* os) { *os << nameOf(c.record); }

class NodeRecords : public testing::TestWithParam<NodeCase> {};

TEST_P(NodeRecords, DeriveTheirFields) {
    const NodeCase& c = GetParam();
    Read r = readLines({"#NODES", c.record});
    ASSERT_EQ(r.model.nodes.size(), 1u);
    const ontology::NodeRecord& node = r.model.nodes[0];
    EXPECT_EQ(node.className, c.className);
    EXPECT_EQ(node.label, c.label);
    EXPECT_EQ(node.title, c.title);
    EXPECT_EQ(node.shapeMode, c.shapeMode);
    EXPECT_EQ(node.link, c.link);
    EXPECT_EQ(node.image, c.image ? std::string(c.image) : ontology::noImagePicture());
    EXPECT_TRUE(r.warnings.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Ontology, NodeRecords,
    testing::Values(
        NodeCase{"p1", "dummy", "unnamed", "unnamed", 0, "", nullptr},
        NodeCase{"p1 person", "person", "unnamed", "unnamed", 0, "", nullptr},
        NodeCase{"p1 person Seo", "person", "Seo", "Seo", 0, "", nullptr},
        NodeCase{"p1 person Seo page.htm", "person", "Seo", "<u>Seo</u>", 0, "page.htm", nullptr},
        NodeCase{"p1 person Seo page.htm pic.png", "person", "Seo", "<u>Seo</u>", 1, "page.htm", "pic.png"},
        NodeCase{"p1 person Seo page.htm pic.png 0", "person", "Seo", "<img src=\"pic.png\"/>", 0, "page.htm",
                 "pic.png"},
        NodeCase{"p1 person Seo page.htm pic.png 2", "person", "Seo", "<u>Seo</u>", 2, "page.htm", "pic.png"},
        NodeCase{"p1 person Seo page.htm pic.png 3", "person", "Seo", "<u>Seo</u>", 3, "page.htm", "pic.png"},
        NodeCase{"p1 person Seo page.htm pic.png -1", "person", "Seo", "Seo", -1, "page.htm", "pic.png"},
        // A link NULL in any letter case is no link, and the title loses its underline.
        NodeCase{"p1 person Seo NULL", "person", "Seo", "Seo", 0, "", nullptr},
        NodeCase{"p1 person Seo null pic.png", "person", "Seo", "Seo", 1, "", "pic.png"},
        NodeCase{"p1 person Seo Null pic.png 0", "person", "Seo", "<img src=\"pic.png\"/>", 0, "", "pic.png"},
        NodeCase{"p1 person Seo nullx", "person", "Seo", "<u>Seo</u>", 0, "nullx", nullptr},
        // Titles keep the label as written; extra words are ignored.
        NodeCase{"p1\tperson  Seo_Jin  a.htm#top b.png 2 extra", "person", "Seo_Jin", "<u>Seo_Jin</u>", 2,
                 "a.htm#top", "b.png"}));

TEST(OntologyNode, ImageModeThatIsNoNumberEndsTheRecordWithAWarning) {
    Read r = readLines({"#NODES", "p1 person Seo page.htm pic.png big"});
    ASSERT_EQ(r.model.nodes.size(), 1u);
    EXPECT_EQ(r.model.nodes[0].shapeMode, 1);  // read as a node of five fields
    EXPECT_EQ(r.model.nodes[0].title, "<u>Seo</u>");
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_NE(r.warnings[0].find("\"big\""), std::string::npos);

    r = readLines({"#NODES", "p1 person Seo page.htm pic.png 99999999999999999999"});
    EXPECT_EQ(r.model.nodes[0].shapeMode, 2147483647);
    EXPECT_EQ(r.warnings.size(), 1u);
}

// ---- classes and relations ----------------------------------------------------------

TEST(OntologyClass, DefaultsAndNumber) {
    Read r = readLines({"#CLASS", "person darkcyan dot 7", "book orange", "thing", "big red box 99999",
                        "odd red box x"});
    ASSERT_EQ(r.model.classes.size(), 5u);
    EXPECT_EQ(r.model.classes[0].borderColor, "darkcyan");
    EXPECT_EQ(r.model.classes[0].shape, "dot");
    EXPECT_EQ(r.model.classes[0].number, 7);
    EXPECT_EQ(r.model.classes[1].shape, "ellipse");
    EXPECT_EQ(r.model.classes[1].number, 1);
    EXPECT_EQ(r.model.classes[2].borderColor, "");
    EXPECT_EQ(r.model.classes[2].shape, "ellipse");
    EXPECT_EQ(r.model.classes[3].number, 32767);
    EXPECT_EQ(r.model.classes[4].number, 1);
    EXPECT_EQ(r.warnings.size(), 2u);
}

struct RelationCase {
    const char* record;
    const char* label;
    const char* arrows;
    short labelForm;
};

void PrintTo(const RelationCase& c, std::ostream* os) { *os << nameOf(c.record); }

class RelationRecords : public testing::TestWithParam<RelationCase> {};

TEST_P(RelationRecords, DeriveLabelArrowsAndForm) {
    const RelationCase& c = GetParam();
    Read r = readLines({"#RELATION", c.record});
    ASSERT_EQ(r.model.relations.size(), 1u);
    EXPECT_EQ(r.model.relations[0].label, c.label);
    EXPECT_EQ(r.model.relations[0].arrows, c.arrows);
    EXPECT_EQ(r.model.relations[0].labelForm, c.labelForm);
}

INSTANTIATE_TEST_SUITE_P(
    Ontology, RelationRecords,
    testing::Values(RelationCase{"rel", "", "to", 1}, RelationCase{"rel part_of", "part_of", "to", 1},
                    RelationCase{"rel null ARROW 2", "", "to", 2}, RelationCase{"rel Nullable LINE 0", "", "", 0},
                    RelationCase{"rel x NULL", "x", "to", 1}, RelationCase{"rel x Linear", "x", "", 1},
                    RelationCase{"rel x arrow", "x", "to", 1}, RelationCase{"rel x MOVING-ARROWS", "x", "to,middle", 1},
                    RelationCase{"rel x moving", "x", "to,middle", 1}, RelationCase{"rel x Inverse 3", "x", "from", 3},
                    RelationCase{"rel x both 4", "x", "to,from", 4}, RelationCase{"rel x dotted", "x", "to", 1},
                    RelationCase{"rel x ARR", "x", "to", 1}, RelationCase{"rel x LINE -5", "x", "", -5}));

// ---- sections -------------------------------------------------------------------

TEST(OntologySections, HeadersInAnyCaseIndentedAndLonger) {
    Read r = readLines({"  #Relations:", "rel lab", "\t#nodelist", "n1 c", "#LiNKs", "n1 n1 rel"});
    EXPECT_EQ(r.model.relations.size(), 1u);
    EXPECT_EQ(r.model.nodes.size(), 1u);
    EXPECT_EQ(r.model.links.size(), 1u);
    EXPECT_TRUE(r.warnings.empty());
}

TEST(OntologySections, UnknownHeaderAndCommentSkipRecordsWithWarnings) {
    Read r = readLines({"before the first header", "#NODES", "n1 c", "# a remark", "n2 c", "#NOD", "n3 c",
                        "#NODES", "n4 c L a.htm#part"});
    ASSERT_EQ(r.model.nodes.size(), 1u);
    EXPECT_EQ(r.model.nodes[0].id, "n4");  // the repeated header started over
    EXPECT_EQ(r.model.nodes[0].link, "a.htm#part");
    EXPECT_EQ(r.warnings.size(), 3u);
}

TEST(OntologySections, BlankRecordIsNoRecord) {
    Read r = readLines({"#CLASS", "      \t   ", "c"});
    ASSERT_EQ(r.model.classes.size(), 1u);
    EXPECT_EQ(r.model.classes[0].name, "c");
    EXPECT_TRUE(r.warnings.empty());
}

TEST(OntologySections, RepeatedHeaderStartsTheSectionOver) {
    // Fewer records after the repeated header: only those count.
    Read r = readLines({"#CLASS", "a", "b", "c", "#CLASS", "d", "#NODES"});
    ASSERT_EQ(r.model.classes.size(), 1u);
    EXPECT_EQ(r.model.classes[0].name, "d");
    // An empty repeated section is emptied when another header closes it...
    r = readLines({"#CLASS", "a", "b", "#CLASS", "#NODES", "n1 a"});
    EXPECT_EQ(r.model.classes.size(), 0u);
    // ...and keeps its records when it is the last header of the file.
    r = readLines({"#CLASS", "a", "b", "#CLASS"});
    EXPECT_EQ(r.model.classes.size(), 2u);
}

TEST(OntologySections, CapacitiesSkipRecordsWithWarnings) {
    std::vector<std::string> lines = {"#PROJECT"};
    for (int i = 0; i < 11; ++i) lines.push_back("KEY" + std::to_string(i) + " value of it");
    lines.push_back("#CLASS");
    for (int i = 0; i < 101; ++i) lines.push_back("c" + std::to_string(i));
    lines.push_back("#RELATION");
    for (int i = 0; i < 101; ++i) lines.push_back("r" + std::to_string(i));
    lines.push_back("#NODES");
    for (int i = 0; i < 501; ++i) lines.push_back("n" + std::to_string(i) + " c0");
    lines.push_back("#LINKS");
    for (int i = 0; i < 751; ++i) lines.push_back("n0 n1 r0");
    Read r = readLines(lines);
    EXPECT_EQ(r.model.project.size(), 10u);
    EXPECT_EQ(r.model.classes.size(), 100u);
    EXPECT_EQ(r.model.relations.size(), 100u);
    EXPECT_EQ(r.model.nodes.size(), 500u);
    EXPECT_EQ(r.model.links.size(), 750u);
    EXPECT_EQ(r.model.classes.back().name, "c99");
    EXPECT_EQ(r.model.nodes.back().id, "n499");
    EXPECT_EQ(r.model.project[9].value, "value of it");
    EXPECT_EQ(r.warnings.size(), 5u);
}

TEST(OntologyLink, FieldsAndShortRecords) {
    Read r = readLines({"#LINKS", "a b rel 1st extra", "a b rel", "a b", "#LINKS-again", "c d rel"});
    // The second #LINKS header started the section over.
    ASSERT_EQ(r.model.links.size(), 1u);
    EXPECT_EQ(r.model.links[0].node1, "c");
    r = readLines({"#LINKS", "a b rel 1st extra", "a b", "x y rel"});
    ASSERT_EQ(r.model.links.size(), 2u);
    EXPECT_EQ(r.model.links[0].qualifier, "1st");
    EXPECT_EQ(r.model.links[1].node1, "x");
    EXPECT_EQ(r.model.links[1].qualifier, "");
    ASSERT_EQ(r.warnings.size(), 1u);
}

// ---- resolution -------------------------------------------------------------

std::vector<std::string> resolveLines(OntologyModel& model, bool& ok) {
    std::vector<std::string> said;
    ok = ontology::resolve(model, [&said](const std::string& line) { said.push_back(line); });
    return said;
}

TEST(OntologyResolve, ClassCheckEndsBeforeTheLinks) {
    Read r = readLines({"#CLASS", "person", "#NODES", "a Person", "b person", "c thing", "#LINKS", "x y z"});
    bool ok = true;
    EXPECT_EQ(resolveLines(r.model, ok),
              (std::vector<std::string>{"Class Name Person in the Node List is Invalid!\n",
                                        "Class Name thing in the Node List is Invalid!\n"}));
    EXPECT_FALSE(ok);
}

TEST(OntologyResolve, NodeOnePassThenNodeTwoPassThenRelations) {
    Read r = readLines({"#CLASS", "c", "#RELATION", "rel", "#NODES", "a c", "b c", "#LINKS", "a x rel", "y b rel",
                        "z w nope"});
    bool ok = true;
    EXPECT_EQ(resolveLines(r.model, ok),
              (std::vector<std::string>{"Node 1 ID y in the Link List is Invalid!\n",
                                        "Node 1 ID z in the Link List is Invalid!\n",
                                        "Node 2 ID x in the Link List is Invalid!\n",
                                        "Node 2 ID w in the Link List is Invalid!\n"}));
    EXPECT_FALSE(ok);

    r = readLines({"#CLASS", "c", "#RELATION", "rel", "#NODES", "a c", "#LINKS", "a a nope", "a a rel",
                   "a a Rel"});
    EXPECT_EQ(resolveLines(r.model, ok),
              (std::vector<std::string>{"Relation Name nope in the Link List is Invalid!\n",
                                        "Relation Name Rel in the Link List is Invalid!\n"}));
    EXPECT_FALSE(ok);
}

TEST(OntologyResolve, FirstOfTwoNamesCountsAndLinksCopyTheRelation) {
    Read r = readLines({"#CLASS", "c red box", "d", "c blue dot", "#RELATION", "rel part_of BOTH 3",
                        "rel other LINE 0", "#NODES", "a d", "b c", "#LINKS", "a b rel q_1"});
    bool ok = false;
    EXPECT_TRUE(resolveLines(r.model, ok).empty());
    EXPECT_TRUE(ok);
    EXPECT_EQ(r.model.nodes[0].classIndex, 1u);
    EXPECT_EQ(r.model.nodes[1].classIndex, 0u);
    const ontology::LinkRecord& link = r.model.links[0];
    EXPECT_EQ(link.relationLabel, "part_of");
    EXPECT_EQ(link.arrows, "to,from");
    EXPECT_EQ(link.labelForm, 3);

    ontology::replaceUnderscores(r.model);
    EXPECT_EQ(link.relationLabel, "part of");
    EXPECT_EQ(link.qualifier, "q_1");  // qualifiers keep their underscores
}

TEST(OntologyResolve, UnderscoresBecomeBlanksOnlyInShownWords) {
    // An extended Hanja code whose trail byte is the underscore's byte stays whole.
    const std::string hanja = "\x81\x5F";
    Read r = readLines({"#CLASS", "c_1", "#RELATION", "is_a is_a_kind", "#NODES",
                        "n_1 c_1 Seo_Jin" + hanja + "_x a_b.htm", "#LINKS", "n_1 n_1 is_a"});
    bool ok = false;
    resolveLines(r.model, ok);
    ASSERT_TRUE(ok);
    ontology::replaceUnderscores(r.model);
    const ontology::NodeRecord& node = r.model.nodes[0];
    EXPECT_EQ(node.label, "Seo Jin" + hanja + " x");
    EXPECT_EQ(node.title, "<u>Seo_Jin" + hanja + "_x</u>");
    EXPECT_EQ(node.id, "n_1");
    EXPECT_EQ(node.className, "c_1");
    EXPECT_EQ(node.link, "a_b.htm");
    EXPECT_EQ(r.model.links[0].relation, "is a");
    EXPECT_EQ(r.model.links[0].relationLabel, "is a kind");
    EXPECT_EQ(r.model.links[0].node1, "n_1");
}

}  // namespace
