#pragma once

#include <type_traits>

namespace core {

// The compare-then-store step of every property setter: true when Value differed and was
// stored, so the caller repaints or marks dirty exactly once. The field's type alone decides T.
template <class T> bool Assign(T &Field, const std::type_identity_t<T> &Value)
{
    if (Field == Value)
        return false;
    Field = Value;
    return true;
}

} // namespace core
