// Array: the dynamic array template (deep-copying value type) with its abstract interface
// ArrayBase, and its byte and character instances ByteBuffer and CharArray.
#ifndef SRC_BASE_ARRAY_H
#define SRC_BASE_ARRAY_H

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>

#include "base/allocation.h"
#include "base/type_names.h"

// What the object framework needs to store, stream and describe any array.
class ArrayBase {
public:
    virtual ~ArrayBase() = default;
    virtual int32_t Count() const = 0;
    virtual const char* TypeName(bool attributeForm) const = 0;
    virtual int32_t ElementSize() const = 0;
    // Stores the address of the element at the clamped index; null for an empty array.
    virtual void ElementAddress(int32_t index, void** out) = 0;
    // Appends a copy of *value; returns the new element's address (null if it was ignored).
    virtual void* AppendElement(const void* value) = 0;
    virtual void SetCount(int32_t count) = 0;
};

// Every slot, used or not, always holds a valid T (value-initialised when unused), so
// exposing slots with SetCount never shows garbage.
template <typename T, typename Names = TypeNames<T>>
class Array : public ArrayBase {
public:
    // Negative values count as 0.
    explicit Array(int32_t capacity = 0, int32_t growBy = 1) : growBy_(std::max(growBy, 0)) {
        Reserve(capacity, false);
    }
    Array(const Array& other) { CopyFrom(other); }
    Array(Array&& other) noexcept { Steal(other); }
    ~Array() override { Free(); }

    Array& operator=(const Array& other) {
        Assign(other);
        return *this;
    }
    Array& operator=(Array&& other) noexcept {
        if (this != &other) {
            Free();
            Steal(other);
        }
        return *this;
    }
    // The copy gets the same count, capacity and growth step.
    void Assign(const Array& other) {
        if (this == &other) return;
        Free();
        CopyFrom(other);
    }

    int32_t Count() const override { return count_; }
    int32_t Capacity() const { return capacity_; }
    int32_t GrowBy() const { return growBy_; }
    bool IsEmpty() const { return count_ == 0; }

    // The index is clamped into 0..Count()-1. Callers check Count() first; an empty array
    // hands out a value-initialised scratch element rather than touching unowned memory.
    T& At(int32_t index) {
        if (count_ == 0) return Scratch();
        return data_[Clamp(index)];
    }
    const T& At(int32_t index) const {
        if (count_ == 0) return Scratch();
        return data_[Clamp(index)];
    }

    // Grows by the larger of the step and 10 % of the capacity. With step 0 a full array
    // overwrites its last element instead, and an array without slots ignores the value
    // (and returns null).
    T* Append(const T& value) {
        if (count_ < capacity_) {
            data_[count_] = value;
            return &data_[count_++];
        }
        if (growBy_ > 0) {
            T copy(value);  // `value` may live in the storage about to be replaced
            Reserve(GrownCapacity(count_ + 1), true);
            data_[count_] = std::move(copy);
            return &data_[count_++];
        }
        if (capacity_ == 0) return nullptr;
        data_[count_ - 1] = value;
        return &data_[count_ - 1];
    }

    // Appends n elements copied from `items` (which may lie inside this array), growing as
    // Append would, but at least far enough for all of them.
    void AppendRange(const T* items, int32_t n) {
        if (items == nullptr || n <= 0) return;
        if (n > capacity_ - count_) {
            int32_t newCapacity = GrownCapacity(count_ + n);
            T* fresh = NewSlots(newCapacity);
            std::copy(data_, data_ + count_, fresh);
            std::copy(items, items + n, fresh + count_);
            DestroySlots(data_, capacity_);
            data_ = fresh;
            capacity_ = newCapacity;
        } else {
            std::copy(items, items + n, data_ + count_);
        }
        count_ += n;
    }

    // n < 0 counts as 0. Slots from n up to the old count are reset.
    void SetCount(int32_t n) override {
        n = std::max(n, 0);
        if (n > capacity_) Reserve(n, true);
        for (int32_t i = n; i < count_; ++i) data_[i] = T();
        count_ = n;
    }

    // n <= 0 releases the storage. Otherwise n slots; with `keep` the first min(capacity, n)
    // are kept (and the count lowered to n), without it the array is emptied.
    void Reserve(int32_t n, bool keep) {
        if (n <= 0) {
            Free();
            return;
        }
        if (n == capacity_) return;
        T* fresh = NewSlots(n);
        if (keep) {
            std::move(data_, data_ + std::min(capacity_, n), fresh);
            count_ = std::min(count_, n);
        } else {
            count_ = 0;
        }
        DestroySlots(data_, capacity_);
        data_ = fresh;
        capacity_ = n;
    }

    // An index outside 0..Count()-1 does nothing.
    void RemoveAt(int32_t index) {
        if (index < 0 || index >= count_) return;
        std::move(data_ + index + 1, data_ + count_, data_ + index);
        data_[--count_] = T();
    }

    // Releases all storage: count and capacity become 0.
    void Clear() { Free(); }

    T* Data() { return data_; }
    const T* Data() const { return data_; }
    T* begin() { return data_; }
    T* end() { return data_ + count_; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + count_; }

    const char* TypeName(bool attributeForm) const override { return NameOf<Names>(attributeForm); }
    int32_t ElementSize() const override { return static_cast<int32_t>(sizeof(T)); }
    void ElementAddress(int32_t index, void** out) override {
        *out = count_ == 0 ? nullptr : &data_[Clamp(index)];
    }
    void* AppendElement(const void* value) override { return Append(*static_cast<const T*>(value)); }

private:
    int32_t Clamp(int32_t index) const { return std::clamp(index, 0, count_ - 1); }

    int32_t GrownCapacity(int32_t needed) const {
        // The 10 % are computed in double precision and truncated: 10 -> 11, 100 -> 110.
        int64_t grown = std::max<int64_t>(int64_t{capacity_} + growBy_,
                                          static_cast<int64_t>(capacity_ * 1.1));
        return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(grown, needed), INT32_MAX));
    }

    static T& Scratch() {
        static T slot;
        slot = T();
        return slot;
    }

    static T* NewSlots(int32_t n) {
        T* slots = static_cast<T*>(AllocateElements(static_cast<size_t>(n), sizeof(T)));
        for (int32_t i = 0; i < n; ++i) new (slots + i) T();
        return slots;
    }

    static void DestroySlots(T* slots, int32_t n) {
        if (slots == nullptr) return;
        for (int32_t i = 0; i < n; ++i) slots[i].~T();
        Release(slots);
    }

    void Free() {
        DestroySlots(data_, capacity_);
        data_ = nullptr;
        count_ = 0;
        capacity_ = 0;
    }

    void CopyFrom(const Array& other) {
        growBy_ = other.growBy_;
        if (other.capacity_ > 0) {
            data_ = NewSlots(other.capacity_);
            std::copy(other.data_, other.data_ + other.count_, data_);
        }
        count_ = other.count_;
        capacity_ = other.capacity_;
    }

    void Steal(Array& other) {
        count_ = std::exchange(other.count_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
        growBy_ = other.growBy_;
        data_ = std::exchange(other.data_, nullptr);
    }

    int32_t count_ = 0;
    int32_t capacity_ = 0;
    int32_t growBy_ = 1;
    T* data_ = nullptr;
};

using ByteBuffer = Array<uint8_t>;
using CharArray = Array<signed char>;

#endif  // SRC_BASE_ARRAY_H
