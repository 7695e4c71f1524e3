#pragma once

#include <string>

#include "support/Process.h"

// Checks shared by the end-to-end cases. Each reports expected and actual on failure and uses
// fatal assertions internally, so call them under ASSERT_NO_FATAL_FAILURE.
namespace e2e {

// The URL the site is opened with for a file number.
std::wstring LaunchUrl(const std::wstring& number);

// Starts the program, which must open exactly LaunchUrl(number) through the shell, never
// show a window, and end by itself with exit code 0.
void ExpectSiteOpened(const LaunchOptions& options, const std::wstring& number);

// Starts the program, which must show the "check the number" warning and nothing else; presses
// OK; the program must then end with exit code 0, and no URL must have reached the shell.
void ExpectNumberWarning(const LaunchOptions& options);

// Starts the program, which must show its main window ("TavroModule", not a message box) and
// open no URL.
// The process is ended afterwards.
void ExpectMainWindow(const LaunchOptions& options);

}  // namespace e2e
