#include "handle_table.h"

#include "current.h"

namespace platform::kernel {

namespace {
// Value layout: bits 0-1 zero, bits 2-13 generation (12 bits), bits 14-31 slot + 1.
constexpr uint32_t kGenerationBits = 12;
constexpr uint32_t kGenerationMask = (1u << kGenerationBits) - 1;
constexpr uint32_t kSlotShift = 2 + kGenerationBits;
constexpr uint32_t kMaxSlots = (1u << (32 - kSlotShift)) - 2;

HANDLE encode(uint32_t slot, uint32_t generation) {
    uint32_t value = ((slot + 1) << kSlotShift) | ((generation & kGenerationMask) << 2);
    return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value));
}

bool decode(HANDLE handle, uint32_t& slot, uint32_t& generation) {
    uintptr_t raw = reinterpret_cast<uintptr_t>(handle);
    if (raw == 0 || raw > 0xFFFFFFFFu || (raw & 3) != 0) return false;
    uint32_t value = static_cast<uint32_t>(raw);
    uint32_t slotPlusOne = value >> kSlotShift;
    if (slotPlusOne == 0) return false;
    slot = slotPlusOne - 1;
    generation = (value >> 2) & kGenerationMask;
    return true;
}
}  // namespace

HANDLE HandleTable::insert(std::shared_ptr<KernelObject> object) {
    return insert(std::move(object), currentProcessId());
}

HANDLE HandleTable::insert(std::shared_ptr<KernelObject> object, ProcessId owner) {
    if (!object) return nullptr;
    std::lock_guard lock(mutex_);
    uint32_t slot;
    if (!freeSlots_.empty()) {
        slot = freeSlots_.back();
        freeSlots_.pop_back();
    } else {
        if (slots_.size() >= kMaxSlots) return nullptr;
        slot = static_cast<uint32_t>(slots_.size());
        slots_.emplace_back();
    }
    Slot& entry = slots_[slot];
    entry.object = std::move(object);
    entry.owner = owner;
    return encode(slot, entry.generation);
}

std::shared_ptr<KernelObject> HandleTable::lookup(HANDLE handle) const {
    uint32_t slot, generation;
    if (!decode(handle, slot, generation)) return nullptr;
    std::lock_guard lock(mutex_);
    if (slot >= slots_.size()) return nullptr;
    const Slot& entry = slots_[slot];
    if ((entry.generation & kGenerationMask) != generation) return nullptr;
    return entry.object;
}

std::shared_ptr<KernelObject> HandleTable::remove(HANDLE handle) {
    uint32_t slot, generation;
    if (!decode(handle, slot, generation)) return nullptr;
    std::lock_guard lock(mutex_);
    if (slot >= slots_.size()) return nullptr;
    Slot& entry = slots_[slot];
    if ((entry.generation & kGenerationMask) != generation || !entry.object) return nullptr;
    return retire(slot);
}

std::vector<std::shared_ptr<KernelObject>> HandleTable::removeAllOf(ProcessId owner) {
    std::vector<std::shared_ptr<KernelObject>> objects;
    std::lock_guard lock(mutex_);
    for (uint32_t slot = 0; slot < slots_.size(); ++slot) {
        Slot& entry = slots_[slot];
        if (!entry.object || entry.owner != owner) continue;
        objects.push_back(retire(slot));
    }
    return objects;
}

std::shared_ptr<KernelObject> HandleTable::retire(uint32_t slot) {
    Slot& entry = slots_[slot];
    std::shared_ptr<KernelObject> object = std::move(entry.object);
    entry.object.reset();
    entry.owner = 0;
    // Generation 0 is skipped so that no live handle has an all-zero generation.
    entry.generation = (entry.generation + 1) & kGenerationMask;
    if (entry.generation == 0) entry.generation = 1;
    freeSlots_.push_back(slot);
    return object;
}

size_t HandleTable::countOf(ProcessId owner) const {
    std::lock_guard lock(mutex_);
    size_t count = 0;
    for (const Slot& entry : slots_)
        if (entry.object && entry.owner == owner) ++count;
    return count;
}

HandleTable& handleTable() {
    // Never destroyed: device threads may still close handles while the host exits.
    static HandleTable* table = new HandleTable;
    return *table;
}

}  // namespace platform::kernel
