#pragma once

#include "cipher/Text.h"
#include "cipher/UserDialogs.h"

namespace qel {

// What "GO!" makes of the minutes entry.
struct PizzaEntry {
    enum Kind {
        Empty,    // nothing typed: nothing starts
        Start,    // count down `minutes`, 0 to 59
        TooMuch,  // 60 or more, however many digits
        Negative, // below zero, however many digits
    };
    Kind kind;
    int minutes = 0;
};

// Reads the entry as every number box of the program does, into a 16-bit whole number. Text without a
// leading number, blanks included, reads as 0 and starts a countdown that ends at once.
PizzaEntry ReadPizzaEntry(TextView entry);

// The minutes left of a countdown of `minutes` that started at `startMinute` of the hour, now that the
// clock shows `nowMinute`. Only changes of the clock's minute count, so the first minute goes at the
// next full minute after the start; a start late in the hour counts on into the next.
int MinutesLeft(int minutes, int startMinute, int nowMinute);

// The box that tells a user who hid the timer that the pizza is done.
MessageBoxRequest PizzaDoneMessage(TextView pizzaKind);

} // namespace qel
