#include "engine/object_list.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

int P, Q, R, S;

// A list holding P, Q and R (keys 1) in that order.
struct Pqr : ObjectList {
    Pqr() {
        for (int* v : {&P, &Q, &R}) Add(v, 1);
    }
};

TEST(ObjectList, RemoveAtHeadTailMiddleAndOnlyNode) {
    Pqr head, tail, middle;
    EXPECT_EQ(head.Remove(&P), 1);
    EXPECT_EQ(head.Head()->prev, nullptr);
    EXPECT_EQ(tail.Remove(&R), 1);
    EXPECT_EQ(tail.Tail()->next, nullptr);
    EXPECT_EQ(middle.Remove(&Q), 1);
    EXPECT_EQ(middle.Head()->next->value, &R);
    EXPECT_EQ(middle.Tail()->prev->value, &P);
    EXPECT_EQ(middle.Remove(&Q), 0);  // already gone
    for (ObjectList* l : {static_cast<ObjectList*>(&head), static_cast<ObjectList*>(&tail),
                          static_cast<ObjectList*>(&middle)})
        EXPECT_EQ(l->Count(), 2);

    ObjectList only;
    only.Add(&P, 1);
    EXPECT_EQ(only.Remove(&P), 1);
    EXPECT_EQ(only.Tail(), nullptr);
    only.Add(&Q, 2);
    EXPECT_EQ(only.Head(), only.Tail());
    EXPECT_EQ(only.Head()->value, &Q);
}

TEST(ObjectList, SameValueTwiceRemovesHeadThenTailFirst) {
    ObjectList list, other;
    for (auto [v, k] : {std::pair{&P, 1}, {&Q, 2}, {&P, 3}}) list.Add(v, k);
    list.Remove(&P);
    EXPECT_EQ(list.Head()->value, &Q);
    EXPECT_EQ(list.Tail()->key, 3);
    for (auto [v, k] : {std::pair{&Q, 1}, {&P, 2}, {&P, 3}}) other.Add(v, k);
    other.Remove(&P);  // the tail node goes before the inner one
    EXPECT_EQ(other.Tail()->key, 2);
    EXPECT_EQ(other.Count(), 2);
}

TEST(ObjectList, CursorOnRemovedNodeContinuesWithItsOldSuccessor) {
    Pqr list;
    list.Reset();
    EXPECT_EQ(list.Find(1), &P);  // cursor now on Q's node
    list.Remove(&Q);
    EXPECT_EQ(list.Find(1), &Q);  // the removed node is still looked at
    EXPECT_EQ(list.Find(1), &R);
    // The visiting idiom: removing the entity just found is safe.
    list.Reset();
    int visited = 0;
    for (void* v = list.Find(1); v; v = list.Find(1)) {
        ++visited;
        list.Remove(v);
    }
    EXPECT_EQ(visited, 2);
    EXPECT_EQ(list.Count(), 0);
}

TEST(ObjectList, NodeAtBoundsAndPositions) {
    ObjectList list;
    for (auto [v, k] : {std::pair{&P, 1}, {&Q, 2}, {&R, 3}}) list.Add(v, k);
    EXPECT_EQ(list.NodeAt(-1), nullptr);
    EXPECT_EQ(list.NodeAt(3), nullptr);
    EXPECT_EQ(list.NodeAt(2)->value, &R);
    EXPECT_EQ(list.NodeAt(0)->value, &P);
    // Positions stay right after removals in front of and at the last index asked.
    list.Remove(&P);
    EXPECT_EQ(list.NodeAt(1)->value, &R);
    list.Add(&S, 4);
    EXPECT_EQ(list.NodeAt(1)->value, &R);
    list.Remove(&R);
    EXPECT_EQ(list.NodeAt(1)->value, &S);
    EXPECT_EQ(list.NodeAt(2), nullptr);
}

TEST(ObjectList, RemoveAllRemovesOneKeyOnly) {
    ObjectList list;
    for (auto [v, k] : {std::pair{&P, 1}, {&Q, 2}, {&R, 1}}) list.Add(v, k);
    EXPECT_EQ(list.RemoveAll(7), 1);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.RemoveAll(1), 1);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Head()->value, &Q);
}

}  // namespace
