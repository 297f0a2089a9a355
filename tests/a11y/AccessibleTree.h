// What an assistive technology reads of an application: every object under
// a root with its name, role, states, screen extents and children, read live
// over the bus in one walk. Keeps a reference to each object.
//
//   const AccessibleTree tree = AccessibleTree::read(app.get());
//   EXPECT_EQ(tree.find("/org/a11y/atspi/accessible/w12")->role, ATSPI_ROLE_FRAME);
#pragma once

#include <atspi/atspi.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "GObjectPtr.h"

class AccessibleTree {
public:
    struct Extents {
        int x = 0, y = 0, cx = 0, cy = 0;
        bool operator==(const Extents&) const = default;
    };
    struct Node {
        GObjectPtr<AtspiAccessible> object;
        std::string path;
        std::string name;
        AtspiRole role = ATSPI_ROLE_INVALID;
        std::uint64_t states = 0;        // bit n: AtspiStateType n
        std::optional<Extents> extents;  // objects with the Component interface
        std::vector<std::string> children;
        std::vector<std::string> errors;  // what the bus refused while reading

        bool has(AtspiStateType state) const { return (states >> state) & 1; }
    };

    // Depth first; an object met twice (a cycle) is read once.
    static AccessibleTree read(AtspiAccessible* root);
    // The object's states, read live.
    static std::uint64_t statesOf(AtspiAccessible* object);

    const Node* find(const std::string& path) const;
    const Node* findByName(const std::string& name) const;
    const std::vector<Node>& nodes() const { return m_nodes; }

private:
    void readNode(AtspiAccessible* object, int depth);

    std::vector<Node> m_nodes;
    std::map<std::string, size_t> m_byPath;
};
