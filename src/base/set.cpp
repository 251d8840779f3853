#include "base/set.h"

#include <algorithm>

#include "base/allocation.h"

Set::Set(const Set& other) { Assign(other); }

Set::~Set() { Release(items_); }

Set& Set::operator=(const Set& other) {
    Assign(other);
    return *this;
}

void Set::Assign(const Set& other) {
    if (this == &other) return;
    Release(items_);
    quantity_ = other.quantity_;
    capacity_ = other.capacity_;
    growBy_ = other.growBy_;
    items_ = nullptr;
    if (capacity_ > 0) {
        items_ = static_cast<int32_t*>(AllocateElements(static_cast<size_t>(capacity_), sizeof(int32_t)));
        std::copy(other.items_, other.items_ + quantity_, items_);
    }
}

void Set::Reset(int32_t capacity) {
    Release(items_);
    quantity_ = 0;
    capacity_ = std::max(capacity, 1);
    growBy_ = 1;
    items_ = static_cast<int32_t*>(AllocateElements(static_cast<size_t>(capacity_), sizeof(int32_t)));
}

void Set::Append(int32_t value) {
    if (quantity_ == capacity_) {
        int32_t capacity = capacity_ + growBy_;
        auto* items = static_cast<int32_t*>(AllocateElements(static_cast<size_t>(capacity), sizeof(int32_t)));
        std::copy(items_, items_ + quantity_, items);
        Release(items_);
        items_ = items;
        capacity_ = capacity;
    }
    items_[quantity_++] = value;
}

bool Set::Insert(int32_t value) {
    if (IndexOf(value) >= 0) return false;
    Append(value);
    return true;
}

bool Set::Remove(int32_t value) {
    int32_t index = IndexOf(value);
    if (index < 0) return false;
    items_[index] = items_[quantity_ - 1];
    items_[--quantity_] = 0;
    return true;
}

int32_t Set::IndexOf(int32_t value) const {
    for (int32_t i = 0; i < quantity_; ++i) {
        if (items_[i] == value) return i;
    }
    return -1;
}
