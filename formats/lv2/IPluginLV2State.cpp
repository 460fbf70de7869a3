// The LV2 binding's state: the core's host state (the VST 2.4 program chunk) as one atom:Chunk
// property.
#include "formats/lv2/IPluginLV2.h"

LV2_State_Status IPluginLV2::SaveState(LV2_Handle instance, LV2_State_Store_Function store,
                                       LV2_State_Handle handle, uint32_t /*flags*/,
                                       const LV2_Feature* const* /*features*/) {
    IPluginLV2* self = static_cast<IPluginLV2*>(instance);
    if (store == nullptr || self->urids.stateKey == 0) {
        return LV2_STATE_ERR_NO_FEATURE;
    }
    IByteBuffer bytes;
    {
        LockGuard guard(self->plugin->Lock());
        if (!self->plugin->SaveHostState(bytes)) {
            return LV2_STATE_ERR_NO_SPACE;
        }
    }
    return store(handle, self->urids.stateKey, bytes.Data(), static_cast<size_t>(bytes.Size()),
                 self->urids.atomChunk, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status IPluginLV2::RestoreState(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                                          LV2_State_Handle handle, uint32_t /*flags*/,
                                          const LV2_Feature* const* /*features*/) {
    IPluginLV2* self = static_cast<IPluginLV2*>(instance);
    if (retrieve == nullptr || self->urids.stateKey == 0) {
        return LV2_STATE_ERR_NO_FEATURE;
    }
    size_t size = 0;
    uint32_t type = 0;
    uint32_t valueFlags = 0;
    const void* data = retrieve(handle, self->urids.stateKey, &size, &type, &valueFlags);
    if (data == nullptr) {
        return LV2_STATE_ERR_NO_PROPERTY;
    }
    if (type != self->urids.atomChunk) {
        return LV2_STATE_ERR_BAD_TYPE;
    }
    IByteBuffer bytes;
    if (size == 0 || size > static_cast<size_t>(kLargestHostState) ||
        bytes.PutBytes(data, static_cast<int32_t>(size)) != static_cast<int32_t>(size)) {
        return LV2_STATE_ERR_UNKNOWN;
    }
    LockGuard guard(self->plugin->Lock());
    if (!self->plugin->LoadHostState(bytes, self->active)) {
        return LV2_STATE_ERR_UNKNOWN;
    }
    // Ports that hold what the state restored, in single precision, leave it as it came.
    self->SeeParameterValues();
    return LV2_STATE_SUCCESS;
}
