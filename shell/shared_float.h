// Float fields that several host threads may touch at once, such as the
// values in program records (the editor's thread changes programs while the
// audio thread plays automation into the current one): each is read and
// written whole, as a relaxed atomic, so no thread sees half a write.
#pragma once

inline float loadShared(const float& field) {
    float value;
    __atomic_load(&field, &value, __ATOMIC_RELAXED);
    return value;
}

inline void storeShared(float& field, float value) { __atomic_store(&field, &value, __ATOMIC_RELAXED); }

// Copies `count` shared floats one by one.
inline void copyShared(float* to, const float* from, int count) {
    for (int i = 0; i < count; ++i) storeShared(to[i], loadShared(from[i]));
}
