#include "engine/object_list.h"

int ObjectList::Add(void* value, std::int32_t key) {
    auto* node = new ObjectNode{key, nullptr, nullptr, value};
    if (!head) {
        head = tail = node;
    } else {
        tail->next = node;
        node->prev = tail;
        tail = node;
    }
    ++count;
    return 1;
}

void ObjectList::Unlink(ObjectNode* node) {
    if (node == hintNode) {
        hintNode = node->prev;
        hintIndex = node->prev ? hintIndex - 1 : -1;
    } else {
        hintNode = nullptr;
        hintIndex = -1;
    }
    if (node == head && node == tail) {
        head = tail = nullptr;
    } else if (node == head) {
        head = node->next;
        head->prev = nullptr;
    } else if (node == tail) {
        tail = node->prev;
        tail->next = nullptr;
    } else {
        node->prev->next = node->next;
        node->next->prev = node->prev;
    }
    // The node keeps its own prev and next for a cursor that stands on it.
    --count;
}

int ObjectList::Remove(void* value) {
    if (!head) return 0;
    ObjectNode* found = nullptr;
    if (head->value == value) {
        found = head;
    } else if (tail->value == value) {
        found = tail;
    } else {
        for (ObjectNode* n = head; n; n = n->next)
            if (n->value == value) {
                found = n;
                break;
            }
    }
    if (!found) return 0;
    Unlink(found);
    return 1;
}

int ObjectList::RemoveAll(std::int32_t key) {
    Reset();
    for (void* v = Find(key); v; v = Find(key)) Remove(v);
    return 1;
}

void* ObjectList::Find(std::int32_t key) {
    while (cursor) {
        ObjectNode* looked = cursor;
        cursor = cursor->next;
        if (looked->key == key && looked->value) return looked->value;
    }
    return nullptr;
}

ObjectNode* ObjectList::Next() {
    if (!cursor) return nullptr;
    cursor = cursor->next;
    return cursor;
}

ObjectNode* ObjectList::NodeAt(std::int32_t index) {
    if (index < 0 || index >= count) return nullptr;
    ObjectNode* n;
    std::int32_t i;
    if (hintNode && hintIndex >= 0 && hintIndex <= index) {
        n = hintNode;
        i = hintIndex;
    } else if (index > count / 2) {
        n = tail;
        for (i = count - 1; i > index; --i) n = n->prev;
        hintNode = n;
        hintIndex = index;
        return n;
    } else {
        n = head;
        i = 0;
    }
    for (; i < index; ++i) n = n->next;
    hintNode = n;
    hintIndex = index;
    return n;
}
