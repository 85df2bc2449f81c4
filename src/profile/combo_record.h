// Combination records: how the mouse stores a key combination or a consumer (media) key for
// a button, in a 32-byte slot: an event count, 3-byte events, then a check byte.
#pragma once
#include <cstddef>
#include <cstdint>

#include "profile/profile_file.h"

constexpr size_t kComboSlotBytes = 32;
// The part of a slot the profile reader fetches.
constexpr size_t kComboReadBytes = 20;

// Device event types shared by combination records and mouse macros.
enum : uint8_t {
    kHdModifierDown = 0x80,
    kHdModifierUp = 0x40,
    kHdKeyDown = 0x81,
    kHdKeyUp = 0x41,
    kHdConsumerDown = 0x82,
    kHdConsumerUp = 0x42,
    kHdMouseDown = 0x84,
    kHdMouseUp = 0x44,
    kHdMove = 0x05,
};

// Builds the record of a key combination (type 2) or consumer key (types 3 and 4) into
// `buf` (at least 32 bytes) and returns its length without the check byte, which follows it
// in `buf`. Returns 0 for other functions, and for a combination of more than five
// modifiers and keys together: its events would not fit the mouse's slot, and writing a
// shortened one would give the button a combination the user did not choose.
size_t BuildComboRecord(const KeyInfo& key, uint8_t* buf, size_t bufSize);

// Decodes a record read from the mouse (`len` bytes available) into the function and
// combination of `key`; 1 on success, 0 when it does not decode (key is then unchanged).
int DecodeComboRecord(const uint8_t* record, size_t len, KeyInfo& key);
