// The shutdown reservation as it is kept in memory and stored whole in the registry value
// "Exit". The layout is a stored format shared with every copy of the program: 64 bytes,
// little-endian, fields at fixed offsets.
#pragma once
#include <stddef.h>
#include <stdint.h>

struct ReservationBlock {
    int32_t DelayEnabled;       // the delay is part of the reservation
    uint32_t DelayAmount;       // number typed in the dialog
    int32_t DelayUnit;          // 0 hours, 1 minutes, 2 seconds
    uint32_t DelaySeconds;      // the delay in seconds, below 86400
    int32_t TimeEnabled;        // the time of day is part of the reservation
    uint16_t TimeHour;          // 0 to 23
    uint16_t TimeMinute;        // 0 to 59
    uint32_t TimeSeconds;       // seconds from arming to TimeHour:TimeMinute:00
    uint8_t Reserved1[4];       // left as loaded
    uint32_t ArmedTick;         // GetTickCount() when armed
    int32_t Armed;              // 1 while a reservation runs
    int32_t CountdownCancelled; // set by the countdown's cancel button
    uint8_t Reserved2[20];      // left as loaded
};

static_assert(sizeof(ReservationBlock) == 64, "the stored block is 64 bytes");
static_assert(offsetof(ReservationBlock, DelayEnabled) == 0, "stored layout");
static_assert(offsetof(ReservationBlock, DelayAmount) == 4, "stored layout");
static_assert(offsetof(ReservationBlock, DelayUnit) == 8, "stored layout");
static_assert(offsetof(ReservationBlock, DelaySeconds) == 12, "stored layout");
static_assert(offsetof(ReservationBlock, TimeEnabled) == 16, "stored layout");
static_assert(offsetof(ReservationBlock, TimeHour) == 20, "stored layout");
static_assert(offsetof(ReservationBlock, TimeMinute) == 22, "stored layout");
static_assert(offsetof(ReservationBlock, TimeSeconds) == 24, "stored layout");
static_assert(offsetof(ReservationBlock, ArmedTick) == 32, "stored layout");
static_assert(offsetof(ReservationBlock, Armed) == 36, "stored layout");
static_assert(offsetof(ReservationBlock, CountdownCancelled) == 40, "stored layout");
static_assert(offsetof(ReservationBlock, Reserved2) == 44, "stored layout");
