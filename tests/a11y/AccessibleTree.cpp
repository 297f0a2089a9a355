#include "AccessibleTree.h"

namespace {

constexpr int kDeepest = 64;  // deeper is a parent loop the walk would never leave

// Keeps the error's message, if any; true when there was none.
bool noError(GError*& error, std::vector<std::string>& errors, const char* what) {
    if (!error) return true;
    errors.push_back(std::string(what) + ": " + error->message);
    g_clear_error(&error);
    return false;
}

}  // namespace

AccessibleTree AccessibleTree::read(AtspiAccessible* root) {
    AccessibleTree tree;
    tree.readNode(root, 0);
    return tree;
}

std::uint64_t AccessibleTree::statesOf(AtspiAccessible* object) {
    GObjectPtr<AtspiStateSet> set(atspi_accessible_get_state_set(object));
    GArray* list = set ? atspi_state_set_get_states(set.get()) : nullptr;
    std::uint64_t states = 0;
    for (guint i = 0; list && i < list->len; ++i)
        states |= std::uint64_t{1} << (g_array_index(list, AtspiStateType, i) & 63);
    if (list) g_array_free(list, TRUE);
    return states;
}

void AccessibleTree::readNode(AtspiAccessible* object, int depth) {
    const std::string path = ATSPI_OBJECT(object)->path;
    if (!m_byPath.emplace(path, m_nodes.size()).second) return;
    Node node;
    node.object.reset(ATSPI_ACCESSIBLE(g_object_ref(object)));
    node.path = path;
    GError* error = nullptr;
    if (gchar* name = atspi_accessible_get_name(object, &error)) node.name = name, g_free(name);
    noError(error, node.errors, "name");
    node.role = atspi_accessible_get_role(object, &error);
    noError(error, node.errors, "role");
    node.states = statesOf(object);
    if (GObjectPtr<AtspiComponent> component{atspi_accessible_get_component_iface(object)}) {
        AtspiRect* r =
            atspi_component_get_extents(component.get(), ATSPI_COORD_TYPE_SCREEN, &error);
        if (noError(error, node.errors, "extents") && r)
            node.extents = Extents{r->x, r->y, r->width, r->height};
        g_free(r);
    }
    const gint count = atspi_accessible_get_child_count(object, &error);
    noError(error, node.errors, "child count");
    std::vector<GObjectPtr<AtspiAccessible>> children;
    for (gint i = 0; i < count; ++i) {
        GObjectPtr<AtspiAccessible> child(atspi_accessible_get_child_at_index(object, i, &error));
        if (!noError(error, node.errors, "child") || !child) continue;
        const gint back = atspi_accessible_get_index_in_parent(child.get(), &error);
        if (noError(error, node.errors, "index in parent") && back != i)
            node.errors.push_back("child " + std::to_string(i) + " says it is " +
                                  std::to_string(back));
        node.children.emplace_back(ATSPI_OBJECT(child.get())->path);
        children.push_back(std::move(child));
    }
    if (depth >= kDeepest) node.errors.push_back("deeper than a window tree goes");
    m_nodes.push_back(std::move(node));
    if (depth >= kDeepest) return;
    for (const auto& child : children)
        readNode(child.get(), depth + 1);
}

const AccessibleTree::Node* AccessibleTree::find(const std::string& path) const {
    const auto found = m_byPath.find(path);
    return found == m_byPath.end() ? nullptr : &m_nodes[found->second];
}

const AccessibleTree::Node* AccessibleTree::findByName(const std::string& name) const {
    for (const Node& node : m_nodes)
        if (node.name == name) return &node;
    return nullptr;
}
