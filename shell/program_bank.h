// The stored programs of a product: `NumPrograms` records, each with the
// normalised values of every parameter (`values`, in program-slot order) and a
// zero-terminated `name`. Both products keep their programs here.
//
// The records are allocated at construction; without memory the bank stays
// empty and every operation answers as for a bank that does not exist. Values
// are read and written as shared floats: the editor's thread changes programs
// while the host's audio thread may play automation into the current one.
#pragma once

#include <cstdio>
#include <cstring>
#include <new>

#include "shell/effect_texts.h"
#include "shell/shared_float.h"

template <class Record, int NumPrograms>
class ProgramBank {
public:
    static constexpr int kNumValues = sizeof(Record::values) / sizeof(float);
    static constexpr int kNameSize = sizeof(Record::name);

    explicit ProgramBank(bool allocate = true) : records(allocate ? new (std::nothrow) Record[NumPrograms] : nullptr) {}
    ~ProgramBank() { delete[] records; }
    ProgramBank(const ProgramBank&) = delete;
    ProgramBank& operator=(const ProgramBank&) = delete;

    bool exists() const { return records != nullptr; }
    static bool valid(int program) { return program >= 0 && program < NumPrograms; }
    // The records themselves, for loading the factory content and for tests;
    // null without a bank.
    Record* data() const { return records; }

    float value(int program, int slot) const { return loadShared(records[program].values[slot]); }
    void setValue(int program, int slot, float value) { storeShared(records[program].values[slot], value); }
    void setValueInAll(int slot, float value) {
        if (!records) return;
        for (int p = 0; p < NumPrograms; ++p) setValue(p, slot, value);
    }
    void copyValues(int program, float (&out)[kNumValues]) const {
        for (int slot = 0; slot < kNumValues; ++slot) out[slot] = value(program, slot);
    }

    // Keeps at most kNameSize - 1 characters.
    void setName(int program, const char* name) {
        if (!records || !valid(program)) return;
        char* stored = records[program].name;
        std::memset(stored, 0, kNameSize);
        std::memcpy(stored, name, strnlen(name, kNameSize - 1));
    }
    // The name of the current program as hosts show it: the capitalised
    // default name "Init" is numbered, every other name shown as stored;
    // "init" without a bank.
    void currentName(int program, char* text) const {
        if (!records) {
            std::strcpy(text, "init");
            return;
        }
        const char* stored = records[program].name;
        if (std::strcmp(stored, "Init") == 0)
            std::snprintf(text, kVstMaxProgNameLen + 1, "Init %d", program + 1);
        else
            copyProgramNameOut(text, stored);
    }
    bool nameAt(int program, char* text) const {
        if (!records || !valid(program)) return false;
        copyProgramNameOut(text, records[program].name);
        return true;
    }
    bool copy(int from, int to) {
        if (!records || !valid(from) || !valid(to)) return false;
        for (int slot = 0; slot < kNumValues; ++slot) setValue(to, slot, value(from, slot));
        std::memcpy(records[to].name, records[from].name, kNameSize);
        return true;
    }

private:
    Record* const records;
};
