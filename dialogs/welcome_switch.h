// The stored switch behind the welcome page's "Do not display this message again" box.
#pragma once

#include <optional>

namespace pw {

class IWelcomeSwitch {
public:
    // The box's state as stored, or nothing when there is no usable value (the box keeps its state).
    virtual std::optional<bool> ReadDoNotShow() = 0;
    // Stores the box's state at once.
    virtual void WriteDoNotShow(bool checked) = 0;

protected:
    ~IWelcomeSwitch() = default;
};

} // namespace pw
