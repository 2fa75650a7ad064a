// Puts values into the presenters' working copy as a read or a loaded file would: nothing is
// unsent afterwards, and the views show them.
#pragma once

#include "app/context.hpp"

namespace qelto {

template <typename F>
void SetWorking(WorkingCopy& working, F change) {
    Configuration c = working.config();
    change(c);
    working.Replace(c);
}

template <typename F>
void SetWorking(Context& ctx, F change) {
    SetWorking(ctx.working, change);
}

}  // namespace qelto
