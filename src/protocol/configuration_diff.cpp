#include "protocol/configuration_diff.hpp"

#include <algorithm>

namespace qelto {
namespace {

std::string RowText(const TeachVector& v) {
    std::string s;
    for (std::size_t w = 0; w < kTeachWordCount; ++w) {
        if (w > 0) s += ',';
        s += std::to_string(TeachWordGet(v, w));
    }
    return s;
}

}  // namespace

std::vector<Difference> CompareConfigurations(const Configuration& older,
                                              const Configuration& newer, std::size_t teachRows) {
    std::vector<Difference> out;
    for (const ParamField& f : kParamFields) {
        const std::uint16_t a = older.para.*f.member;
        const std::uint16_t b = newer.para.*f.member;
        if (a != b)
            out.push_back(
                {std::string("parameter ") + f.name, std::to_string(a), std::to_string(b)});
    }
    for (std::size_t r = 0; r < std::min(teachRows, kTeachRows); ++r) {
        const std::string a = RowText(older.teach[r]);
        const std::string b = RowText(newer.teach[r]);
        if (a != b) out.push_back({"teach " + std::to_string(r), a, b});
    }
    return out;
}

std::string DiffLine(const Difference& d) {
    return d.item + " old=" + d.oldValue + " new=" + d.newValue;
}

}  // namespace qelto
