// The control layer builds on the portable component model.
#pragma once

#include "core/Component.h"

namespace ui {

using TComponent = core::TComponent;

} // namespace ui
