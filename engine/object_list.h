// The doubly linked list of (key, value) nodes with a search cursor. The
// engine's entity registry is one. Removed nodes are unlinked and keep their
// links, so a cursor standing on one can still move on; they are never freed
// unless their key is tracked and their owner reclaims them (Reclaim).
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
    // The neighbours with the same key while the node is in the list, so a
    // search for one key steps over the nodes of every other key.
    ObjectNode* keyPrev = nullptr;
    ObjectNode* keyNext = nullptr;
    // Position in the list: nodes are only ever appended, so list order is
    // the order of these numbers.
    std::uint64_t seq = 0;
    bool linked = false;
};

class ObjectList {
  public:
    ObjectList() = default;
    ~ObjectList() {}
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
    // The values of the nodes of `key` in play, in list order, read along the
    // key's own chain; the cursor stays where it is.
    std::vector<void*> ValuesOf(std::int32_t key);

    // Nodes of this key removed from now on are remembered for Reclaim.
    void TrackRemoved(std::int32_t key) { trackedKeys.push_back(key); }
    // Frees the remembered nodes, offering each value to `release` first,
    // which frees it and returns true, or returns false to keep value and
    // node for a later call. Does nothing while the cursor (whose links may
    // lead through any removed node) stands on a removed node. Call it only
    // where no walk is under way and nobody holds a node. Returns how many
    // nodes were freed.
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

    // Where the last NodeAt landed. The engine's walk asks for index 0, 1,
    // 2, ... in turn; resuming from here makes a whole walk O(n). Appending
    // keeps it valid; removing the node itself moves it back one place; any
    // other removal drops it.
    ObjectNode* hintNode = nullptr;
    std::int32_t hintIndex = -1;

    // The per-key chains: small keys (every entity kind) in place, others hashed.
    static constexpr std::int32_t kSmallKeys = 64;
    std::array<KeyChain, kSmallKeys> smallChains{};
    std::unordered_map<std::int32_t, KeyChain> otherChains;
    std::uint64_t nextSeq = 0;
    // The last node Find returned (kept on a linked node of its key): the
    // next Find of the same key from behind it continues along its chain.
    ObjectNode* lastHit = nullptr;
    std::vector<std::int32_t> trackedKeys;
    std::vector<ObjectNode*> removed;
};
