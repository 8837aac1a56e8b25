// The typed reads of the registry hand back the whole object, also for a
// class whose BaseEntity part does not start it.
#include "engine/entity_registry.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/base_entity.h"
#include "support/engine_fixture.h"

namespace {

constexpr std::int32_t kKind = 40;

struct Tag {
    virtual ~Tag() = default;
};

// BaseEntity comes second: a value cast straight to the class lands inside it.
class TaggedEntity : public Tag, public BaseEntity {
  public:
    TaggedEntity() {
        kind = kKind;
        Register();
    }
    void Update() override {}
    void Render() override {}
};

using EntityRegistry = EngineTest;

TEST_F(EntityRegistry, TypedReadsReturnTheWholeObject) {
    TaggedEntity a, b;
    ASSERT_NE(static_cast<void*>(&a), static_cast<void*>(static_cast<BaseEntity*>(&a)));
    const std::vector<TaggedEntity*> both = {&a, &b};

    EXPECT_EQ(ValuesOf<TaggedEntity>(kKind), both);
    std::vector<TaggedEntity*> walked;
    for (TaggedEntity* e : EntitiesOf<TaggedEntity>(kKind)) walked.push_back(e);
    EXPECT_EQ(walked, both);
}

}  // namespace
