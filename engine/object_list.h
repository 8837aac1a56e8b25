/// @file
/// The doubly linked list of (key, value) nodes with a search cursor; the
/// engine's entity registry is one, keyed by kind. What it keeps true:
///
/// - Order: nodes are only appended, so list order is the order of `seq`.
///   The list owns no value; searches pass over a null one.
/// - Per-key chains: every node in the list is also on its key's chain
///   (keyPrev, keyNext), in list order, so a search for one key steps over
///   the nodes of every other key. Small keys (every entity kind) keep their
///   chain in place, others in a map.
/// - Removed nodes: Remove takes a node out of the list and its chain
///   (`linked` false) but leaves its own prev and next as they were, so a
///   cursor standing on it, Find's or one a walk saved, still moves on,
///   through other removed nodes, back into the list. Find from there answers
///   as a plain walk along `next` would, removed nodes on the way included.
/// - The cursor: Reset puts it on the head, Find behind the node it returns
///   (null when none is left); it may stand on a removed node.
/// - The position hint: where the last NodeAt landed, so that the engine's
///   walk by index 0, 1, 2 ... costs O(n) in all. It rests only on a node in
///   the list: appending keeps it, removing that node moves it back one
///   place, any other removal drops it.
/// - The last hit: the node Find last returned, always one in the list (its
///   removal moves the hit back along the chain). The next Find of that key
///   from behind it goes on along the chain from there.
/// - Freeing: a removed node is never freed, nor its value, unless its key was
///   named to TrackRemoved: such nodes are remembered and Reclaim frees them,
///   each value first offered to its owner. As a removed node's links may lead
///   through any other, Reclaim does nothing while the cursor stands on a
///   removed node, and may be called only where no walk is under way (none
///   holds a saved cursor) and nobody holds a node.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

struct ObjectNode {
    std::int32_t key = 0;
    ObjectNode* prev = nullptr;
    ObjectNode* next = nullptr;
    void* value = nullptr;
    ObjectNode* keyPrev = nullptr;  ///< the key's chain
    ObjectNode* keyNext = nullptr;
    std::uint64_t seq = 0;  ///< list order
    bool linked = false;    ///< in the list (not removed)
};

class ObjectList {
  public:
    ObjectList() = default;
    /// Frees every node, removed ones included; no value.
    ~ObjectList();
    ObjectList(const ObjectList&) = delete;
    ObjectList& operator=(const ObjectList&) = delete;

    int Add(void* value, std::int32_t key);
    int Remove(void* value);
    int RemoveAll(std::int32_t key);
    void* Find(std::int32_t key);
    void Reset() { cursor = head; }
    ObjectNode* Next();
    ObjectNode* NodeAt(std::int32_t index);
    std::int32_t Count() const { return count; }
    ObjectNode* GetCursor() const { return cursor; }
    void SetCursor(ObjectNode* node) { cursor = node; }
    ObjectNode* Head() const { return head; }
    ObjectNode* Tail() const { return tail; }
    /// The values of the nodes of `key` in play, in list order, read along the
    /// key's own chain; the cursor stays where it is.
    std::vector<void*> ValuesOf(std::int32_t key);

    /// Nodes of this key removed from now on are remembered for Reclaim.
    void TrackRemoved(std::int32_t key) { trackedKeys.push_back(key); }
    /// Frees the remembered nodes, offering each value to `release` first,
    /// which frees it and returns true, or returns false to keep value and
    /// node for a later call. Returns how many nodes were freed.
    int Reclaim(const std::function<bool(void* value, std::int32_t key)>& release);

  private:
    struct KeyChain {
        ObjectNode* first = nullptr;
        ObjectNode* last = nullptr;
    };

    void Unlink(ObjectNode* node);
    KeyChain* Chain(std::int32_t key, bool create);

    ObjectNode* head = nullptr;
    ObjectNode* tail = nullptr;
    ObjectNode* cursor = nullptr;
    std::int32_t count = 0;

    // The position hint.
    ObjectNode* hintNode = nullptr;
    std::int32_t hintIndex = -1;

    // The per-key chains.
    static constexpr std::int32_t kSmallKeys = 64;
    std::array<KeyChain, kSmallKeys> smallChains{};
    std::unordered_map<std::int32_t, KeyChain> otherChains;
    std::uint64_t nextSeq = 0;
    /// The last hit.
    ObjectNode* lastHit = nullptr;
    /// The tracked keys, and their removed nodes not freed yet.
    std::vector<std::int32_t> trackedKeys;
    std::vector<ObjectNode*> removed;
    /// Removed nodes of other keys: a cursor may still stand on one, so they
    /// live as long as the list.
    std::vector<ObjectNode*> retired;
};
