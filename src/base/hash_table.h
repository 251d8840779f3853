// HashTable: the chained hash table template with a fixed bucket count, and its abstract
// interface HashTableBase. Duplicate keys are refused; the iteration order follows the buckets.
#ifndef SRC_BASE_HASH_TABLE_H
#define SRC_BASE_HASH_TABLE_H

#include <cstdint>
#include <type_traits>
#include <utility>

#include "base/allocation.h"
#include "base/string.h"
#include "base/type_names.h"

// What the object framework needs to store, stream and describe any hash table.
class HashTableBase {
public:
    virtual ~HashTableBase() = default;
    virtual int32_t Count() const = 0;
    virtual const char* KeyTypeName(bool attributeForm) const = 0;
    virtual const char* ValueTypeName(bool attributeForm) const = 0;
    // `key` points to a key of the table's key type; returns the value's address or null.
    virtual void* FindValue(const void* key) = 0;
    virtual int32_t KeySize() const = 0;
    virtual int32_t ValueSize() const = 0;
    // As First/Next; `keyOut` (may be null) points to a key of the table's key type.
    virtual void* FirstValue(void* keyOut) = 0;
    virtual void* NextValue(void* keyOut) = 0;
};

// Fibonacci hashing of the key's first 32-bit word: floor(buckets * frac(A * (word mod buckets)))
// with A = (sqrt(5) - 1) / 2. With 128 buckets the words 0..5 give 0, 79, 30, 109, 60, 11.
int32_t HashBucketIndex(uint32_t word, int32_t bucketCount);

// The first 32-bit word of a key: the value of an integer or pointer key and the length of a
// String key (so Strings of equal length share a bucket).
template <typename K>
uint32_t HashKeyWord(const K& key) {
    if constexpr (std::is_same_v<K, String>) {
        return static_cast<uint32_t>(key.Length());
    } else if constexpr (std::is_pointer_v<K>) {
        return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(key));
    } else {
        static_assert(std::is_integral_v<K> || std::is_enum_v<K>, "unsupported hash table key");
        return static_cast<uint32_t>(key);
    }
}

template <typename K, typename V, typename KeyNames = TypeNames<K>,
          typename ValueNames = TypeNames<V>>
class HashTable : public HashTableBase {
public:
    // A bucket count below 1 counts as 1.
    explicit HashTable(int32_t bucketCount = 128) : bucketCount_(bucketCount < 1 ? 1 : bucketCount) {
        buckets_ = NewBuckets(bucketCount_);
    }
    HashTable(const HashTable& other) : bucketCount_(other.bucketCount_) {
        buckets_ = NewBuckets(bucketCount_);
        CopyEntries(other);
    }
    HashTable(HashTable&& other) noexcept { Steal(other); }
    ~HashTable() override {
        RemoveAll();
        Release(buckets_);
    }

    HashTable& operator=(const HashTable& other) {
        if (this != &other) {
            RemoveAll();
            Release(buckets_);
            bucketCount_ = other.bucketCount_;
            buckets_ = NewBuckets(bucketCount_);
            CopyEntries(other);
        }
        return *this;
    }
    HashTable& operator=(HashTable&& other) noexcept {
        if (this != &other) {
            RemoveAll();
            Release(buckets_);
            Steal(other);
        }
        return *this;
    }

    int32_t Count() const override { return count_; }
    int32_t BucketCount() const { return bucketCount_; }

    // False, changing nothing, when the key is already present: values are never overwritten.
    bool Insert(const K& key, const V& value) {
        Node*& head = buckets_[BucketOf(key)];
        for (Node* node = head; node != nullptr; node = node->next) {
            if (node->key == key) return false;
        }
        head = new Node{key, value, head};
        ++count_;
        return true;
    }

    V* Find(const K& key) {
        for (Node* node = buckets_[BucketOf(key)]; node != nullptr; node = node->next) {
            if (node->key == key) return &node->value;
        }
        return nullptr;
    }
    const V* Find(const K& key) const { return const_cast<HashTable*>(this)->Find(key); }

    bool Remove(const K& key) {
        for (Node** link = &buckets_[BucketOf(key)]; *link != nullptr; link = &(*link)->next) {
            Node* node = *link;
            if (node->key == key) {
                *link = node->next;
                // A removal during an iteration ends it rather than leaving a dangling position.
                if (iterNode_ == node) iterNode_ = nullptr;
                delete node;
                --count_;
                return true;
            }
        }
        return false;
    }

    void RemoveAll() {
        for (int32_t b = 0; b < bucketCount_ && count_ > 0; ++b) {
            while (Node* node = buckets_[b]) {
                buckets_[b] = node->next;
                delete node;
                --count_;
            }
        }
        iterNode_ = nullptr;
    }

    // One iteration position per table: ascending bucket index, newest entry first within a
    // bucket. Each call copies the key to `keyOut` when given; null marks the end.
    V* First(K* keyOut = nullptr) {
        iterNode_ = nullptr;
        if (count_ > 0) MoveToBucketFrom(0);
        return Current(keyOut);
    }
    V* Next(K* keyOut = nullptr) {
        if (iterNode_ == nullptr) return nullptr;
        iterNode_ = iterNode_->next;
        if (iterNode_ == nullptr) MoveToBucketFrom(iterBucket_ + 1);
        return Current(keyOut);
    }

    const char* KeyTypeName(bool attributeForm) const override { return NameOf<KeyNames>(attributeForm); }
    const char* ValueTypeName(bool attributeForm) const override { return NameOf<ValueNames>(attributeForm); }
    void* FindValue(const void* key) override { return Find(*static_cast<const K*>(key)); }
    int32_t KeySize() const override { return static_cast<int32_t>(sizeof(K)); }
    int32_t ValueSize() const override { return static_cast<int32_t>(sizeof(V)); }
    void* FirstValue(void* keyOut) override { return First(static_cast<K*>(keyOut)); }
    void* NextValue(void* keyOut) override { return Next(static_cast<K*>(keyOut)); }

private:
    struct Node {
        K key;
        V value;
        Node* next;
    };

    static Node** NewBuckets(int32_t n) {
        Node** buckets = static_cast<Node**>(AllocateElements(static_cast<size_t>(n), sizeof(Node*)));
        for (int32_t i = 0; i < n; ++i) buckets[i] = nullptr;
        return buckets;
    }

    int32_t BucketOf(const K& key) const { return HashBucketIndex(HashKeyWord(key), bucketCount_); }

    void MoveToBucketFrom(int32_t bucket) {
        for (iterBucket_ = bucket; iterBucket_ < bucketCount_; ++iterBucket_) {
            if (buckets_[iterBucket_] != nullptr) {
                iterNode_ = buckets_[iterBucket_];
                return;
            }
        }
        iterNode_ = nullptr;
    }

    V* Current(K* keyOut) {
        if (iterNode_ == nullptr) return nullptr;
        if (keyOut != nullptr) *keyOut = iterNode_->key;
        return &iterNode_->value;
    }

    // Same bucket count, so every chain is copied in its own order.
    void CopyEntries(const HashTable& other) {
        for (int32_t b = 0; b < bucketCount_; ++b) {
            Node** tail = &buckets_[b];
            for (Node* node = other.buckets_[b]; node != nullptr; node = node->next) {
                *tail = new Node{node->key, node->value, nullptr};
                tail = &(*tail)->next;
            }
        }
        count_ = other.count_;
    }

    void Steal(HashTable& other) {
        bucketCount_ = other.bucketCount_;
        count_ = std::exchange(other.count_, 0);
        buckets_ = std::exchange(other.buckets_, NewBuckets(other.bucketCount_));
        iterBucket_ = 0;
        iterNode_ = nullptr;
        other.iterNode_ = nullptr;
    }

    int32_t bucketCount_ = 128;
    int32_t count_ = 0;
    Node** buckets_ = nullptr;
    int32_t iterBucket_ = 0;
    Node* iterNode_ = nullptr;
};

#endif  // SRC_BASE_HASH_TABLE_H
