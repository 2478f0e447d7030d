// Resolving the names of an ontology model: the class of every node, both
// nodes and the relation of every link.
#include <string>

#include "ontology/ontology.h"

namespace ontology {

namespace {

// Position of the first record whose field equals name, or npos.
template <typename T, typename Field>
std::size_t findByName(const std::vector<T>& table, Field field, const std::string& name) {
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].*field == name) return i;
    return std::string::npos;
}

}  // namespace

bool resolve(OntologyModel& model, const std::function<void(const std::string& line)>& say) {
    // Links take the label form of their relation first; the relation check
    // below reports those that name none.
    for (LinkRecord& link : model.links) {
        const std::size_t r = findByName(model.relations, &RelationRecord::name, link.relation);
        if (r != std::string::npos) link.labelForm = model.relations[r].labelForm;
    }

    bool failed = false;
    for (NodeRecord& node : model.nodes) {
        const std::size_t c = findByName(model.classes, &ClassRecord::name, node.className);
        if (c == std::string::npos) {
            say("Class Name " + node.className + " in the Node List is Invalid!\n");
            failed = true;
        } else {
            node.classIndex = c;
        }
    }
    if (failed) return false;

    for (const LinkRecord& link : model.links) {
        if (findByName(model.nodes, &NodeRecord::id, link.node1) == std::string::npos) {
            say("Node 1 ID " + link.node1 + " in the Link List is Invalid!\n");
            failed = true;
        }
    }
    for (const LinkRecord& link : model.links) {
        if (findByName(model.nodes, &NodeRecord::id, link.node2) == std::string::npos) {
            say("Node 2 ID " + link.node2 + " in the Link List is Invalid!\n");
            failed = true;
        }
    }
    if (failed) return false;

    for (LinkRecord& link : model.links) {
        const std::size_t r = findByName(model.relations, &RelationRecord::name, link.relation);
        if (r == std::string::npos) {
            say("Relation Name " + link.relation + " in the Link List is Invalid!\n");
            failed = true;
        } else {
            link.relationLabel = model.relations[r].label;
            link.arrows = model.relations[r].arrows;
        }
    }
    return !failed;
}

void replaceUnderscores(OntologyModel& model) {
    // Two-byte codes are stepped over whole: the trail byte of an extended
    // Hanja code may be the byte of an underscore.
    auto blanks = [](std::string& text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if ((unsigned char)text[i] >= 0x80)
                ++i;
            else if (text[i] == '_')
                text[i] = ' ';
        }
    };
    for (NodeRecord& node : model.nodes) blanks(node.label);
    for (LinkRecord& link : model.links) {
        blanks(link.relationLabel);
        blanks(link.relation);
    }
}

}  // namespace ontology
