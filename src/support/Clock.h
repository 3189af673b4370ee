#pragma once

#include <QDateTime>

// Where "now" comes from for code that compares dates (check cadences, stamps). Tests inject a
// clock they move by hand; everything else uses the system one.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;

    // The wall clock, shared and never destroyed.
    static Clock& system();
};
