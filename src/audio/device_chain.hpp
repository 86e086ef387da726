#pragma once
// The open devices of a device manager: a singly linked chain in opening order, found by device number.
// Every call is made under the manager's own lock. Device needs `int32_t deviceNumber` and `Device* next`.

#include <cstdint>
#include <memory>

namespace mw {

template <class Device> class DeviceChain {
public:
    Device* Head() const { return head_; }
    int Count() const { return count_; }

    Device* Find(int32_t deviceNumber) const {
        for (Device* d = head_; d; d = d->next)
            if (d->deviceNumber == deviceNumber) return d;
        return nullptr;
    }

    void Append(Device* d) {
        d->next = nullptr;
        if (tail_)
            tail_->next = d;
        else
            head_ = d;
        tail_ = d;
        ++count_;
    }

    /// Adds a device opened with the manager's lock released, unless one of its number was added
    /// meanwhile: then the fresh one goes to close(device) (with the lock released again) and the one
    /// already there is returned.
    template <class Lock, class Close>
    Device* AddOpened(std::unique_ptr<Device> fresh, Lock& lock, Close close) {
        if (Device* other = Find(fresh->deviceNumber)) {
            lock.unlock();
            close(fresh.release());
            lock.lock();
            return other;
        }
        Device* d = fresh.release();
        Append(d);
        return d;
    }

    /// Unlinks every device for which drop(device) is true and returns them as a chain of their own, in
    /// their order.
    template <class Drop> Device* Unlink(Drop drop) {
        Device* taken = nullptr;
        Device** takenTail = &taken;
        Device* prev = nullptr;
        for (Device* d = head_; d;) {
            Device* next = d->next;
            if (drop(d)) {
                if (prev)
                    prev->next = next;
                else
                    head_ = next;
                if (tail_ == d) tail_ = prev;
                --count_;
                d->next = nullptr;
                *takenTail = d;
                takenTail = &d->next;
            } else {
                prev = d;
            }
            d = next;
        }
        return taken;
    }

    /// Unlinks every device and returns the whole chain.
    Device* TakeAll() {
        Device* all = head_;
        head_ = tail_ = nullptr;
        count_ = 0;
        return all;
    }

    /// Marks every device of a chain (as Unlink or TakeAll give it) as closing; returns the chain.
    static Device* MarkClosing(Device* chain) {
        for (Device* d = chain; d; d = d->next) d->closing = true;
        return chain;
    }

private:
    Device* head_ = nullptr;
    Device* tail_ = nullptr;
    int count_ = 0;
};

} // namespace mw
