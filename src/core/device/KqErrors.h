// Error types of the device model. The device classes have no error handling
// of their own: every failure goes to the caller as one of these.
#pragma once

#include <stdexcept>
#include <string>

namespace kq {

// Base of every error this program raises on purpose; what() is a message
// fit to show to the user.
class KqError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A channel number outside 0..15 or a word address outside 0..127.
class SubscriptOutOfRange : public KqError {
public:
    using KqError::KqError;
};

// A value that does not fit the byte, word or counter it is stored in.
class OverflowError : public KqError {
public:
    using KqError::KqError;
};

// PLLScaler 0 in the codec.
class DivisionByZero : public KqError {
public:
    using KqError::KqError;
};

} // namespace kq
