#pragma once

#include "formats/vst3/Vst3Types.h"

#include <atomic>
#include <cstring>

// What every object of the binding does alike as an FUnknown.

// [any] No lock. Whether a host's identifier is id, compared byte for byte as hosts do.
inline bool SameUid(const vst3::TUID interfaceId, const vst3::Uid& id) {
    return interfaceId != nullptr && std::memcmp(interfaceId, id.bytes, sizeof id.bytes) == 0;
}

// [any] No lock. The end of queryInterface: found (the sub-object asked for, or none) goes to
// *obj, with a reference added for the caller.
template <typename Object>
vst3::tresult AnswerInterface(Object* object, void* found, void** obj) {
    *obj = found;
    if (found == nullptr) {
        return vst3::kNoInterface;
    }
    object->addRef();
    return vst3::kResultOk;
}

// One object's reference count, shared by all its interfaces; 1 (the creator's) at first.
class Vst3References {
public:
    // [any] No lock. Both answer the new count.
    vst3::uint32 Add() { return count.fetch_add(1, std::memory_order_relaxed) + 1; }
    vst3::uint32 Drop() { return count.fetch_sub(1, std::memory_order_acq_rel) - 1; }

private:
    std::atomic<vst3::uint32> count{1};
};
