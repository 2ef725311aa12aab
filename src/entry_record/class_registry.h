#pragma once
// Creation of archive objects by class name, as reading an object archive needs it.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "entry_record/serializable_object.h"

namespace model {

class ClassRegistry {
  public:
    using Factory = std::function<std::unique_ptr<SerializableObject>()>;

    // Makes `className` creatable with `schema`; a second registration of a name replaces the first.
    void add(std::string className, std::uint16_t schema, Factory factory);

    // True when `className` is registered.
    bool knows(std::string_view className) const;

    // The registered schema of `className`, 0 when unknown.
    std::uint16_t schemaOf(std::string_view className) const;

    // A new empty object of `className`, or nullptr when the name is unknown.
    std::unique_ptr<SerializableObject> create(std::string_view className) const;

  private:
    struct Entry {
        std::uint16_t schema = 0;
        Factory factory;
    };
    std::map<std::string, Entry, std::less<>> entries_;
};

// The registry of the entry record's classes: CActions, CActionsData and CPersistentKey, schema 1.
const ClassRegistry& modelClasses();

}  // namespace model
