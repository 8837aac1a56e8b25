#include "engine/object_list.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

namespace {

int P, Q, R, S;

void Fill(ObjectList* l, std::initializer_list<std::pair<int*, int>> nodes) {
    for (auto [v, k] : nodes) l->Add(v, k);
}

// Two nodes left, linked both ways, with the ends' outer links cleared.
void ExpectPair(const ObjectList& l, void* first, void* second) {
    ASSERT_EQ(l.Count(), 2);
    EXPECT_TRUE(l.Head()->value == first && l.Tail()->value == second);
    EXPECT_TRUE(l.Head()->next == l.Tail() && l.Tail()->prev == l.Head());
    EXPECT_TRUE(l.Head()->prev == nullptr && l.Tail()->next == nullptr);
}

TEST(ObjectList, RemoveKeepsTheLinks) {
    for (auto [gone, a, b] : {std::tuple{&P, &Q, &R}, {&Q, &P, &R}, {&R, &P, &Q}}) {
        ObjectList l;
        Fill(&l, {{&P, 1}, {&Q, 1}, {&R, 1}});
        EXPECT_EQ(l.Remove(gone), 1);
        EXPECT_EQ(l.Remove(gone), 0);  // already gone
        ExpectPair(l, a, b);
    }
    ObjectList only;
    only.Add(&P, 1);
    only.Remove(&P);
    EXPECT_TRUE(only.Head() == nullptr && only.Tail() == nullptr);
    // The same value twice: the head goes first, else the tail before an inner node.
    ObjectList list, other;
    Fill(&list, {{&P, 1}, {&Q, 2}, {&P, 3}});
    list.Remove(&P);
    ExpectPair(list, &Q, &P);
    EXPECT_EQ(list.Tail()->key, 3);
    Fill(&other, {{&Q, 1}, {&P, 2}, {&P, 3}});
    other.Remove(&P);
    EXPECT_EQ(other.Tail()->key, 2);
}

TEST(ObjectList, CursorOnRemovedNodeContinuesWithItsOldSuccessor) {
    ObjectList list;
    Fill(&list, {{&P, 1}, {&Q, 1}, {&R, 1}});
    list.Reset();
    EXPECT_EQ(list.Find(1), &P);  // cursor now on Q's node
    list.Remove(&Q);
    EXPECT_EQ(list.Find(1), &Q);  // the removed node is still looked at
    EXPECT_EQ(list.Find(1), &R);
}

TEST(ObjectList, NodeAtAndRemoveAll) {
    ObjectList list;
    Fill(&list, {{&P, 1}, {&Q, 2}, {&R, 3}});
    EXPECT_TRUE(list.NodeAt(-1) == nullptr && list.NodeAt(3) == nullptr);
    EXPECT_EQ(list.NodeAt(2)->value, &R);
    // Positions stay right after removals in front of and at the last index asked.
    list.Remove(&P);
    EXPECT_EQ(list.NodeAt(1)->value, &R);
    list.Add(&S, 1);
    EXPECT_EQ(list.NodeAt(1)->value, &R);
    list.Remove(&R);
    EXPECT_EQ(list.NodeAt(1)->value, &S);
    EXPECT_EQ(list.RemoveAll(7), 1);  // always 1
    list.Add(&R, 1);
    EXPECT_EQ(list.RemoveAll(1), 1);
    EXPECT_TRUE(list.Count() == 1 && list.Head()->value == &Q);
}

}  // namespace
