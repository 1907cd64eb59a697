// Runs an action that must raise core::ConversionError and hands back the
// message, so tests can check that it names the offending text.
#pragma once

#include "core/ConversionError.h"

#include <gtest/gtest.h>

#include <string>

template <class Action> std::string ConversionErrorMessage(Action&& action) {
    try {
        action();
    } catch (const core::ConversionError& error) {
        return error.what();
    }
    ADD_FAILURE() << "no ConversionError was raised";
    return {};
}
