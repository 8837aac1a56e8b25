// Find jumps along per-key chains yet must answer exactly as a plain walk from the cursor.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/object_list.h"

namespace {

TEST(KeyedFind, AgreesWithAPlainWalkUnderRandomAddsRemovesAndCursorMoves) {
    int values[6];
    std::vector<void*> pool = {nullptr};
    for (int& v : values) pool.push_back(&v);
    const std::int32_t keys[] = {1, 2, 3, 70000, -5};
    std::mt19937 rng(1234);
    auto pick = [&](auto& from) { return from[rng() % std::size(from)]; };
    for (int round = 0; round < 50; ++round) {
        ObjectList list;
        std::vector<ObjectNode*> seen;  // every node ever made, removed ones too
        for (int step = 0; step < 400; ++step) {
            const unsigned op = rng() % 10;
            if (op < 3) {
                list.Add(pick(pool), pick(keys));
                seen.push_back(list.Tail());
            } else if (op < 5) {
                list.Remove(pick(pool));
            } else if (op == 5) {
                list.SetCursor(seen.empty() || rng() % 2 ? list.Head() : pick(seen));
            } else if (op == 6 && rng() % 8 == 0) {
                list.RemoveAll(pick(keys));
            } else {
                const std::int32_t key = pick(keys);
                ObjectNode* n = list.GetCursor();
                while (n && !(n->key == key && n->value)) n = n->next;
                ASSERT_EQ(list.Find(key), n ? n->value : nullptr) << round << ":" << step;
                ASSERT_EQ(list.GetCursor(), n ? n->next : nullptr) << round << ":" << step;
            }
        }
    }
}

}  // namespace
