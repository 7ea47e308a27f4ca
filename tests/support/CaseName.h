#pragma once
// Names the cases of a parameterised test by their own `name` field, so that a
// failure says which table row broke.
#include <string>

namespace tintora::test {

struct CaseName {
    template <class Info> std::string operator()(const Info& row) const
    {
        return std::string(row.param.name);
    }
};

} // namespace tintora::test
