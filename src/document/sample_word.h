#pragma once

#include <cstdint>

// Arithmetic on the 16-bit sample words of the recorder formats. The formats rely on 16-bit
// two's-complement wrap-around, which signed C++ arithmetic does not give; every such sum goes
// through Wrap16.

inline int16_t Wrap16(int32_t value) { return static_cast<int16_t>(static_cast<uint16_t>(value)); }

// The 12-bit two's-complement value in bits 0-11 of a sample word; bits 12-15 carry marker flags.
inline int16_t Int12(uint16_t word) { return static_cast<int16_t>(((word & 0x0FFF) ^ 0x0800) - 0x0800); }

// The marker flags of a sample word (bits 12-15).
inline uint16_t MarkerFlags(uint16_t word) { return static_cast<uint16_t>(word & 0xF000); }
