#pragma once

#include <stdexcept>

#include "platform/text.h"

namespace pado {

// A problem the user can cause or mend (a missing or unreadable file, a name that cannot be used).
// Thrown anywhere below the forms; the form's event dispatch shows the message and the press ends.
class UserError : public std::runtime_error {
public:
    explicit UserError(Text message)
        : std::runtime_error(ToUtf8(message))
        , message_(std::move(message))
    {
    }
    const Text& Message() const { return message_; }

private:
    Text message_;
};

} // namespace pado
