#pragma once
// The host's automation objects for the geometry of an OpenCASCADE document: bodies, entity
// lists, faces, edges and vertices. Each object holds the document and its place in it, so
// objects handed to the add-on stay valid as long as it keeps them.
#include <memory>

#include "documents/occt_document.h"
#include "host/host_interfaces.h"
#include "platform/ref_ptr.h"

namespace hostapp {

using DocumentPtr = std::shared_ptr<const OcctDocument>;

// The automation object of an entity: an IQDFace, IQDEdge or IQDVertex. In an assembly session
// (`assembly`) an entity's body is the whole document: the add-on numbers an assembly's entities
// by their place in their body's lists, and only the document-wide lists give the numbers the
// mesher gives the STEP dump's entities.
platform::RefPtr<host::IQDEntity> makeEntity(const DocumentPtr& document, const EntityRef& ref,
                                             bool assembly = false);

// The body number that stands for the whole document (all bodies' entities in order, no key).
inline constexpr int kWholeDocument = -1;

class HostBody : public platform::ImplementsDispatch<host::IQDBody> {
  public:
    HostBody(DocumentPtr document, int body) : document_(std::move(document)), body_(body) {}

    int index() const { return body_; }

    platform::Status get_Key(host::KeyBytes* key) override;
    platform::Status get_Faces(host::IQDEntities** faces) override;
    platform::Status get_Edges(host::IQDEntities** edges) override;
    platform::Status get_Vertices(host::IQDEntities** vertices) override;

  private:
    platform::Status list(EntityType type, host::IQDEntities** out);

    DocumentPtr document_;
    int body_;
};

class HostBodies : public platform::ImplementsDispatch<host::IQDBodies> {
  public:
    explicit HostBodies(DocumentPtr document) : document_(std::move(document)) {}

    platform::Status get_Count(std::int32_t* count) override;
    platform::Status Item(std::int32_t index, host::IQDBody** body) override;

  private:
    DocumentPtr document_;
};

// A list of entities given by their references.
class HostEntities : public platform::ImplementsDispatch<host::IQDEntities> {
  public:
    HostEntities(DocumentPtr document, std::vector<EntityRef> refs, bool assembly = false)
        : document_(std::move(document)), refs_(std::move(refs)), assembly_(assembly) {}

    platform::Status get_Count(std::int32_t* count) override;
    platform::Status Item(std::int32_t index, host::IQDEntity** entity) override;

  private:
    DocumentPtr document_;
    std::vector<EntityRef> refs_;
    bool assembly_;
};

// What faces, edges and vertices share: their document, place, key, body and box.
template <typename I>
class HostEntityOf : public platform::ImplementsDispatch<I> {
  public:
    HostEntityOf(DocumentPtr document, EntityRef ref, bool assembly = false)
        : document_(std::move(document)), ref_(ref), assembly_(assembly) {}

    const EntityRef& ref() const { return ref_; }
    const OcctDocument& document() const { return *document_; }
    const host::KeyBytes& key() const { return document_->entityKey(ref_); }

    platform::Status get_Key(host::KeyBytes* key) override;
    platform::Status get_Body(host::IQDBody** body) override;
    platform::Status GetCorners(host::Point3* low, host::Point3* high) override;

  protected:
    DocumentPtr document_;
    EntityRef ref_;
    bool assembly_;
};

class HostFace : public HostEntityOf<host::IQDFace> {
  public:
    using HostEntityOf::HostEntityOf;
    platform::Status get_SurfaceKind(std::int32_t* kind) override;
    // Fails for a surface without an axis.
    platform::Status GetAxis(host::Point3* origin, host::Point3* direction) override;
};

class HostEdge : public HostEntityOf<host::IQDEdge> {
  public:
    using HostEntityOf::HostEntityOf;
    platform::Status get_Faces(host::IQDEntities** faces) override;
};

class HostVertex : public HostEntityOf<host::IQDVertex> {
  public:
    using HostEntityOf::HostEntityOf;
    platform::Status GetPoint(host::Point3* position) override;
};

// Hands `object` out through an interface out parameter with a new reference.
template <typename I, typename T>
platform::Status handOut(const platform::RefPtr<T>& object, I** out) {
    if (out == nullptr) return platform::kInvalidPointer;
    *out = object.get();
    if (*out != nullptr) object->AddRef();
    return platform::kOk;
}

}  // namespace hostapp
