/// @file
/// Typed reads of the engine's registry, each value cast to its class by
/// EntityOf (base_entity.h).
#pragma once

#include <cstdint>
#include <iterator>
#include <vector>

#include "engine/base_entity.h"
#include "engine/engine.h"
#include "engine/object_list.h"

/// For a range-for: the entities of one kind as the registry's Find reaches
/// them from the head, one per step. The walk moves the registry's cursor; an
/// entity added during it, and one removed, are reached or not as by Find.
template <typename T>
class EntitiesOf {
  public:
    class Iterator {
      public:
        T* operator*() const { return EntityOf<T>(value); }
        Iterator& operator++() {
            value = registry->Find(kind);
            return *this;
        }
        bool operator!=(std::default_sentinel_t) const { return value != nullptr; }

      private:
        friend EntitiesOf;
        Iterator(ObjectList* registry_, std::int32_t kind_)
            : registry(registry_), kind(kind_), value(registry_->Find(kind_)) {}
        ObjectList* registry;
        std::int32_t kind;
        void* value;
    };

    explicit EntitiesOf(std::int32_t kind_) : kind(kind_) {}
    Iterator begin() {
        engine->registry->Reset();
        return Iterator(engine->registry, kind);
    }
    std::default_sentinel_t end() const { return {}; }

  private:
    std::int32_t kind;
};

/// How many entities of one kind that walk reaches.
inline int CountOf(std::int32_t kind) {
    int n = 0;
    for ([[maybe_unused]] BaseEntity* entity : EntitiesOf<BaseEntity>(kind)) ++n;
    return n;
}

/// The entities of one kind in play now, in registry order; the cursor stays.
template <typename T>
std::vector<T*> ValuesOf(std::int32_t kind) {
    std::vector<T*> entities;
    for (void* v : engine->registry->ValuesOf(kind)) entities.push_back(EntityOf<T>(v));
    return entities;
}
