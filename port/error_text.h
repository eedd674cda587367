// What a person is told about a failure, whatever was thrown.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "platform/app_error.h"
#include "port/ui_port.h"

namespace plumex {

// The code page 932 text of a failure: the text of AsAppError(error).
std::string ErrorText(const std::exception& error);

// The failure as an AppError: itself when it is one; a file-system error as a local-file
// failure naming the file and the system's reason; running out of memory, and anything else a
// library threw, as a local failure in Japanese (with the system's reason, else the library's
// own text).
AppError AsAppError(const std::exception& error);

// The text of a failure that is no std::exception at all: a local failure, in Japanese.
std::string UnknownFailureText();

// Shows the failure in an error message box.
void ShowError(UiPort& ui, const std::exception& error);

// Runs a command a person started; whatever it throws, even what is no std::exception, is shown
// through ui and goes no further. False when it failed.
bool RunShowingErrors(UiPort& ui, const std::function<void()>& command);

}  // namespace plumex
