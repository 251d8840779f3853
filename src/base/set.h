// Set: an unordered, array-backed set of 32-bit values (used by the object streams).
#ifndef SRC_BASE_SET_H
#define SRC_BASE_SET_H

#include <cstdint>

class Set {
public:
    Set() = default;
    Set(const Set& other);
    ~Set();
    Set& operator=(const Set& other);
    void Assign(const Set& other);

    // Discards the contents; keeps room for at least one value and a growth step of 1.
    void Reset(int32_t capacity);
    // No duplicate check.
    void Append(int32_t value);
    // False if the value is already present.
    bool Insert(int32_t value);
    // False if absent. The last value moves into the freed place, so order is not kept.
    bool Remove(int32_t value);

    int32_t Quantity() const { return quantity_; }
    int32_t Capacity() const { return capacity_; }
    const int32_t* Items() const { return items_; }

private:
    int32_t IndexOf(int32_t value) const;

    int32_t quantity_ = 0;
    int32_t capacity_ = 0;
    int32_t growBy_ = 1;
    int32_t* items_ = nullptr;
};

#endif  // SRC_BASE_SET_H
