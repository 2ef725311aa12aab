#include "entry_record/class_registry.h"

#include "entry_record/actions.h"

namespace model {

void ClassRegistry::add(std::string className, std::uint16_t schema, Factory factory) {
    entries_[std::move(className)] = Entry{schema, std::move(factory)};
}

bool ClassRegistry::knows(std::string_view className) const {
    return entries_.contains(className);
}

std::uint16_t ClassRegistry::schemaOf(std::string_view className) const {
    auto it = entries_.find(className);
    return it == entries_.end() ? 0 : it->second.schema;
}

std::unique_ptr<SerializableObject> ClassRegistry::create(std::string_view className) const {
    auto it = entries_.find(className);
    return it == entries_.end() ? nullptr : it->second.factory();
}

namespace {

template <typename T>
void addClass(ClassRegistry& registry) {
    registry.add(std::string(T::kClassName), T().schema(), [] { return std::make_unique<T>(); });
}

ClassRegistry buildModelClasses() {
    // Registered explicitly rather than by static initialisers: the objects live in a static library,
    // where an unreferenced registration unit would be left out of the link.
    ClassRegistry registry;
    addClass<CPersistentKey>(registry);
    addClass<CActionsData>(registry);
    addClass<CActions>(registry);
    return registry;
}

}  // namespace

const ClassRegistry& modelClasses() {
    static const ClassRegistry registry = buildModelClasses();
    return registry;
}

}  // namespace model
