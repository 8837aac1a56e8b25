#include "engine/object_list.h"

#include <algorithm>

ObjectList::~ObjectList() {
    for (ObjectNode* node = head; node;) {
        ObjectNode* next = node->next;
        delete node;
        node = next;
    }
    for (ObjectNode* node : removed) delete node;
    for (ObjectNode* node : retired) delete node;
}

ObjectList::KeyChain* ObjectList::Chain(std::int32_t key, bool create) {
    if (key >= 0 && key < kSmallKeys) return &smallChains[static_cast<std::size_t>(key)];
    if (create) return &otherChains[key];
    auto it = otherChains.find(key);
    return it == otherChains.end() ? nullptr : &it->second;
}

int ObjectList::Add(void* value, std::int32_t key) {
    auto* node = new ObjectNode();
    node->key = key;
    node->value = value;
    node->seq = nextSeq++;
    node->linked = true;
    KeyChain* chain = Chain(key, true);
    node->keyPrev = chain->last;
    if (chain->last)
        chain->last->keyNext = node;
    else
        chain->first = node;
    chain->last = node;
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
    --count;
    KeyChain* chain = Chain(node->key, false);
    if (node->keyPrev)
        node->keyPrev->keyNext = node->keyNext;
    else
        chain->first = node->keyNext;
    if (node->keyNext)
        node->keyNext->keyPrev = node->keyPrev;
    else
        chain->last = node->keyPrev;
    if (lastHit == node) lastHit = node->keyPrev;
    node->linked = false;
    const bool tracked =
        std::find(trackedKeys.begin(), trackedKeys.end(), node->key) != trackedKeys.end();
    (tracked ? removed : retired).push_back(node);
}

int ObjectList::Reclaim(const std::function<bool(void*, std::int32_t)>& release) {
    // The hints rest only on nodes in the list; checked all the same.
    for (const ObjectNode* n : {cursor, hintNode, lastHit})
        if (n && !n->linked) return 0;
    int freed = 0;
    std::size_t kept = 0;
    for (ObjectNode* node : removed) {
        if (node->value && !release(node->value, node->key)) {
            removed[kept++] = node;
            continue;
        }
        delete node;
        ++freed;
    }
    removed.resize(kept);
    return freed;
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

// Looks at the nodes from the cursor on, as a plain walk along `next` would,
// but jumps along the key's chain: the answer is the first linked node of the
// key, with a value, at or behind the cursor; the cursor ends behind it.
void* ObjectList::Find(std::int32_t key) {
    // Removed nodes are on no chain: step over them one by one.
    while (cursor && !cursor->linked) {
        ObjectNode* looked = cursor;
        cursor = cursor->next;
        if (looked->key == key && looked->value) return looked->value;
    }
    if (!cursor) return nullptr;
    const std::uint64_t from = cursor->seq;
    ObjectNode* n;
    if (cursor->key == key) {
        n = cursor;
    } else if (lastHit && lastHit->key == key && lastHit->seq < from) {
        n = lastHit->keyNext;
    } else {
        const KeyChain* chain = Chain(key, false);
        n = chain ? chain->first : nullptr;
    }
    while (n && (n->seq < from || !n->value)) n = n->keyNext;
    if (!n) {
        cursor = nullptr;
        return nullptr;
    }
    lastHit = n;
    cursor = n->next;
    return n->value;
}

std::vector<void*> ObjectList::ValuesOf(std::int32_t key) {
    std::vector<void*> values;
    const KeyChain* chain = Chain(key, false);
    for (ObjectNode* n = chain ? chain->first : nullptr; n; n = n->keyNext)
        if (n->value) values.push_back(n->value);
    return values;
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
